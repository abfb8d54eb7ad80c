// wander-world replay: walkthroughs played again through the game's own code, and re-recorded
// with --update.
#include <cstdio>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "tools/names/printable.h"
#include "tools/save/author_file.h"
#include "tools/walkthroughs/replay.h"
#include "tools/wander-world/command_line.h"
#include "tools/wander-world/commands.h"

namespace wander::cli {
namespace {

constexpr char kReplayUsage[] =
    "usage: wander-world replay [--update] CASE...\n"
    "\n"
    "Plays every case of the case files CASE (walkthroughs recorded with\n"
    "'wander-world record', or written by hand in the same format as the game's own\n"
    "end-to-end cases) in process, exactly as the game would, and compares the\n"
    "output and the exit status with the case's. Prints 'ok NAME' for each case that\n"
    "still plays as it says, and for one that does not, 'FAIL NAME (FILE:LINE)' at\n"
    "the first line that differs, the command typed there and the room the player\n"
    "stood in, and the lines that differ ('-' expected, '+' shown now).\n"
    "\n"
    "  --update   record anew the output and status of each case that differs, in\n"
    "             its file, and print 'updated NAME (FILE:LINE)'; every other byte\n"
    "             of the file is kept\n"
    "\n"
    "Exit status: 0 when every case played as it says (or was updated), 1 when one\n"
    "did not, 2 when a case file cannot be read or updated or the arguments are\n"
    "wrong.\n";

// A case file saved as an editor saves it (save_file): read-only files, links and files changed
// since they were read are each kept as they are found.
bool update_case_file(const std::string& path, std::string_view read, std::string_view bytes,
                      std::string& error) {
  Save save;
  switch (save_file(path, read, bytes, save, error)) {
    case SaveOutcome::kSaved:
      return true;
    case SaveOutcome::kChanged:
      error = printable(path) + " changed while it was replayed; nothing was written";
      return false;
    case SaveOutcome::kFailed:
      break;
  }
  return false;
}

}  // namespace

int replay_command(int argc, char** argv) {
  std::vector<std::string> cases;
  bool update = false;
  const OptionReader option = [&](std::string_view arg, char**, int, int&, std::string&) {
    if (arg != "--update") return false;
    update = true;
    return true;
  };
  if (const std::optional<int> status = read_arguments(argc, argv, kReplayUsage, cases, option)) {
    return *status;
  }
  if (cases.empty()) return usage_error("no case file given", "replay");
  switch (replay(cases, stdout, stderr, update ? FileWriter(update_case_file) : FileWriter())) {
    case ReplayOutcome::kAllPlayed:
      return kSucceeded;
    case ReplayOutcome::kSomeDiffer:
      return kFoundErrors;
    case ReplayOutcome::kFileFailed:
      break;
  }
  return kCannotGoOn;
}

}  // namespace wander::cli
