#include "tools/world_survey.h"

#include <algorithm>
#include <array>
#include <deque>
#include <unordered_set>

namespace wander {
namespace {

// A line the game could take for a block's marker: "<", a word, ">". Markers are built from
// words, so one never holds whitespace.
bool is_marker(std::string_view line) {
  return line.size() >= 3 && line.front() == '<' && line.back() == '>' &&
         std::none_of(line.begin(), line.end(), is_word_space);
}

bool is_object_marker(std::string_view marker) {
  return marker.find('|') != std::string_view::npos;
}

std::string_view trim(std::string_view line) {
  while (!line.empty() && is_word_space(line.front())) line.remove_prefix(1);
  while (!line.empty() && is_word_space(line.back())) line.remove_suffix(1);
  return line;
}

bool spelled_like_none(std::string_view exit) {
  constexpr std::string_view kLower = "none";
  if (exit.size() != kLower.size() || exit == kNoExit) return false;
  for (std::size_t i = 0; i < exit.size(); ++i) {
    if ((exit[i] | 0x20) != kLower[i]) return false;
  }
  return true;
}

// What a marker stands for, as messages name it: "room 'Hall'", "object 'lamp' of room 'Hall'".
std::string what(std::string_view marker) {
  const std::string_view inside = marker.substr(1, marker.size() - 2);
  const std::size_t bar = inside.find('|');
  if (bar == std::string_view::npos) return "room '" + std::string(inside) + "'";
  return "object '" + std::string(inside.substr(bar + 1)) + "' of room '" +
         std::string(inside.substr(0, bar)) + "'";
}

// A line that equals a marker. `holder` is the marker of the block whose text holds the line, or
// null when the line stands outside every text and so starts a block of its own.
struct Occurrence {
  std::int64_t line;
  const std::string* holder;
};

struct ObjectBlock {
  const std::string* marker;
  std::int64_t line;
  bool closed;
};

class Surveyor {
 public:
  explicit Surveyor(WorldFile& world) : world_(world) {}

  Survey run() {
    world_.count_lines();
    read_header();
    scan_lines();
    check_shadowed_markers();
    check_start();
    check_rooms();
    check_object_blocks();
    check_reachable();
    std::stable_sort(survey_.diagnostics.begin(), survey_.diagnostics.end(),
                     [](const Diagnostic& a, const Diagnostic& b) { return a.line < b.line; });
    return std::move(survey_);
  }

 private:
  void error(std::int64_t line, std::string message) {
    survey_.diagnostics.push_back({line, Severity::kError, std::move(message)});
  }
  void warning(std::int64_t line, std::string message) {
    survey_.diagnostics.push_back({line, Severity::kWarning, std::move(message)});
  }

  // The block the game would read for `marker`, when one stands outside every text.
  const Occurrence* block_of(const std::string& marker) const {
    const auto it = markers_.find(marker);
    if (it == markers_.end()) return nullptr;
    for (const Occurrence& seen : it->second) {
      if (seen.holder == nullptr) return &seen;
    }
    return nullptr;
  }

  void read_header() {
    world_.rewind();
    std::string word;
    if (!world_.read_word(word)) {
      error(1, "the file holds no header: the game starts nowhere and shows an empty description");
      return;
    }
    survey_.start = word;
    survey_.start_line = world_.line();
    if (!world_.read_word(word)) {
      error(survey_.start_line, "the header has no starting room: the file ends after '" + word +
                                    "', so the game looks for a room named '" + word + "'");
      return;
    }
    survey_.start = word;
    survey_.start_line = world_.line();
    header_complete_ = true;
  }

