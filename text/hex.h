// Hexadecimal digits, as the tools write bytes and code points in escapes.
#ifndef WANDER_TEXT_HEX_H_
#define WANDER_TEXT_HEX_H_

#include <cstdint>
#include <string>

namespace wander {

/// Appends the `digits` lowest hexadecimal digits of `value` to `out`, lower case unless
/// `capitals`, the most significant first: `append_hex(out, 0x1b, 2)` appends "1b",
/// `append_hex(out, 0xe9, 4)` "00e9", `append_hex(out, 0xe9, 2, true)` "E9".
inline void append_hex(std::string& out, std::uint32_t value, int digits, bool capitals = false) {
  const char* const digit = capitals ? "0123456789ABCDEF" : "0123456789abcdef";
  for (int shift = 4 * (digits - 1); shift >= 0; shift -= 4) out += digit[(value >> shift) & 0xf];
}

}  // namespace wander

#endif  // WANDER_TEXT_HEX_H_
