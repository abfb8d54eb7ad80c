#include "tools/checks/world_checks.h"

#include <algorithm>
#include <optional>
#include <tuple>
#include <unordered_map>

#include "tools/names/name_suggester.h"
#include "tools/names/printable.h"

namespace wander {
namespace {

// Which cause explains a problem best: a wrong header before a broken marker line, before a text
// that runs on, before the words of a block. A problem is folded only into a cause that comes
// before it in this order, so that folding never goes round in a circle.
// Steps each suggestion search may take: this many, and this many more for each byte of the file.
constexpr std::uint64_t kSuggestionSteps = 10'000'000;
constexpr std::uint64_t kSuggestionStepsPerByte = 8;

enum Rank { kHeaderRank, kNearMarkerRank, kTextRank, kBlockRank, kSymptomRank };

// What a problem is about, or what a cause explains: a marker's block (its number), whether its
// room can be reached (its number with kReach added), or the words of its room block from a cause
// among them on (with kWords added).
constexpr std::uint32_t kReach = 1u << 31;
constexpr std::uint32_t kWords = 1u << 30;

struct Finding {
  Diagnostic diagnostic;
  int rank = kSymptomRank;
  std::vector<std::uint32_t> about;   // what it concerns
  std::vector<std::uint32_t> claims;  // what it explains, when it is a cause
};

// Names in messages are escaped, and a name too long to read is shortened in the middle: a
// message costs no more than a line, however long the name.
constexpr std::size_t kLongestShown = 80;

std::string shown(std::string_view name) { return printable_elided(name, kLongestShown); }

std::string quoted(std::string_view name) { return "'" + shown(name) + "'"; }

// "room 'Hall'" for <Hall>, "object 'lamp' of room 'Hall'" for <Hall|lamp>.
std::string block_words(std::string_view marker) {
  const std::string_view inside = marker.substr(1, marker.size() - 2);
  const std::size_t bar = inside.find('|');
  if (bar == std::string_view::npos) return "room " + quoted(inside);
  return "object " + quoted(inside.substr(bar + 1)) + " of room " + quoted(inside.substr(0, bar));
}

std::string text_words(std::string_view marker) {
  return (is_object_marker(marker) ? "the text of " : "the description of ") + block_words(marker);
}

// "south and west", "east, south and west".
std::string joined(const std::vector<std::string>& words) {
  std::string out;
  for (std::size_t i = 0; i < words.size(); ++i) {
    if (i > 0) out += i + 1 == words.size() ? " and " : ", ";
    out += words[i];
  }
  return out;
}

std::string directions_from(int first, int end) {
  std::vector<std::string> names;
  for (int direction = first; direction < end; ++direction) names.push_back(kDirections[direction]);
  return joined(names) + (names.size() == 1 ? " exit" : " exits");
}

// What a slot of a room block is, in a message.
std::string slot_words(int slot) {
  if (slot < kCountLabelSlot) {
    return std::string(slot % 2 == 0 ? "the label of the " : "the ") + kDirections[slot / 2] +
           " exit";
  }
  if (slot == kCountLabelSlot) return "the label of the object count";
  if (slot == kCountSlot) return "the object count";
  return "object name " + std::to_string(slot - kFirstNameSlot + 1);
}

std::string capitalized(std::string_view word) {
  std::string out(word);
  if (!out.empty() && out[0] >= 'a' && out[0] <= 'z')
    out[0] = static_cast<char>(out[0] - 'a' + 'A');
  return out;
}

TextPlace moved(const TextPlace& place, std::uint64_t bytes) {
  return {place.offset + bytes, place.line, place.line_start};
}

bool spelled_like_none(std::string_view exit) {
  return exit != kNoExit && exit.size() == kNoExit.size() &&
         std::equal(exit.begin(), exit.end(), kNoExit.begin(),
                    [](char a, char b) { return (a | 0x20) == (b | 0x20); });
}

bool is_number(std::string_view word) {
  if (!word.empty() && (word.front() == '-' || word.front() == '+')) word.remove_prefix(1);
  return !word.empty() &&
         std::all_of(word.begin(), word.end(), [](char c) { return c >= '0' && c <= '9'; });
}

std::size_t count_words(std::string_view line) {
  std::size_t words = 0;
  bool in_word = false;
  for (const char c : line) {
    words += !in_word && !is_word_space(c);
    in_word = !is_word_space(c);
  }
  return words;
}

// The words of a line such as "<Boiler Room>": what exits that name the room read.
std::vector<std::string> words_inside_marker(std::string_view line) {
  std::vector<std::string> words;
  std::string word;
  const auto flush = [&] {
    if (!word.empty()) words.push_back(std::move(word));
    word.clear();
  };
  for (std::size_t i = 0; i < line.size();) {
    const std::size_t length = character_length(line.substr(i));
    const std::size_t lookalike = blank_lookalike_length(line.substr(i));
    if (is_word_space(line[i]) || lookalike != 0 || line[i] == '<' || line[i] == '>') {
      flush();
    } else {
      word.append(line.substr(i, length));
    }
    i += length;
  }
  flush();
  return words;
}

// The line without its blanks and look-alike blanks: the marker it was probably meant to be.
std::string without_blanks(std::string_view line) {
  std::string out;
  for (std::size_t i = 0; i < line.size();) {
    const std::size_t length = character_length(line.substr(i));
    if (blank_lookalike_length(line.substr(i)) == 0 && !is_word_space(line[i])) {
      out.append(line.substr(i, length));
    }
    i += length;
  }
  return out;
}

// Lets a table keyed by strings be searched with a view of one, which is never copied.
struct TextHash {
  using is_transparent = void;
  std::size_t operator()(std::string_view text) const {
    return std::hash<std::string_view>{}(text);
  }
};

struct Checks {
  Checks(WorldFile& reader, const Survey& surveyed) : world(reader), survey(surveyed) {}

