#include "tools/diagnostics/json_output.h"

#include "text/hex.h"
#include "text/utf8.h"

namespace wander {
namespace {

constexpr std::string_view kReplacement = "\xef\xbf\xbd";  // U+FFFD

using Sink = std::function<void(std::string_view)>;

// Gives `sink` the text of `value` as nlohmann's dump lays it out, each line after the first
// `indent` blanks further in, with the escapes the library leaves out: DEL, U+2028 and U+2029.
// Those can stand only inside strings, as can no line end: the layout is ASCII, and a string's
// line ends are escaped. The text is given in runs, never copied whole.
void dump(const Json& value, std::size_t indent, const Sink& sink) {
  const std::string text = value.dump(2, ' ', false, Json::error_handler_t::replace);
  const std::string blanks(indent, ' ');
  std::size_t run = 0;  // the start of the bytes not given yet
  for (std::size_t at = 0; at < text.size(); ++at) {
    if (text[at] != '\x7f' && text[at] != '\xe2' && text[at] != '\n') continue;
    std::string_view escape;
    std::size_t length = 1;
    if (text[at] == '\x7f') {
      escape = "\\u007f";
    } else if (text.compare(at, 3, "\xe2\x80\xa8") == 0) {
      escape = "\\u2028";
      length = 3;
    } else if (text.compare(at, 3, "\xe2\x80\xa9") == 0) {
      escape = "\\u2029";
      length = 3;
    } else if (text[at] == '\n' && indent > 0) {
      sink(std::string_view(text).substr(run, at + 1 - run));
      sink(blanks);
      run = at + 1;
      continue;
    } else {
      continue;
    }
    sink(std::string_view(text).substr(run, at - run));
    sink(escape);
    at += length - 1;
    run = at + 1;
  }
  sink(std::string_view(text).substr(run));
}

}  // namespace

Json json_text(std::string_view bytes) {
  if (is_utf8(bytes)) return std::string(bytes);
  std::string out;
  out.reserve(bytes.size() + 2);
  for (std::size_t at = 0; at < bytes.size();) {
    const std::size_t length = decoded_length(bytes.substr(at));
    out += utf8_length(bytes.substr(at)) == 0 ? kReplacement : bytes.substr(at, length);
    at += length;
  }
  return out;
}

std::string json_string_contents(std::string_view bytes) {
  std::string quoted;
  dump(json_text(bytes), 0, [&quoted](std::string_view text) { quoted += text; });
  return quoted.substr(1, quoted.size() - 2);
}

std::string hex_bytes(std::string_view bytes) {
  std::string out;
  out.reserve(bytes.size() * 2);
  for (const char c : bytes) append_hex(out, static_cast<unsigned char>(c), 2);
  return out;
}

void write_json_document(std::FILE* out, const Json& document, std::string_view streamed,
                         const std::function<bool(Json&)>& next) {
  const Sink write = [out](std::string_view text) {
    std::fwrite(text.data(), 1, text.size(), out);
  };
  std::string whole;
  dump(document, 0, [&whole](std::string_view text) { whole += text; });
  // Quotes inside a string are escaped, and no string is followed by ':': only the member's name
  // matches.
  const std::string member = std::string(1, '"').append(streamed).append("\": []");
  const std::size_t at = whole.find(member);
  const std::size_t close = at + member.size() - 1;
  const std::size_t indent = at - whole.rfind('\n', at) - 1;
  write(std::string_view(whole).substr(0, close));
  const std::string inside(indent + 2, ' ');
  bool any = false;
  for (Json item; next(item); item = Json()) {
    write(any ? ",\n" : "\n");
    write(inside);
    dump(item, indent + 2, write);
    any = true;
  }
  if (any) write(std::string(1, '\n').append(indent, ' '));
  write(std::string_view(whole).substr(close));
  write("\n");
}

}  // namespace wander
