// The map of a world as a Graphviz graph that reads like a map: north up, east right.
#ifndef WANDER_TOOLS_MAP_WORLD_MAP_H_
#define WANDER_TOOLS_MAP_WORLD_MAP_H_

#include <cstdint>
#include <cstdio>
#include <string>
#include <string_view>
#include <vector>

#include "tools/survey/world_survey.h"

namespace wander {

/// A room's cell on the map's grid: x grows to the east, y to the north.
struct MapCell {
  std::int64_t x = 0;
  std::int64_t y = 0;
  bool operator==(const MapCell& other) const { return x == other.x && y == other.y; }
};

/// Where each room goes on a grid, found by walking the exits breadth first from the starting
/// room: a room is put one cell from the room whose exit leads there, in that exit's direction.
/// When that cell is taken, it goes to the nearest free cell on the smallest of the 4 square
/// rings of cells around it that has one (of two as near, the northern, then the western); when
/// those 4 rings are full, to the free cell nearest the first room of its group, chosen the same
/// way, ring by ring. Each group of rooms the start does not lead to comes after, east of
/// everything before. Every room and every name without a block has its own cell.
struct MapLayout {
  std::vector<MapCell> rooms;          ///< by place in Survey::rooms
  std::vector<std::uint32_t> missing;  ///< markers that are named but have no block
  std::vector<MapCell> missing_cells;  ///< by place in `missing`
  // The work done, for the tests that count it.
  /// The cells whose being taken the layout looked up: at most 81 per room and per name without
  /// a block, plus the cells the overflow spirals passed, each taken and passed once.
  std::uint64_t cells_tried = 0;
  /// The slots of the grid's hash table that those looks and the puts went through.
  std::uint64_t slots_probed = 0;
};

/// Lays out the rooms of `survey` on a grid, in time linear in the number of rooms.
MapLayout lay_out(const Survey& survey);

/// Whether the room `to`, which the exit of room `from` (places in Survey::rooms) in `direction`
/// (0 to 3: north, east, south, west) leads to, leads back by the opposite exit: else the map
/// marks the exit as one way.
bool leads_back(const Survey& survey, std::uint32_t from, int direction, std::uint32_t to);

/// `text` for the inside of a quoted DOT label: backslash, quote and '&' escaped.
std::string dot_escaped(std::string_view text);

/// Writes `survey` as a DOT graph to `out`, with the layout engine named in the graph and every
/// room pinned to its cell, so that `dot -Tsvg` draws it so: one box per room with its objects,
/// one line per way between two rooms, an arrow in orange for an exit that does not lead back,
/// the starting room with a double border, rooms that exits name but that have no block dashed
/// in red, rooms that cannot be reached from the start in grey.
void write_map(const Survey& survey, std::FILE* out);

}  // namespace wander

#endif  // WANDER_TOOLS_MAP_WORLD_MAP_H_
