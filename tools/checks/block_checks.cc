// The words of a room block after its description: exits, the object count and object names.
#include <algorithm>

#include "tools/checks/check_context.h"
#include "tools/checks/kinds.h"
#include "tools/names/lookalikes.h"
#include "tools/names/printable.h"

namespace wander::checks {
namespace {

std::string capitalized(std::string_view word) {
  std::string out(word);
  if (!out.empty() && out[0] >= 'a' && out[0] <= 'z') {
    out[0] = static_cast<char>(out[0] - 'a' + 'A');
  }
  return out;
}

// "; '２' is a full-width digit, ..." when `word` holds one (U+FF10 to U+FF19), else empty.
std::string full_width_digit_hint(std::string_view word) {
  for (std::size_t at = 0; at < word.size(); at += character_length(word.substr(at))) {
    // U+FF10 to U+FF19 are EF BC 90 to EF BC 99 in UTF-8.
    if (word.substr(at, 2) == "\xef\xbc" && at + 2 < word.size() &&
        static_cast<unsigned char>(word[at + 2]) >= 0x90 &&
        static_cast<unsigned char>(word[at + 2]) <= 0x99) {
      return "; " + in_quotes_shortened(word.substr(at, 3)) +
             " is a full-width digit, which the game does not read as a number";
    }
  }
  return "";
}

// A problem with the words of a room block, which the rest of the block follows from.
Finding& cause(Checks& c, const DiagnosticKind& kind, const SurveyedRoom& room, int slot,
               const TextPlace& place, std::uint64_t width, std::string message) {
  Finding& finding = c.raise(kind, place, width, std::move(message), kBlockRank);
  if (c.cause_slot < 0) {
    // The '*' out of place explains the words.
    finding.about = {room.marker, room.marker | kWords};
    return finding;
  }
  finding.about = {room.marker};
  finding.claims = {room.marker | kWords};
  c.cause_slot = slot;
  return finding;
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
          label_glued(slot, word) || label_out_of_place(slot, word) ||
          exit_without_name(slot, word) || count_label_missing(slot, word)) {
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
    // One that shows as nothing is taken out, and the word reads as it looks; that is sure in a
    // name, while in a label it may stand where a blank was meant between the label and a name.
    const std::string_view mend = blank_lookalike_mend(word.substr(blank.at));
    const bool label = slot <= kCountLabelSlot && slot % 2 == 0;
    const bool sure = !mend.empty() || !label;
    cause(c_, kinds::kLookalikeBlank, room_, slot, place_after(place(slot), blank.at), blank.length,
          blank_lookalike_name(word.substr(blank.at)) + " in " + in_quotes_shortened(word) +
              " is no blank to the game: it reads " + in_quotes_shortened(word) + " as one word, " +
              slot_words(slot) + " of " + what() + ", so every word after it shifts")
        .diagnostic.fixes = {
        replacing(place_after(place(slot), blank.at), blank.length, std::string(mend), sure)};
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
        slot == 0 ? place_after(c_.survey.star(room_), 1)
                  : place_after(place(slot - 1), slot_word(c_, room_, report_, slot - 1).size());
    std::string missing = slot < kCountLabelSlot ? "the " + directions_from(slot / 2, 4) : "";
    missing += (missing.empty() ? "" : " and ") + std::string("the object count");
    cause(c_, kinds::kBlockEndsEarly, room_, slot, here, 1,
          "the block of " + what() + " ends early: the words for " + missing +
              " are missing here, so " + slot_words(slot) + " reads the marker " +
              name_to_show(word) + " at line " + std::to_string(place(slot).line));
    return true;
  }

