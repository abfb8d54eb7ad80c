#include "tools/walkthroughs/replay.h"

#include <memory>

#include "game/game.h"
#include "text/text_reader.h"
#include "tools/walkthroughs/line_diff.h"

namespace wander {
namespace {

// All the bytes written to `file`, read back from its first.
std::string written(std::FILE* file) {
  std::fflush(file);
  std::unique_ptr<ByteSource> source = make_file_source(file);
  source->seek(0);
  std::string bytes;
  read_to_end(*source, bytes);
  return bytes;
}

// Plays `keys` against `world`, a null world being one the game cannot open.
std::optional<Played> play(std::unique_ptr<ByteSource> world, const std::string& keys,
                           std::string& why_not) {
  std::FILE* out = std::tmpfile();
  if (out == nullptr) {
    why_not = "no temporary file for the game's output";
    return std::nullopt;
  }
  const int status = run_game(std::move(world), make_string_source(keys), out);
  // A shell sees the status the game returns modulo 256: -1 as 255.
  return Played{written(out), status & 0xff};
}

}  // namespace

std::optional<Played> play_case(const Case& c, std::string& why_not) {
  if (c.program != "wander") {
    why_not = "a case of " + c.program + ", not of the game";
    return std::nullopt;
  }
  if (c.stdout_setup != StdoutSetup::kCaptured) {
    why_not = "its standard output is not captured";
    return std::nullopt;
  }
  // Closed or unreadable, standard input ends at once, as empty input does.
  const std::string keys = c.stdin_setup == StdinSetup::kInput ? c.input : std::string();
  switch (c.world_setup) {
    case WorldSetup::kText:
      return play(make_string_source(c.world), keys, why_not);
    // The game cannot open any of these as a file, or cannot read it.
    case WorldSetup::kNone:
    case WorldSetup::kFolder:
    case WorldSetup::kSelfLink:
    case WorldSetup::kUnreadable:
    case WorldSetup::kFailing:
      return play(nullptr, keys, why_not);
    case WorldSetup::kFifo:
    case WorldSetup::kDevice:
      break;
  }
  why_not = "its world is not a file";
  return std::nullopt;
}

ReplayOutcome replay(const std::vector<std::string>& paths, std::FILE* out, std::FILE* errors) {
  int passed = 0;
  int failed = 0;
  int skipped = 0;
  for (const std::string& path : paths) {
    std::string error;
    const std::optional<std::vector<Case>> cases = read_case_file(path, error);
    if (!cases) {
      std::fprintf(errors, "wander-world: %s\n", error.c_str());
      return ReplayOutcome::kCannotRead;
    }
    for (const Case& c : *cases) {
      std::string why_not;
      const std::optional<Played> played = play_case(c, why_not);
      if (!played) {
        std::fprintf(out, "skip %s: %s\n", c.name.c_str(), why_not.c_str());
        ++skipped;
        continue;
      }
      std::string differences;
      if (c.expected_stdout) {
        const std::string diff = describe_difference(*c.expected_stdout, played->out);
        if (!diff.empty()) differences += "standard output differs:\n" + diff;
      }
      if (!c.expected_stderr.empty()) {
        differences += "standard error differs: the game writes none, the case expects some\n";
      }
      if (played->status != c.expected_status) {
        differences += "status: expected " + std::to_string(c.expected_status) + ", got " +
                       std::to_string(played->status) + "\n";
      }
      if (differences.empty()) {
        std::fprintf(out, "ok   %s\n", c.name.c_str());
        ++passed;
      } else {
        std::fprintf(out, "FAIL %s (%s)\n%s", c.name.c_str(), c.origin.c_str(),
                     differences.c_str());
        ++failed;
      }
    }
  }
  std::fprintf(out, "%d passed, %d failed, %d skipped\n", passed, failed, skipped);
  return failed == 0 ? ReplayOutcome::kAllPlayed : ReplayOutcome::kSomeDiffer;
}

std::string record_case(std::string_view world_path, const std::string& world_bytes,
                        const std::string& keys) {
  std::string why_not;
  const std::optional<Played> played = play(make_string_source(world_bytes), keys, why_not);
  std::string text = "# A walkthrough of " + std::string(world_path) +
                     ", recorded with wander-world record; replay it with wander-world replay.\n";
  text += "--- world file " + std::string(world_path) + "\n";
  text += "--- input\n" + as_case_lines(keys);
  if (played) {
    text += "--- stdout\n" + as_case_lines(played->out);
    text += "--- status " + std::to_string(played->status) + "\n";
  }
  return text;
}

}  // namespace wander
