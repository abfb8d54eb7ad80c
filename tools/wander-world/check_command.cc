// wander-world check: the problems of a world, printed as a compiler prints them, or as JSON or
// SARIF for programs to read.
#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "console/console.h"
#include "tools/checks/kinds.h"
#include "tools/checks/world_checks.h"
#include "tools/diagnostics/json_printer.h"
#include "tools/diagnostics/sarif_printer.h"
#include "tools/diagnostics/text_printer.h"
#include "tools/names/printable.h"
#include "tools/save/author_file.h"
#include "tools/survey/world_survey.h"
#include "tools/wander-world/command_line.h"
#include "tools/wander-world/commands.h"

namespace wander::cli {
namespace {

constexpr char kCheckUsage[] =
    "usage: wander-world check [--color[=WHEN]] [--format=FORMAT] [-Werror]\n"
    "                          [-Wno-error=KIND] [-Wno-KIND] [--fix] [FILE]\n"
    "       wander-world check --list-kinds\n"
    "\n"
    "Reads the world file FILE (World.txt when not given, standard input when '-')\n"
    "as the game would and reports what the game will do wrong with it, in line\n"
    "order, each problem once, at its cause:\n"
    "  FILE:LINE:COLUMN: error: ... [KIND]     play differs from what was meant\n"
    "  FILE:LINE:COLUMN: warning: ... [KIND]   it plays, but the file is fragile\n"
    "each followed by the line and a caret under the column, a sure mend under the\n"
    "caret, and what follows from the problem as notes; then a summary such as\n"
    "'2 errors, 1 warning'. Columns count bytes from 1.\n"
    "\n"
    "  --color[=WHEN]   colour the output: auto (when standard output is a terminal,\n"
    "                   the default), always (also when WHEN is left out) or never;\n"
    "                   for the text format alone\n"
    "  --format=FORMAT  text (the default, as above), json (one JSON document, which\n"
    "                   tools/diagnostics/diagnostics.schema.json in wander's\n"
    "                   sources describes) or sarif (a SARIF 2.1.0 log);\n"
    "                   '--format FORMAT' too\n"
    "  -Werror          count warnings as errors, marked [-Werror,KIND]\n"
    "  -Wno-error=KIND  keep the warnings of KIND warnings under -Werror\n"
    "  -Wno-KIND        leave out the warnings of KIND (errors cannot be left out)\n"
    "  --fix            make the mends that are sure, in FILE itself, keeping the\n"
    "                   old file as FILE.orig (FILE.orig.1 and on when taken); say\n"
    "                   what changed on standard error, then check again\n"
    "  --list-kinds     list every kind: its name, severity and meaning, one a line\n"
    "\n"
    "Exit status: 0 with no error, 1 with errors, 2 when the arguments are wrong,\n"
    "FILE cannot be read or written or is not a regular file, standard output cannot\n"
    "be written, or memory ran out.\n";

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

struct CheckOptions {
  Colour colour = Colour::kAuto;
  Format format = Format::kText;
  bool warnings_are_errors = false;
  std::vector<const DiagnosticKind*> left_out;
  std::vector<const DiagnosticKind*> kept_warnings;  // -Wno-error=KIND
  bool fix = false;
  bool list_kinds = false;
};

// The problems of the world read from `file` (the world at `path`) as the options want them, the
// world read through `world`. Null, after saying why, when the world cannot be read.
std::optional<std::vector<Diagnostic>> diagnose_file(const std::string& path,
                                                     std::unique_ptr<ByteSource> file,
                                                     const CheckOptions& options,
                                                     std::unique_ptr<WorldFile>& world) {
  if (!file) return std::nullopt;
  world = std::make_unique<WorldFile>(std::move(file));
  const Survey survey = survey_world(*world);
  if (world->read_error() == 0) {
    std::vector<Diagnostic> diagnostics = check_world(*world, survey);
    if (world->read_error() == 0) {
      std::erase_if(diagnostics, [&options](const Diagnostic& d) {
        return std::find(options.left_out.begin(), options.left_out.end(), d.kind) !=
               options.left_out.end();
      });
      if (options.warnings_are_errors) {
        for (Diagnostic& d : diagnostics) {
          if (std::find(options.kept_warnings.begin(), options.kept_warnings.end(), d.kind) ==
              options.kept_warnings.end()) {
            d.severity = Severity::kError;
          }
        }
      }
      return diagnostics;
    }
  }
  cannot_read(path, world->read_error());
  return std::nullopt;
}

// Makes the sure mends of `diagnostics`, found in `old_bytes` as read from `path`, in the file
// itself, keeping the old bytes in a backup, and says each on standard error once the file is
// written. `new_bytes` is left holding what the file holds. False, after saying why, when the
// file cannot be written or changed while it was checked.
bool fix(const std::string& path, const std::string& old_bytes,
         const std::vector<Diagnostic>& diagnostics, std::string& new_bytes) {
  std::vector<Mend> made;
  new_bytes = with_sure_mends(old_bytes, diagnostics, made);
  if (made.empty()) {
    std::fprintf(stderr, "wander-world: nothing in %s has a sure mend\n", in_quotes(path).c_str());
    new_bytes = old_bytes;
    return true;
  }
  Save save{.keep_backup = true};
  std::string error;
  switch (save_file(path, old_bytes, new_bytes, save, error)) {
    case SaveOutcome::kSaved:
      break;
    case SaveOutcome::kChanged:
      std::fprintf(stderr, "wander-world: %s changed while it was checked; nothing was written\n",
                   printable(path).c_str());
      return false;
    case SaveOutcome::kFailed:
      std::fprintf(stderr, "wander-world: %s\n", error.c_str());
      return false;
  }
  for (const auto& [fix, d] : made) {
    const TextPlace& at = fix->range.place;
    const std::string_view replaced =
        std::string_view(old_bytes).substr(at.offset, fix->range.width);
    const std::string what =
        replaced.empty() ? "put " + in_quotes(fix->replacement)
        : fix->replacement.empty()
            ? "took out " + in_quotes(replaced)
            : "replaced " + in_quotes(replaced) + " with " + in_quotes(fix->replacement);
    std::fprintf(stderr, "wander-world: %s:%lld:%llu: %s [%s]\n", printable(path).c_str(),
                 static_cast<long long>(at.line), static_cast<unsigned long long>(at.column()),
                 what.c_str(), std::string(d->kind->id).c_str());
  }
  std::fprintf(stderr, "wander-world: the file as it was is %s\n",
               in_quotes(save.backup.string()).c_str());
  return true;
}

}  // namespace

int check_command(int argc, char** argv) {
  CheckOptions options;
  const OptionReader read_option = [&options](std::string_view arg, char** args, int count,
                                              int& next, std::string& error) {
    if (read_format(arg, args, count, next, options.format, error)) return true;
    if (arg == "-Werror") {
      options.warnings_are_errors = true;
    } else if (arg == "--list-kinds") {
      options.list_kinds = true;
    } else if (arg.starts_with("-Wno-")) {
      const bool kept = arg.starts_with("-Wno-error=");
      const std::string_view id = arg.substr(kept ? 11 : 5);
      const DiagnosticKind* kind = kinds::find(id);
      if (kind == nullptr) {
        error = "there is no kind of problem called " + in_quotes(id) + " in " + in_quotes(arg);
      } else if (kind->severity == Severity::kError) {
        error = in_quotes(kind->id) + " is an error: " +
                (kept ? "it cannot be made a warning" : "errors cannot be left out");
      } else {
        (kept ? options.kept_warnings : options.left_out).push_back(kind);
      }
    } else if (arg == "--fix") {
      options.fix = true;
    } else if (arg.starts_with("--color")) {
      const std::string_view when = arg.substr(7);
      if (when == "" || when == "=always") {
        options.colour = Colour::kAlways;
      } else if (when == "=auto") {
        options.colour = Colour::kAuto;
      } else if (when == "=never") {
        options.colour = Colour::kNever;
      } else {
        error = "--color takes auto, always or never, not '" +
                printable(when.substr(when.empty() ? 0 : 1)) + "'";
      }
    } else {
      return false;
    }
    return true;
  };
  std::vector<std::string> files;
  if (const std::optional<int> status =
          read_arguments(argc, argv, kCheckUsage, files, read_option)) {
    return *status;
  }
  if (options.list_kinds) {
    if (!files.empty()) return usage_error("--list-kinds takes no file", "check");
    for (const DiagnosticKind* kind : kinds::kAll) {
      std::printf("%-23s %-7s %s\n", std::string(kind->id).c_str(),
                  kind->severity == Severity::kError ? "error" : "warning",
                  std::string(kind->summary).c_str());
    }
    return kSucceeded;
  }
  const std::optional<std::string> operand = world_file_operand(files, "check");
  if (!operand) return kCannotGoOn;
  const std::string& path = *operand;
  if (options.fix && path == "-") {
    return usage_error("--fix mends a file in place: it cannot mend standard input", "check");
  }

  std::unique_ptr<WorldFile> world;
  std::optional<std::vector<Diagnostic>> diagnostics;
  // The mends are made to the very bytes checked, read once and held: an editor saving meanwhile
  // is caught before anything is written.
  std::string old_bytes;
  std::string new_bytes;
  if (options.fix) {
    std::string why;
    if (!read_whole_file(path, old_bytes, why)) {
      std::fprintf(stderr, "wander-world: cannot read %s: %s\n", in_quotes(path).c_str(),
                   why.c_str());
      return kCannotGoOn;
    }
    diagnostics = diagnose_file(path, make_view_source(old_bytes), options, world);
    if (!diagnostics) return kCannotGoOn;
    if (!fix(path, old_bytes, *diagnostics, new_bytes)) return kCannotGoOn;
    // What is left after the mends is what this check reports.
    diagnostics = diagnose_file(path, make_view_source(new_bytes), options, world);
  } else {
    diagnostics = diagnose_file(path, open_world(path), options, world);
  }
  if (!diagnostics) return kCannotGoOn;
  const std::string shown_path = path == "-" ? "<stdin>" : path;
  if (options.format == Format::kJson) {
    write_json(stdout, shown_path, *diagnostics);
  } else if (options.format == Format::kSarif) {
    // The rules listed are every kind there is, so that a service reading the log knows them.
    write_sarif(stdout, shown_path, *diagnostics, *world,
                {"wander-world", WANDER_VERSION, kinds::kAll});
  } else {
    const bool coloured = options.colour == Colour::kAlways ||
                          (options.colour == Colour::kAuto && shows_colours(stdout));
    write_diagnostics(stdout, shown_path, *diagnostics, *world, coloured);
  }
  // The lines quoted under the diagnostics are read again: a failure there is a failure too.
  if (world->read_error() != 0) return cannot_read(path, world->read_error());
  return has_errors(*diagnostics) ? kFoundErrors : kSucceeded;
}

}  // namespace wander::cli
