#include "tools/world_generator.h"

#include <algorithm>
#include <array>
#include <string_view>

namespace wander {
namespace {

constexpr std::int64_t kGridWidth = 100;

constexpr std::array<std::string_view, 16> kOpenings = {
    "A long gallery", "A damp cellar",   "A narrow ledge", "A quiet chapel",
    "A dusty study",  "A round chamber", "A low tunnel",   "A windy terrace",
    "A cold larder",  "A vaulted crypt", "A sunny porch",  "A cramped attic",
    "A tiled bath",   "A mossy grotto",  "A grand stair",  "A humble kitchen",
};
constexpr std::array<std::string_view, 16> kSights = {
    "cobwebs hang from every beam",
    "water drips somewhere out of sight",
    "the floor creaks at each step",
    "a faint smell of smoke lingers",
    "pale light falls through a crack",
    "the walls are lined with old maps",
    "a draught moves the dust in slow circles",
    "someone has scratched marks into the stone",
    "the ceiling is lost in shadow",
    "a bird has nested in the corner",
    "moss softens the edges of the flagstones",
    "the air is warm and still",
    "broken crates are piled by the wall",
    "a chain hangs from a hook overhead",
    "the plaster has fallen away in places",
    "a low hum comes from below",
};
constexpr std::array<std::string_view, 12> kObjects = {
    "lamp", "box", "map", "key", "book", "coin", "rope", "jar", "bell", "mask", "comb", "knife",
};

// A small, fixed pseudo-random sequence: the same room always gets the same text.
std::uint64_t mix(std::uint64_t x) {
  x += 0x9e3779b97f4a7c15ULL;
  x = (x ^ (x >> 30)) * 0xbf58476d1ce4e5b9ULL;
  x = (x ^ (x >> 27)) * 0x94d049bb133111ebULL;
  return x ^ (x >> 31);
}

std::string exit_to(std::int64_t from, std::int64_t dx, std::int64_t dy, std::int64_t rooms) {
  const std::int64_t x = from % kGridWidth + dx;
  const std::int64_t to = from + dx + dy * kGridWidth;
  if (x < 0 || x >= kGridWidth || to < 0 || to >= rooms) return "None";
  return generated_room_id(to);
}

std::string room_blocks(std::int64_t index, std::int64_t rooms) {
  const std::string id = generated_room_id(index);
  std::uint64_t random = mix(static_cast<std::uint64_t>(index));
  auto next = [&random](std::uint64_t below) {
    random = mix(random);
    return random % below;
  };
  std::string text = "<" + id + ">\n";
  text.append(kOpenings[next(kOpenings.size())]).append(".");
  const std::uint64_t lines = 2 + next(4);
  for (std::uint64_t i = 0; i < lines; ++i) {
    std::string_view sight = kSights[next(kSights.size())];
    text.append(i == 0 ? " Here " : "\nAlso, ").append(sight).append(", and ");
    text.append(kSights[next(kSights.size())]).append(".");
  }
  const std::uint64_t count = index == rooms - 1 ? 0 : next(4);
  std::array<std::string_view, 3> names;
  for (std::uint64_t i = 0; i < count; ++i) {
    names[i] = kObjects[(next(4) + 4 * i) % kObjects.size()];
    text.append(" You notice a ").append(names[i]).append(".");
  }
  text.append("\n*\n");
  text.append("North: ").append(exit_to(index, 0, -1, rooms)).append("\n");
  text.append("East: ").append(exit_to(index, 1, 0, rooms)).append("\n");
  text.append("South: ").append(exit_to(index, 0, 1, rooms)).append("\n");
  text.append("West: ").append(exit_to(index, -1, 0, rooms)).append("\n");
  text.append("Objects: ").append(std::to_string(count)).append("\n");
  for (std::uint64_t i = 0; i < count; ++i) text.append(names[i]).append("\n");
  for (std::uint64_t i = 0; i < count; ++i) {
    text.append("<").append(id).append("|").append(names[i]).append(">\n");
    text.append("The ").append(names[i]).append(" is old, and ");
    text.append(kSights[next(kSights.size())]).append(" around it.\n*\n");
  }
  return text;
}

}  // namespace

std::string generated_room_id(std::int64_t index) {
  std::string digits = std::to_string(index);
  if (digits.size() < 7) digits.insert(0, 7 - digits.size(), '0');
  return "R" + digits;
}

std::int64_t write_world(std::FILE* out, std::int64_t rooms, StartAt start) {
  rooms = std::max<std::int64_t>(rooms, 1);
  const std::int64_t first = start == StartAt::kFirst    ? 0
                             : start == StartAt::kMiddle ? rooms / 2
                                                         : rooms - 1;
  std::string header = "Start: " + generated_room_id(first) + "\n";
  std::int64_t written =
      static_cast<std::int64_t>(std::fwrite(header.data(), 1, header.size(), out));
  for (std::int64_t i = 0; i < rooms; ++i) {
    const std::string blocks = room_blocks(i, rooms);
    written += static_cast<std::int64_t>(std::fwrite(blocks.data(), 1, blocks.size(), out));
  }
  return written;
}

std::int64_t rooms_for_bytes(std::int64_t bytes) {
  constexpr std::int64_t kSample = 2000;
  std::int64_t sample_bytes = 0;
  for (std::int64_t i = 0; i < kSample; ++i) {
    sample_bytes += static_cast<std::int64_t>(room_blocks(i, kSample + 1).size());
  }
  return std::max<std::int64_t>(1, bytes * kSample / sample_bytes);
}

}  // namespace wander
