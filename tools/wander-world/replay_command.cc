// wander-world replay: walkthroughs played again through the game's own code, and re-recorded
// with --update.
#include <cstdio>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "tools/names/printable.h"
#include "tools/publish/world_publish.h"
#include "tools/walkthroughs/replay.h"
#include "tools/wander-world/command_line.h"
#include "tools/wander-world/commands.h"

namespace wander::cli {
namespace {

namespace fs = std::filesystem;

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

// A case file written anew beside itself and renamed into place, keeping its mode. A link is
// neither replaced (the link would be lost) nor written through (to a file the author did not
// name).
bool update_case_file(const std::string& path, std::string_view bytes, std::string& error) {
  std::error_code code;
  if (fs::is_symlink(fs::symlink_status(path, code))) {
    error = "cannot update " + in_quotes(path) + ": it is a link; name the file it links to";
    return false;
  }
  const fs::perms mode = fs::status(path, code).permissions();
  if (code) return replace_file(path, bytes, error);
  return replace_file(path, bytes, error, mode);
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
  if (cases.empty()) return usage_error("no case file given", kReplayUsage);
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
