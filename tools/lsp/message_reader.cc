#include "tools/lsp/message_reader.h"

#include <algorithm>
#include <cctype>

namespace wander::lsp {
namespace {

using nlohmann::json;

constexpr std::string_view kLengthField = "content-length:";
constexpr std::size_t kChunk = 64 * 1024;
// A line without a line end is kept to its last bytes only: a header line is short, and what is
// longer is no header.
constexpr std::size_t kLongestLine = 4096;
// Lengths past this are no message's: JSON texts this long cannot be held.
constexpr std::uint64_t kLongestMessage = std::uint64_t{1} << 40;

bool is_length_field(std::string_view text, std::size_t at) {
  return std::equal(
      kLengthField.begin(), kLengthField.end(), text.begin() + at,
      [](char a, char b) { return a == std::tolower(static_cast<unsigned char>(b)); });
}

// Where the last field "Content-Length:" starts in `line`, in any case; npos when none does. A
// message cut short leaves its rest before the next header, on the same line.
std::size_t last_length_field(std::string_view line) {
  if (line.size() < kLengthField.size()) return std::string_view::npos;
  for (std::size_t at = line.size() - kLengthField.size() + 1; at-- > 0;) {
    if (is_length_field(line, at)) return at;
  }
  return std::string_view::npos;
}

// Where the first field "Content-Length:" after the start of `body` starts; npos when none does.
std::size_t next_length_field(std::string_view body) {
  for (std::size_t at = 1; at + kLengthField.size() <= body.size(); ++at) {
    if (is_length_field(body, at)) return at;
  }
  return std::string_view::npos;
}

// The length that a header line's value gives, or -1 when it gives none.
std::int64_t length_value(std::string_view value) {
  while (!value.empty() && (value.front() == ' ' || value.front() == '\t')) value.remove_prefix(1);
  while (!value.empty() && (value.back() == ' ' || value.back() == '\t')) value.remove_suffix(1);
  if (value.empty()) return -1;
  std::uint64_t length = 0;
  for (const char c : value) {
    if (c < '0' || c > '9') return -1;
    length = length * 10 + static_cast<std::uint64_t>(c - '0');
    if (length > kLongestMessage) return -1;
  }
  return static_cast<std::int64_t>(length);
}

}  // namespace

bool MessageReader::fill() {
  if (ended_) return false;
  // What was handled is let go before the buffer grows.
  if (at_ > 0 && at_ >= buffer_.size() / 2) {
    buffer_.erase(0, at_);
    at_ = 0;
  }
  const std::size_t had = buffer_.size();
  buffer_.resize(had + kChunk);
  const std::ptrdiff_t got = read_(buffer_.data() + had, kChunk);
  buffer_.resize(had + static_cast<std::size_t>(std::max<std::ptrdiff_t>(got, 0)));
  if (got <= 0) ended_ = true;
  return got > 0;
}

MessageReader::Got MessageReader::next(json& message, std::string& why) {
  std::int64_t length = -1;
  bool header = false;  // lines seen before the blank line
  for (;;) {
    std::size_t end = buffer_.find('\n', at_);
    if (end == std::string::npos) {
      if (buffer_.size() - at_ > kLongestLine) {
        // Keep what could still be the start of a header.
        at_ = buffer_.size() - kLengthField.size();
        header = true;
      }
      if (!fill()) return Got::kEnd;
      continue;
    }
    std::string_view line(buffer_.data() + at_, end - at_);
    at_ = end + 1;
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    if (!line.empty()) {
      header = true;
      if (const std::size_t field = last_length_field(line); field != std::string_view::npos) {
        length = length_value(line.substr(field + kLengthField.size()));
      }
      continue;
    }
    if (length >= 0) break;
    if (header) {
      why = "a message without a valid Content-Length header";
      return Got::kUnreadable;
    }
  }
  const auto size = static_cast<std::uint64_t>(length);
  while (buffer_.size() - at_ < size) {
    if (!fill()) return Got::kEnd;
  }
  const char* body = buffer_.data() + at_;
  message = json::parse(body, body + size, nullptr, /*allow_exceptions=*/false);
  if (!message.is_discarded()) {
    at_ += size;
    return Got::kMessage;
  }
  // A wrong length leaves the next message's header inside this one, or this one's end before
  // the next header: reading goes on from the header found, if any.
  const std::size_t next = next_length_field(std::string_view(body, size));
  at_ += next != std::string_view::npos ? next : size;
  why = "the message's " + std::to_string(size) + " bytes are no JSON text";
  return Got::kUnreadable;
}

std::string frame(const json& message) {
  const std::string body = message.dump(-1, ' ', false, json::error_handler_t::replace);
  return "Content-Length: " + std::to_string(body.size()) + "\r\n\r\n" + body;
}

}  // namespace wander::lsp
