#include "tools/generator/world_generator.h"

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
constexpr std::array<std::string_view, 16> kNameFirstWords = {
    "Mossy", "Damp",  "Windy", "Quiet",   "Dusty",  "Cold",   "Sunny", "Round",
    "Low",   "Grand", "Tiled", "Vaulted", "Narrow", "Humble", "Long",  "Cramped",
};
constexpr std::array<std::string_view, 16> kNameSecondWords = {
    "Grotto", "Cellar", "Terrace", "Chapel", "Study", "Larder",  "Porch",   "Chamber",
    "Tunnel", "Stair",  "Bath",    "Crypt",  "Ledge", "Kitchen", "Gallery", "Attic",
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

std::string exit_to(std::int64_t from, std::int64_t dx, std::int64_t dy, std::int64_t rooms,
                    NameStyle names) {
  const std::int64_t x = from % kGridWidth + dx;
  const std::int64_t to = from + dx + dy * kGridWidth;
  if (x < 0 || x >= kGridWidth || to < 0 || to >= rooms) return "None";
  return generated_room_id(to, names);
}

std::string room_blocks(std::int64_t index, std::int64_t rooms, const WorldShape& shape) {
  const std::string id = generated_room_id(index, shape.names);
  std::uint64_t random = mix(static_cast<std::uint64_t>(index));
  auto next = [&random](std::uint64_t below) {
    random = mix(random);
    return random % below;
  };
  std::string text = "<" + id + ">\n";
  text.append(kOpenings[next(kOpenings.size())]).append(".");
  // A line of sights is about 85 bytes long.
  const std::uint64_t wanted_lines = static_cast<std::uint64_t>(shape.description_bytes + 42) / 85;
  const std::uint64_t lines = shape.description_bytes <= 0 ? 2 + next(4)
                              : wanted_lines <= 1          ? 1
                                                           : 1 + next(2 * wanted_lines - 1);
  for (std::uint64_t i = 0; i < lines; ++i) {
    std::string_view sight = kSights[next(kSights.size())];
    text.append(i == 0 ? " Here " : "\nAlso, ").append(sight).append(", and ");
    text.append(kSights[next(kSights.size())]).append(".");
  }
  const int most_objects = std::clamp(shape.most_objects, 0, 3);
  const std::uint64_t count =
      index == rooms - 1 ? 0 : next(static_cast<std::uint64_t>(most_objects) + 1);
  std::array<std::string_view, 3> names;
  for (std::uint64_t i = 0; i < count; ++i) {
    names[i] = kObjects[(next(4) + 4 * i) % kObjects.size()];
    text.append(" You notice a ").append(names[i]).append(".");
  }
  text.append("\n*\n");
  text.append("North: ").append(exit_to(index, 0, -1, rooms, shape.names)).append("\n");
  text.append("East: ").append(exit_to(index, 1, 0, rooms, shape.names)).append("\n");
  text.append("South: ").append(exit_to(index, 0, 1, rooms, shape.names)).append("\n");
  text.append("West: ").append(exit_to(index, -1, 0, rooms, shape.names)).append("\n");
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

std::string generated_room_id(std::int64_t index, NameStyle names) {
  std::string digits = std::to_string(names == NameStyle::kWords ? index / 256 : index);
  switch (names) {
    case NameStyle::kPadded:
      if (digits.size() < 7) digits.insert(0, 7 - digits.size(), '0');
      return "R" + digits;
    case NameStyle::kPlain:
      return "R" + digits;
    case NameStyle::kWords:
      break;
  }
  // Two words and a number name each room once: the words are the index's last two hex digits.
  return std::string(kNameFirstWords[static_cast<std::size_t>(index % 16)])
      .append(kNameSecondWords[static_cast<std::size_t>(index / 16 % 16)])
      .append(digits);
}

std::int64_t write_world(std::FILE* out, std::int64_t rooms, StartAt start,
                         const WorldShape& shape) {
  rooms = std::max<std::int64_t>(rooms, 1);
  const std::int64_t first = start == StartAt::kFirst    ? 0
                             : start == StartAt::kMiddle ? rooms / 2
                                                         : rooms - 1;
  std::string header = "Start: " + generated_room_id(first, shape.names) + "\n";
  std::size_t last = std::fwrite(header.data(), 1, header.size(), out);
  std::int64_t written = static_cast<std::int64_t>(last);
  bool whole = last == header.size();
  // A stream that has failed once takes nothing more: generating the rest would only waste time.
  for (std::int64_t i = 0; i < rooms && whole; ++i) {
    const std::string blocks = room_blocks(i, rooms, shape);
    last = std::fwrite(blocks.data(), 1, blocks.size(), out);
    written += static_cast<std::int64_t>(last);
    whole = last == blocks.size();
  }
  return written;
}

std::int64_t rooms_for_bytes(std::int64_t bytes, const WorldShape& shape) {
  // Past the largest size, bytes * kSample below would overflow.
  bytes = std::clamp<std::int64_t>(bytes, 1, kLargestWorldBytes);
  // Names grow with the number of rooms; a sample from where most of the rooms are is near enough.
  const std::int64_t guess = std::max<std::int64_t>(bytes / 400, 1);
  constexpr std::int64_t kSample = 2000;
  std::int64_t sample_bytes = 0;
  for (std::int64_t i = guess / 2; i < guess / 2 + kSample; ++i) {
    sample_bytes += static_cast<std::int64_t>(room_blocks(i, guess + kSample + 1, shape).size());
  }
  return std::max<std::int64_t>(1, bytes * kSample / sample_bytes);
}

}  // namespace wander
