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

// Builds a message's value as nlohmann's own parser does, but takes each string from the parser
// rather than copying it: a document's text is held once, not twice, on its way in.
class Builder {
 public:
  explicit Builder(json& root) : root_(root) {}

  bool null() { return add(nullptr); }
  bool boolean(bool value) { return add(value); }
  bool number_integer(json::number_integer_t value) { return add(value); }
  bool number_unsigned(json::number_unsigned_t value) { return add(value); }
  bool number_float(json::number_float_t value, const json::string_t&) { return add(value); }
  bool string(json::string_t& value) { return add(std::move(value)); }
  bool binary(json::binary_t& value) { return add(json::binary(std::move(value))); }
  bool start_object(std::size_t) { return open(json::object()); }
  bool key(json::string_t& name) {
    member_ = &(*open_.back())[std::move(name)];
    return true;
  }
  bool end_object() { return close(); }
  bool start_array(std::size_t) { return open(json::array()); }
  bool end_array() { return close(); }
  template <typename Exception>
  bool parse_error(std::size_t, const std::string&, const Exception&) {
    return false;
  }

 private:
  // Puts `value` where the next value goes; a pointer to it stays good while it is open, since
  // nothing is added to its parent until it closes.
  json* place(json value) {
    if (open_.empty()) {
      root_ = std::move(value);
      return &root_;
    }
    json& parent = *open_.back();
    if (parent.is_array()) {
      parent.push_back(std::move(value));
      return &parent.back();
    }
    *member_ = std::move(value);
    return member_;
  }
  bool add(json value) {
    place(std::move(value));
    return true;
  }
  bool open(json value) {
    open_.push_back(place(std::move(value)));
    return true;
  }
  bool close() {
    open_.pop_back();
    return true;
  }

  json& root_;
  std::vector<json*> open_;  // the objects and arrays not closed yet, innermost last
  json* member_ = nullptr;   // the member of the innermost object whose value comes next
};

}  // namespace

bool MessageReader::BodyBytes::operator==(const BodyBytes& other) const {
  const auto done = [](const MessageReader* reader) {
    return reader == nullptr || reader->body_left_ == 0;
  };
  return done(reader) == done(other.reader);
}

char MessageReader::BodyBytes::operator*() const {
  if (reader->at_ == reader->buffer_.size() && !reader->fill()) {
    // The input ended inside the body: a NUL byte fails the parse, and nothing more is read.
    reader->body_left_ = 0;
    return '\0';
  }
  return reader->buffer_[reader->at_];
}

MessageReader::BodyBytes& MessageReader::BodyBytes::operator++() {
  if (reader->body_left_ > 0) {
    ++reader->at_;
    --reader->body_left_;
  }
  return *this;
}

bool MessageReader::fill() {
  if (ended_) return false;
  // What was handled is let go before the buffer grows, but for its last byte, which a body
  // that went wrong may be read again from.
  if (at_ > 1 && at_ >= buffer_.size() / 2) {
    buffer_.erase(0, at_ - 1);
    at_ = 1;
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
  // The body is parsed as it is read, not read whole first: a document's text is held no more
  // often than the parser holds it.
  body_left_ = static_cast<std::uint64_t>(length);
  Builder builder(message);
  if (json::sax_parse(BodyBytes{this}, BodyBytes{}, &builder)) return Got::kMessage;
  if (ended_ && at_ == buffer_.size()) return Got::kEnd;
  why = "the message's " + std::to_string(length) + " bytes are no JSON text";
  // A wrong length leaves the next message's header where the JSON went wrong (the length was
  // too long) or after it (too short): the headers are looked for from the byte that was wrong.
  if (at_ > 0 && body_left_ < static_cast<std::uint64_t>(length)) --at_;
  body_left_ = 0;
  return Got::kUnreadable;
}

std::string frame(const json& message) {
  const std::string body = message.dump(-1, ' ', false, json::error_handler_t::replace);
  return frame_header(body.size()) + body;
}

std::string frame_header(std::size_t length) {
  return "Content-Length: " + std::to_string(length) + "\r\n\r\n";
}

}  // namespace wander::lsp
