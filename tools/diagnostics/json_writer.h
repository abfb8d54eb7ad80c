// JSON written a value at a time, laid out two blanks to a level, for the printers of diagnostics
// as JSON (json_printer.h) and SARIF (sarif_printer.h). Whatever bytes it is given, what it
// writes is valid UTF-8 JSON.
#ifndef WANDER_TOOLS_DIAGNOSTICS_JSON_WRITER_H_
#define WANDER_TOOLS_DIAGNOSTICS_JSON_WRITER_H_

#include <cstdint>
#include <cstdio>
#include <string>
#include <string_view>
#include <vector>

namespace wander {

/// `bytes` as the contents of a JSON string (without its quotes), valid UTF-8 whatever the bytes:
/// valid UTF-8 stays as it is, except that '"' and '\' are escaped, control characters (U+0000 to
/// U+001F) are escaped as JSON requires (\b \t \n \f \r, else \u00XX), and DEL, U+2028 and U+2029
/// are escaped too (\u007f, \u2028, \u2029) so that the text is safe in any JavaScript; each byte
/// that is no part of valid UTF-8 becomes U+FFFD, the replacement character.
std::string json_string_contents(std::string_view bytes);

/// True when `bytes` are valid UTF-8 throughout (see utf8_length in tools/names/printable.h).
bool is_valid_utf8(std::string_view bytes);

/// `bytes` as two lower-case hexadecimal digits each.
std::string hex_bytes(std::string_view bytes);

/// Writes one JSON document to a stream: objects and arrays are opened and closed, an object's
/// members each named by key() before their value. The caller keeps the nesting right; the
/// writer places the commas, line ends and indentation. Empty objects and arrays are written
/// "{}" and "[]".
class JsonWriter {
 public:
  explicit JsonWriter(std::FILE* out) : out_(out) {}

  void begin_object();
  void end_object();
  void begin_array();
  void end_array();
  /// The name of the next member of the object that is open.
  void key(std::string_view name);
  /// A string, written as json_string_contents writes it.
  void string(std::string_view bytes);
  void number(std::uint64_t value);
  void number(std::int64_t value);
  void boolean(bool value);
  void null();
  /// Ends the document with a line end and writes what is still held.
  void finish();

 private:
  /// Before a value: the comma and line end after the value before it, or the line end after the
  /// bracket that opened the level, then the indentation; nothing after a key.
  void start_value();
  void open(char bracket);
  void close(char bracket);
  void write(std::string_view text);
  void flush();

  std::FILE* out_;
  std::string held_;             // written to out_ when it grows past a few kilobytes
  std::vector<bool> has_items_;  // for each level open: whether a value was written in it
  bool after_key_ = false;
};

}  // namespace wander

#endif  // WANDER_TOOLS_DIAGNOSTICS_JSON_WRITER_H_
