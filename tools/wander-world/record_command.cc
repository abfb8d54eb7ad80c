// wander-world record: keys played against a world, written as a walkthrough.
#include <cstdio>
#include <optional>
#include <string>
#include <vector>

#include "console/console.h"
#include "tools/walkthroughs/replay.h"
#include "tools/wander-world/command_line.h"
#include "tools/wander-world/commands.h"

namespace wander::cli {
namespace {

constexpr char kRecordUsage[] =
    "usage: wander-world record [FILE] < KEYS > CASE\n"
    "\n"
    "Plays the world file FILE (World.txt when not given) with the keys read from\n"
    "standard input, in process and exactly as the game would, and writes a case\n"
    "file to standard output: the world (as `--- world file FILE`), the keys, and\n"
    "the output and exit status the game gave. Keep it beside the world and replay\n"
    "it after every edit:\n"
    "\n"
    "  printf 'n\\nlook at\\nsignpost\\n\\nquit\\n\\n' | wander-world record > walk.case\n"
    "  wander-world replay walk.case\n"
    "\n"
    "Exit status: 0 when the case was written, 2 when the arguments are wrong, FILE\n"
    "cannot be read or is not a regular file, standard output cannot be written, or\n"
    "memory ran out.\n";

}  // namespace

int record_command(int argc, char** argv) {
  std::vector<std::string> files;
  if (const std::optional<int> status = read_arguments(argc, argv, kRecordUsage, files)) {
    return *status;
  }
  const std::optional<std::string> operand = world_file_operand(files, "record");
  if (!operand) return kCannotGoOn;
  const std::string& path = *operand;
  if (path == "-") {
    return usage_error("the keys come from standard input, the world cannot", "record");
  }
  std::unique_ptr<ByteSource> world = open_world(path);
  if (!world) return kCannotGoOn;
  std::string world_bytes;
  if (const int error = read_to_end(*world, world_bytes); error != 0) {
    return cannot_read(path, error);
  }
  // The keys are read as the game reads its keyboard.
  std::string keys;
  Screen screen{stdout, {}};
  if (const int error = read_to_end(*open_standard_input(screen), keys); error != 0) {
    return cannot_read("-", error);
  }
  const std::string text = record_case(path, world_bytes, keys);
  std::fwrite(text.data(), 1, text.size(), stdout);
  return kSucceeded;
}

}  // namespace wander::cli
