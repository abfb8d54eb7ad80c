// Walkthroughs: cases of the game, played in process through game/, exactly as the game plays
// them. An author keeps a walkthrough of a world as a case file, in the format of the project's
// own end-to-end cases (case_file.h), records it once and replays it after every edit.
#ifndef WANDER_TOOLS_WALKTHROUGHS_REPLAY_H_
#define WANDER_TOOLS_WALKTHROUGHS_REPLAY_H_

#include <cstdint>
#include <cstdio>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "tools/walkthroughs/case_file.h"

namespace wander {

/// A line of the keys, handed to the game when it asked for more of them.
struct KeyRead {
  std::uint64_t written = 0;  ///< how many bytes the game had written by then
  std::size_t at = 0;         ///< where the line begins in the keys: their length at their end
  std::string room;           ///< the name of the room the player stood in, printable, elided
};

/// What the game did with a case: its output and its exit status as a shell sees it (255 for
/// -1), and each line of the keys it read, in the order it read them.
struct Played {
  std::string out;
  int status = 0;
  std::vector<KeyRead> reads;
};

/// Plays `c` through the game's own code, in process: its input against its world, as the game
/// run in a folder holding that world would. Returns nothing, with `why_not` set, for a case
/// this cannot play so: one of wander-world, or one whose world is a FIFO or a device, or whose
/// standard output is closed or full.
std::optional<Played> play_case(const Case& c, std::string& why_not);

/// Where the output of `played`, the game given `keys`, first departs from `expected`, as the
/// player met it: "at the 4th command, 'n' (input line 4), in room 'Yard':", "at input line 6,
/// 'well', after the 5th command, in room 'Yard':" (a line that was no command, such as an
/// object's name), "at the end of the input, after the 9th command, in room 'Cove':" or "before
/// the first command, in room 'Jetty':". A command is a line the game read just after its
/// prompt "> ". Empty when they do not differ.
std::string where_play_departs(const Played& played, std::string_view keys,
                               std::string_view expected);

/// Writes `bytes` as the whole file at `path`, which was read as `read`. False, with `error`
/// saying why (a message for the user), when it cannot, or when the file no longer holds `read`.
using FileWriter = std::function<bool(const std::string& path, std::string_view read,
                                      std::string_view bytes, std::string& error)>;

/// How a replay went.
enum class ReplayOutcome {
  kAllPlayed,   ///< every case played as it says, was skipped, or was updated
  kSomeDiffer,  ///< a case did not
  kFileFailed,  ///< a file cannot be read, is not a case file, or cannot be written
};

/// Replays every case of the case files at `paths`, in turn, writing to `out` a line per case
/// ("ok NAME", "skip NAME: why", or "FAIL NAME (FILE:LINE)", where the play departs from the
/// case and how the output or status differs) and a summary. A file that cannot be read is said
/// on `errors`, and ends the replay.
///
/// With `update`, each case that does not play as it says has its expectations re-recorded
/// (with_expectations) and is reported as "updated NAME (FILE:LINE)"; a file with such a case
/// is written through `update` once its cases are played, and one with none is not written. A
/// file that cannot be written is said on `errors`, after its cases reported as without
/// `update`, and ends the replay.
ReplayOutcome replay(const std::vector<std::string>& paths, std::FILE* out, std::FILE* errors,
                     const FileWriter& update = {});

/// `bytes`, the case file the cases were read from, with the expectations of each case in
/// `updates` re-recorded from what it played: its expected standard output, when it has one
/// that differs, written anew as case lines; its expected standard error emptied (the game in
/// process writes none); its status line rewritten when the status differs, or one added after
/// its standard output (or its last section) when it had none. Every other byte is kept, and
/// new lines end as the file's first line does (LF or CR LF).
std::string with_expectations(std::string_view bytes,
                              const std::vector<std::pair<const Case*, const Played*>>& updates);

/// A case file that records what the game does with `keys` in the world `world_bytes`, read
/// from `world_path` (written as the case's `--- world file`, relative to where the case file
/// will be): the keys as its input, the output and the exit status as its expectations.
std::string record_case(std::string_view world_path, const std::string& world_bytes,
                        const std::string& keys);

}  // namespace wander

#endif  // WANDER_TOOLS_WALKTHROUGHS_REPLAY_H_
