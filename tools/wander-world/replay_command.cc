// wander-world replay: walkthroughs played again through the game's own code.
#include <cstdio>
#include <optional>
#include <string>
#include <vector>

#include "tools/walkthroughs/replay.h"
#include "tools/wander-world/command_line.h"
#include "tools/wander-world/commands.h"

namespace wander::cli {
namespace {

constexpr char kReplayUsage[] =
    "usage: wander-world replay CASE...\n"
    "\n"
    "Plays every case of the case files CASE (walkthroughs recorded with 'wander-world\n"
    "record', or written by hand in the same format as the game's own end-to-end cases) in\n"
    "process, exactly as the game would, and compares the output and the exit status with the\n"
    "case's. Prints 'ok NAME' for each case that still plays as it says, and for one that does\n"
    "not, 'FAIL NAME (FILE:LINE)' at the first line that differs, the command typed there and\n"
    "the room the player stood in, and the lines that differ ('-' expected, '+' shown now).\n"
    "\n"
    "Exit status: 0 when every case played as it says, 1 when one did not, 2 when a case file\n"
    "cannot be read or the arguments are wrong.\n";

}  // namespace

int replay_command(int argc, char** argv) {
  std::vector<std::string> cases;
  if (const std::optional<int> status = read_arguments(argc, argv, kReplayUsage, cases)) {
    return *status;
  }
  if (cases.empty()) return usage_error("no case file given", kReplayUsage);
  switch (replay(cases, stdout, stderr)) {
    case ReplayOutcome::kAllPlayed:
      return kSucceeded;
    case ReplayOutcome::kSomeDiffer:
      return kFoundErrors;
    case ReplayOutcome::kCannotRead:
      break;
  }
  return kCannotGoOn;
}

}  // namespace wander::cli
