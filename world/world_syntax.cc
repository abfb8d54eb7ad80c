#include "world/world_syntax.h"

#include <algorithm>
#include <span>

namespace wander {
namespace {

std::string join(std::span<const std::string_view> pieces) {
  std::size_t size = 0;
  for (const std::string_view piece : pieces) size += piece.size();
  std::string line;
  line.reserve(size);
  for (const std::string_view piece : pieces) line.append(piece);
  return line;
}

}  // namespace

bool is_name(std::string_view word) {
  return !word.empty() && std::none_of(word.begin(), word.end(), [](char c) {
    return is_word_space(c) || c == '|' || c == '<' || c == '>';
  });
}

bool is_marker_line(std::string_view line) {
  return line.size() >= 3 && line.front() == '<' && line.back() == '>' &&
         std::none_of(line.begin(), line.end(), is_word_space);
}

MarkerParts parse_marker(std::string_view line) {
  if (!is_marker_line(line)) return {};
  const std::string_view inside = line.substr(1, line.size() - 2);
  const std::size_t bar = inside.find('|');
  if (bar == std::string_view::npos) return {inside, {}, false, false};
  return {inside.substr(0, bar), inside.substr(bar + 1), true,
          inside.find('|', bar + 1) != std::string_view::npos};
}

std::array<std::string_view, 3> room_marker_pieces(std::string_view id) { return {"<", id, ">"}; }

std::array<std::string_view, 5> object_marker_pieces(std::string_view id, std::string_view name) {
  return {"<", id, "|", name, ">"};
}

std::string room_marker(std::string_view id) { return join(room_marker_pieces(id)); }

std::string object_marker(std::string_view id, std::string_view name) {
  return join(object_marker_pieces(id, name));
}

void read_header(WorldFile& world, std::string& start, HeaderWords* words) {
  if (words == nullptr) {
    // A second read that fails leaves the first word in place.
    world.read_word(start);
    world.read_word(start);
    return;
  }
  *words = HeaderWords();
  if (!world.read_word(start)) return;
  words->words = 1;
  words->label_place = words->start_place = world.token_place();
  std::string second;
  if (!world.read_word(second)) return;
  words->words = 2;
  words->start_place = world.token_place();
  words->label = std::move(start);
  start = std::move(second);
}

}  // namespace wander
