#include "tools/walkthroughs/replay.h"

#include <algorithm>
#include <cstring>
#include <memory>

#include "game/game.h"
#include "text/text_reader.h"
#include "tools/names/printable.h"
#include "tools/walkthroughs/line_diff.h"

namespace wander {
namespace {

// Names and typed lines in reports are cut to this many characters: a line of megabytes would
// bury the report.
constexpr std::size_t kMostShown = 60;

// All the bytes written to `file`, read back from its first.
std::string written(std::FILE* file) {
  std::fflush(file);
  std::unique_ptr<ByteSource> source = make_file_source(file);
  source->seek(0);
  std::string bytes;
  read_to_end(*source, bytes);
  return bytes;
}

// The keyboard: the keys handed out a line at a time, as a person types them, so that each
// read of a new line is the game asking for it. At each such read it notes how much the game
// has written and where the player stands.
class KeysByLine : public ByteSource {
 public:
  KeysByLine(std::string_view keys, const Room& room, std::FILE* out, std::vector<KeyRead>& reads)
      : keys_(keys), room_(room), out_(out), reads_(reads) {}

  std::size_t read(char* dst, std::size_t size) override {
    if (line_start_ && !ended_) {
      // ftell counts what the stream still holds unwritten in its buffer too.
      const long written = std::ftell(out_);
      reads_.push_back({written < 0 ? 0 : static_cast<std::uint64_t>(written), at_,
                        printable_elided(room_.id, kMostShown)});
    }
    if (at_ == keys_.size()) {
      ended_ = true;
      return 0;
    }
    // The line's end is looked for once: a line longer than the reader's buffer comes in many
    // reads, and looking again at each would cost its length each time.
    if (line_start_) line_end_ = std::min(keys_.find('\n', at_), keys_.size() - 1) + 1;
    const std::size_t n = std::min(size, line_end_ - at_);
    std::memcpy(dst, keys_.data() + at_, n);
    at_ += n;
    // Of a line's reads, only the first is noted.
    line_start_ = at_ == line_end_;
    return n;
  }

  // The game never goes back in its keyboard, and standard input could not.
  bool seek(std::uint64_t) override { return false; }

