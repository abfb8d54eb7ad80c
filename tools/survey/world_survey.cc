#include "tools/survey/world_survey.h"

#include <algorithm>
#include <array>
#include <optional>
#include <unordered_map>

#include "text/utf8.h"
#include "tools/names/printable.h"

namespace wander {
namespace {

// Bytes of a line kept for a look at it, besides the whole of a line that could be a marker.
constexpr std::size_t kHeadBytes = 4096;

// Exits and object names longer than this are not read again: the names are kept already.
constexpr std::size_t kLongestReread = 4096;

bool has_nonblank(std::string_view bytes) {
  return std::find_if_not(bytes.begin(), bytes.end(), is_word_space) != bytes.end();
}

// The number of `marker`, which is kept as it is when new.
std::uint32_t add_marker(Survey& survey, std::string&& marker) {
  const std::uint32_t id = survey.names.add(std::move(marker));
  if (id == survey.markers.size()) survey.markers.emplace_back();
  return id;
}

// As add_marker for the marker that `name` is inside "<" and ">": `name` itself becomes the marker,
// so that a name as long as the file is held once.
std::uint32_t add_marker_around(Survey& survey, std::string&& name) {
  name.insert(name.begin(), '<');
  name.push_back('>');
  return add_marker(survey, std::move(name));
}

// A line as the pass sees it, piece by piece.
struct Line {
  TextPlace start;
  std::string head;          // its first bytes; all of them while it could be a marker
  std::uint64_t length = 0;  // its bytes, the line end not counted
  bool could_be_marker = true;
  bool nonblank = false;

  bool whole() const { return head.size() == length; }
};

// The last line of text seen that held more than blanks: a missing '*' would go at its end.
struct TextLine {
  std::int64_t line = 0;
  std::uint64_t start = 0;
  std::uint64_t end = 0;  // just past its last byte that is no blank
};

// One pass over every line of the file. Each marker line that is the first of its kind starts a
// block, and the block's text runs until the next '*': the pass keeps the blocks whose text is
// still open, and a '*' ends all of them at once. Whatever a text runs past (a marker line, lines
// ) is noted for the open blocks that have not met one yet, which stand at
// the end of the list, so that every line costs the same however many texts are open.
class LinePass {
 public:
  LinePass(WorldFile& world, Survey& survey) : world_(world), survey_(survey) {}

  void run() {
    world_.rewind();
    std::string_view piece;
    bool line_ends = false;
    for (;;) {
      Line line;
      line.start = world_.place();
      if (!world_.read_line_piece(piece, line_ends)) break;
      std::uint64_t at = line.start.offset;
      for (;;) {
        scan(line, piece, at);
        if (line_ends) break;
        at += piece.size();
        world_.read_line_piece(piece, line_ends);
      }
      checking_words_after_ = false;
      // The line end is a byte of the text too: it cuts short a character begun before it.
      check_encoding(line, "\n", line.start.offset + line.length);
      finish(line, static_cast<std::uint8_t>(world_.offset() - at - piece.size()));
    }
    end_of_file();
  }

 private:
  void scan(Line& line, std::string_view piece, std::uint64_t at) {
    if (line.could_be_marker || line.head.size() < kHeadBytes) {
      const std::size_t take = line.could_be_marker
                                   ? piece.size()
                                   : std::min(piece.size(), kHeadBytes - line.head.size());
      const std::size_t old = line.head.size();
      line.head.append(piece.substr(0, take));
      if (line.head.empty() || line.head.front() != '<' ||
          std::any_of(line.head.begin() + old, line.head.end(), is_word_space)) {
        line.could_be_marker = false;
      }
    }
    line.length += piece.size();
    if (!line.nonblank) line.nonblank = has_nonblank(piece);
    if (checking_words_after_ && has_nonblank(piece)) note_words_after();
    std::size_t text_from = 0;  // the bytes before a '*' are text of the blocks still open
    for (std::size_t i = piece.find('*'); i != std::string_view::npos; i = piece.find('*', i + 1)) {
      check_encoding(line, piece.substr(text_from, i - text_from), at + text_from);
      text_from = i + 1;
      on_star({at + i, line.start.line, line.start.offset});
      if (checking_words_after_ && has_nonblank(piece.substr(i + 1))) note_words_after();
    }
    check_encoding(line, piece.substr(text_from), at + text_from);
  }