  // One pass over every line. A marker line outside every text starts a block, which is read
  // there and then; the pass then goes on from the line after the marker, through the block's
  // text, so that a marker line inside the text is seen too.
  void scan_lines() {
    world_.rewind();
    std::uint64_t text_begin = 0;
    std::uint64_t text_end = 0;
    const std::string* text_holder = nullptr;
    std::string line;
    std::string text;
    for (;;) {
      const std::uint64_t start = world_.offset();
      const std::int64_t number = world_.line();
      if (!world_.read_line(line)) break;
      const bool in_text = start >= text_begin && start < text_end;
      if (!is_marker(line)) {
        const std::string_view trimmed = trim(line);
        if (!in_text && trimmed.size() != line.size() && is_marker(trimmed)) {
          warning(number, "this line looks like the marker of " + what(trimmed) +
                              " but has blanks around it: no lookup will ever match it");
        }
        continue;
      }
      auto& [marker, seen] = *markers_.try_emplace(line).first;
      const Occurrence* earlier = block_of(marker);
      const bool first_block = earlier == nullptr;
      if (!in_text && !first_block) {
        warning(number, "a second block for " + what(marker) +
                            ": the game uses the first, at line " + std::to_string(earlier->line) +
                            ", so this one is never used");
      }
      seen.push_back({number, in_text ? text_holder : nullptr});
      if (in_text) continue;
      const std::uint64_t body = world_.offset();
      const std::int64_t body_line = world_.line();
      if (is_object_marker(marker)) {
        const bool closed = read_object_text(world_, text);
        text_end = world_.offset();
        if (first_block) objects_.push_back({&marker, number, closed});
      } else {
        SurveyedRoom room;
        room.room.id = marker.substr(1, marker.size() - 2);
        room.line = number;
        read_room_block(world_, room.room, &room.report);
        room.room.description = std::string();
        text_end = room.report.description_end;
        if (first_block) {
          survey_.room_index.emplace(room.room.id, survey_.rooms.size());
          survey_.rooms.push_back(std::move(room));
        }
      }
      text_begin = body;
      text_holder = &marker;
      world_.seek(body, body_line);
    }
  }

  void check_shadowed_markers() {
    for (const auto& [marker, seen] : markers_) {
      const Occurrence* block = block_of(marker);
      if (seen.front().holder == nullptr || block == nullptr) continue;
      warning(seen.front().line, "this line in the text of " + what(*seen.front().holder) +
                                     " equals the marker of the block at line " +
                                     std::to_string(block->line) + ": the game's lookup of " +
                                     what(marker) + " stops here, so that block is never used");
    }
  }

  void check_start() {
    if (!header_complete_ || survey_.find_room(survey_.start) != nullptr) return;
    if (is_marker(survey_.start)) {
      error(survey_.start_line, "the header has no starting room: its second word is the marker " +
                                    survey_.start + ", so the game looks for a room named '" +
                                    survey_.start + "'");
    } else {
      error(survey_.start_line,
            "the starting room '" + survey_.start +
                "' has no block: the game will start with an empty description");
    }
  }

  void check_rooms() {
    for (const SurveyedRoom& surveyed : survey_.rooms) {
      const Room& room = surveyed.room;
      const RoomBlockReport& report = surveyed.report;
      const std::string name = "room '" + room.id + "'";
      if (!report.description_closed) {
        error(surveyed.line, name +
                                 ": the description has no closing '*': it runs to the end of "
                                 "the file, and the room keeps the exits of the one before");
        continue;
      }
      // Past an exit that reads the next block's marker, every word belongs to that block.
      if (!check_exits(surveyed, name)) continue;
      if (report.exits_read < 4) {
        error(surveyed.line, name + ": the block ends before its " +
                                 kDirections[report.exits_read] +
                                 " exit: from there on the room keeps the exits of the one before");
      } else if (report.count_read == RoomBlockReport::Count::kMissing) {
        error(surveyed.line, name + ": the block ends before its object count");
      } else if (report.names_read < report.names_wanted) {
        error(surveyed.line, name + ": the block ends after " + std::to_string(report.names_read) +
                                 " of its " + std::to_string(report.names_wanted) +
                                 " object names");
      }
      if (report.count_read == RoomBlockReport::Count::kNotANumber) {
        error(report.count_line,
              name + ": the object count is not a number: the game reads no object names");
      } else if (report.count > kObjectSlots) {
        warning(report.count_line,
                name + ": the object count " + std::to_string(report.count) +
                    " is above three: the game reads the first three names only");
      } else if (report.count < 0) {
        warning(report.count_line, name + ": the object count " + std::to_string(report.count) +
                                       " is below zero: the game reads no object names");
      }
      check_objects(surveyed, name);
    }
  }

