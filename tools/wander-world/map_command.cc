// wander-world map: a world's map as a Graphviz graph.
#include <cstdio>
#include <optional>
#include <string>
#include <vector>

#include "tools/map/world_map.h"
#include "tools/survey/world_survey.h"
#include "tools/wander-world/command_line.h"
#include "tools/wander-world/commands.h"

namespace wander::cli {
namespace {

constexpr char kMapUsage[] =
    "usage: wander-world map [FILE]\n"
    "\n"
    "Writes the map of the world file FILE (World.txt when not given, standard input\n"
    "when '-') on standard output as a Graphviz graph, laid out with north up and\n"
    "east right: a box per room with its objects, a line per way between two rooms,\n"
    "an arrow for a way that goes one way only, the starting room with a double\n"
    "border, rooms that exits name but that have no block dashed in red, and rooms\n"
    "that cannot be reached from the start in grey.\n"
    "\n"
    "  wander-world map | dot -Tsvg > map.svg\n"
    "\n"
    "Exit status: 0 when the map was written, 2 when the arguments are wrong, FILE\n"
    "cannot be read or is not a regular file, standard output cannot be written, or\n"
    "memory ran out.\n";

}  // namespace

int map_command(int argc, char** argv) {
  std::vector<std::string> files;
  if (const std::optional<int> status = read_arguments(argc, argv, kMapUsage, files)) {
    return *status;
  }
  const std::optional<std::string> operand = world_file_operand(files, "map");
  if (!operand) return kCannotGoOn;
  const std::string& path = *operand;

  std::unique_ptr<ByteSource> file = open_world(path);
  if (!file) return kCannotGoOn;
  WorldFile world(std::move(file));
  const Survey survey = survey_world(world);
  if (world.read_error() != 0) return cannot_read(path, world.read_error());
  write_map(survey, stdout);
  return kSucceeded;
}

}  // namespace wander::cli