  // Notes, for the open texts that have none yet, the first byte that is no part of valid UTF-8:
  // a text saved as Windows-1252 shows as garbage in a terminal. `at` is the offset of `bytes`.
  void check_encoding(const Line& line, std::string_view bytes, std::uint64_t at) {
    if (unchecked_from_ >= open_.size()) {
      encoding_.reset();
      return;
    }
    const std::optional<std::uint64_t> bad = encoding_.first_bad(bytes, at);
    if (!bad) return;
    for (std::size_t i = unchecked_from_; i < open_.size(); ++i) {
      trouble_of(open_[i]).bad_byte = {*bad, line.start.line, line.start.offset};
    }
    unchecked_from_ = open_.size();
  }

  void note_words_after() {
    close_.words_after = true;
    checking_words_after_ = false;
  }

  void finish(Line& line, std::uint8_t line_end) {
    if (line.whole()) note_near_marker(line);
    if (line.whole() && line.could_be_marker && is_marker_line(line.head)) {
      on_marker(line, line_end);
      return;
    }
    if (line.nonblank) {
      std::uint64_t end = line.start.offset + line.length;
      if (line.whole()) {
        const auto last = std::find_if_not(line.head.rbegin(), line.head.rend(), is_word_space);
        end = line.start.offset + static_cast<std::uint64_t>(line.head.rend() - last);
      }
      last_text_ = {line.start.line, line.start.offset, end};
    }
  }

  // Takes the line's bytes as the marker's, so that a long marker line is held once.
  void on_marker(Line& line, std::uint8_t line_end) {
    const bool object = is_object_marker(line.head);
    const std::uint32_t id = survey_.names.add(std::move(line.head));
    if (id == survey_.markers.size()) survey_.markers.emplace_back();
    marker_since_close_ = true;
    Marker& marker = survey_.markers[id];
    if (marker.has_block()) {
      // A block began at an earlier line equal to this one: here the game sees only text.
      for (std::size_t i = unquoted_from_; i < open_.size(); ++i) {
        TextTrouble& trouble = trouble_of(open_[i]);
        trouble.quoted_marker = id;
        trouble.quoted_marker_place = line.start;
      }
      unquoted_from_ = open_.size();
      if (open_.empty()) survey_.duplicates.push_back({id, line.start});
      return;
    }
    for (std::size_t i = unmarked_from_; i < open_.size(); ++i) {
      const TextPlace wanted = star_wanted(open_[i]);
      TextTrouble& trouble = trouble_of(open_[i]);
      trouble.past_marker = id;
      trouble.past_marker_line = line.start.line;
      if (trouble.star_wanted.line == 0) trouble.star_wanted = wanted;
    }
    unmarked_from_ = open_.size();
    marker.line = static_cast<std::uint64_t>(line.start.line);
    marker.start = line.start.offset;
    marker.line_end = line_end;
    marker.inside = open_.empty() ? kNoName : open_.front();
    open_.push_back(id);
    if (!object) {
      marker.room = static_cast<std::uint32_t>(survey_.rooms.size());
      survey_.rooms.emplace_back().marker = id;
    }
  }

  // A line such as " <Hall>", "<Boiler Room>" or "<Hall>" and a no-break space.
  void note_near_marker(const Line& line) {
    const std::string_view text = line.head;
    // Most lines that start with '<' are markers as they should be: no blank, and no byte that
    // could start a look-alike blank (each starts with a byte of A0 or more).
    if (line.could_be_marker && std::none_of(text.begin(), text.end(), [](char c) {
          return static_cast<unsigned char>(c) >= 0xa0;
        })) {
      return;
    }
    // Leading blanks and look-alike blanks, then the marker's '<'. The line is walked a whole
    // character at a time: the byte A0 inside "à" is no blank.
    const auto blank_at = [&text](std::size_t at) -> std::size_t {
      if (is_word_space(text[at])) return 1;
      return blank_lookalike_length(text.substr(at));
    };
    std::size_t first = 0;
    while (first < text.size() && blank_at(first) != 0) first += blank_at(first);
    if (first >= text.size() || text[first] != '<') return;
    // The end of its last character that is no blank, and its first blank after the '<'.
    std::size_t last = first;
    std::size_t inner_flaw = std::string_view::npos;
    for (std::size_t at = first; at < text.size(); at += character_length(text.substr(at))) {
      if (blank_at(at) == 0) {
        last = at + character_length(text.substr(at));
      } else if (inner_flaw == std::string_view::npos) {
        inner_flaw = at;
      }
    }
    if (last - first < 3 || text[last - 1] != '>') return;
    std::size_t flaw = first > 0 ? 0 : inner_flaw < last ? inner_flaw : last;
    if (flaw == text.size()) return;  // a marker as it should be
    survey_.near_markers.push_back({{line.start.offset + flaw, line.start.line, line.start.offset},
                                    std::string(text),
                                    !open_.empty()});
  }

