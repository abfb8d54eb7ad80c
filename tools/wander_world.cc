// wander-world: tools for the authors of worlds. `check` reports what the game would do wrong
// with a world file; `map` draws it as a Graphviz graph; `publish` makes it a web page.
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <new>
#include <string>
#include <string_view>

#include "console/console.h"
#include "tools/world_map.h"
#include "tools/world_publish.h"
#include "tools/world_survey.h"

namespace {

constexpr int kUsageError = 2;

constexpr char kUsage[] =
    "usage: wander-world check [FILE]\n"
    "       wander-world map [FILE]\n"
    "       wander-world publish [FILE] DIR\n"
    "       wander-world --version\n"
    "\n"
    "  check     report the mistakes in a world file, the way a compiler does\n"
    "  map       write the world's map as a Graphviz DOT graph\n"
    "  publish   write a web page that plays the world into the folder DIR\n"
    "\n"
    "FILE is World.txt in the current folder when not given.\n"
    "'wander-world COMMAND --help' says more about each command.\n"
    "\n"
    "Exit status 2 means the run could not go on: the arguments are wrong, FILE cannot be read\n"
    "or is not a regular file, standard output cannot be written, or memory ran out.\n";

constexpr char kCheckUsage[] =
    "usage: wander-world check [FILE]\n"
    "\n"
    "Reads the world file FILE (World.txt when not given) as the game would and reports what\n"
    "the game will do wrong with it, one line each, in line order:\n"
    "  FILE:LINE: error: ...     the world is broken there\n"
    "  FILE:LINE: warning: ...   probably not what the author meant\n"
    "then a summary such as '2 errors, 1 warning'.\n"
    "\n"
    "Exit status: 0 with no error, 1 with errors, 2 when the arguments are wrong, FILE cannot be\n"
    "read or is not a regular file, standard output cannot be written, or memory ran out.\n";

constexpr char kMapUsage[] =
    "usage: wander-world map [FILE]\n"
    "\n"
    "Writes the map of the world file FILE (World.txt when not given) on standard output as a\n"
    "Graphviz DOT graph: a box per room with its objects, an arrow per exit labelled with its\n"
    "direction, the starting room with a double border, rooms that exits name but that have no\n"
    "block dashed in red, and rooms that cannot be reached from the start set apart.\n"
    "\n"
    "  wander-world map | dot -Tsvg > map.svg\n"
    "\n"
    "Exit status: 0 when the map was written, 2 when the arguments are wrong, FILE cannot be read\n"
    "or is not a regular file, standard output cannot be written, or memory ran out.\n";

int usage_error(const std::string& message, const char* usage) {
  std::fprintf(stderr, "wander-world: %s\n\n%s", message.c_str(), usage);
  return kUsageError;
}

int check(const std::string& path, const wander::Survey& survey) {
  for (const wander::Diagnostic& d : survey.diagnostics) {
    std::printf("%s:%lld: %s: %s\n", path.c_str(), static_cast<long long>(d.line),
                d.severity == wander::Severity::kError ? "error" : "warning", d.message.c_str());
  }
  std::printf("%s\n", wander::summary(survey).c_str());
  for (const wander::Diagnostic& d : survey.diagnostics) {
    if (d.severity == wander::Severity::kError) return 1;
  }
  return 0;
}

int run(int argc, char** argv) {
  if (argc < 2) return usage_error("no command given", kUsage);
  const std::string_view command = argv[1];
  if (command == "--help" || command == "-h" || command == "help") {
    std::fputs(kUsage, stdout);
    return 0;
  }
  if (command == "--version") {
    std::printf("wander-world %s\n", WANDER_VERSION);
    return 0;
  }
  if (command == "publish") return wander::publish_command(argc - 2, argv + 2, argv[0]);
  if (command != "check" && command != "map") {
    return usage_error("unknown command '" + std::string(command) + "'", kUsage);
  }
  const char* usage = command == "check" ? kCheckUsage : kMapUsage;
  std::string path = "World.txt";
  bool path_given = false;
  bool options_done = false;
  for (int i = 2; i < argc; ++i) {
    const std::string_view arg = argv[i];
    if (!options_done && (arg == "--help" || arg == "-h")) {
      std::fputs(usage, stdout);
      return 0;
    }
    if (!options_done && arg == "--") {
      options_done = true;
    } else if (!options_done && arg.size() > 1 && arg.front() == '-') {
      return usage_error("unknown option '" + std::string(arg) + "'", usage);
    } else if (!path_given) {
      path = arg;
      path_given = true;
    } else {
      return usage_error("more than one file given", usage);
    }
  }
  if (path.empty()) return usage_error("the file name is empty", usage);

  std::string why;
  std::unique_ptr<wander::ByteSource> file = wander::open_file_source(path, &why);
  if (!file) {
    std::fprintf(stderr, "wander-world: cannot read '%s': %s\n", path.c_str(), why.c_str());
    return kUsageError;
  }
  wander::WorldFile world(std::move(file));
  const wander::Survey survey = wander::survey_world(world);
  if (command == "check") return check(path, survey);
  wander::write_map(survey, stdout);
  return 0;
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