  WorldFile& world;
  const Survey& survey;
  std::vector<Finding> findings;
  // A block whose marker stands inside another block's text is found there because that text
  // runs on: that it cannot be reached, or that its own block further on is never used, follows
  // from it. Such problems are only counted, by the outermost block whose text runs on, so that
  // a world of nested blocks costs no memory per problem.
  std::unordered_map<std::uint32_t, int> counted_inside;
  // Markers with a second block outside every text: the line of the first such block.
  std::unordered_map<std::uint32_t, std::int64_t> second_blocks;
  // Near-marker lines with a blank inside, by their words joined with blanks (the first such line
  // for each): exits that name such a room read its words one by one. For each first word, how
  // many words the lines that start with it hold.
  std::unordered_map<std::string, std::size_t, TextHash, std::equal_to<>> split_names;
  std::unordered_map<std::string, std::vector<std::size_t>, TextHash, std::equal_to<>>
      split_name_lengths;
  std::vector<std::vector<std::uint32_t>> split_name_rooms;  // by near-marker: rooms that read it
  // Built on the first suggestion each needs, when a name has no block.
  std::optional<NameSuggester> rooms_meant;
  std::optional<NameSuggester> objects_meant;
  std::uint64_t listing_steps = 0;  // names looked at to list the ones a suggestion may be
  std::string count_word;           // see slot_word
  int cause_slot = kRoomSlots;      // of the room being checked: the slot of its words' cause

  Finding& add(Severity severity, const TextPlace& place, std::uint64_t width, std::string message,
               int rank) {
    Finding& finding = findings.emplace_back();
    finding.diagnostic.range = {place, std::max<std::uint64_t>(width, 1)};
    finding.diagnostic.severity = severity;
    finding.diagnostic.message = std::move(message);
    finding.rank = rank;
    return finding;
  }
  Finding& error(const TextPlace& place, std::uint64_t width, std::string message,
                 int rank = kSymptomRank) {
    return add(Severity::kError, place, width, std::move(message), rank);
  }
  Finding& warning(const TextPlace& place, std::uint64_t width, std::string message) {
    return add(Severity::kWarning, place, width, std::move(message), kSymptomRank);
  }

  // The outermost block whose text holds the marker of `key`, or kNoName.
  std::uint32_t outermost_container(std::uint32_t key) const {
    std::uint32_t marker = key & ~(kReach | kWords);
    if (marker >= survey.markers.size() || survey.markers[marker].inside == kNoName) return kNoName;
    while (survey.markers[marker].inside != kNoName) marker = survey.markers[marker].inside;
    return marker;
  }

  std::string_view name(std::uint32_t id) const { return survey.names[id]; }
  TextPlace marker_place(std::uint32_t id) const {
    const Marker& marker = survey.markers[id];
    return marker.place();
  }
  // A room to name in an example header.
  std::string example_room() const {
    return survey.rooms.empty() ? "Hall" : shown(survey.room_id(survey.rooms.front().marker));
  }

  // Each suggestion search may take steps in proportion to the file: a world with thousands of
  // misspelt names stays linear, and the names past the budget get no suggestion.
  std::uint64_t suggestion_budget() const {
    return kSuggestionSteps + kSuggestionStepsPerByte * survey.end.offset;
  }

