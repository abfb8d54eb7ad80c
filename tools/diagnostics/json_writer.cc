#include "tools/diagnostics/json_writer.h"

#include "tools/names/printable.h"

namespace wander {
namespace {

constexpr std::string_view kReplacement = "\xef\xbf\xbd";  // U+FFFD
constexpr std::size_t kHeldMost = 16 * 1024;

}  // namespace

std::string json_string_contents(std::string_view bytes) {
  static constexpr char kHex[] = "0123456789abcdef";
  std::string out;
  out.reserve(bytes.size());
  for (std::size_t at = 0; at < bytes.size();) {
    const std::size_t length = utf8_length(bytes.substr(at));
    if (length == 0) {
      out += kReplacement;
      ++at;
      continue;
    }
    const std::string_view character = bytes.substr(at, length);
    const char32_t point = code_point(character, length);
    at += length;
    switch (point) {
      case '"':
        out += "\\\"";
        continue;
      case '\\':
        out += "\\\\";
        continue;
      case '\b':
        out += "\\b";
        continue;
      case '\t':
        out += "\\t";
        continue;
      case '\n':
        out += "\\n";
        continue;
      case '\f':
        out += "\\f";
        continue;
      case '\r':
        out += "\\r";
        continue;
      default:
        break;
    }
    if (point < 0x20 || point == 0x7f || point == 0x2028 || point == 0x2029) {
      out += "\\u";
      for (int shift = 12; shift >= 0; shift -= 4) out += kHex[(point >> shift) & 0xf];
    } else {
      out += character;
    }
  }
  return out;
}

bool is_valid_utf8(std::string_view bytes) {
  for (std::size_t at = 0; at < bytes.size();) {
    const std::size_t length = utf8_length(bytes.substr(at));
    if (length == 0) return false;
    at += length;
  }
  return true;
}

std::string hex_bytes(std::string_view bytes) {
  static constexpr char kHex[] = "0123456789abcdef";
  std::string out;
  out.reserve(bytes.size() * 2);
  for (const char c : bytes) {
    const auto byte = static_cast<unsigned char>(c);
    out += kHex[byte >> 4];
    out += kHex[byte & 0xf];
  }
  return out;
}

void JsonWriter::begin_object() { open('{'); }
void JsonWriter::end_object() { close('}'); }
void JsonWriter::begin_array() { open('['); }
void JsonWriter::end_array() { close(']'); }

void JsonWriter::key(std::string_view name) {
  start_value();
  write("\"");
  write(json_string_contents(name));
  write("\": ");
  after_key_ = true;
}

void JsonWriter::string(std::string_view bytes) {
  start_value();
  write("\"");
  write(json_string_contents(bytes));
  write("\"");
}

void JsonWriter::number(std::uint64_t value) {
  start_value();
  write(std::to_string(value));
}

void JsonWriter::number(std::int64_t value) {
  start_value();
  write(std::to_string(value));
}

void JsonWriter::boolean(bool value) {
  start_value();
  write(value ? "true" : "false");
}

void JsonWriter::null() {
  start_value();
  write("null");
}

void JsonWriter::finish() {
  write("\n");
  flush();
}

void JsonWriter::start_value() {
  if (after_key_) {
    after_key_ = false;
    return;
  }
  if (has_items_.empty()) return;
  write(has_items_.back() ? ",\n" : "\n");
  has_items_.back() = true;
  write(std::string(2 * has_items_.size(), ' '));
}

void JsonWriter::open(char bracket) {
  start_value();
  write(std::string_view(&bracket, 1));
  has_items_.push_back(false);
}

void JsonWriter::close(char bracket) {
  const bool had_items = has_items_.back();
  has_items_.pop_back();
  if (had_items) {
    write("\n");
    write(std::string(2 * has_items_.size(), ' '));
  }
  write(std::string_view(&bracket, 1));
}

void JsonWriter::write(std::string_view text) {
  held_ += text;
  if (held_.size() >= kHeldMost) flush();
}

void JsonWriter::flush() {
  std::fwrite(held_.data(), 1, held_.size(), out_);
  held_.clear();
}

}  // namespace wander