  void on_star(const TextPlace& star) {
    if (!open_.empty()) {
      for (const std::uint32_t id : open_) {
        Marker& marker = survey_.markers[id];
        marker.text_end = star.offset;
        marker.closed = true;
        if (marker.room != kNoName) {
          survey_.rooms[marker.room].star_line = star.line;
          survey_.rooms[marker.room].star_line_start = star.line_start;
        }
      }
      close_.star = star;
      close_.markers.swap(open_);
      open_.clear();
      close_.words_after = false;
      close_.later_star_seen = false;
      unmarked_from_ = unquoted_from_ = unchecked_from_ = 0;
      encoding_.reset();
      marker_since_close_ = false;
      checking_words_after_ = true;
      return;
    }
    // A second '*' with no marker line between: the first one probably stood inside the text.
    if (marker_since_close_ || !close_.words_after || close_.later_star_seen) return;
    close_.later_star_seen = true;
    for (const std::uint32_t id : close_.markers) trouble_of(id).early_star = close_.star;
  }

  void end_of_file() {
    survey_.end = world_.place();
    for (const std::uint32_t id : open_) {
      survey_.markers[id].text_end = survey_.end.offset;
      const TextPlace wanted = star_wanted(id);
      TextTrouble& trouble = trouble_of(id);
      if (trouble.star_wanted.line == 0) trouble.star_wanted = wanted;
    }
  }

  // Where the '*' of the block `id` would go if its text ended at the last line of text seen.
  TextPlace star_wanted(std::uint32_t id) const {
    const Marker& marker = survey_.markers[id];
    if (last_text_.line > marker.place().line) {
      return {last_text_.end, last_text_.line, last_text_.start};
    }
    return {marker.start + survey_.names[id].size(), marker.place().line, marker.start};
  }

  TextTrouble& trouble_of(std::uint32_t id) {
    const auto [it, added] = trouble_index_.try_emplace(id, survey_.troubles.size());
    if (added) survey_.troubles.emplace_back().marker = id;
    return survey_.troubles[it->second];
  }

  // The last '*' that ended texts, and what followed it.
  struct Close {
    TextPlace star;
    std::vector<std::uint32_t> markers;
    bool words_after = false;  // more than blanks after it on its line
    bool later_star_seen = false;
  };

  WorldFile& world_;
  Survey& survey_;
  std::vector<std::uint32_t> open_;  // blocks whose text has met no '*' yet, in file order
  std::size_t unmarked_from_ = 0;    // open_[i] for i >= this has run past no marker line
  std::size_t unquoted_from_ = 0;    // likewise for lines equal to earlier blocks' markers
  std::size_t unchecked_from_ = 0;   // likewise for bytes that are no part of valid UTF-8
  Utf8Stream encoding_;
  TextLine last_text_;
  Close close_;
  bool marker_since_close_ = true;
  bool checking_words_after_ = false;
  std::unordered_map<std::uint32_t, std::size_t> trouble_index_;
};

void read_header(WorldFile& world, Survey& survey) {
  world.rewind();
  std::string start;
  HeaderWords words;
  wander::read_header(world, start, &words);
  if (words.words == 0) return;
  survey.first_word_place = words.label_place;
  survey.start_place = words.start_place;
  survey.header_words = words.words;
  survey.label = std::move(words.label);
  survey.byte_order_mark = survey.first_word_place.offset == 0 &&
                           (words.words == 2 ? survey.label : start).starts_with("\xef\xbb\xbf");
  survey.start_marker = add_marker_around(survey, std::move(start));
  survey.markers[survey.start_marker].named = true;
  survey.start = survey.room_id(survey.start_marker);
}

// A block whose marker holds a '|' is read as an object's; when an exit names it as a room, the
// place of its description's '*' is found here.
void add_room(WorldFile& world, Survey& survey, std::uint32_t id) {
  Marker& marker = survey.markers[id];
  marker.room = static_cast<std::uint32_t>(survey.rooms.size());
  SurveyedRoom& room = survey.rooms.emplace_back();
  room.marker = id;
  if (!marker.closed) return;
  const std::uint64_t begin = survey.text_begin(id);
  world.seek({begin, marker.place().line + 1, begin});
  // The line the description's '*' stands on, found without keeping the description.
  TextPlace star_line = world.place();
  std::string_view piece;
  bool line_ends = false;
  for (;;) {
    const TextPlace before = world.place();
    if (!world.read_line_piece(piece, line_ends)) break;
    if (before.offset == before.line_start) star_line = before;
    if (world.offset() > marker.text_end) break;
  }
  room.star_line = star_line.line;
  room.star_line_start = star_line.line_start;
}

// Notes the exits of `read` as those of room `index`; each exit's name is taken from `read`.
void note_exits(WorldFile& world, Survey& survey, std::size_t index, Room& read) {
  for (int direction = 0; direction < 4; ++direction) {
    std::string& exit = exit_of(read, direction);
    if (exit.empty()) continue;
    std::uint32_t id = kNoExitName;
    if (exit != kNoExit) {
      id = add_marker_around(survey, std::move(exit));
      survey.markers[id].named = true;
      if (survey.markers[id].has_block() && survey.markers[id].room == kNoName) {
        add_room(world, survey, id);
      }
    }
    survey.rooms[index].exits[direction] = id;
  }
}

void note_objects(Survey& survey, std::size_t index, const Room& read) {
  const std::string_view room_id = survey.room_id(survey.rooms[index].marker);
  for (int i = 0; i < kObjectSlots; ++i) {
    if (read.objects[i].empty()) continue;
    const std::uint32_t id = add_marker(survey, object_marker(room_id, read.objects[i]));
    survey.markers[id].listed = true;
    survey.rooms[index].objects[i] = id;
  }
}

// The label words written in each label's place by the blocks whose words read in full.
class LabelVotes {
 public:
  void add(std::array<std::string, 5>& labels) {
    for (std::size_t slot = 0; slot < labels.size(); ++slot) {
      auto& votes = votes_[slot];
      // A world that writes a new label in every block has no labels to learn: the table of
      // votes stays small.
      const auto it = votes.find(labels[slot]);
      if (it != votes.end()) {
        ++it->second.first;
      } else if (votes.size() < kMostLabels) {
        votes.emplace(std::move(labels[slot]), std::pair(1, order_++));
      }
    }
  }

