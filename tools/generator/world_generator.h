// Writing large, valid worlds for benchmarks and for anyone who wants to try one.
#ifndef WANDER_TOOLS_GENERATOR_WORLD_GENERATOR_H_
#define WANDER_TOOLS_GENERATOR_WORLD_GENERATOR_H_

#include <cstdint>
#include <cstdio>
#include <string>

namespace wander {

/// The largest world rooms_for_bytes sizes, 2^50 bytes (a pebibyte): its arithmetic multiplies
/// a size by a few thousand, which stays well inside 64 bits up to here.
inline constexpr std::int64_t kLargestWorldBytes = std::int64_t{1} << 50;

/// Which room play starts in, by where its block stands in the file.
enum class StartAt { kFirst, kMiddle, kLast };

/// How generated room names are spelled.
enum class NameStyle {
  kPadded,  ///< "R" and seven or more digits: "R0000042", every name as long as the next
  kPlain,   ///< "R" and the number as it is: "R42", one to many digits
  kWords,   ///< two words and a number: "MossyGrotto0", longer names of varying length
};

/// What generated worlds look like, beyond their size.
struct WorldShape {
  NameStyle names = NameStyle::kPadded;
  /// About how many bytes each room's description holds; 0 for two to five lines of 40 to 140
  /// bytes each.
  int description_bytes = 0;
  /// Each room lists 0 to this many objects (0 to 3), all equally likely.
  int most_objects = 3;
};

/// The identifier of the generated room number `index`.
std::string generated_room_id(std::int64_t index, NameStyle names = NameStyle::kPadded);

/// Writes a world of `rooms` rooms (at least 1) to `out`. The rooms form a grid 100 rooms wide,
/// joined to their neighbours; each has a description and up to `shape.most_objects` objects,
/// each object with its block right after the room's block. The last room has no objects, so its
/// block is the last in the file. The same arguments always give the same bytes. Stops at the
/// first write that fails, leaving `out`'s error indicator set (std::ferror) and errno as that
/// write left it. Returns the number of bytes written.
std::int64_t write_world(std::FILE* out, std::int64_t rooms, StartAt start,
                         const WorldShape& shape = {});

/// About how many rooms make a world of `bytes` bytes of the given shape; `bytes` is taken as 1
/// when below it and as kLargestWorldBytes when above it.
std::int64_t rooms_for_bytes(std::int64_t bytes, const WorldShape& shape = {});

}  // namespace wander

#endif  // WANDER_TOOLS_GENERATOR_WORLD_GENERATOR_H_
