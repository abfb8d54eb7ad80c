// JSON as the printers of diagnostics as JSON (json_printer.h) and SARIF (sarif_printer.h) write
// it: values built with nlohmann's JSON library, laid out two blanks to a level. Whatever bytes
// a value was given, what is written is valid UTF-8 JSON.
#ifndef WANDER_TOOLS_DIAGNOSTICS_JSON_OUTPUT_H_
#define WANDER_TOOLS_DIAGNOSTICS_JSON_OUTPUT_H_

#include <cstdio>
#include <functional>
#include <nlohmann/json.hpp>
#include <string>
#include <string_view>

namespace wander {

/// A JSON value whose objects keep their members in the order they were set.
using Json = nlohmann::ordered_json;

/// `bytes` as a JSON string: valid UTF-8 stays as it is, and each stretch of bytes that is none
/// becomes one U+FFFD, the replacement character, as a decoder shows it (decoded_length in
/// text/utf8.h). Every string the printers write is made so.
Json json_text(std::string_view bytes);

/// `bytes` as the contents of a JSON string (without its quotes) as write_json_document writes
/// it: json_text's bytes, with '"' and '\' escaped, control characters (U+0000 to U+001F)
/// escaped as JSON requires (\b \t \n \f \r, else \u00XX), and DEL, U+2028 and U+2029 escaped too
/// (\u007f, \u2028, \u2029) so that the text is safe in any JavaScript.
std::string json_string_contents(std::string_view bytes);

/// `bytes` as two lower-case hexadecimal digits each.
std::string hex_bytes(std::string_view bytes);

/// Writes `document` and a line end to `out`, laid out two blanks to a level (empty objects and
/// arrays as "{}" and "[]"), its strings as json_string_contents writes them. The elements of
/// the array named `streamed` (a member of `document`, empty there, the only member so named)
/// are those that `next` gives, one a call, until it returns false: only one is held at a time,
/// so that memory stays that of one element however many there are.
void write_json_document(std::FILE* out, const Json& document, std::string_view streamed,
                         const std::function<bool(Json&)>& next);

}  // namespace wander

#endif  // WANDER_TOOLS_DIAGNOSTICS_JSON_OUTPUT_H_