  // The next block's marker read as an object name: the count is more than the names. A name
  // forgotten or a count wrong: the mend of the count is a suggestion.
  bool marker_for_a_name(int slot, std::string_view word) {
    if (slot < kFirstNameSlot || !is_marker_line(word)) return false;
    const std::string given = std::to_string(slot - kFirstNameSlot);
    cause(c_, kinds::kCountAboveNames, room_, kCountSlot, place(kCountSlot),
          std::to_string(report_.count).size(),
          what() + " lists fewer object names than its count " + std::to_string(report_.count) +
              " says: " + slot_words(slot) + " reads the marker " + name_to_show(word) +
              " at line " + std::to_string(place(slot).line))
        .diagnostic.fixes = {
        replacing(place(kCountSlot), std::to_string(report_.count).size(), given, false)};
    return true;
  }

  // "East:Cellar", "北：鳥居": a label and its word written without a blank are one word.
  bool label_glued(int slot, std::string_view word) {
    if (slot > kCountLabelSlot || slot % 2 == 1 || c_.survey.label_slot(word) >= 0) return false;
    std::string label = c_.survey.labels[slot / 2];
    std::string_view stem = label;
    if (label.empty()) {
      // No block reads in full, so the world's labels are unknown: a colon inside the word is
      // taken for the end of its label.
      const std::size_t colon = std::min(word.find(':'), word.find("\xef\xbc\x9a"));
      if (colon == 0 || colon == std::string_view::npos) return false;
      stem = word.substr(0, colon);
      label = std::string(stem) + (word[colon] == ':' ? ":" : "\xef\xbc\x9a");
    }
    for (const std::string_view colon : {std::string_view(":"), std::string_view("\xef\xbc\x9a")}) {
      if (stem.ends_with(colon)) stem.remove_suffix(colon.size());
    }
    if (stem.empty() || !word.starts_with(stem)) return false;
    std::size_t glue = stem.size();
    for (const std::string_view colon : {std::string_view(":"), std::string_view("\xef\xbc\x9a")}) {
      if (word.substr(glue).starts_with(colon)) glue += colon.size();
    }
    if (glue == stem.size() || glue == word.size()) return false;
    const std::string_view rest = word.substr(glue);
    cause(c_, kinds::kExitWithoutName, room_, slot, place(slot), word.size(),
          in_quotes_shortened(word) + " is " + slot_words(slot) + " of " + what() + " and its " +
              (slot == kCountLabelSlot ? "count " : "exit ") + in_quotes_shortened(rest) +
              " with no blank between: the game reads them as one word, the label, so every "
              "word after it shifts" +
              (word.substr(stem.size()).starts_with("\xef\xbc\x9a")
                   ? "; '\xef\xbc\x9a' is a full-width colon, which the game reads as a "
                     "letter of the word"
                   : ""))
        .diagnostic.fixes = {replacing(place(slot), glue, label + " ", false)};
    return true;
  }

  // "Objects:" where the west exit's label should be: the west exit's line is missing.
  bool label_out_of_place(int slot, std::string_view word) {
    const int kind = c_.survey.label_slot(word);
    const int direction = slot / 2;
    if (slot >= kCountLabelSlot || slot % 2 == 1 || kind < 0 || kind == direction) return false;
    cause(c_, kind > direction ? kinds::kMissingExitLine : kinds::kExtraExitLine, room_, slot,
          place(slot), word.size(),
          kind > direction
              ? what() + " has no line for its " + directions_from(direction, kind) + ": " +
                    in_quotes_shortened(word) + " stands where " + slot_words(slot) +
                    " should be, so the words after it shift; a line such as '" +
                    capitalized(kDirections[direction]) + ": None' is missing before it"
              : in_quotes_shortened(word) + " stands where " + slot_words(slot) +
                    " should be: " + what() + " has a line too many for its " + kDirections[kind] +
                    " exit, or its lines are out of order");
    return true;
  }

  // "North: East: None": a label where an exit's name should be.
  bool exit_without_name(int slot, std::string_view word) {
    if (slot >= kCountLabelSlot || slot % 2 == 0 || c_.survey.label_slot(word) < 0) return false;
    cause(c_, kinds::kExitWithoutName, room_, slot, place(slot), word.size(),
          "the " + std::string(kDirections[slot / 2]) + " exit of " + what() +
              " has no name: its label " +
              in_quotes_shortened(slot_word(c_, room_, report_, slot - 1)) + " is followed by " +
              in_quotes_shortened(word) + ", which is read as the exit");
    return true;
  }