  // The room `id` was probably meant to name, or an empty string.
  std::string nearest_room(std::string_view id) {
    if (!rooms_meant) {
      std::vector<std::string_view> names;
      names.reserve(survey.rooms.size());
      for (const SurveyedRoom& room : survey.rooms) names.push_back(survey.room_id(room.marker));
      listing_steps += survey.rooms.size();
      rooms_meant.emplace(std::move(names), suggestion_budget());
    }
    return std::string(rooms_meant->nearest(id));
  }
  std::string did_you_mean_room(std::string_view id) {
    const std::string near = nearest_room(id);
    return near.empty() ? "" : "; did you mean " + quoted(near) + "?";
  }
  std::string did_you_mean_object(std::string_view marker) {
    if (!objects_meant) {
      std::vector<std::string_view> markers;
      for (std::uint32_t id = 0; id < survey.markers.size(); ++id) {
        if (survey.markers[id].has_block() && is_object_marker(name(id))) {
          markers.push_back(name(id));
        }
      }
      listing_steps += survey.markers.size();
      objects_meant.emplace(std::move(markers), suggestion_budget());
    }
    const std::string_view near = objects_meant->nearest(marker);
    return near.empty() ? "" : "; did you mean " + shown(near) + "?";
  }
  std::uint64_t suggestion_steps() const {
    return listing_steps + (rooms_meant ? rooms_meant->steps() : 0) +
           (objects_meant ? objects_meant->steps() : 0);
  }
};

// A cause in the header: the game starts in the wrong room, and all that follows from it.
void header_cause(Checks& c, const TextPlace& place, std::uint64_t width, std::string message) {
  c.error(place, width, std::move(message), kHeaderRank).claims = {c.survey.start_marker};
}

std::string begin_with_a_header(const Checks& c) {
  return "begin the file with a line such as 'Start: " + c.example_room() + "'";
}

// "Start:" and "Hall" joined by a no-break space: one word to the game.
bool header_with_lookalike_blank(Checks& c) {
  const Survey& s = c.survey;
  const std::pair<std::string_view, const TextPlace*> words[] = {
      {s.first_word(), &s.first_word_place}, {s.start, &s.start_place}};
  for (int i = 0; i < s.header_words; ++i) {
    const std::string_view word = words[i].first;
    if (const LookalikePlace blank = find_blank_lookalike(word); blank.length != 0) {
      header_cause(c, moved(*words[i].second, blank.at), blank.length,
                   blank_lookalike_name(word.substr(blank.at)) + " in " + quoted(word) +
                       " is no blank to the game: it reads the header's words as " +
                       quoted(s.first_word()) +
                       (s.header_words == 2 ? " and " + quoted(s.start) : std::string()) +
                       ", so the starting room is " + quoted(s.start));
      return true;
    }
  }
  return false;
}

// A block's marker, or a sentence, where the header should be; a header of one word.
bool header_missing(Checks& c) {
  const Survey& s = c.survey;
  if (is_marker_line(s.first_word())) {
    header_cause(c, s.first_word_place, s.first_word().size(),
                 "the file starts with the marker " + shown(s.first_word()) +
                     ", not with a header: the game takes " + quoted(s.start) +
                     " for the starting room; " + begin_with_a_header(c));
    return true;
  }
  if (s.header_words == 1) {
    header_cause(c, s.first_word_place, s.first_word().size(),
                 "the header has no starting room: the file ends after " + quoted(s.first_word()) +
                     ", so the game looks for a room named " + quoted(s.first_word()));
    return true;
  }
  if (is_marker_line(s.start)) {
    header_cause(c, s.start_place, s.start.size(),
                 "the header has no starting room: its second word is the marker " +
                     shown(s.start) + ", so the game looks for a room named " + quoted(s.start));
    return true;
  }
  if (s.start_room() != nullptr || s.start_place.line != s.first_word_place.line ||
      count_words(read_line_at(c.world, s.first_word_place, 4096)) <= 2) {
    return false;
  }
  header_cause(c, s.first_word_place, s.first_word().size(),
               "the file starts with a sentence, not with a header: the game takes its second "
               "word, " +
                   quoted(s.start) + ", for the starting room; " + begin_with_a_header(c));
  return true;
}

void check_header(Checks& c) {
  const Survey& s = c.survey;
  if (s.header_words == 0) {
    c.error({0, 1, 0}, 1,
            "the file holds no header: the game starts nowhere and shows an empty description; " +
                begin_with_a_header(c),
            kHeaderRank);
    return;
  }
  if (header_with_lookalike_blank(c) || header_missing(c) || s.start_room() != nullptr) {
    return;
  }
  c.error(s.start_place, s.start.size(),
          "the starting room " + quoted(s.start) +
              " has no block: the game starts with an empty description" +
              c.did_you_mean_room(s.start))
      .about = {s.start_marker};
}

void check_texts(Checks& c) {
  for (const TextTrouble& trouble : c.survey.troubles) {
    const std::uint32_t id = trouble.marker;
    const std::string_view marker = c.name(id);
    const Marker& block = c.survey.markers[id];
    const bool room = !is_object_marker(marker);
    const auto second = c.second_blocks.find(trouble.past_marker);
    if (second != c.second_blocks.end() &&
        c.survey.markers[trouble.past_marker].place().line == trouble.past_marker_line) {
      // The text holds a marker line whose block the author wrote further on.
      const std::string_view inner = c.name(trouble.past_marker);
      c.error(c.marker_place(trouble.past_marker), inner.size(),
              text_words(marker) + " holds the line " + shown(inner) +
                  ", the first in the file equal to that marker: the game reads the block of " +
                  block_words(inner) + " from here, and never the one at line " +
                  std::to_string(second->second),
              kTextRank)
          .about = {id};
      c.findings.back().claims = {id};
    } else if (trouble.past_marker != kNoName) {
      c.error(trouble.star_wanted, 1,
              text_words(marker) + " runs on past the marker " +
                  shown(c.name(trouble.past_marker)) + " at line " +
                  std::to_string(trouble.past_marker_line) +
                  (block.closed ? "" : " and to the end of the file") +
                  ": its '*' is probably missing here",
              kTextRank)
          .about = {id};
      c.findings.back().claims = {id};
    } else if (!block.closed) {
      c.error(trouble.star_wanted, 1,
              text_words(marker) + " has no closing '*': it runs to the end of the file" +
                  (room ? ", and the room keeps the exits of the one before" : "") +
                  "; the '*' is probably missing here",
              kTextRank)
          .about = {id};
      c.findings.back().claims = {id};
    } else if (trouble.early_star.line != 0) {
      c.error(trouble.early_star, 1,
              "a '*' inside " + text_words(marker) + " ends it here: " +
                  (room ? "the words after it are read as the room's exits"
                        : "the player sees only the text before it") +
                  "; a text cannot hold a '*'",
              kTextRank)
          .about = {id};
      c.findings.back().claims = {id};
    } else if (trouble.label_line != 0) {
      c.warning(trouble.star_wanted, 1,
                text_words(marker) + " holds a line that reads like exits, at line " +
                    std::to_string(trouble.label_line) +
                    ": if its '*' is missing, it probably belongs here");
    }
  }
}

// A problem with the words of a room block, which the rest of the block follows from.
void cause(Checks& c, const SurveyedRoom& room, int slot, const TextPlace& place,
           std::uint64_t width, std::string message) {
  Finding& finding = c.error(place, width, std::move(message), kBlockRank);
  finding.about = {room.marker};
  finding.claims = {room.marker | kWords};
  c.cause_slot = slot;
}

// What a problem with the word in `slot` of a room block is about.
std::vector<std::uint32_t> about_slot(const Checks& c, const SurveyedRoom& room, int slot) {
  if (slot < c.cause_slot) return {room.marker};
  return {room.marker, room.marker | kWords};
}

// True when the exit in `slot` and the words after it spell a room named with blanks, such as
// "<Boiler Room>"; the near-marker line then explains the room's problems.
bool split_name_at(Checks& c, const SurveyedRoom& room, const RoomBlockReport& report, int slot) {
  const auto lengths = c.split_name_lengths.find(report_word(c.survey, room, report, slot));
  if (lengths == c.split_name_lengths.end()) return false;
  // Each length is one lookup: however many lines share a first word, an exit costs the same.
  // Of the lines it spells, the first in the file explains it.
  std::size_t first = SIZE_MAX;
  for (const std::size_t length : lengths->second) {
    if (slot + static_cast<int>(length) > report.slots_read) break;
    std::string joined(report_word(c.survey, room, report, slot));
    for (std::size_t i = 1; i < length; ++i) {
      joined.append(" ").append(report_word(c.survey, room, report, slot + i));
    }
    if (const auto found = c.split_names.find(joined); found != c.split_names.end()) {
      first = std::min(first, found->second);
    }
  }
  if (first == SIZE_MAX) return false;
  c.split_name_rooms[first].push_back(room.marker | kWords);
  return true;
}

// The word a slot holds: for a count that is not a number, the word read again from its place.
// The count's word is kept in c.count_word, until the next call for the count.
std::string_view slot_word(Checks& c, const SurveyedRoom& room, const RoomBlockReport& report,
                           int slot) {
  if (slot != kCountSlot) return report_word(c.survey, room, report, slot);
  if (report.count_read != RoomBlockReport::Count::kNotANumber) {
    c.count_word = std::to_string(report.count);
  } else {
    c.world.seek(report.places[slot]);
    c.world.read_word(c.count_word);
  }
  return c.count_word;
}

// The words of one room block, looked at one slot at a time for the cause of what goes wrong
// with them. Each look is one function; it reports the cause and returns true when it finds one.
class BlockWords {
 public:
  BlockWords(Checks& c, const SurveyedRoom& room, const RoomBlockReport& report)
      : c_(c), room_(room), report_(report) {}

