// The texts: descriptions and object texts, each from its marker line to its '*'.
#include <algorithm>
#include <unordered_map>

#include "text/code_page.h"
#include "tools/checks/check_context.h"
#include "tools/checks/kinds.h"
#include "tools/names/printable.h"

namespace wander::checks {
namespace {

// The code page the text holding the byte at `bad_byte`, which is no UTF-8, was probably saved
// in, told from the bytes from the start of its line to the text's end, or to a bound when that
// is far.
CodePage code_page_of_text(WorldFile& world, const TextPlace& bad_byte) {
  constexpr std::size_t kBytesLookedAt = 64 * 1024;
  std::string bytes;
  world.seek({bad_byte.line_start, bad_byte.line, bad_byte.line_start});
  std::string_view piece;
  bool line_ends = false;
  while (bytes.size() < kBytesLookedAt && world.read_line_piece(piece, line_ends)) {
    const std::size_t star = piece.find('*');
    bytes.append(piece.substr(0, std::min(star, kBytesLookedAt - bytes.size())));
    if (star != std::string_view::npos) break;
  }
  return likely_code_page(bytes);
}

// A cause in a text: what follows from the block's text going wrong is its.
Finding& text_cause(Checks& c, const DiagnosticKind& kind, std::uint32_t id, const TextPlace& place,
                    std::uint64_t width, std::string message) {
  Finding& finding = c.raise(kind, place, width, std::move(message), kTextRank);
  finding.about = {id};
  finding.claims = {id};
  return finding;
}

// "north 'Lane', east none, south 'Path', west none": the exits a room reads.
std::string exits_words(const Checks& c, const SurveyedRoom& room) {
  std::vector<std::string> exits;
  for (int direction = 0; direction < 4; ++direction) {
    const std::uint32_t exit = room.exits[direction];
    if (exit == kNoName) continue;
    exits.push_back(std::string(kDirections[direction]) + " " +
                    (exit == kNoExitName ? "none" : in_quotes_shortened(c.survey.room_id(exit))));
  }
  return exits.empty() ? "no words for exits at all" : list_in_words(exits);
}

// For each '*' that ends texts, the block whose own text it ends: the one begun last.
std::unordered_map<std::uint64_t, std::uint32_t> star_owners(const Survey& s) {
  std::unordered_map<std::uint64_t, std::uint32_t> owners;
  for (std::uint32_t id = 0; id < s.markers.size(); ++id) {
    const Marker& marker = s.markers[id];
    if (!marker.has_block() || !marker.closed) continue;
    const auto [it, added] = owners.try_emplace(marker.text_end, id);
    if (!added && s.markers[it->second].start < marker.start) it->second = id;
  }
  return owners;
}

// A room whose description ran on reads the exits written after another block's text: which.
void note_exits_taken(Checks& c, Finding& finding, std::uint32_t id,
                      std::unordered_map<std::uint64_t, std::uint32_t>& owners) {
  const Marker& block = c.survey.markers[id];
  if (block.room == kNoName || !block.closed) return;
  const SurveyedRoom& room = c.survey.rooms[block.room];
  if (owners.empty()) owners = star_owners(c.survey);
  const auto owner = owners.find(block.text_end);
  if (owner == owners.end() || owner->second == id) return;
  const TextPlace star = c.survey.star(room);
  finding.diagnostic.notes.push_back(
      {{star, 1},
       block_words(c.name(id)) + " takes the exits written after the text of " +
           block_words(c.name(owner->second)) + ": " + exits_words(c, room)});
}

// Where the '*' of a text that runs up to `end` probably belongs: before the words that read as
// a room block's, when some do.
TextPlace star_wanted(Checks& c, const TextTrouble& trouble, std::uint64_t end) {
  const TextPlace before_words = star_before_words(c.world, c.survey, trouble.marker, end);
  return before_words.line != 0 ? before_words : trouble.star_wanted;
}

}  // namespace

void check_label_lines(Checks& c, const SurveyedRoom& room, const RoomBlockReport& report) {
  if (report.in_full()) return;
  const TextPlace star = c.survey.star(room);
  const TextPlace wanted = star_before_words(c.world, c.survey, room.marker, star.offset);
  if (wanted.line == 0) return;
  // The block's own words went wrong: its '*' stands after its words, not before them, and
  // whatever goes wrong with the words after it follows from that.
  Finding& finding =
      c.raise(kinds::kExitLabelsInText, wanted, 1,
              text_words(c.name(room.marker)) +
                  " ends with lines that read as the room's exits, its '*' after " +
                  "them at line " + std::to_string(star.line) + ": the '*' probably belongs here",
              kTextRank);
  finding.about = {room.marker};
  finding.claims = {room.marker | kWords};
  c.cause_slot = -1;
}

void check_texts(Checks& c) {
  std::unordered_map<std::uint64_t, std::uint32_t> owners;  // built when a note needs them
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
      text_cause(c, kinds::kMarkerInsideText, id, c.marker_place(trouble.past_marker), inner.size(),
                 text_words(marker) + " holds the line " + name_to_show(inner) +
                     ", the first in the file equal to that marker: the game reads the block of " +
                     block_words(inner) + " from here, and never the one at line " +
                     std::to_string(second->second));
    } else if (trouble.past_marker != kNoName) {
      Finding& finding =
          text_cause(c, kinds::kTextRunsOn, id,
                     star_wanted(c, trouble, c.survey.markers[trouble.past_marker].start), 1,
                     text_words(marker) + " runs on past the marker " +
                         name_to_show(c.name(trouble.past_marker)) + " at line " +
                         std::to_string(trouble.past_marker_line) +
                         (block.closed ? "" : " and to the end of the file") +
                         ": its '*' is probably missing here");
      note_exits_taken(c, finding, id, owners);
    } else if (!block.closed && room) {
      text_cause(c, kinds::kUnclosedDescription, id, star_wanted(c, trouble, c.survey.end.offset),
                 1,
                 text_words(marker) +
                     " has no closing '*': it runs to the end of the file, and the room keeps "
                     "the exits of the one before; the '*' is probably missing here");
    } else if (!block.closed) {
      // The game shows the same text up to the end of the file: nothing follows from it.
      c.raise(kinds::kUnclosedObjectText, trouble.star_wanted, 1,
              text_words(marker) +
                  " has no closing '*': it runs to the end of the file, which shows the same "
                  "text, but a block written after it would join it; the '*' belongs here");
    } else if (trouble.early_star.line != 0) {
      text_cause(c, kinds::kStarInsideText, id, trouble.early_star, 1,
                 "a '*' inside " + text_words(marker) + " ends it here: " +
                     (room ? "the words after it are read as the room's exits"
                           : "the player sees only the text before it") +
                     "; a text cannot hold a '*'");
    } else if (trouble.quoted_marker != kNoName) {
      // Only the first line equal to a marker starts its block: this one is text, as meant.
      const std::string_view quoted_line = c.name(trouble.quoted_marker);
      c.raise(kinds::kMarkerLineInText, trouble.quoted_marker_place, quoted_line.size(),
              text_words(marker) + " holds the line " + name_to_show(quoted_line) +
                  ", equal to the marker of the block at line " +
                  std::to_string(c.survey.markers[trouble.quoted_marker].line) +
                  ": the game shows it as text, but moving that block below this one would make "
                  "it the block's");
    }
    if (trouble.bad_byte.line != 0) {
      c.world.seek(trouble.bad_byte);
      std::string_view piece;
      bool line_ends = false;
      c.world.read_line_piece(piece, line_ends);
      const std::string byte = printable(piece.substr(0, 1));
      const CodePage page = code_page_of_text(c.world, trouble.bad_byte);
      c.raise(kinds::kNotUtf8Text, trouble.bad_byte, 1,
              text_words(marker) + " holds the byte " + byte +
                  ", which is no part of UTF-8: the file was probably saved as " +
                  std::string(page.words) +
                  ", which terminals and the web page show wrongly; convert it to UTF-8 with "
                  "'iconv -f " +
                  std::string(page.iconv_name) + " -t UTF-8 World.txt > World.utf8.txt'");
    }
  }
}

}  // namespace wander::checks
