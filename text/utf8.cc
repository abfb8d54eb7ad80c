#include "text/utf8.h"

#include <algorithm>
#include <cstring>

namespace wander {

std::size_t utf8_length(std::string_view bytes) {
  if (bytes.empty()) return 0;
  Utf8Lead lead = utf8_lead(static_cast<unsigned char>(bytes[0]));
  const auto length = static_cast<std::size_t>(lead.following + 1);
  if (lead.following < 0 || length > bytes.size()) return 0;
  for (std::size_t i = 1; i < length; ++i) {
    const auto next = static_cast<unsigned char>(bytes[i]);
    if (next < lead.low || next > lead.high) return 0;
    lead.low = 0x80;
    lead.high = 0xbf;
  }
  return length;
}

bool is_utf8(std::string_view bytes) {
  for (std::size_t at = 0; at < bytes.size();) {
    const std::size_t length = utf8_length(bytes.substr(at));
    if (length == 0) return false;
    at += length;
  }
  return true;
}

std::size_t character_length(std::string_view bytes) {
  return bytes.empty() ? 0 : std::max<std::size_t>(utf8_length(bytes), 1);
}

std::size_t decoded_length(std::string_view bytes) {
  if (bytes.empty()) return 0;
  if (const std::size_t length = utf8_length(bytes); length > 0) return length;
  const Utf8Lead lead = utf8_lead(static_cast<unsigned char>(bytes[0]));
  const auto needed = static_cast<std::size_t>(std::max(lead.following, 0));
  unsigned char lower = lead.low;
  unsigned char upper = lead.high;
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

std::optional<std::uint64_t> Utf8Stream::first_bad(std::string_view bytes, std::uint64_t at) {
  for (std::size_t i = 0; i < bytes.size();) {
    const auto byte = static_cast<unsigned char>(bytes[i]);
    if (need_ == 0) {
      if (i + 8 <= bytes.size()) {
        std::uint64_t eight;
        std::memcpy(&eight, bytes.data() + i, 8);
        if ((eight & 0x8080808080808080ULL) == 0) {
          i += 8;
          continue;
        }
      }
      const Utf8Lead lead = utf8_lead(byte);
      if (lead.following < 0) return at + i;
      need_ = lead.following;
      low_ = lead.low;
      high_ = lead.high;
      lead_ = at + i;
      ++i;
      continue;
    }
    if (byte < low_ || byte > high_) {
      need_ = 0;
      return lead_;
    }
    --need_;
    low_ = 0x80;
    high_ = 0xbf;
    ++i;
  }
  return std::nullopt;
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