  // The first cause among the words is reported; the rest of the block follows from it.
  void check() {
    const bool count_failed = report_.count_read == RoomBlockReport::Count::kNotANumber;
    const int words = report_.slots_read + (count_failed ? 1 : 0);
    for (int slot = 0; slot < words; ++slot) {
      const std::string_view word = slot_word(c_, room_, report_, slot);
      if (lookalike_blank(slot, word) || room_named_with_blanks(slot) ||
          marker_for_a_word(slot, word) || marker_for_a_name(slot, word) ||
          label_out_of_place(slot, word) || exit_without_name(slot, word) ||
          count_label_missing(slot, word)) {
        return;
      }
    }
  }

 private:
  // Most blocks have nothing to say: their name is put into words only when needed.
  std::string what() const { return block_words(c_.name(room_.marker)); }
  const TextPlace& place(int slot) const { return report_.places[slot]; }

  // "North:" and "Kitchen" joined by a no-break space: one word to the game.
  bool lookalike_blank(int slot, std::string_view word) {
    const LookalikePlace blank = find_blank_lookalike(word);
    if (blank.length == 0) return false;
    cause(c_, room_, slot, moved(place(slot), blank.at), blank.length,
          blank_lookalike_name(word.substr(blank.at)) + " in " + quoted(word) +
              " is no blank to the game: it reads " + quoted(word) + " as one word, " +
              slot_words(slot) + " of " + what() + ", so every word after it shifts");
    return true;
  }

