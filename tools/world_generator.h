// Writing large, valid worlds for benchmarks and for anyone who wants to try one.
#ifndef WANDER_TOOLS_WORLD_GENERATOR_H_
#define WANDER_TOOLS_WORLD_GENERATOR_H_

#include <cstdint>
#include <cstdio>
#include <string>

namespace wander {

/// Which room play starts in, by where its block stands in the file.
enum class StartAt { kFirst, kMiddle, kLast };

/// The identifier of the generated room number `index`: "R" and seven or more digits.
std::string generated_room_id(std::int64_t index);

/// Writes a world of `rooms` rooms (at least 1) to `out`. The rooms form a grid 100 rooms wide,
/// joined to their neighbours; each has a description of two to five lines and up to three
/// objects, each object with its block right after the room's block. The last room has no
/// objects, so its block is the last in the file. The same arguments always give the same bytes.
/// Returns the number of bytes written.
std::int64_t write_world(std::FILE* out, std::int64_t rooms, StartAt start);

/// About how many rooms make a world of `bytes` bytes.
std::int64_t rooms_for_bytes(std::int64_t bytes);

}  // namespace wander

#endif  // WANDER_TOOLS_WORLD_GENERATOR_H_