 private:
  std::string_view keys_;
  const Room& room_;
  std::FILE* out_;
  std::vector<KeyRead>& reads_;
  std::size_t at_ = 0;
  std::size_t line_end_ = 0;  // just past the LF of the line being handed out, or the keys' end
  bool line_start_ = true;
  bool ended_ = false;
};

// Plays `keys` against `world`, a null world being one the game cannot open, as run_game does
// (game.h), but with the keyboard above.
std::optional<Played> play_keys(std::unique_ptr<ByteSource> world, const std::string& keys,
                                std::string& why_not) {
  std::FILE* out = std::tmpfile();
  if (out == nullptr) {
    why_not = "no temporary file for the game's output";
    return std::nullopt;
  }
  Played played;
  int status = 0;
  if (!world) {
    status = no_world(out);
  } else {
    WorldFile world_file(std::move(world));
    Room room;
    // The reader's buffer gives the keys the same meaning whatever its size; this is
    // run_game's.
    constexpr std::size_t kKeyboardBuffer = 4096;
    TextReader keyboard(std::make_unique<KeysByLine>(keys, room, out, played.reads),
                        kKeyboardBuffer);
    Screen screen{out, {}};
    Game game{world_file, room, keyboard, screen};
    status = play(game);
  }
  // A shell sees the status the game returns modulo 256: -1 as 255.
  played.status = status & 0xff;
  played.out = written(out);
  return played;
}

std::string ordinal(std::size_t n) {
  const std::size_t last = n % 10;
  const char* suffix = (n % 100) / 10 == 1 ? "th"
                       : last == 1         ? "st"
                       : last == 2         ? "nd"
                       : last == 3         ? "rd"
                                           : "th";
  return std::to_string(n) + suffix;
}

// The keys a case gives the game: closed or unreadable, standard input ends at once, as empty
// input does.
std::string keys_of(const Case& c) {
  return c.stdin_setup == StdinSetup::kInput ? c.input : std::string();
}

struct Edit {
  std::uint64_t begin;
  std::uint64_t end;
  std::string bytes;
};

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
  const std::string keys = keys_of(c);
  switch (c.world_setup) {
    case WorldSetup::kText:
      return play_keys(make_string_source(*c.world), keys, why_not);
    // The game cannot open any of these as a file, or cannot read it.
    case WorldSetup::kNone:
    case WorldSetup::kFolder:
    case WorldSetup::kSelfLink:
    case WorldSetup::kUnreadable:
    case WorldSetup::kFailing:
      return play_keys(nullptr, keys, why_not);
    case WorldSetup::kFifo:
    case WorldSetup::kDevice:
      break;
  }
  why_not = "its world is not a file";
  return std::nullopt;
}

namespace {

// Where the output of `played`, the game given `keys`, departs at its byte `at`, as
// where_play_departs says it.
std::string departure_at(const Played& played, std::string_view keys, std::uint64_t at) {
  // What the game writes after it reads a line answers that line; so the first byte that
  // differs answers the last line read before it was written.
  const auto after = std::upper_bound(
      played.reads.begin(), played.reads.end(), at,
      [](std::uint64_t offset, const KeyRead& read) { return offset < read.written; });
  if (after == played.reads.begin()) {
    if (played.reads.empty()) return "before the first command:\n";
    return "before the first command, in room '" + played.reads.front().room + "':\n";
  }
  const KeyRead& read = *(after - 1);
  // The game writes its prompt, then reads a command: a line read just after "> " is one.
  const auto is_command = [&](const KeyRead& r) {
    return r.at < keys.size() && r.written >= 2 &&
           std::string_view(played.out).substr(r.written - 2, 2) == "> ";
  };
  const auto commands =
      static_cast<std::size_t>(std::count_if(played.reads.begin(), after, is_command));
  const std::string room = ", in room '" + read.room + "':\n";
  const std::string after_commands =
      commands == 0 ? std::string() : ", after the " + ordinal(commands) + " command";
  if (read.at == keys.size()) return "at the end of the input" + after_commands + room;
  std::string_view line = keys.substr(read.at, keys.find('\n', read.at) - read.at);
  // The game drops a CR before an LF, as if the line end had been translated.
  if (!line.empty() && line.back() == '\r' && read.at + line.size() < keys.size()) {
    line.remove_suffix(1);
  }
  const std::string number =
      std::to_string(std::count(keys.begin(), keys.begin() + read.at, '\n') + 1);
  const std::string shown = "'" + printable_elided(line, kMostShown) + "'";
  if (is_command(read)) {
    return "at the " + ordinal(commands) + " command, " + shown + " (input line " + number + ")" +
           room;
  }
  return "at input line " + number + ", " + shown + after_commands + room;
}

}  // namespace

std::string where_play_departs(const Played& played, std::string_view keys,
                               std::string_view expected) {
  if (played.out == expected) return "";
  return departure_at(played, keys,
                      static_cast<std::uint64_t>(std::mismatch(played.out.begin(), played.out.end(),
                                                               expected.begin(), expected.end())
                                                     .first -
                                                 played.out.begin()));
}

std::string with_expectations(std::string_view bytes,
                              const std::vector<std::pair<const Case*, const Played*>>& updates) {
  const std::size_t first_end = bytes.find('\n');
  const bool crlf =
      first_end != std::string_view::npos && first_end > 0 && bytes[first_end - 1] == '\r';
  const auto with_line_ends = [&](const std::string& lines) {
    if (!crlf) return lines;
    std::string out;
    for (const char c : lines) out += c == '\n' ? std::string("\r\n") : std::string(1, c);
    return out;
  };
  std::vector<Edit> edits;
  for (const auto& [c, played] : updates) {
    if (c->expected_stdout && c->stdout_place && *c->expected_stdout != played->out) {
      edits.push_back({c->stdout_place->content_begin, c->stdout_place->content_end,
                       with_line_ends(as_case_lines(played->out))});
    }
    if (c->stderr_place && !c->expected_stderr.empty()) {
      edits.push_back({c->stderr_place->content_begin, c->stderr_place->content_end, ""});
    }
    if (c->expected_status != played->status) {
      const std::string line =
          with_line_ends("--- status " + std::to_string(played->status) + "\n");
      if (c->status_place) {
        edits.push_back({c->status_place->header_begin, c->status_place->content_begin, line});
      } else {
        const std::uint64_t at = c->stdout_place ? c->stdout_place->content_end : c->end;
        edits.push_back({at, at, line});
      }
    }
  }
  // Edits at the same place (a section with no lines, and a status line added after it) keep
  // the order they were made in.
  std::stable_sort(edits.begin(), edits.end(),
                   [](const Edit& a, const Edit& b) { return a.begin < b.begin; });
  std::string out;
  out.reserve(bytes.size());
  std::uint64_t copied = 0;
  for (const Edit& edit : edits) {
    out.append(bytes.substr(copied, edit.begin - copied));
    // A line added after a last line that has no line end would run on from it.
    if (edit.begin == edit.end && !out.empty() && out.back() != '\n') {
      out += with_line_ends("\n");
    }
    out += edit.bytes;
    copied = edit.end;
  }
  out.append(bytes.substr(copied));
  return out;
}

ReplayOutcome replay(const std::vector<std::string>& paths, std::FILE* out, std::FILE* errors,
                     const FileWriter& update) {
  int passed = 0;
  int failed = 0;
  int updated = 0;
  int skipped = 0;
  for (const std::string& path : paths) {
    std::string error;
    std::string bytes;
    const std::optional<std::vector<Case>> cases = read_case_file(path, error, &bytes);
    if (!cases) {
      std::fprintf(errors, "wander-world: %s\n", error.c_str());
      return ReplayOutcome::kFileFailed;
    }
    // What this file's cases report, as a plain replay and as an update: which is shown is
    // known once the file is written, or not.
    std::string as_failed;
    std::string as_updated;
    std::vector<Played> kept;
    kept.reserve(cases->size());
    std::vector<std::pair<const Case*, const Played*>> updates;
    for (const Case& c : *cases) {
      std::string why_not;
      std::optional<Played> played = play_case(c, why_not);
      if (!played) {
        const std::string line = "skip " + printable(c.name) + ": " + why_not + "\n";
        as_failed += line;
        as_updated += line;
        ++skipped;
        continue;
      }
      std::string differences;
      const bool out_differs = c.expected_stdout && *c.expected_stdout != played->out;
      if (out_differs) {
        const std::string keys = keys_of(c);
        differences += where_play_departs(*played, keys, *c.expected_stdout);
        differences += "standard output differs:\n" +
                       describe_difference(*c.expected_stdout, played->out, [&](std::uint64_t at) {
                         return departure_at(*played, keys, at);
                       });
      }
      if (!c.expected_stderr.empty()) {
        differences += "standard error differs: the game writes none, the case expects some\n";
      }
      const bool status_differs = played->status != c.expected_status;
      if (status_differs) {
        differences += "status: expected " + std::to_string(c.expected_status) + ", got " +
                       std::to_string(played->status) + "\n";
      }
      if (differences.empty()) {
        const std::string line = "ok   " + printable(c.name) + "\n";
        as_failed += line;
        as_updated += line;
        ++passed;
        continue;
      }
      const std::string origin = failure_origin(c, played->out, "", status_differs);
      as_failed += "FAIL " + printable(c.name) + " (" + printable(origin) + ")\n" + differences;
      as_updated += "updated " + printable(c.name) + " (" + printable(origin) + ")\n";
      kept.push_back(std::move(*played));
      updates.emplace_back(&c, &kept.back());
    }
    if (update && !updates.empty()) {
      if (!update(path, bytes, with_expectations(bytes, updates), error)) {
        std::fputs(as_failed.c_str(), out);
        std::fflush(out);
        std::fprintf(errors, "wander-world: %s\n", error.c_str());
        return ReplayOutcome::kFileFailed;
      }
      updated += static_cast<int>(updates.size());
      std::fputs(as_updated.c_str(), out);
    } else {
      failed += static_cast<int>(updates.size());
      std::fputs(as_failed.c_str(), out);
    }
  }
  if (update) {
    std::fprintf(out, "%d passed, %d updated, %d skipped\n", passed, updated, skipped);
  } else {
    std::fprintf(out, "%d passed, %d failed, %d skipped\n", passed, failed, skipped);
  }
  return failed == 0 ? ReplayOutcome::kAllPlayed : ReplayOutcome::kSomeDiffer;
}

std::string record_case(std::string_view world_path, const std::string& world_bytes,
                        const std::string& keys) {
  std::string why_not;
  const std::optional<Played> played = play_keys(make_string_source(world_bytes), keys, why_not);
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
