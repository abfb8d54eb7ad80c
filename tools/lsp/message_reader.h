// The framing of the Language Server Protocol: each message is a JSON text after a header that
// gives its length in bytes ("Content-Length: 52", then a blank line, lines ending in CR LF).
#ifndef WANDER_TOOLS_LSP_MESSAGE_READER_H_
#define WANDER_TOOLS_LSP_MESSAGE_READER_H_

#include <cstddef>
#include <cstdint>
#include <functional>
#include <iterator>
#include <nlohmann/json.hpp>
#include <string>

namespace wander::lsp {

/// Reads framed messages from a stream of bytes, however the stream cuts them. A message whose
/// header or JSON is wrong is reported as unreadable and the reader finds the next header.
class MessageReader {
 public:
  /// Reads up to `size` bytes into `buffer`: how many it read, 0 at the end of the stream, or a
  /// negative number when reading failed (which ends it too).
  using Read = std::function<std::ptrdiff_t(char* buffer, std::size_t size)>;

  enum class Got {
    kMessage,     ///< a message, in `message`
    kUnreadable,  ///< a message that cannot be read; `why` says why, in one line
    kEnd,         ///< the stream ended (a message it cut short is dropped)
  };

  explicit MessageReader(Read read) : read_(std::move(read)) {}

  /// Reads the next message.
  Got next(nlohmann::json& message, std::string& why);

  /// True when bytes of a next message have been read already.
  bool holds_more() const { return at_ < buffer_.size(); }

 private:
  // The bytes of a message's body, one at a time, for the JSON parser: an input iterator that
  // reads more as it goes. The iterator with no reader is the end, as is any once the body is
  // all read.
  struct BodyBytes {
    using iterator_category = std::input_iterator_tag;
    using value_type = char;
    using difference_type = std::ptrdiff_t;
    using pointer = const char*;
    using reference = char;

    MessageReader* reader = nullptr;

    bool operator==(const BodyBytes& other) const;
    char operator*() const;
    BodyBytes& operator++();
  };

  // Reads more bytes onto the end of buffer_; false at the end of the stream.
  bool fill();

  Read read_;
  std::string buffer_;
  std::size_t at_ = 0;           // the first byte not handled yet
  std::uint64_t body_left_ = 0;  // the bytes of the body being parsed not read yet
  bool ended_ = false;
};

/// `message` framed: its header and its JSON (bytes that are no UTF-8 in its strings written as
/// U+FFFD).
std::string frame(const nlohmann::json& message);

/// The header of a message whose JSON text is `length` bytes long, blank line and all.
std::string frame_header(std::size_t length);

}  // namespace wander::lsp

#endif  // WANDER_TOOLS_LSP_MESSAGE_READER_H_