  // A fifth exit line, or "1" and "lamp" with no "Objects:" before them.
  bool count_label_missing(int slot, std::string_view word) {
    if (slot != kCountLabelSlot) return false;
    const int kind = c_.survey.label_slot(word);
    if (kind >= 0 && kind < 4) {
      cause(c_, kinds::kExtraExitLine, room_, slot, place(slot), word.size(),
            in_quotes_shortened(word) + " stands where the label of the object count should be: " +
                what() + " has an exit line too many");
      return true;
    }
    if (!is_number(word) || report_.count_read == RoomBlockReport::Count::kRead) return false;
    cause(c_, kinds::kMissingCountLabel, room_, slot, place(slot), word.size(),
          "the label of the object count of " + what() + " is missing before " +
              in_quotes_shortened(word) + ": the game reads " + in_quotes_shortened(word) +
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
    if (const std::string hint = lookalike_hint(exit, kNoExit); !hint.empty()) {
      // "Νone" with a Greek Nu: the game looks for a room of that name.
      Finding& finding =
          c.raise(kinds::kMissingBlock, place, exit.size(),
                  "room " + in_quotes_shortened(id) + ": the " + kDirections[direction] +
                      " exit leads to room " + in_quotes_shortened(exit) +
                      ", which has no block: the game keeps the player in " +
                      in_quotes_shortened(id) + "; did you mean 'None'" + hint + "?",
                  kBlockRank);
      finding.about = about_slot(c, room, 2 * direction + 1);
      finding.claims = {to};
      finding.diagnostic.fixes = {replacing(place, exit.size(), std::string(kNoExit), true)};
      continue;
    }
    if (spelled_like_none(exit)) {
      Finding& finding =
          c.raise(kinds::kNoneInOtherCapitals, place, exit.size(),
                  "the " + std::string(kDirections[direction]) + " exit of room " +
                      in_quotes_shortened(id) + " is " + in_quotes_shortened(exit) +
                      ", not 'None': the game looks for a room named " + in_quotes_shortened(exit) +
                      " and keeps the player in " + in_quotes_shortened(id),
                  kBlockRank);
      finding.about = about_slot(c, room, 2 * direction + 1);
      finding.claims = {to};
      finding.diagnostic.fixes = {replacing(place, exit.size(), std::string(kNoExit), true)};
      continue;
    }
    // A block misspelt for the name explains it; else a misspelt exit is a cause: the room it
    // meant may be unreachable because of it.
    const Meant meant = c.misspelt_as.count(to) != 0 ? Meant() : c.nearest_room(exit);
    Finding& finding =
        c.raise(kinds::kMissingBlock, place, exit.size(),
                "room " + in_quotes_shortened(id) + ": the " + kDirections[direction] +
                    " exit leads to room " + in_quotes_shortened(exit) +
                    ", which has no block: the game keeps the player in " +
                    in_quotes_shortened(id) + did_you_mean(exit, meant),
                meant.name.empty() ? kSymptomRank : kBlockRank);
    finding.about = about_slot(c, room, 2 * direction + 1);
    finding.about.push_back(to);
    if (meant.name.empty()) {
      // Only an object's block bears the name (the first such is named): a room's block was
      // probably meant, and that no room lists the object follows from it.
      if (const std::uint32_t block = c.object_named(exit).first_block; block != kNoName) {
        finding.rank = kBlockRank;
        finding.claims = {block};
        finding.diagnostic.notes.push_back(
            {{c.marker_place(block), c.name(block).size()},
             "only " + block_words(c.name(block)) + " has a block named " +
                 in_quotes_shortened(exit) + ", and an exit leads to a room's block, " +
                 name_to_show(room_marker(exit)) + ", never to an object's"});
      }
      continue;
    }
    const std::string_view pieces[] = {"<", meant.name, ">"};
    finding.claims = {c.survey.names.find(pieces) | kReach};
    // The exit is surely the misspelling only when more places spell the room the block's way.
    const bool sure = meant.alone && c.spellings(meant.name) > c.spellings(exit);
    finding.diagnostic.fixes = {replacing(place, exit.size(), meant.name, sure)};
  }
}

void check_count(Checks& c, const SurveyedRoom& room, const RoomBlockReport& report) {
  const std::string what = block_words(c.name(room.marker));
  const TextPlace& place = report.places[kCountSlot];
  const std::vector<std::uint32_t> self = about_slot(c, room, kCountSlot);
  if (report.count_read == RoomBlockReport::Count::kNotANumber) {
    const std::string_view word = slot_word(c, room, report, kCountSlot);
    c.raise(kinds::kCountNotANumber, place, word.size(),
            what + ": the object count " + in_quotes_shortened(word) +
                " is not a number: the game reads no object names" + full_width_digit_hint(word))
        .about = self;
  } else if (report.count_read == RoomBlockReport::Count::kRead && report.count > kObjectSlots) {
    c.raise(kinds::kCountAboveThree, place, std::to_string(report.count).size(),
            what + ": the object count " + std::to_string(report.count) +
                " is above three: the game reads the first three names only")
        .about = self;
  } else if (report.count_read == RoomBlockReport::Count::kRead && report.count < 0) {
    c.raise(kinds::kCountBelowZero, place, std::to_string(report.count).size(),
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
  const TextPlace here =
      last < 0 ? place_after(c.survey.star(room), 1)
               : place_after(report.places[last], slot_word(c, room, report, last).size());
  // Words shifted by a slip before run out one word early: the slip explains the end too.
  if (c.cause_slot < report.slots_read) {
    c.raise(kinds::kBlockCutShort, here, 1, message).about = about_slot(c, room, report.slots_read);
    return;
  }
  cause(c, kinds::kBlockCutShort, room, report.slots_read, here, 1, message);
}

// The room `id` lists the object `name` with no block <id|name>: a block of that object that no
// room lists, written under another room's name (the first, of several), was probably meant for
// it. Its never being shown follows from the slip; mending its marker is sure when it is the one
// such block and no other room wants one. The object's markers are looked at once for all rooms.
void tie_to_block_of_another_room(Checks& c, Finding& finding, std::string_view id,
                                  std::string_view name) {
  const Checks::ObjectName& named = c.object_named(name);
  if (named.strays == 0) return;
  const std::string_view stray_room = parse_marker(c.name(named.first_stray)).room;
  finding.diagnostic.message += "; its block is probably " +
                                name_to_show(c.name(named.first_stray)) + ", written under room " +
                                in_quotes_shortened(stray_room);
  finding.rank = kBlockRank;
  finding.claims = {named.first_stray};
  finding.diagnostic.fixes = {replacing(place_after(c.marker_place(named.first_stray), 1),
                                        stray_room.size(), std::string(id),
                                        named.strays == 1 && named.wanting == 1)};
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
      c.raise(kinds::kObjectListedTwice, place, name.size(),
              "room " + in_quotes_shortened(id) + " lists the object " + in_quotes_shortened(name) +
                  " twice")
          .about = {room.marker};
      continue;
    }
    const std::uint32_t object = room.objects[i];
    if (is_marker_line(name) || c.survey.markers[object].has_block()) continue;
    const std::string marker = object_marker(id, name);
    // A block misspelt for the object explains it; else, the block probably meant.
    const Meant meant = c.misspelt_as.count(object) != 0 ? Meant() : c.nearest_object(marker);
    Finding& finding =
        c.raise(kinds::kMissingBlock, place, name.size(),
                "room " + in_quotes_shortened(id) + ": the object " + in_quotes_shortened(name) +
                    " has no block " + name_to_show(marker) + ": the game shows an empty text" +
                    (meant.name.empty() ? ""
                                        : "; did you mean " + name_to_show(meant.name) +
                                              lookalike_hint(marker, meant.name, true) + "?"));
    finding.about = about_slot(c, room, kFirstNameSlot + i);
    finding.about.push_back(object);
    if (meant.name.empty() && c.misspelt_as.count(object) == 0) {
      tie_to_block_of_another_room(c, finding, id, name);
    }
    // The list entry can be mended when the block meant is one of this room's; that no room
    // lists that block then follows from the entry.
    const std::string room_part = object_marker(id, "").substr(0, id.size() + 2);
    if (meant.name.starts_with(room_part)) {
      if (const std::uint32_t block = c.survey.find(meant.name);
          block != kNoName && !c.survey.markers[block].listed) {
        finding.rank = kBlockRank;
        finding.claims = {block};
      }
      const std::string_view meant_name =
          std::string_view(meant.name)
              .substr(room_part.size(), meant.name.size() - room_part.size() - 1);
      finding.diagnostic.fixes = {
          replacing(place, name.size(), std::string(meant_name), meant.alone)};
    }
  }
}

// "Objects: 1" over "lamp" and "key", each with its block: the game never reads "key". Reads on
// from where the room's words ended, while the words there name object blocks of the room that
// no room lists.
void check_names_past_count(Checks& c, const SurveyedRoom& room, const RoomBlockReport& report) {
  if (report.count_read != RoomBlockReport::Count::kRead || report.count < 0 ||
      report.count >= kObjectSlots || report.slots_read != kFirstNameSlot + report.names_wanted) {
    return;
  }
  const std::string_view id = c.survey.room_id(room.marker);
  std::vector<std::string> unread;
  std::vector<std::uint32_t> blocks;
  std::string word;
  bool longer = false;
  // Object names are short: a long word is none, and is not kept.
  constexpr std::size_t kLongestName = 4096;
  while (report.count + static_cast<int>(unread.size()) < kObjectSlots &&
         c.world.read_word(word, kLongestName, longer) && !longer && !is_marker_line(word)) {
    const std::string_view pieces[] = {"<", id, "|", word, ">"};
    const std::uint32_t block = c.survey.names.find(pieces);
    if (block == kNoName || !c.survey.markers[block].has_block() ||
        c.survey.markers[block].listed) {
      break;
    }
    unread.push_back(in_quotes_shortened(word));
    blocks.push_back(block);
  }
  if (unread.empty()) return;
  const TextPlace& place = report.places[kCountSlot];
  const std::string count = std::to_string(report.count);
  const std::string listed = std::to_string(report.count + static_cast<int>(unread.size()));
  Finding& finding =
      c.raise(kinds::kCountBelowNames, place, count.size(),
              block_words(c.name(room.marker)) + " lists " + listed +
                  " object names, but its count says " + count + ": the game never reads " +
                  list_in_words(unread) + ", which the player cannot examine",
              kBlockRank);
  finding.about = {room.marker};
  finding.claims = std::move(blocks);
  finding.diagnostic.fixes = {replacing(place, count.size(), listed, true)};
}

}  // namespace

void check_rooms(Checks& c) {
  Room read;
  for (const SurveyedRoom& room : c.survey.rooms) {
    if (!c.survey.markers[room.marker].closed) continue;
    const RoomBlockReport report = reread_room_exits(c.world, c.survey, room, read);
    // Before anything else moves the reader from just past the room's words.
    check_names_past_count(c, room, report);
    c.cause_slot = kRoomSlots;
    check_label_lines(c, room, report);
    BlockWords(c, room, report).check();
    check_block_end(c, room, report);
    check_exits(c, room, report);
    check_count(c, room, report);
    check_names(c, room, report);
  }
}

}  // namespace wander::checks