  // "East: Boiler Room": the near-marker line of that room is the cause.
  bool room_named_with_blanks(int slot) {
    if (slot >= kCountLabelSlot || slot % 2 == 0 || !split_name_at(c_, room_, report_, slot)) {
      return false;
    }
    c_.cause_slot = slot;
    return true;
  }

  // The next block's marker read as an exit, a label or the count: words are missing.
  bool marker_for_a_word(int slot, std::string_view word) {
    if (slot > kCountSlot || !is_marker_line(word)) return false;
    const TextPlace here =
        slot == 0 ? moved(c_.survey.star(room_), 1)
                  : moved(place(slot - 1), slot_word(c_, room_, report_, slot - 1).size());
    std::string missing = slot < kCountLabelSlot ? "the " + directions_from(slot / 2, 4) : "";
    missing += (missing.empty() ? "" : " and ") + std::string("the object count");
    cause(c_, room_, slot, here, 1,
          "the block of " + what() + " ends early: the words for " + missing +
              " are missing here, so " + slot_words(slot) + " reads the marker " + shown(word) +
              " at line " + std::to_string(place(slot).line));
    return true;
  }

  // The next block's marker read as an object name: the count is more than the names.
  bool marker_for_a_name(int slot, std::string_view word) {
    if (slot < kFirstNameSlot || !is_marker_line(word)) return false;
    cause(c_, room_, kCountSlot, place(kCountSlot), std::to_string(report_.count).size(),
          what() + " lists fewer object names than its count " + std::to_string(report_.count) +
              " says: " + slot_words(slot) + " reads the marker " + shown(word) + " at line " +
              std::to_string(place(slot).line));
    return true;
  }

  // "Objects:" where the west exit's label should be: the west exit's line is missing.
  bool label_out_of_place(int slot, std::string_view word) {
    const int kind = label_kind(word);
    const int direction = slot / 2;
    if (slot >= kCountLabelSlot || slot % 2 == 1 || kind < 0 || kind == direction) return false;
    cause(c_, room_, slot, place(slot), word.size(),
          kind > direction
              ? what() + " has no line for its " + directions_from(direction, kind) + ": " +
                    quoted(word) + " stands where " + slot_words(slot) +
                    " should be, so the words after it shift; a line such as '" +
                    capitalized(kDirections[direction]) + ": None' is missing before it"
              : quoted(word) + " stands where " + slot_words(slot) + " should be: " + what() +
                    " has a line too many for its " + kDirections[kind] +
                    " exit, or its lines are out of order");
    return true;
  }

  // "North: East: None": a label where an exit's name should be.
  bool exit_without_name(int slot, std::string_view word) {
    if (slot >= kCountLabelSlot || slot % 2 == 0 || label_kind(word) < 0) return false;
    cause(c_, room_, slot, place(slot), word.size(),
          "the " + std::string(kDirections[slot / 2]) + " exit of " + what() +
              " has no name: its label " + quoted(slot_word(c_, room_, report_, slot - 1)) +
              " is followed by " + quoted(word) + ", which is read as the exit");
    return true;
  }

  // A fifth exit line, or "1" and "lamp" with no "Objects:" before them.
  bool count_label_missing(int slot, std::string_view word) {
    if (slot != kCountLabelSlot) return false;
    const int kind = label_kind(word);
    if (kind >= 0 && kind < 4) {
      cause(c_, room_, slot, place(slot), word.size(),
            quoted(word) + " stands where the label of the object count should be: " + what() +
                " has an exit line too many");
      return true;
    }
    if (!is_number(word) || report_.count_read == RoomBlockReport::Count::kRead) return false;
    cause(c_, room_, slot, place(slot), word.size(),
          "the label of the object count of " + what() + " is missing before " + quoted(word) +
              ": the game reads " + quoted(word) +
              " as the label, and the word after it as the count");
    return true;
  }

