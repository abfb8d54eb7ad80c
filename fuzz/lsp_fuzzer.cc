// The language server on any stream of messages: it must answer or pass over each without a
// fault, and everything it sends must be a JSON-RPC message. The input is messages separated by
// lines "--message--": each is framed with its own length, so that the fuzzer works on JSON and
// on what the server does with it, but one that starts with "RAW " goes out as it stands, header
// and all. The stream is handed over in reads of a size drawn from the input, and a server that
// is not told to initialize is initialized first unless the input starts with "RAW ".
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>

#include "fuzz/fuzz_input.h"
#include "tools/lsp/message_reader.h"
#include "tools/lsp/server.h"

namespace {

constexpr std::string_view kSeparator = "\n--message--\n";
constexpr std::string_view kRaw = "RAW ";
constexpr std::string_view kInitialize =
    R"({"jsonrpc":"2.0","id":0,"method":"initialize","params":{"capabilities":{}}})";

std::string framed(std::string_view piece) {
  if (piece.starts_with(kRaw)) return std::string(piece.substr(kRaw.size()));
  return "Content-Length: " + std::to_string(piece.size()) + "\r\n\r\n" + std::string(piece);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view input(reinterpret_cast<const char*>(data), size);
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
