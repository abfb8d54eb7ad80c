// The language server on any stream of messages: it must answer or pass over each without a
// fault, and everything it sends must be a JSON-RPC message. The input is messages separated by
// lines "--message--": each is framed with its own length, so that the fuzzer works on JSON and
// on what the server does with it, but one that starts with "RAW " goes out as it stands, header
// and all. The stream is handed over in reads of a size drawn from the input, and a server that
// is not told to initialize is initialized first unless the input starts with "RAW ".
//
// An input "EDITS CHOICES\n--world--\nWORLD" holds the server's text and indexes to bursts of
// changes to WORLD, sound and malformed, drawn by the bytes of CHOICES (see lsp_edits.h): after
// each, the server must answer as one opened afresh on the text the sound ones make.
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>

#include "fuzz/fuzz_input.h"
#include "tests/support/lsp_edits.h"
#include "tools/lsp/message_reader.h"
#include "tools/lsp/server.h"

namespace {

constexpr std::string_view kSeparator = "\n--message--\n";
constexpr std::string_view kRaw = "RAW ";
constexpr std::string_view kEdits = "EDITS ";
constexpr std::size_t kMostBursts = 24;
constexpr std::string_view kInitialize =
    R"({"jsonrpc":"2.0","id":0,"method":"initialize","params":{"capabilities":{}}})";

std::string framed(std::string_view piece) {
  if (piece.starts_with(kRaw)) return std::string(piece.substr(kRaw.size()));
  return "Content-Length: " + std::to_string(piece.size()) + "\r\n\r\n" + std::string(piece);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view input(reinterpret_cast<const char*>(data), size);
  if (input.starts_with(kEdits)) {
    const auto [choices, world] =
        wander::fuzzing::split(data + kEdits.size(), size - kEdits.size());
    const std::string_view drawn = choices;  // clang 14 cannot capture a structured binding
    std::size_t next = 0;
    const std::string wrong = wander::testing::follow_edits(
        world, static_cast<int>(std::min(choices.size() / 4, kMostBursts)), [&](std::uint32_t n) {
          return next < drawn.size() ? static_cast<unsigned char>(drawn[next++]) % n : 0U;
        });
    if (!wrong.empty()) {
      std::fprintf(stderr, "the server's text or indexes went astray: %s\n", wrong.c_str());
      std::abort();
    }
    return 0;
  }
  std::string stream = input.starts_with(kRaw) ? "" : framed(kInitialize);
  for (std::size_t at = 0; at <= input.size();) {
    std::size_t end = input.find(kSeparator, at);
    if (end == std::string_view::npos) end = input.size();
    stream += framed(input.substr(at, end - at));
    at = end + kSeparator.size();
  }
  const std::size_t most = 1 + wander::fuzzing::small_number(data, size, 64);
  std::size_t read_at = 0;
  wander::lsp::MessageReader reader([&](char* buffer, std::size_t room) -> std::ptrdiff_t {
    const std::size_t n = std::min({room, most, stream.size() - read_at});
    stream.copy(buffer, n, read_at);
    read_at += n;
    return static_cast<std::ptrdiff_t>(n);
  });
  wander::lsp::Server server(
      [](const std::string& message) {
        // Strict: a byte that is no UTF-8 is no JSON.
        const auto body = nlohmann::json::parse(message);
        if (!body.is_object() || body.value("jsonrpc", "") != "2.0") {
          std::fprintf(stderr, "the server sent no JSON-RPC message: %s\n", message.c_str());
          std::abort();
        }
      },
      "fuzz");
  // Diagnostics are published whenever a read would wait, as a pipe drained.
  const int status = wander::lsp::serve(server, reader, [] { return false; });
  if (status != 0 && status != 1) std::abort();
  return 0;
}
