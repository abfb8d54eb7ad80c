// The map's layout on crowded worlds: every room its own cell, each room where its exit says or
// as near as the layout promises, and work that grows in proportion to the rooms.
#include "tools/map/world_map.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <climits>
#include <cstdlib>
#include <map>
#include <set>
#include <sstream>
#include <string>
#include <utility>

#include "text/text_reader.h"
#include "tools/survey/world_survey.h"

namespace wander {
namespace {

constexpr std::array<MapCell, 4> kSteps = {{{0, 1}, {1, 0}, {0, -1}, {-1, 0}}};  // N, E, S, W
constexpr std::int64_t kRings = 4;  // the rings searched around a taken cell

// The world of `rooms`: "NAME N E S W" each, ";" after each, "-" for no exit; the first starts.
std::string world_from(const std::string& rooms) {
  std::string world;
  std::istringstream list(rooms);
  for (std::string room, name, to; std::getline(list, room, ';');) {
    std::istringstream words(room);
    words >> name;
    if (world.empty()) world = "Start: " + name;
    world += "\n<" + name + ">\nA room.\n*\n";
    for (const char* label : {"North: ", " East: ", " South: ", " West: "}) {
      words >> to;
      world += label + (to == "-" ? "None" : to);
    }
    world += "\nObjects: 0";
  }
  return world + "\n";
}

MapLayout lay_out_world(const std::string& rooms) {
  WorldFile world(make_string_source(world_from(rooms)));
  return lay_out(survey_world(world));
}

// Worlds where each room and each name without a block has one way in, so one wanted cell:
// room i's exit d names `next(i, d)`, room Rn for a number n (none when there is no such room),
// or Gone_n, without a block, for -1 - n.
struct Shape {
  const char* name;
  long long (*next)(long long room, int direction);
  std::size_t group;  // rooms in each group the start does not lead to; 0 for one group
};

// Four new rooms behind every room: the map is full around the start at once.
long long tree(long long i, int d) { return 4 * i + 1 + d; }
// Trees of 85 rooms that nothing leads to but the first, each as crowded; their leaves lead to
// names without a block.
long long forest(long long i, int d) {
  const long long child = 4 * (i % 85) + 1 + d;
  if (child < 85) return i - i % 85 + child;
  return child < 170 ? -1 - (4 * i + d) : LLONG_MAX;
}
// One long row to the east: every cell on the same line of the grid.
long long row(long long i, int d) { return d == 1 ? i + 1 : LLONG_MAX; }

constexpr std::array<Shape, 3> kShapes = {
    {{"tree", tree, 0}, {"forest", forest, 85}, {"row", row, 0}}};

// The rooms R0 to R`rooms - 1` of `shape`, for world_from.
std::string rooms_of(const Shape& shape, std::size_t rooms) {
  std::string list;
  for (long long i = 0; i < static_cast<long long>(rooms); ++i) {
    list.append("R").append(std::to_string(i));
    for (int d = 0; d < 4; ++d) {
      const long long to = shape.next(i, d);
      if (to < 0) list.append(" Gone_").append(std::to_string(-1 - to));
      if (to >= 0)
        list.append(to < static_cast<long long>(rooms) ? " R" + std::to_string(to) : " -");
    }
    list += ';';
  }
  return list;
}

// How far `cell` is from `around`: its ring first, then its distance squared.
std::pair<std::int64_t, std::int64_t> reach(const MapCell& around, const MapCell& cell) {
  const std::int64_t dx = cell.x - around.x, dy = cell.y - around.y;
  return {std::max(std::abs(dx), std::abs(dy)), dx * dx + dy * dy};
}

// Checks the layout's promise: cells of their own; a room or name whose wanted cell is free put
// there; else on the nearest free cell of the first kRings rings around that cell; past those,
// on the free cell nearest its group's first room. A cell free at the end was free all along.
void expect_kept_promise(const Shape& shape, std::size_t rooms) {
  WorldFile world(make_string_source(world_from(rooms_of(shape, rooms))));
  const Survey survey = survey_world(world);
  const MapLayout layout = lay_out(survey);
  ASSERT_EQ(layout.rooms.size(), rooms);
  std::set<std::pair<std::int64_t, std::int64_t>> taken;
  std::map<std::uint32_t, MapCell> missing;
  for (std::size_t i = 0; i < layout.missing.size(); ++i) {
    missing.emplace(layout.missing[i], layout.missing_cells[i]);
  }
  for (const auto& cells : {layout.rooms, layout.missing_cells}) {
    for (const MapCell& cell : cells) {
      EXPECT_TRUE(taken.emplace(cell.x, cell.y).second) << "two at " << cell.x << "," << cell.y;
    }
  }
  // Whether a free cell is nearer to `around` than `bound`.
  const auto free_nearer = [&](const MapCell& around, std::pair<std::int64_t, std::int64_t> bound) {
    for (std::int64_t y = around.y - bound.first; y <= around.y + bound.first; ++y) {
      for (std::int64_t x = around.x - bound.first; x <= around.x + bound.first; ++x) {
        if (reach(around, {x, y}) < bound && taken.count({x, y}) == 0) return true;
      }
    }
    return false;
  };
  std::map<std::size_t, MapCell> farthest;  // the last overflow cell of each group
  for (std::size_t from = 0; from < rooms; ++from) {
    const std::size_t first = shape.group == 0 ? 0 : from - from % shape.group;
    for (std::size_t d = 0; d < 4; ++d) {
      const std::uint32_t exit = survey.rooms[from].exits[d];
      if (exit >= kNoExitName) continue;
      const std::uint32_t to = survey.markers[exit].room;
      const MapCell got = to == kNoName ? missing.at(exit) : layout.rooms[to];
      const MapCell wanted{layout.rooms[from].x + kSteps[d].x, layout.rooms[from].y + kSteps[d].y};
      if (got == wanted) continue;
      SCOPED_TRACE(std::string(survey.names[exit]) + " at " + std::to_string(got.x) + "," +
                   std::to_string(got.y));
      ASSERT_EQ(taken.count({wanted.x, wanted.y}), 1u) << "not in its free cell";
      if (reach(wanted, got).first <= kRings) {
        EXPECT_FALSE(free_nearer(wanted, reach(wanted, got))) << "a nearer cell was free";
        continue;
      }
      EXPECT_FALSE(free_nearer(wanted, {kRings + 1, 0})) << "went past a free cell";
      const MapCell& centre = layout.rooms[first];
      if (!farthest.count(first) || reach(centre, farthest[first]) < reach(centre, got)) {
        farthest[first] = got;
      }
    }
  }
  for (const auto& [first, cell] : farthest) {
    EXPECT_FALSE(free_nearer(layout.rooms[first], reach(layout.rooms[first], cell)))
        << "the overflow of R" << first << "'s group went past a free cell";
  }
  if (rooms >= 2000) {
    EXPECT_EQ(farthest.empty(), shape.name == std::string("row")) << "the overflow was not tried";
  }
}

TEST(MapLayoutTest, EveryRoomWhereItsExitSaysOrAsNearAsPromised) {
  for (const Shape& shape : kShapes) {
    for (const std::size_t rooms : {1, 2, 21, 100, 341, 2000}) {
      SCOPED_TRACE(std::string(shape.name) + " of " + std::to_string(rooms) + " rooms");
      expect_kept_promise(shape, rooms);
    }
  }
}

// Of two free cells as near, the northern, then the western: X wants the start's cell.
TEST(MapLayoutTest, TiesGoNorthThenWest) {
  const std::pair<std::string, MapCell> cases[] = {
      {"Hall - B C -;B - - - X;C - - - -;X - - - -", {0, 1}},
      {"Hall A B C D;A - - X -;B - - - -;C - - - -;D - - - -;X - - - -", {-1, 1}},
  };
  for (const auto& [rooms, where] : cases) {
    const MapCell got = lay_out_world(rooms).rooms.back();
    EXPECT_EQ(got, where) << rooms << ": X at " << got.x << "," << got.y;
  }
}

// Four times the rooms, at most five times the cells looked at; and however the cells line up, a
// few slots of the grid's table, kept at most half full, for each cell looked at or put.
TEST(MapLayoutTest, WorkGrowsInProportionToTheRooms) {
  for (const Shape& shape : kShapes) {
    SCOPED_TRACE(shape.name);
    const MapLayout small = lay_out_world(rooms_of(shape, 2000));
    const MapLayout large = lay_out_world(rooms_of(shape, 8000));
    EXPECT_LE(large.cells_tried, 5 * small.cells_tried)
        << small.cells_tried << " cells for 2000 rooms";
    for (const MapLayout* layout : {&small, &large}) {
      const std::size_t put = layout->rooms.size() + layout->missing.size();
      EXPECT_LE(layout->slots_probed, 4 * (layout->cells_tried + put));
    }
  }
}

}  // namespace
}  // namespace wander