  // Checks the exits that were read, up to one that reads a marker line; false when one does.
  bool check_exits(const SurveyedRoom& surveyed, const std::string& name) {
    const Room& room = surveyed.room;
    for (int i = 0; i < surveyed.report.exits_read; ++i) {
      const std::string& exit = exit_of(room, i);
      const std::int64_t line = surveyed.report.exit_lines[i];
      if (exit == kNoExit) continue;
      if (is_marker(exit)) {
        error(line, name + ": the " + kDirections[i] + " exit reads the marker " + exit +
                        ": the block is missing words before it");
        return false;
      }
      if (spelled_like_none(exit)) {
        warning(line, name + ": the " + kDirections[i] + " exit '" + exit +
                          "' is not spelled 'None', so it names a room");
      }
      if (survey_.find_room(exit) == nullptr) {
        error(line, name + ": the " + kDirections[i] + " exit leads to room '" + exit +
                        "', which has no block: the game will keep the player in '" + room.id +
                        "' and print its description again");
      }
    }
    return true;
  }

  void check_objects(const SurveyedRoom& surveyed, const std::string& name) {
    const Room& room = surveyed.room;
    for (int i = 0; i < surveyed.report.names_read; ++i) {
      const std::string& object = room.objects[i];
      const std::int64_t line = surveyed.report.name_lines[i];
      if (std::find(room.objects.begin(), room.objects.begin() + i, object) !=
          room.objects.begin() + i) {
        warning(line, name + " lists the object '" + object + "' twice");
        continue;
      }
      if (is_marker(object)) {
        error(line, name + ": object name " + std::to_string(i + 1) + " reads the marker " +
                        object + ": the object count is more than the names given");
        continue;
      }
      const std::string marker = object_marker(room.id, object);
      listed_.insert(marker);
      if (block_of(marker) == nullptr) {
        error(line, name + ": the object '" + object + "' has no block " + marker +
                        ": the game will show an empty text");
      }
    }
  }

  void check_object_blocks() {
    for (const ObjectBlock& block : objects_) {
      const std::string& marker = *block.marker;
      if (!block.closed) {
        error(block.line,
              what(marker) + ": the text has no closing '*': it runs to the end of the file");
      }
      if (listed_.count(marker) != 0) continue;
      const std::string room = marker.substr(1, marker.find('|') - 1);
      warning(block.line, what(marker) + " is never shown: " +
                              (survey_.find_room(room) != nullptr
                                   ? "the room does not list it"
                                   : "there is no block for room '" + room + "'"));
    }
  }

  void check_reachable() {
    const SurveyedRoom* start = survey_.find_room(survey_.start);
    // Without a starting room every room would be unreachable; the header's error says enough.
    if (start == nullptr) return;
    std::deque<std::size_t> to_visit = {survey_.room_index.at(survey_.start)};
    survey_.rooms[to_visit.front()].reachable = true;
    while (!to_visit.empty()) {
      const SurveyedRoom& here = survey_.rooms[to_visit.front()];
      to_visit.pop_front();
      for (int i = 0; i < here.report.exits_read; ++i) {
        const auto next = survey_.room_index.find(exit_of(here.room, i));
        if (next == survey_.room_index.end() || survey_.rooms[next->second].reachable) continue;
        survey_.rooms[next->second].reachable = true;
        to_visit.push_back(next->second);
      }
    }
    for (const SurveyedRoom& room : survey_.rooms) {
      if (!room.reachable) {
        warning(room.line, "room '" + room.room.id +
                               "' cannot be reached from the starting room '" + survey_.start +
                               "'");
      }
    }
  }

  WorldFile& world_;
  Survey survey_;
  bool header_complete_ = false;  // both words of the header were there
  std::unordered_map<std::string, std::vector<Occurrence>> markers_;
  std::vector<ObjectBlock> objects_;
  std::unordered_set<std::string> listed_;  // markers of the objects that rooms list
};

std::string counted(std::size_t n, const char* noun) {
  return std::to_string(n) + " " + noun + (n == 1 ? "" : "s");
}

}  // namespace

const SurveyedRoom* Survey::find_room(std::string_view id) const {
  const auto it = room_index.find(std::string(id));
  return it == room_index.end() ? nullptr : &rooms[it->second];
}

Survey survey_world(WorldFile& world) { return Surveyor(world).run(); }

std::string summary(const Survey& survey) {
  const auto errors =
      std::count_if(survey.diagnostics.begin(), survey.diagnostics.end(),
                    [](const Diagnostic& d) { return d.severity == Severity::kError; });
  return counted(static_cast<std::size_t>(errors), "error") + ", " +
         counted(survey.diagnostics.size() - static_cast<std::size_t>(errors), "warning");
}

}  // namespace wander
