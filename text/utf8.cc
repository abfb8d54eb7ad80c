#include "text/utf8.h"

#include <algorithm>

namespace wander {

std::size_t utf8_length(std::string_view bytes) {
  if (bytes.empty()) return 0;
  const auto byte = [&](std::size_t i) { return static_cast<unsigned char>(bytes[i]); };
  const unsigned char lead = byte(0);
  const std::size_t length = lead < 0x80                   ? 1
                             : lead >= 0xc2 && lead < 0xe0 ? 2
                             : lead >= 0xe0 && lead < 0xf0 ? 3
                             : lead >= 0xf0 && lead < 0xf5 ? 4
                                                           : 0;
  if (length == 0 || length > bytes.size()) return 0;
  for (std::size_t i = 1; i < length; ++i) {
    if ((byte(i) & 0xc0) != 0x80) return 0;
  }
  if (length == 3 && ((lead == 0xe0 && byte(1) < 0xa0) || (lead == 0xed && byte(1) >= 0xa0))) {
    return 0;
  }
  if (length == 4 && ((lead == 0xf0 && byte(1) < 0x90) || (lead == 0xf4 && byte(1) >= 0x90))) {
    return 0;
  }
  return length;
}

std::size_t character_length(std::string_view bytes) {
  return bytes.empty() ? 0 : std::max<std::size_t>(utf8_length(bytes), 1);
}

std::size_t decoded_length(std::string_view bytes) {
  if (bytes.empty()) return 0;
  if (const std::size_t length = utf8_length(bytes); length > 0) return length;
  const auto lead = static_cast<unsigned char>(bytes[0]);
  std::size_t needed = 0;
  unsigned char lower = 0x80;
  unsigned char upper = 0xbf;
  if (lead >= 0xc2 && lead <= 0xdf) {
    needed = 1;
  } else if (lead >= 0xe0 && lead <= 0xef) {
    needed = 2;
    if (lead == 0xe0) lower = 0xa0;
    if (lead == 0xed) upper = 0x9f;
  } else if (lead >= 0xf0 && lead <= 0xf4) {
    needed = 3;
    if (lead == 0xf0) lower = 0x90;
    if (lead == 0xf4) upper = 0x8f;
  }
  std::size_t length = 1;
  while (length <= needed && length < bytes.size()) {
    const auto next = static_cast<unsigned char>(bytes[length]);
    if (next < lower || next > upper) break;
    lower = 0x80;
    upper = 0xbf;
    ++length;
  }
  return length;
}

char32_t code_point(std::string_view bytes, std::size_t length) {
  const auto byte = [&](std::size_t i) { return static_cast<unsigned char>(bytes[i]); };
  if (length == 1) return byte(0);
  char32_t value = byte(0) & (0x7f >> length);
  for (std::size_t i = 1; i < length; ++i) value = (value << 6) | (byte(i) & 0x3f);
  return value;
}

int character_width(std::string_view bytes) {
  if (bytes.empty()) return 0;
  const std::size_t length = utf8_length(bytes);
  return length == 0 ? 1 : display_width(code_point(bytes, length));
}

}  // namespace wander