  // The label most written in each place; of two written as often, the first seen.
  std::array<std::string, 5> winners() const {
    std::array<std::string, 5> labels;
    for (std::size_t slot = 0; slot < labels.size(); ++slot) {
      std::pair<int, std::int64_t> best{0, 0};
      for (const auto& [word, vote] : votes_[slot]) {
        if (vote.first > best.first || (vote.first == best.first && vote.second < best.second)) {
          best = {vote.first, vote.second};
          labels[slot] = word;
        }
      }
    }
    return labels;
  }

 private:
  static constexpr std::size_t kMostLabels = 64;
  std::array<std::unordered_map<std::string, std::pair<int, std::int64_t>>, 5> votes_;
  std::int64_t order_ = 0;
};

// Reads the exits and objects of every room, in file order. Rooms whose descriptions end at the
// same '*' share what follows it, which is read once.
void read_exits(WorldFile& world, Survey& survey) {
  Room read;
  RoomBlockReport report;
  LabelVotes votes;
  std::uint64_t read_after = UINT64_MAX;
  std::size_t read_by = 0;  // the room whose exits were read there
  for (std::size_t i = 0; i < survey.rooms.size(); ++i) {
    const SurveyedRoom& room = survey.rooms[i];
    if (!survey.markers[room.marker].closed) continue;
    const TextPlace star = survey.star(room);
    if (star.offset != read_after) {
      read = Room();
      world.seek({star.offset + 1, star.line, star.line_start});
      read_room_exits(world, read, &report);
      if (report.in_full()) votes.add(report.labels);
      read_after = star.offset;
      read_by = i;
      note_exits(world, survey, i, read);
    } else {
      survey.rooms[i].exits = survey.rooms[read_by].exits;
    }
    note_objects(survey, i, read);
  }
  survey.labels = votes.winners();
}

void find_reachable(Survey& survey) {
  const SurveyedRoom* start = survey.start_room();
  if (start == nullptr || survey.header_words == 0) return;
  std::vector<std::uint32_t> to_visit = {survey.markers[start->marker].room};
  survey.markers[start->marker].reachable = true;
  while (!to_visit.empty()) {
    const SurveyedRoom& here = survey.rooms[to_visit.back()];
    to_visit.pop_back();
    for (const std::uint32_t exit : here.exits) {
      if (exit >= kNoExitName) continue;
      const std::uint32_t next = survey.markers[exit].room;
      if (next == kNoName || survey.markers[exit].reachable) continue;
      survey.markers[exit].reachable = true;
      to_visit.push_back(next);
    }
  }
}

}  // namespace

int Survey::label_slot(std::string_view word) const {
  const auto stem = [](std::string_view w) {
    if (w.ends_with(':')) return w.substr(0, w.size() - 1);
    if (w.ends_with("\xef\xbc\x9a")) return w.substr(0, w.size() - 3);
    return w;
  };
  const std::string_view asked = stem(word);
  for (std::size_t slot = 0; slot < labels.size(); ++slot) {
    const std::string_view label = stem(labels[slot]);
    if (!label.empty() && asked.size() == label.size() &&
        std::equal(asked.begin(), asked.end(), label.begin(), [](char a, char b) {
          return (a >= 'A' && a <= 'Z' ? a | 0x20 : a) == (b >= 'A' && b <= 'Z' ? b | 0x20 : b);
        })) {
      return static_cast<int>(slot);
    }
  }
  return -1;
}

std::string_view Survey::room_id(std::uint32_t marker) const {
  const std::string_view line = names[marker];
  return line.substr(1, line.size() - 2);
}

const SurveyedRoom* Survey::find_room(std::string_view id) const {
  const std::uint32_t marker = names.find(room_marker_pieces(id));
  if (marker == kNoName || markers[marker].room == kNoName) return nullptr;
  return &rooms[markers[marker].room];
}

std::uint64_t Survey::text_begin(std::uint32_t marker) const {
  return markers[marker].start + names[marker].size() + markers[marker].line_end;
}

Survey survey_world(WorldFile& world) {
  Survey survey;
  world.count_lines();
  read_header(world, survey);
  LinePass(world, survey).run();
  read_exits(world, survey);
  find_reachable(survey);
  return survey;
}

TextPlace star_before_words(WorldFile& world, const Survey& survey, std::uint32_t marker,
                            std::uint64_t end) {
  // The words after a description are at most this many, so they stand on at most this many
  // lines that are not blank; the line before them is kept too.
  constexpr std::size_t kLines = kRoomSlots + 1;
  struct Kept {
    TextPlace start;
    std::uint64_t end;  // just past its last byte that is no blank
    std::string bytes;  // empty when the line was too long to keep
  };
  std::deque<Kept> kept;
  const Marker& block = survey.markers[marker];
  const std::uint64_t begin = survey.text_begin(marker);
  world.seek({begin, block.place().line + 1, begin});
  std::string line;
  bool longer = false;
  while (world.offset() < end) {
    const TextPlace start = world.place();
    if (!world.read_line(line, kHeadBytes, longer)) break;
    // A '*' may end the text inside its last line.
    if (start.offset + line.size() > end) line.resize(end - start.offset);
    const auto last = std::find_if_not(line.rbegin(), line.rend(), is_word_space);
    if (!longer && last == line.rend()) continue;
    kept.push_back({start, start.offset + static_cast<std::uint64_t>(line.rend() - last), line});
    if (kept.size() > kLines) kept.pop_front();
  }
  std::string words;
  for (std::size_t first = kept.size(); first-- > 0;) {
    if (kept[first].bytes.empty()) break;
    words.insert(0, kept[first].bytes + "\n");
    if (!reads_as_block_words(words)) continue;
    if (first > 0)
      return {kept[first - 1].end, kept[first - 1].start.line, kept[first - 1].start.offset};
    // No text before them: the '*' goes right after the marker line.
    if (kept.size() == kLines) break;
    return {block.start + survey.names[marker].size(), block.place().line, block.start};
  }
  return {0, 0, 0};
}

RoomBlockReport reread_room_exits(WorldFile& world, const Survey& survey,
                                  const SurveyedRoom& surveyed, Room& room) {
  RoomBlockReport report;
  room = Room();
  if (!survey.markers[surveyed.marker].closed) return report;
  const TextPlace star = survey.star(surveyed);
  world.seek({star.offset + 1, star.line, star.line_start});
  read_room_exits(world, room, &report, kLongestReread);
  return report;
}

std::string_view report_word(const Survey& survey, const SurveyedRoom& room,
                             const RoomBlockReport& report, int slot) {
  if (!report.cut[slot]) return report.word(slot);
  if (slot < kCountLabelSlot) return survey.room_id(room.exits[slot / 2]);
  // "<room|name>": the name is what follows the room and its bar, which may hold bars of its own.
  const std::string_view marker = survey.names[room.objects[slot - kFirstNameSlot]];
  const std::size_t skip = survey.room_id(room.marker).size() + 2;
  return marker.substr(skip, marker.size() - skip - 1);
}

TextClaim object_text_claim(const Survey& survey, std::string_view room_id, std::string_view name) {
  const std::uint32_t id = survey.names.find(object_marker_pieces(room_id, name));
  if (id == kNoName || !survey.markers[id].has_block()) return {};
  const Marker& marker = survey.markers[id];
  return {true, marker.closed != 0, survey.text_begin(id), marker.text_end};
}

}  // namespace wander
