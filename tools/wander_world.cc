// wander-world: tools for the authors of worlds. `check` reports what the game would do wrong
// with a world file, the way a compiler reports errors; `map` draws it as a Graphviz graph;
// `publish` makes it a web page.
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <new>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "console/console.h"
#include "tools/check_output.h"
#include "tools/printable.h"
#include "tools/replay.h"
#include "tools/world_checks.h"
#include "tools/world_map.h"
#include "tools/world_publish.h"
#include "tools/world_survey.h"

namespace {

constexpr int kUsageError = 2;

constexpr char kUsage[] =
    "usage: wander-world check [--color[=WHEN]] [FILE]\n"
    "       wander-world map [FILE]\n"
    "       wander-world publish [FILE] DIR\n"
    "       wander-world record [FILE] < KEYS > CASE\n"
    "       wander-world replay CASE...\n"
    "       wander-world --version\n"
    "\n"
    "  check     report the mistakes in a world file, the way a compiler does\n"
    "  map       write the world's map as a Graphviz DOT graph\n"
    "  publish   write a web page that plays the world into the folder DIR\n"
    "  record    play the keys on standard input and write them, with what the game\n"
    "            showed, as a walkthrough: a case file\n"
    "  replay    play walkthroughs again, and say where the game now shows otherwise\n"
    "\n"
    "FILE is World.txt in the current folder when not given; to check and map, '-' is\n"
    "standard input. 'wander-world COMMAND --help' says more about each command.\n"
    "\n"
    "Exit status 2 means the run could not go on: the arguments are wrong, FILE cannot be read\n"
    "or is not a regular file, standard output cannot be written, or memory ran out.\n";

constexpr char kCheckUsage[] =
    "usage: wander-world check [--color[=WHEN]] [FILE]\n"
    "\n"
    "Reads the world file FILE (World.txt when not given, standard input when '-') as the game\n"
    "would and reports what the game will do wrong with it, in line order, each problem once,\n"
    "at its cause:\n"
    "  FILE:LINE:COLUMN: error: ...     the world is broken there\n"
    "  FILE:LINE:COLUMN: warning: ...   probably not what the author meant\n"
    "each followed by the line and a caret under the column, then a summary such as\n"
    "'2 errors, 1 warning'. Columns count bytes from 1.\n"
    "\n"
    "  --color[=WHEN]   colour the output: auto (when standard output is a terminal, the\n"
    "                   default), always (also when WHEN is left out) or never\n"
    "\n"
    "Exit status: 0 with no error, 1 with errors, 2 when the arguments are wrong, FILE cannot be\n"
    "read or is not a regular file, standard output cannot be written, or memory ran out.\n";

constexpr char kMapUsage[] =
    "usage: wander-world map [FILE]\n"
    "\n"
    "Writes the map of the world file FILE (World.txt when not given, standard input when '-')\n"
    "on standard output as a Graphviz graph, laid out with north up and east right: a box per\n"
    "room with its objects, a line per way between two rooms, an arrow for a way that goes one\n"
    "way only, the starting room with a double border, rooms that exits name but that have no\n"
    "block dashed in red, and rooms that cannot be reached from the start in grey.\n"
    "\n"
    "  wander-world map | dot -Tsvg > map.svg\n"
    "\n"
    "Exit status: 0 when the map was written, 2 when the arguments are wrong, FILE cannot be read\n"
    "or is not a regular file, standard output cannot be written, or memory ran out.\n";

constexpr char kRecordUsage[] =
    "usage: wander-world record [FILE] < KEYS > CASE\n"
    "\n"
    "Plays the world file FILE (World.txt when not given) with the keys read from standard\n"
    "input, in process and exactly as the game would, and writes a case file to standard\n"
    "output: the world (as `--- world file FILE`), the keys, and the output and exit status\n"
    "the game gave. Keep it beside the world and replay it after every edit:\n"
    "\n"
    "  printf 'n\\nlook at\\nsignpost\\n\\nquit\\n\\n' | wander-world record > walkthrough.case\n"
    "  wander-world replay walkthrough.case\n"
    "\n"
    "Exit status: 0 when the case was written, 2 when the arguments are wrong, FILE cannot be\n"
    "read or is not a regular file, standard output cannot be written, or memory ran out.\n";

constexpr char kReplayUsage[] =
    "usage: wander-world replay CASE...\n"
    "\n"
    "Plays every case of the case files CASE (walkthroughs recorded with 'wander-world\n"
    "record', or written by hand in the same format as the game's own end-to-end cases) in\n"
    "process, exactly as the game would, and compares the output and the exit status with the\n"
    "case's. Prints 'ok NAME' for each case that still plays as it says, and for one that does\n"
    "not, 'FAIL NAME (FILE:LINE)' and the lines that differ ('-' expected, '+' shown now).\n"
    "\n"
    "Exit status: 0 when every case played as it says, 1 when one did not, 2 when a case file\n"
    "cannot be read or the arguments are wrong.\n";

enum class Colour { kAuto, kAlways, kNever };

struct Arguments {
  std::string command;
  std::string path = "World.txt";
  Colour colour = Colour::kAuto;
};

int usage_error(const std::string& message, const char* usage) {
  std::fprintf(stderr, "wander-world: %s\n\n%s", message.c_str(), usage);
  return kUsageError;
}

// The arguments after the command, all file names, and --color[=WHEN] into `colour` when the
// command takes it (not null); the exit status when they end the run.
std::optional<int> file_arguments(int argc, char** argv, const char* usage,
                                  std::vector<std::string>& files, Colour* colour = nullptr) {
  bool options_done = false;
  for (int i = 2; i < argc; ++i) {
    const std::string_view arg = argv[i];
    const bool option = !options_done && arg.size() > 1 && arg.front() == '-';
    if (option && (arg == "--help" || arg == "-h")) {
      std::fputs(usage, stdout);
      return 0;
    }
    if (option && arg == "--") {
      options_done = true;
    } else if (option && colour != nullptr && arg.substr(0, 7) == "--color") {
      const std::string_view when = arg.substr(7);
      if (when == "" || when == "=always") {
        *colour = Colour::kAlways;
      } else if (when == "=auto") {
        *colour = Colour::kAuto;
      } else if (when == "=never") {
        *colour = Colour::kNever;
      } else {
        return usage_error("--color takes auto, always or never, not '" +
                               wander::printable(when.substr(when.empty() ? 0 : 1)) + "'",
                           usage);
      }
    } else if (option) {
      return usage_error("unknown option '" + wander::printable(arg) + "'", usage);
    } else if (arg.empty()) {
      return usage_error("the file name is empty", usage);
    } else {
      files.emplace_back(arg);
    }
  }
  return std::nullopt;
}

// Reads the arguments of check and map: at most one file, and --color for check. Returns the
// exit status when they end the run.
std::optional<int> parse(int argc, char** argv, Arguments& arguments) {
  const bool check = arguments.command == "check";
  const char* usage = check ? kCheckUsage : kMapUsage;
  std::vector<std::string> files;
  if (const std::optional<int> status =
          file_arguments(argc, argv, usage, files, check ? &arguments.colour : nullptr)) {
    return *status;
  }
  if (files.size() > 1) return usage_error("more than one file given", usage);
  if (!files.empty()) arguments.path = files.front();
  return std::nullopt;
}

// The world file to read, or null after saying why it cannot be read.
std::unique_ptr<wander::ByteSource> open_world(const std::string& path) {
  if (path == "-") {
    bool copied = false;
    std::unique_ptr<wander::ByteSource> input = wander::open_standard_input_as_file(copied);
    if (!input) {
      std::fprintf(stderr, "wander-world: cannot read standard input: %s\n", std::strerror(errno));
    } else if (copied) {
      std::fputs(
          "wander-world: note: standard input is not a regular file, so it was read once into "
          "a temporary file; the game itself needs World.txt to be a regular file, which it "
          "reads again at every move\n",
          stderr);
    }
    return input;
  }
  std::string why;
  std::unique_ptr<wander::ByteSource> file = wander::open_file_source(path, &why);
  if (!file) {
    std::fprintf(stderr, "wander-world: cannot read '%s': %s\n", wander::printable(path).c_str(),
                 why.c_str());
  }
  return file;
}

// Says that reading `path` ("-": standard input) failed with the system's error `error`, and
// returns the status that ends the run: a world only partly read is no world to report on.
int cannot_read(const std::string& path, int error) {
  if (path == "-") {
    std::fprintf(stderr, "wander-world: cannot read standard input: %s\n", std::strerror(error));
  } else {
    std::fprintf(stderr, "wander-world: cannot read '%s': %s\n", wander::printable(path).c_str(),
                 std::strerror(error));
  }
  return kUsageError;
}

int replay_command(int argc, char** argv) {
  std::vector<std::string> cases;
  if (const std::optional<int> status = file_arguments(argc, argv, kReplayUsage, cases)) {
    return *status;
  }
  if (cases.empty()) return usage_error("no case file given", kReplayUsage);
  return wander::replay(cases, stdout, stderr);
}

int record_command(int argc, char** argv) {
  std::vector<std::string> files;
  if (const std::optional<int> status = file_arguments(argc, argv, kRecordUsage, files)) {
    return *status;
  }
  if (files.size() > 1) return usage_error("more than one file given", kRecordUsage);
  const std::string path = files.empty() ? "World.txt" : files.front();
  if (path == "-")
    return usage_error("the keys come from standard input, the world cannot", kRecordUsage);
  std::unique_ptr<wander::ByteSource> world = open_world(path);
  if (!world) return kUsageError;
  std::string world_bytes;
  if (const int error = wander::read_to_end(*world, world_bytes); error != 0) {
    return cannot_read(path, error);
  }
  // The keys are read as the game reads its keyboard.
  std::string keys;
  if (const int error = wander::read_to_end(*wander::open_standard_input(), keys); error != 0) {
    return cannot_read("-", error);
  }
  const std::string text = wander::record_case(path, world_bytes, keys);
  std::fwrite(text.data(), 1, text.size(), stdout);
  return 0;
}

int run(int argc, char** argv) {
  if (argc < 2) return usage_error("no command given", kUsage);
  Arguments arguments;
  arguments.command = argv[1];
  if (arguments.command == "--help" || arguments.command == "-h" || arguments.command == "help") {
    std::fputs(kUsage, stdout);
    return 0;
  }
  if (arguments.command == "--version") {
    if (argc > 2) return usage_error("--version takes no arguments", kUsage);
    std::puts("wander-world " WANDER_VERSION);
    return 0;
  }
  if (arguments.command == "publish") return wander::publish_command(argc - 2, argv + 2, argv[0]);
  if (arguments.command == "replay") return replay_command(argc, argv);
  if (arguments.command == "record") return record_command(argc, argv);
  if (arguments.command != "check" && arguments.command != "map") {
    return usage_error("unknown command '" + wander::printable(arguments.command) + "'", kUsage);
  }
  if (const std::optional<int> status = parse(argc, argv, arguments)) return *status;

  std::unique_ptr<wander::ByteSource> file = open_world(arguments.path);
  if (!file) return kUsageError;
  wander::WorldFile world(std::move(file));
  const wander::Survey survey = wander::survey_world(world);
  if (world.read_error() != 0) return cannot_read(arguments.path, world.read_error());
  if (arguments.command == "map") {
    wander::write_map(survey, stdout);
    return 0;
  }
  const std::vector<wander::Diagnostic> diagnostics = wander::check_world(world, survey);
  if (world.read_error() != 0) return cannot_read(arguments.path, world.read_error());
  const bool colour = arguments.colour == Colour::kAlways ||
                      (arguments.colour == Colour::kAuto && wander::shows_colours(stdout));
  wander::write_diagnostics(stdout, arguments.path == "-" ? "<stdin>" : arguments.path, diagnostics,
                            world, colour);
  // The lines quoted under the diagnostics are read again: a failure there is a failure too.
  if (world.read_error() != 0) return cannot_read(arguments.path, world.read_error());
  return wander::has_errors(diagnostics) ? 1 : 0;
}

}  // namespace

int main(int argc, char** argv) {
  int status = kUsageError;
  try {
    wander::open_standard_streams();
    status = run(argc, argv);
  } catch (const wander::StreamFailed& failure) {
    std::fprintf(stderr, "wander-world: %s\n", failure.what());
    return kUsageError;
  } catch (const std::bad_alloc&) {
    std::fputs("wander-world: out of memory\n", stderr);
    return kUsageError;
  }
  // A report that could not be written is lost, whatever it said.
  if (std::fflush(stdout) != 0 || std::ferror(stdout)) {
    std::fprintf(stderr, "wander-world: cannot write to standard output: %s\n",
                 std::strerror(errno));
    return kUsageError;
  }
  return status;
}
