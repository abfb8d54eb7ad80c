// The syntax of a world file, in one place for the game and every tool: marker lines and the
// names they hold, and the header. The words of a room block after its description are read by
// read_room_exits (room.h), by position, whatever the label words are.
#ifndef WANDER_WORLD_WORLD_SYNTAX_H_
#define WANDER_WORLD_WORLD_SYNTAX_H_

#include <array>
#include <string>
#include <string_view>

#include "text/text_reader.h"

namespace wander {

/// The world file, open for the whole run and repositioned by every lookup.
using WorldFile = TextReader;

/// The exit identifier that means there is no exit that way.
inline constexpr std::string_view kNoExit = "None";

/// True when `word` can name a room or an object so that a marker line built from it reads back
/// as it: a word (not empty, no blank of the reader's) without '|', '<' or '>'. The game itself
/// takes any word; a name outside this rule makes markers that tools cannot take apart for sure.
bool is_name(std::string_view word);

/// True for a line the game could take for a marker: "<", a word, ">", three bytes at least.
bool is_marker_line(std::string_view line);

/// A marker line taken apart: "<Hall>" is room "Hall"; "<Hall|lamp>" is object "lamp" of room
/// "Hall". The views point into the line.
struct MarkerParts {
  std::string_view room;    ///< the room's identifier
  std::string_view object;  ///< the object's name; empty for a room's marker
  bool of_object = false;   ///< the line holds a '|': an object's block, unless an exit names it
  /// More than one '|': "<A|B|c>" is both room "A|B" with object "c" and room "A" with object
  /// "B|c". `room` and `object` are split at the first '|'.
  bool ambiguous = false;
};

/// Takes apart `line`, which is_marker_line (else the parts are empty).
MarkerParts parse_marker(std::string_view line);

/// True for a marker line of an object's block, "<room|name>".
inline bool is_object_marker(std::string_view line) { return parse_marker(line).of_object; }

/// The marker line of the block of room `id`: "<id>".
std::string room_marker(std::string_view id);

/// The marker line of the block of object `name` in room `id`: "<id|name>".
std::string object_marker(std::string_view id, std::string_view name);

/// The pieces the marker lines above are made of, for lookups that compare them as they stand
/// and never join them: a name may be as long as the file.
std::array<std::string_view, 3> room_marker_pieces(std::string_view id);
std::array<std::string_view, 5> object_marker_pieces(std::string_view id, std::string_view name);

/// What the header's reads found, for tools.
struct HeaderWords {
  int words = 0;          ///< 0, 1 or 2
  std::string label;      ///< the first word, when a second follows it
  TextPlace label_place;  ///< where the first word begins
  TextPlace start_place;  ///< where the starting room's word begins (the first without a second)
};

/// Reads the header from where the file stands (its start) as the game does: a label, then the
/// identifier of the starting room into `start`. When the file holds one word only, `start` keeps
/// it; when none, `start` is left as it was. `words`, when given, receives what was read.
void read_header(WorldFile& world, std::string& start, HeaderWords* words = nullptr);

}  // namespace wander

#endif  // WANDER_WORLD_WORLD_SYNTAX_H_
