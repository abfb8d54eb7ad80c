// A survey of a whole world file for its authors: every block, where it stands, how the rooms
// join, and what the game will do wrong with it. Reads the file through the game's own reader and
// block reads: one pass over its lines, plus one read of each block.
#ifndef WANDER_TOOLS_WORLD_SURVEY_H_
#define WANDER_TOOLS_WORLD_SURVEY_H_

#include <cstdint>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "world/room.h"

namespace wander {

enum class Severity { kError, kWarning };

/// One problem, at one line of the file.
struct Diagnostic {
  std::int64_t line;
  Severity severity;
  std::string message;
};

/// The block of a room, as the game reads it.
struct SurveyedRoom {
  Room room;              ///< id, exits and objects; the description is not kept
  std::int64_t line = 0;  ///< line of the block's marker
  RoomBlockReport report;
  bool reachable = false;  ///< whether the starting room leads here
};

/// What a survey found.
struct Survey {
  std::string start;                    ///< the room play starts in, as the game reads the header
  std::int64_t start_line = 1;          ///< line of the header's starting room
  std::vector<SurveyedRoom> rooms;      ///< the block of each room, in file order
  std::vector<Diagnostic> diagnostics;  ///< in line order, errors and warnings mixed

  /// The room named `id`, or null when it has no block.
  const SurveyedRoom* find_room(std::string_view id) const;

  std::unordered_map<std::string, std::size_t> room_index;  ///< id to place in `rooms`
};

/// Surveys the whole world that `world` reads; the reader is left counting lines. A room's block
/// is the first block with its marker that does not stand inside another block's text.
Survey survey_world(WorldFile& world);

/// "2 errors, 1 warning": the summary line of a survey, without a line end.
std::string summary(const Survey& survey);

}  // namespace wander

#endif  // WANDER_TOOLS_WORLD_SURVEY_H_
