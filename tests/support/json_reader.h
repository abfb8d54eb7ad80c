// JSON read back strictly, for the tests of the programs that write it: the grammar of RFC 8259
// and nothing more, the text valid UTF-8 throughout, no control character left unescaped in a
// string, no escape of a lone surrogate, no member named twice. What it cannot read, it throws at.
#ifndef WANDER_TESTS_SUPPORT_JSON_READER_H_
#define WANDER_TESTS_SUPPORT_JSON_READER_H_

#include <cstddef>
#include <cstdint>
#include <stdexcept>
#include <string>
#include <string_view>
#include <tuple>
#include <utility>
#include <vector>

#include "tools/names/printable.h"

namespace wander::testing {

/// A JSON value. Numbers are kept as written; as_int reads an integer.
struct JsonValue {
  enum class Type { kNull, kBool, kNumber, kString, kArray, kObject };
  Type type = Type::kNull;
  bool boolean = false;
  std::string text;  ///< a string's UTF-8 bytes, or a number as written
  std::vector<JsonValue> items;
  // An object's members, in the order written: their names, and their values at the same places
  // in `values` (a vector of pairs would want JsonValue whole here, where it is not yet).
  std::vector<std::string> names;
  std::vector<JsonValue> values;

  /// The member named `name`; throws when there is none (or this is no object).
  const JsonValue& operator[](std::string_view name) const {
    for (std::size_t i = 0; i < names.size(); ++i) {
      if (names[i] == name) return values[i];
    }
    throw std::runtime_error("no member '" + std::string(name) + "'");
  }
  /// Item `i` of an array; throws past its end.
  const JsonValue& operator[](std::size_t i) const { return items.at(i); }
  bool has(std::string_view name) const {
    for (const std::string& key : names) {
      if (key == name) return true;
    }
    return false;
  }
  /// The names of the members, in order.
  const std::vector<std::string>& keys() const { return names; }
  std::int64_t as_int() const {
    if (type != Type::kNumber || text.find_first_of(".eE") != std::string::npos) {
      throw std::runtime_error("not an integer: " + text);
    }
    return std::stoll(text);
  }
  const std::string& as_string() const {
    if (type != Type::kString) throw std::runtime_error("not a string");
    return text;
  }
};

/// Reads the JSON document `text`, blanks around it allowed.
inline JsonValue read_json(std::string_view text) {
  struct Reader {
    std::string_view in;
    std::size_t at = 0;

    [[noreturn]] void fail(const std::string& what) const {
      throw std::runtime_error("JSON: " + what + " at byte " + std::to_string(at));
    }
    void blanks() {
      while (at < in.size() &&
             (in[at] == ' ' || in[at] == '\t' || in[at] == '\n' || in[at] == '\r')) {
        ++at;
      }
    }
    bool take(char c) {
      blanks();
      if (at < in.size() && in[at] == c) {
        ++at;
        return true;
      }
      return false;
    }
    void expect(char c) {
      if (!take(c)) fail(std::string("'") + c + "' wanted");
    }
    unsigned hex4() {
      if (at + 4 > in.size()) fail("a short \\u escape");
      unsigned value = 0;
      for (int i = 0; i < 4; ++i) {
        const char c = in[at++];
        const int digit = c >= '0' && c <= '9'   ? c - '0'
                          : c >= 'a' && c <= 'f' ? c - 'a' + 10
                          : c >= 'A' && c <= 'F' ? c - 'A' + 10
                                                 : -1;
        if (digit < 0) fail("a bad \\u escape");
        value = value * 16 + static_cast<unsigned>(digit);
      }
      return value;
    }
    static void append_utf8(std::string& out, char32_t point) {
      if (point < 0x80) {
        out += static_cast<char>(point);
      } else if (point < 0x800) {
        out += static_cast<char>(0xc0 | (point >> 6));
        out += static_cast<char>(0x80 | (point & 0x3f));
      } else if (point < 0x10000) {
        out += static_cast<char>(0xe0 | (point >> 12));
        out += static_cast<char>(0x80 | ((point >> 6) & 0x3f));
        out += static_cast<char>(0x80 | (point & 0x3f));
      } else {
        out += static_cast<char>(0xf0 | (point >> 18));
        out += static_cast<char>(0x80 | ((point >> 12) & 0x3f));
        out += static_cast<char>(0x80 | ((point >> 6) & 0x3f));
        out += static_cast<char>(0x80 | (point & 0x3f));
      }
    }
    std::string string() {
      expect('"');
      std::string out;
      while (true) {
        if (at >= in.size()) fail("an unclosed string");
        const char c = in[at];
        if (c == '"') {
          ++at;
          return out;
        }
        if (static_cast<unsigned char>(c) < 0x20) fail("a raw control character");
        if (c != '\\') {
          const std::size_t length = utf8_length(in.substr(at));
          if (length == 0) fail("bytes that are not UTF-8");
          out += in.substr(at, length);
          at += length;
          continue;
        }
        if (++at >= in.size()) fail("an unclosed escape");
        const char e = in[at++];
        if (const std::size_t i = std::string_view("\"\\/bfnrt").find(e);
            i != std::string_view::npos) {
          out += "\"\\/\b\f\n\r\t"[i];
        } else if (e == 'u') {
          char32_t point = hex4();
          if (point >= 0xdc00 && point <= 0xdfff) fail("a lone low surrogate");
          if (point >= 0xd800 && point <= 0xdbff) {
            if (in.substr(at, 2) != "\\u") fail("a lone high surrogate");
            at += 2;
            const unsigned low = hex4();
            if (low < 0xdc00 || low > 0xdfff) fail("a high surrogate without a low one");
            point = 0x10000 + ((point - 0xd800) << 10) + (low - 0xdc00);
          }
          append_utf8(out, point);
        } else {
          fail("an unknown escape");
        }
      }
    }
    std::string number() {
      const std::size_t start = at;
      const auto digits = [&] {
        const std::size_t from = at;
        while (at < in.size() && in[at] >= '0' && in[at] <= '9') ++at;
        if (at == from) fail("a digit wanted");
      };
      if (in[at] == '-') ++at;
      if (at < in.size() && in[at] == '0') {
        ++at;
      } else {
        digits();
      }
      if (at < in.size() && in[at] == '.') {
        ++at;
        digits();
      }
      if (at < in.size() && (in[at] == 'e' || in[at] == 'E')) {
        ++at;
        if (at < in.size() && (in[at] == '+' || in[at] == '-')) ++at;
        digits();
      }
      return std::string(in.substr(start, at - start));
    }
    JsonValue value(int depth) {
      if (depth > 64) fail("too deep");
      blanks();
      if (at >= in.size()) fail("a value wanted");
      JsonValue v;
      const char c = in[at];
      if (c == '{') {
        ++at;
        v.type = JsonValue::Type::kObject;
        if (take('}')) return v;
        do {
          blanks();
          std::string key = string();
          if (v.has(key)) fail("a member named twice: " + key);
          expect(':');
          v.names.push_back(std::move(key));
          v.values.push_back(value(depth + 1));
        } while (take(','));
        expect('}');
      } else if (c == '[') {
        ++at;
        v.type = JsonValue::Type::kArray;
        if (take(']')) return v;
        do {
          v.items.push_back(value(depth + 1));
        } while (take(','));
        expect(']');
      } else if (c == '"') {
        v.type = JsonValue::Type::kString;
        v.text = string();
      } else if (c == '-' || (c >= '0' && c <= '9')) {
        v.type = JsonValue::Type::kNumber;
        v.text = number();
      } else {
        for (const auto& [word, type, truth] :
             {std::tuple{"null", JsonValue::Type::kNull, false},
              std::tuple{"true", JsonValue::Type::kBool, true},
              std::tuple{"false", JsonValue::Type::kBool, false}}) {
          if (in.substr(at, std::string_view(word).size()) == word) {
            at += std::string_view(word).size();
            v.type = type;
            v.boolean = truth;
            return v;
          }
        }
        fail("an unknown value");
      }
      return v;
    }
  };
  Reader reader{text};
  JsonValue document = reader.value(0);
  reader.blanks();
  if (reader.at != text.size()) reader.fail("more after the document");
  return document;
}

}  // namespace wander::testing

#endif  // WANDER_TESTS_SUPPORT_JSON_READER_H_
