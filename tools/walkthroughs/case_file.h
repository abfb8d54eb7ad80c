// End-to-end cases as data: a world, the keys a player types, and what a program must print and
// return. The project's own tests and the walkthroughs that authors keep are written this way.
//
// A case file is lines. A line that starts with "--- " opens a section; lines before the first
// are a comment. A content section's bytes are its lines, each with its LF, except that a line
// ending in " (no-eol)" has no LF, and a line ending in " (esc)" (before any " (no-eol)") has its
// escapes decoded: \\ \n \r \t \0 \xHH. The suffix also keeps a line's trailing blanks visible.
// A line ending in " (times N)" (after any " (esc)", before any " (no-eol)") stands for its bytes
// N times over, then its LF once: "x (times 1000000)" is a line of a million x's. The sections of
// a file hold at most kMostCaseBytes in all, a world once however many cases play it: a line that
// would take them past it is refused before its bytes are made.
//
//   --- world                 the World.txt bytes (content); or `--- world file PATH`, PATH
//                             relative to the case file; or `--- world none|folder|fifo|device|
//                             self-link|unreadable|failing` (failing: a regular file whose every
//                             read fails). A world holds for every later case.
//   --- case NAME             starts a case; the lines after it are its comment. A file without
//                             one is a single case named after the file.
//   --- run PROGRAM ARGS...   `wander` (the default) or `wander-world`, with shell arguments
//   --- input                 standard input (content); or `--- stdin closed|unreadable`
//   --- stdout closed|full|broken   standard output closed, a device that is always full, or
//                             a pipe whose reader is gone, with SIGPIPE ignored so that
//                             writes fail with EPIPE
//   --- limit memory SIZE     a limit on the address space: a number and K, M or G, at most 1T
//   --- limit cpu SECONDS     a limit on the processor time, 1 to 3600 seconds
//   --- needs posix           the case needs a POSIX system under the program
//   --- stdout / --- stderr   the bytes expected (content); stderr is empty unless given
//   --- status N              the exit status expected, 0 to 255 (0 unless given)
//   --- diagnostics           for `wander-world check`: one line per diagnostic,
//                             "LINE SEVERITY [KIND] NAME...", LINE from 1, [KIND] (when
//                             given) the kind the message ends with, each NAME a text its
//                             message must hold; notes ("LINE note NAME...") are compared
//                             when any is listed
#ifndef WANDER_TOOLS_WALKTHROUGHS_CASE_FILE_H_
#define WANDER_TOOLS_WALKTHROUGHS_CASE_FILE_H_

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace wander {

/// The most bytes the sections of one case file may hold, "(times N)" lines expanded: 1 GiB.
inline constexpr std::uint64_t kMostCaseBytes = std::uint64_t{1} << 30;

/// What stands at World.txt in the folder a case runs in.
enum class WorldSetup { kText, kNone, kFolder, kFifo, kDevice, kSelfLink, kUnreadable, kFailing };

/// How a case's standard streams are set up.
enum class StdinSetup { kInput, kClosed, kUnreadable };
enum class StdoutSetup { kCaptured, kClosed, kFull, kBroken };

/// One diagnostic a checker case expects.
struct ExpectedDiagnostic {
  std::int64_t line = 0;
  std::string severity;            ///< "error", "warning" or "note"
  std::vector<std::string> names;  ///< texts the message must hold
  std::string kind;                ///< what the message ends with in brackets; empty: any
};

/// Where a section stands in its case file, for reports that point at a line and for rewriting
/// the section in place. A section that holds no lines (`--- status 1`) has none, and its content
/// begins and ends where the next line does.
struct SectionPlace {
  std::int64_t header_line = 0;       ///< the number of its "--- " line; its lines follow
  std::uint64_t header_begin = 0;     ///< the offset in the file of its "--- " line
  std::uint64_t content_begin = 0;    ///< of the line after that
  std::uint64_t content_end = 0;      ///< of the next section's "--- " line, or the file's end
  std::vector<std::uint64_t> starts;  ///< where each of its lines begins in the section's bytes
};

/// One case: how to run a program, and what it must do.
struct Case {
  std::string name;
  std::string path;    ///< the case file, as it was named
  std::string origin;  ///< "FILE:LINE" of the case's start, for reports
  WorldSetup world_setup = WorldSetup::kNone;
  /// The World.txt bytes, never null for kText; the cases that play one world share it.
  std::shared_ptr<const std::string> world;
  std::string program = "wander";  ///< "wander" or "wander-world"
  std::string arguments;           ///< as written, for a shell
  std::string input;               ///< standard input, for StdinSetup::kInput
  StdinSetup stdin_setup = StdinSetup::kInput;
  StdoutSetup stdout_setup = StdoutSetup::kCaptured;
  std::uint64_t memory_limit = 0;  ///< in KiB, as `ulimit -v` takes it; 0 for none
  int cpu_limit = 0;               ///< in seconds, as `ulimit -t` takes it; 0 for none
  bool needs_posix = false;
  std::optional<std::string> expected_stdout;
  std::string expected_stderr;
  int expected_status = 0;
  std::optional<std::vector<ExpectedDiagnostic>> diagnostics;
  /// Where the sections that hold the expectations stand, when the case has them.
  std::optional<SectionPlace> stdout_place, stderr_place, status_place;
  std::uint64_t end = 0;  ///< the offset in the file just past the case's last section
};

/// Parses the bytes of a case file read from `path` (which names the file in messages and
/// anchors `--- world file` paths). Returns the cases, or nothing with `error` set to
/// "PATH:LINE: what is wrong": among the wrongs, a number out of its range and sections that
/// would hold more than `most_bytes`.
std::optional<std::vector<Case>> parse_cases(std::string_view bytes, const std::string& path,
                                             std::string& error,
                                             std::uint64_t most_bytes = kMostCaseBytes);

/// Reads and parses the case file at `path`; as parse_cases, and an error when it cannot be read.
/// The bytes read are left in `bytes`, when given: the places of the cases are offsets in them.
std::optional<std::vector<Case>> read_case_file(const std::string& path, std::string& error,
                                                std::string* bytes = nullptr);

/// Writes `bytes` as the lines of a content section would hold them, so that CR, NUL, escape
/// bytes, trailing blanks and a missing last line end are visible. Each line ends with LF.
std::string as_case_lines(std::string_view bytes);

/// "FILE:LINE" of the line of `c`'s case file that a report of its failure points at: where the
/// first line of expected standard output that `out` does not hold alike stands, when the case
/// expects standard output and `out` differs from it (the line after the section's last when
/// `out` only goes on further); else the same in standard error, for `err`; else the `--- status`
/// line when `status_differs`; else the case's start.
std::string failure_origin(const Case& c, std::string_view out, std::string_view err,
                           bool status_differs);

}  // namespace wander

#endif  // WANDER_TOOLS_WALKTHROUGHS_CASE_FILE_H_
