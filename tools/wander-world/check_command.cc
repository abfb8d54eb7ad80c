// wander-world check: the problems of a world, printed as a compiler prints them, or as JSON or
// SARIF for programs to read.
#include <cstdio>
#include <optional>
#include <string>
#include <vector>

#include "console/console.h"
#include "tools/checks/world_checks.h"
#include "tools/diagnostics/json_printer.h"
#include "tools/diagnostics/sarif_printer.h"
#include "tools/diagnostics/text_printer.h"
#include "tools/names/printable.h"
#include "tools/survey/world_survey.h"
#include "tools/wander-world/command_line.h"
#include "tools/wander-world/commands.h"

namespace wander::cli {
namespace {

constexpr char kCheckUsage[] =
    "usage: wander-world check [--color[=WHEN]] [--format=FORMAT] [FILE]\n"
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
    "                   default), always (also when WHEN is left out) or never; for the\n"
    "                   text format alone\n"
    "  --format=FORMAT  text (the default, as above), json (one JSON document, which\n"
    "                   tools/diagnostics/diagnostics.schema.json in wander's sources\n"
    "                   describes) or sarif (a SARIF 2.1.0 log); '--format FORMAT' too\n"
    "\n"
    "Exit status: 0 with no error, 1 with errors, 2 when the arguments are wrong, FILE cannot be\n"
    "read or is not a regular file, standard output cannot be written, or memory ran out.\n";

enum class Colour { kAuto, kAlways, kNever };
enum class Format { kText, kJson, kSarif };

// Reads --format=FORMAT or --format FORMAT; false when `arg` is neither.
bool read_format(std::string_view arg, char** argv, int argc, int& next, Format& format,
                 std::string& error) {
  std::string_view value;
  if (arg == "--format") {
    if (next + 1 == argc) {
      error = "--format needs a format: text, json or sarif";
      return true;
    }
    value = argv[++next];
  } else if (arg.substr(0, 9) == "--format=") {
    value = arg.substr(9);
  } else {
    return false;
  }
  if (value == "text") {
    format = Format::kText;
  } else if (value == "json") {
    format = Format::kJson;
  } else if (value == "sarif") {
    format = Format::kSarif;
  } else {
    error = "--format takes text, json or sarif, not '" + printable(value) + "'";
  }
  return true;
}

}  // namespace

int check_command(int argc, char** argv) {
  Colour colour = Colour::kAuto;
  Format format = Format::kText;
  const OptionReader options = [&colour, &format](std::string_view arg, char** args, int count,
                                                  int& next, std::string& error) {
    if (read_format(arg, args, count, next, format, error)) return true;
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
  const std::string shown_path = path == "-" ? "<stdin>" : path;
  if (format == Format::kJson) {
    write_json(stdout, shown_path, diagnostics);
  } else if (format == Format::kSarif) {
    // The rules listed are the kinds of the diagnostics raised.
    write_sarif(stdout, shown_path, diagnostics, world, {"wander-world", WANDER_VERSION, {}});
  } else {
    const bool coloured =
        colour == Colour::kAlways || (colour == Colour::kAuto && shows_colours(stdout));
    write_diagnostics(stdout, shown_path, diagnostics, world, coloured);
  }
  // The lines quoted under the diagnostics are read again: a failure there is a failure too.
  if (world.read_error() != 0) return cannot_read(path, world.read_error());
  return has_errors(diagnostics) ? kFoundErrors : kSucceeded;
}

}  // namespace wander::cli
