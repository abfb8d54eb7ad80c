// wander-world: tools for the authors of worlds. `check` reports what the game would do wrong
// with a world file, the way a compiler reports errors; `map` draws it as a Graphviz graph;
// `publish` makes it a web page; `record` and `replay` keep walkthroughs; `lsp` serves all of it to
// an editor. Each command is a file of its own here.
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <new>
#include <string>
#include <string_view>

#include "console/console.h"
#include "tools/names/printable.h"
#include "tools/wander-world/command_line.h"
#include "tools/wander-world/commands.h"

namespace {

using namespace wander::cli;

constexpr char kUsage[] =
    "usage: wander-world check [OPTION]... [FILE]\n"
    "       wander-world map [FILE]\n"
    "       wander-world publish [FILE] DIR\n"
    "       wander-world record [FILE] < KEYS > CASE\n"
    "       wander-world replay CASE...\n"
    "       wander-world lsp\n"
    "       wander-world --version\n"
    "\n"
    "  check     report the mistakes in a world file, the way a compiler does\n"
    "  map       write the world's map as a Graphviz DOT graph\n"
    "  publish   write a web page that plays the world into the folder DIR\n"
    "  record    play the keys on standard input and write them, with what the game\n"
    "            showed, as a walkthrough: a case file\n"
    "  replay    play walkthroughs again, and say where the game now shows otherwise\n"
    "  lsp       serve worlds to an editor by the Language Server Protocol\n"
    "\n"
    "FILE is World.txt in the current folder when not given; to check and map, '-'\n"
    "is standard input. 'wander-world COMMAND --help' says more about each command.\n"
    "\n"
    "Exit status 2 means the run could not go on: the arguments are wrong, FILE\n"
    "cannot be read or is not a regular file, standard output cannot be written, or\n"
    "memory ran out.\n";

int run(int argc, char** argv) {
  if (argc < 2) return usage_error("no command given", "");
  const std::string_view command = argv[1];
  if (command == "--help" || command == "-h" || command == "help") {
    std::fputs(kUsage, stdout);
    return kSucceeded;
  }
  if (command == "--version") {
    if (argc > 2) return usage_error("--version takes no arguments", "");
    std::puts("wander-world " WANDER_VERSION);
    return kSucceeded;
  }
  if (command == "check") return check_command(argc, argv);
  if (command == "map") return map_command(argc, argv);
  if (command == "publish") return publish_command(argc, argv);
  if (command == "record") return record_command(argc, argv);
  if (command == "replay") return replay_command(argc, argv);
  if (command == "lsp") return lsp_command(argc, argv);
  return usage_error("unknown command '" + wander::printable(command) + "'", "");
}

}  // namespace

int main(int argc, char** argv) {
  int status = kCannotGoOn;
  try {
    wander::open_standard_streams();
    status = run(argc, argv);
  } catch (const wander::StreamFailed& failure) {
    std::fprintf(stderr, "wander-world: %s\n", failure.what());
    return kCannotGoOn;
  } catch (const std::bad_alloc&) {
    std::fputs("wander-world: out of memory\n", stderr);
    return kCannotGoOn;
  }
  // A report that could not be written is lost, whatever it said.
  if (std::fflush(stdout) != 0 || std::ferror(stdout)) {
    std::fprintf(stderr, "wander-world: cannot write to standard output: %s\n",
                 std::strerror(errno));
    return kCannotGoOn;
  }
  return status;
}
