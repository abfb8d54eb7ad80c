// wander-world check: the problems of a world, printed as a compiler prints them.
#include <cstdio>
#include <optional>
#include <string>
#include <vector>

#include "console/console.h"
#include "tools/checks/world_checks.h"
#include "tools/diagnostics/text_printer.h"
#include "tools/names/printable.h"
#include "tools/survey/world_survey.h"
#include "tools/wander-world/command_line.h"
#include "tools/wander-world/commands.h"

namespace wander::cli {
namespace {

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

enum class Colour { kAuto, kAlways, kNever };

}  // namespace

int check_command(int argc, char** argv) {
  Colour colour = Colour::kAuto;
  const OptionReader options = [&colour](std::string_view arg, char**, int, int&,
                                         std::string& error) {
    if (arg.substr(0, 7) != "--color") return false;
    const std::string_view when = arg.substr(7);
    if (when == "" || when == "=always") {
      colour = Colour::kAlways;
    } else if (when == "=auto") {
      colour = Colour::kAuto;
    } else if (when == "=never") {
      colour = Colour::kNever;
    } else {
      error = "--color takes auto, always or never, not '" +
              printable(when.substr(when.empty() ? 0 : 1)) + "'";
    }
    return true;
  };
  std::vector<std::string> files;
  if (const std::optional<int> status = read_arguments(argc, argv, kCheckUsage, files, options)) {
    return *status;
  }
  if (files.size() > 1) return usage_error("more than one file given", kCheckUsage);
  const std::string path = files.empty() ? "World.txt" : files.front();

  std::unique_ptr<ByteSource> file = open_world(path);
  if (!file) return kCannotGoOn;
  WorldFile world(std::move(file));
  const Survey survey = survey_world(world);
  if (world.read_error() != 0) return cannot_read(path, world.read_error());
  const std::vector<Diagnostic> diagnostics = check_world(world, survey);
  if (world.read_error() != 0) return cannot_read(path, world.read_error());
  const bool coloured =
      colour == Colour::kAlways || (colour == Colour::kAuto && shows_colours(stdout));
  write_diagnostics(stdout, path == "-" ? "<stdin>" : path, diagnostics, world, coloured);
  // The lines quoted under the diagnostics are read again: a failure there is a failure too.
  if (world.read_error() != 0) return cannot_read(path, world.read_error());
  return has_errors(diagnostics) ? kFoundErrors : kSucceeded;
}

}  // namespace wander::cli