  Checks& c_;
  const SurveyedRoom& room_;
  const RoomBlockReport& report_;
};

void check_exits(Checks& c, const SurveyedRoom& room, const RoomBlockReport& report) {
  const std::string_view id = c.survey.room_id(room.marker);
  for (int direction = 0; direction < 4 && 2 * direction + 1 < report.slots_read; ++direction) {
    const std::string_view exit = report_word(c.survey, room, report, 2 * direction + 1);
    const TextPlace& place = report.places[2 * direction + 1];
    const std::uint32_t to = room.exits[direction];
    if (to == kNoExitName || c.survey.markers[to].room != kNoName) continue;
    if (spelled_like_none(exit)) {
      Finding& finding =
          c.error(place, exit.size(),
                  "the " + std::string(kDirections[direction]) + " exit of room " + quoted(id) +
                      " is " + quoted(exit) + ", not 'None': the game looks for a room named " +
                      quoted(exit) + " and keeps the player in " + quoted(id),
                  kBlockRank);
      finding.about = about_slot(c, room, 2 * direction + 1);
      finding.claims = {to};
      continue;
    }
    // A misspelt name is a cause: the room it meant may be unreachable because of it.
    const std::string meant = c.nearest_room(exit);
    Finding& finding =
        c.error(place, exit.size(),
                "room " + quoted(id) + ": the " + kDirections[direction] + " exit leads to room " +
                    quoted(exit) + ", which has no block: the game keeps the player in " +
                    quoted(id) + (meant.empty() ? "" : "; did you mean " + quoted(meant) + "?"),
                meant.empty() ? kSymptomRank : kBlockRank);
    finding.about = about_slot(c, room, 2 * direction + 1);
    finding.about.push_back(to);
    if (!meant.empty()) finding.claims = {c.survey.find(room_marker(meant)) | kReach};
  }
}

void check_count(Checks& c, const SurveyedRoom& room, const RoomBlockReport& report) {
  const std::string what = block_words(c.name(room.marker));
  const TextPlace& place = report.places[kCountSlot];
  const std::vector<std::uint32_t> self = about_slot(c, room, kCountSlot);
  if (report.count_read == RoomBlockReport::Count::kNotANumber) {
    const std::string_view word = slot_word(c, room, report, kCountSlot);
    c.error(place, word.size(),
            what + ": the object count " + quoted(word) +
                " is not a number: the game reads no object names")
        .about = self;
  } else if (report.count_read == RoomBlockReport::Count::kRead && report.count > kObjectSlots) {
    c.warning(place, std::to_string(report.count).size(),
              what + ": the object count " + std::to_string(report.count) +
                  " is above three: the game reads the first three names only")
        .about = self;
  } else if (report.count_read == RoomBlockReport::Count::kRead && report.count < 0) {
    c.warning(place, std::to_string(report.count).size(),
              what + ": the object count " + std::to_string(report.count) +
                  " is below zero: the game reads no object names")
        .about = self;
  }
}

// A block cut short by the end of the file.
void check_block_end(Checks& c, const SurveyedRoom& room, const RoomBlockReport& report) {
  const std::string what = "the block of " + block_words(c.name(room.marker));
  std::string message;
  if (report.slots_read < kCountLabelSlot) {
    message = what + " ends here, before its " + kDirections[report.slots_read / 2] +
              " exit: from there on the room keeps the exits of the one before";
  } else if (report.count_read == RoomBlockReport::Count::kMissing) {
    message = what + " ends here, before its object count";
  } else if (report.count_read == RoomBlockReport::Count::kRead &&
             report.slots_read < kFirstNameSlot + report.names_wanted) {
    message = what + " ends here, after " + std::to_string(report.slots_read - kFirstNameSlot) +
              " of its " + std::to_string(report.names_wanted) + " object names";
  } else {
    return;
  }
  // The words missing would go right after the last one there is.
  const int last = report.slots_read - 1;
  const TextPlace here = last < 0
                             ? moved(c.survey.star(room), 1)
                             : moved(report.places[last], slot_word(c, room, report, last).size());
  cause(c, room, report.slots_read, here, 1, message);
}

void check_names(Checks& c, const SurveyedRoom& room, const RoomBlockReport& report) {
  const std::string_view id = c.survey.room_id(room.marker);
  const int names = std::max(0, report.slots_read - kFirstNameSlot);
  for (int i = 0; i < names; ++i) {
    const std::string_view name = report_word(c.survey, room, report, kFirstNameSlot + i);
    const TextPlace& place = report.places[kFirstNameSlot + i];
    // The same name is the same marker: its number tells a name listed twice.
    const auto first = room.objects.begin();
    if (std::find(first, first + i, room.objects[i]) != first + i) {
      c.warning(place, name.size(),
                "room " + quoted(id) + " lists the object " + quoted(name) + " twice")
          .about = {room.marker};
      continue;
    }
    const std::uint32_t object = room.objects[i];
    if (is_marker_line(name) || c.survey.markers[object].has_block()) continue;
    const std::string marker = object_marker(id, name);
    c.error(place, name.size(),
            "room " + quoted(id) + ": the object " + quoted(name) + " has no block " +
                shown(marker) + ": the game shows an empty text" + c.did_you_mean_object(marker))
        .about = about_slot(c, room, kFirstNameSlot + i);
    c.findings.back().about.push_back(object);
  }
}

void check_rooms(Checks& c) {
  Room read;
  for (const SurveyedRoom& room : c.survey.rooms) {
    if (!c.survey.markers[room.marker].closed) continue;
    const RoomBlockReport report = reread_room_exits(c.world, c.survey, room, read);
    c.cause_slot = kRoomSlots;
    BlockWords(c, room, report).check();
    check_block_end(c, room, report);
    check_exits(c, room, report);
    check_count(c, room, report);
    check_names(c, room, report);
  }
}

void check_near_markers(Checks& c) {
  const Survey& s = c.survey;
  for (std::size_t index = 0; index < s.near_markers.size(); ++index) {
    const NearMarker& near = s.near_markers[index];
    if (near.in_text) continue;
    const std::string_view line = near.line;
    const std::size_t flaw_at = static_cast<std::size_t>(near.place.column() - 1);
    const std::string_view rest = line.substr(flaw_at);
    const std::size_t lookalike = blank_lookalike_length(rest);
    const std::string flaw = lookalike != 0    ? blank_lookalike_name(rest)
                             : rest[0] == '\t' ? std::string("a tab")
                             : rest[0] == ' '  ? std::string("a blank")
                                               : "a byte " + printable(rest.substr(0, 1));
    const std::size_t open = line.find('<');
    const std::size_t close = line.rfind('>');
    const std::string meant = without_blanks(line);
    const std::vector<std::string> words = words_inside_marker(line);
    // The names the game may look for in vain: the marker meant, and the first word of a name
    // with a blank, which is all an exit reads of it.
    std::vector<std::uint32_t> wanted;
    for (const std::string& candidate :
         {meant, words.empty() ? std::string() : room_marker(words.front())}) {
      const std::uint32_t id = s.find(candidate);
      if (id != kNoName && !s.markers[id].has_block() &&
          (s.markers[id].named || s.markers[id].listed)) {
        wanted.push_back(id);
      }
    }
    const std::vector<std::uint32_t>& readers = c.split_name_rooms[index];
    wanted.insert(wanted.end(), readers.begin(), readers.end());
    const bool used = !wanted.empty();
    std::string message;
    if (flaw_at < open || flaw_at > close) {
      message = "this line would be the marker " + shown(meant) + " but for " + flaw +
                (flaw_at < open ? " before it" : " after it") + ": no lookup matches it" +
                (used ? ", so " + block_words(meant) + " has no block" : "");
    } else if (!is_object_marker(meant) && words.size() > 1) {
      message = "the marker " + shown(line.substr(open, close - open + 1)) + " holds " + flaw +
                ": names are single words, so no lookup matches it; write it as one word, such "
                "as " +
                shown(meant) + ", here and wherever exits name it";
    } else {
      message = "the marker " + shown(line.substr(open, close - open + 1)) + " holds " + flaw +
                ": names are single words, so no lookup matches it; did you mean " + shown(meant) +
                "?";
    }
    Finding& finding =
        used ? c.error(near.place, lookalike == 0 ? 1 : lookalike, message, kNearMarkerRank)
             : c.warning(near.place, lookalike == 0 ? 1 : lookalike, message);
    if (!used) continue;
    finding.claims = wanted;
  }
}

void check_object_blocks(Checks& c) {
  const Survey& s = c.survey;
  for (std::uint32_t id = 0; id < s.markers.size(); ++id) {
    const Marker& marker = s.markers[id];
    const std::string_view line = c.name(id);
    if (!marker.has_block() || marker.listed || marker.room != kNoName) continue;
    const std::string_view room = line.substr(1, line.find('|') - 1);
    const std::uint32_t room_id = s.find(room_marker(room));
    Finding& finding = c.warning(
        c.marker_place(id), line.size(),
        block_words(line) + " is never shown: " +
            (s.find_room(room) != nullptr ? "the room does not list it"
                                          : "there is no block for room " + quoted(room)));
    finding.about = {id};
    if (room_id != kNoName) finding.about.insert(finding.about.end(), {room_id, room_id | kWords});
  }
}

void check_duplicates(Checks& c) {
  for (const Duplicate& duplicate : c.survey.duplicates) {
    if (const std::uint32_t outer = c.outermost_container(duplicate.marker); outer != kNoName) {
      ++c.counted_inside[outer];
      continue;
    }
    c.warning(duplicate.place, c.name(duplicate.marker).size(),
              "a second block for " + block_words(c.name(duplicate.marker)) +
                  ": the game uses the first, at line " +
                  std::to_string(c.survey.markers[duplicate.marker].line) +
                  ", so this one is never used")
        .about = {duplicate.marker};
  }
}

void check_reachable(Checks& c) {
  const Survey& s = c.survey;
  // Without a starting room every room would be unreachable; the header's error says enough.
  if (s.start_room() == nullptr || s.header_words == 0) return;
  for (const SurveyedRoom& room : s.rooms) {
    if (s.reachable(room)) continue;
    if (const std::uint32_t outer = c.outermost_container(room.marker); outer != kNoName) {
      ++c.counted_inside[outer];
      continue;
    }
    Finding& finding =
        c.warning(c.marker_place(room.marker), c.name(room.marker).size(),
                  "room " + quoted(s.room_id(room.marker)) +
                      " cannot be reached from the starting room " + quoted(s.start));
    // When a room it leads to is broken, its exit back is probably broken too; when that room
    // cannot be reached either, whatever keeps it apart keeps this one apart too.
    finding.about = {room.marker | kReach};
    for (const std::uint32_t exit : room.exits) {
      if (exit < kNoExitName) {
        finding.about.insert(finding.about.end(), {exit, exit | kWords, exit | kReach});
      }
    }
  }
}

// Folds every problem into the cause that explains it, if one does.
std::vector<Diagnostic> fold(Checks& c) {
  std::vector<Finding>& findings = c.findings;
  const auto before = [&](std::size_t a, std::size_t b) {
    const Finding& x = findings[a];
    const Finding& y = findings[b];
    return std::tie(x.rank, x.diagnostic.range.place.offset, a) <
           std::tie(y.rank, y.diagnostic.range.place.offset, b);
  };
  std::vector<std::size_t> order(findings.size());
  for (std::size_t i = 0; i < order.size(); ++i) order[i] = i;
  std::sort(order.begin(), order.end(), before);
  // Causes are taken in that order: each problem finds the first cause that claims what it is
  // about, among those before it. A cause that is itself explained claims only what no cause
  // that is shown claims, so that what follows from a shown cause is counted there.
  std::unordered_map<std::uint32_t, std::size_t> owner;
  std::unordered_map<std::uint32_t, std::size_t> owner_explained;
  const auto owner_of = [&](std::uint32_t key) -> std::size_t {
    const std::uint32_t asked = key;
    for (int depth = 0; depth < 64; ++depth) {
      if (const auto it = owner.find(key); it != owner.end()) return it->second;
      // A block found inside another's text, when the author wrote it further on, has the
      // words of the block around it: its problems are that text's.
      const std::uint32_t marker = key & ~(kReach | kWords);
      if (marker >= c.survey.markers.size() || c.second_blocks.count(marker) == 0 ||
          c.survey.markers[marker].inside == kNoName) {
        break;
      }
      key = c.survey.markers[marker].inside;
    }
    const auto it = owner_explained.find(asked);
    return it == owner_explained.end() ? SIZE_MAX : it->second;
  };
  std::vector<std::size_t> parent(findings.size(), SIZE_MAX);
  for (const std::size_t i : order) {
    for (const std::uint32_t key : findings[i].about) {
      const std::size_t cause = owner_of(key);
      if (cause != SIZE_MAX && (parent[i] == SIZE_MAX || before(cause, parent[i]))) {
        parent[i] = cause;
      }
    }
    for (const std::uint32_t key : findings[i].claims) {
      (parent[i] == SIZE_MAX ? owner : owner_explained).try_emplace(key, i);
    }
  }
  const auto root_of = [&parent](std::size_t i) {
    while (parent[i] != SIZE_MAX) i = parent[i];
    return i;
  };
  std::vector<Diagnostic> shown;
  std::vector<int> follows(findings.size(), 0);
  for (std::size_t i = 0; i < findings.size(); ++i) {
    if (const std::size_t root = root_of(i); root != i) ++follows[root];
  }
  for (const auto& [container, count] : c.counted_inside) {
    if (const std::size_t cause = owner_of(container); cause != SIZE_MAX) {
      follows[root_of(cause)] += count;
    }
  }
  for (std::size_t i = 0; i < findings.size(); ++i) {
    if (parent[i] != SIZE_MAX) continue;
    findings[i].diagnostic.more = static_cast<std::uint64_t>(follows[i]);
    shown.push_back(std::move(findings[i].diagnostic));
  }
  std::stable_sort(shown.begin(), shown.end(), [](const Diagnostic& a, const Diagnostic& b) {
    return std::tie(a.range.place.line, a.range.place.offset) <
           std::tie(b.range.place.line, b.range.place.offset);
  });
  return shown;
}


}  // namespace

std::vector<Diagnostic> check_world(WorldFile& world, const Survey& survey, CheckWork* work) {
  Checks c(world, survey);
  for (const Duplicate& duplicate : survey.duplicates) {
    c.second_blocks.try_emplace(duplicate.marker, duplicate.place.line);
  }
  c.split_name_rooms.resize(survey.near_markers.size());
  for (std::size_t i = 0; i < survey.near_markers.size(); ++i) {
    const std::vector<std::string> words = words_inside_marker(survey.near_markers[i].line);
    // Longer names than a room block's words cannot be read from one.
    if (words.size() < 2 || words.size() > kRoomSlots || survey.near_markers[i].in_text) continue;
    std::string joined = words[0];
    for (std::size_t w = 1; w < words.size(); ++w) joined.append(" ").append(words[w]);
    if (!c.split_names.try_emplace(std::move(joined), i).second) continue;
    std::vector<std::size_t>& lengths = c.split_name_lengths[words[0]];
    if (std::find(lengths.begin(), lengths.end(), words.size()) == lengths.end()) {
      lengths.insert(std::upper_bound(lengths.begin(), lengths.end(), words.size()), words.size());
    }
  }
  check_header(c);
  check_texts(c);
  check_rooms(c);
  check_near_markers(c);
  check_object_blocks(c);
  check_duplicates(c);
  check_reachable(c);
  if (work != nullptr) work->suggestion_steps = c.suggestion_steps();
  return fold(c);
}

}  // namespace wander
