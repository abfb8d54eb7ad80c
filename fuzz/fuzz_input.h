// Splitting one fuzzer input into the parts a target needs.
#ifndef WANDER_FUZZ_FUZZ_INPUT_H_
#define WANDER_FUZZ_FUZZ_INPUT_H_

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <utility>

namespace wander::fuzzing {

/// The line that separates the two parts of an input: what comes before it (keyboard input, or
/// names to look up) and the world file after it. Without it the whole input is the world.
inline constexpr std::string_view kSeparator = "\n--world--\n";

inline std::pair<std::string, std::string> split(const std::uint8_t* data, std::size_t size) {
  const std::string_view bytes(reinterpret_cast<const char*>(data), size);
  const std::size_t at = bytes.find(kSeparator);
  if (at == std::string_view::npos) return {std::string(), std::string(bytes)};
  return {std::string(bytes.substr(0, at)), std::string(bytes.substr(at + kSeparator.size()))};
}

/// A small number drawn from the input, so that buffer sizes vary with it.
inline std::size_t small_number(const std::uint8_t* data, std::size_t size, std::size_t below) {
  std::size_t sum = size;
  for (std::size_t i = 0; i < size && i < 16; ++i) sum = sum * 31 + data[i];
  return sum % below;
}

}  // namespace wander::fuzzing

#endif  // WANDER_FUZZ_FUZZ_INPUT_H_
