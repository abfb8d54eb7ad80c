// The header: the file's first two words, a label and the starting room.
#include "tools/checks/check_context.h"
#include "tools/checks/kinds.h"
#include "tools/names/printable.h"

namespace wander::checks {
namespace {

constexpr std::string_view kByteOrderMark = "\xef\xbb\xbf";

// A cause in the header: the game starts in the wrong room, and all that follows from it.
void header_cause(Checks& c, const DiagnosticKind& kind, const TextPlace& place,
                  std::uint64_t width, std::string message) {
  c.raise(kind, place, width, std::move(message), kHeaderRank).claims = {c.survey.start_marker};
}

std::string begin_with_a_header(const Checks& c) {
  return "begin the file with a line such as 'Start: " + c.example_room() + "'";
}

// A byte order mark glued to the label: the label is read with it, and play is as meant.
bool label_after_byte_order_mark(const Survey& s) {
  return s.byte_order_mark && s.first_word().size() > kByteOrderMark.size();
}

// "Start:" and "Hall" joined by a no-break space: one word to the game.
bool header_with_lookalike_blank(Checks& c) {
  const Survey& s = c.survey;
  const std::pair<std::string_view, const TextPlace*> words[] = {
      {s.first_word(), &s.first_word_place}, {s.start, &s.start_place}};
  for (int i = 0; i < s.header_words; ++i) {
    const std::string_view word = words[i].first;
    // A byte order mark before the label is a warning of its own.
    const std::size_t from = i == 0 && label_after_byte_order_mark(s) ? kByteOrderMark.size() : 0;
    LookalikePlace blank = find_blank_lookalike(word.substr(from));
    if (blank.length == 0) continue;
    blank.at += from;
    header_cause(
        c, kinds::kLookalikeBlank, place_after(*words[i].second, blank.at), blank.length,
        blank_lookalike_name(word.substr(blank.at)) + " in " + in_quotes_shortened(word) +
            " is no blank to the game: it reads the header's words as " +
            in_quotes_shortened(s.first_word()) +
            (s.header_words == 2 ? " and " + in_quotes_shortened(s.start) : std::string()) +
            ", so the starting room is " + in_quotes_shortened(s.start));
    // As in a room's words: one that shows as nothing is surely taken out of the start's name,
    // while in the label it may stand where a blank was meant.
    const std::string_view mend = blank_lookalike_mend(word.substr(blank.at));
    c.findings.back().diagnostic.fixes = {replacing(place_after(*words[i].second, blank.at),
                                                    blank.length, std::string(mend),
                                                    !mend.empty() || i == 1)};
    return true;
  }
  return false;
}

// A block's marker, or a sentence, where the header should be; a header of one word.
bool header_missing(Checks& c) {
  const Survey& s = c.survey;
  if (is_marker_line(s.first_word())) {
    header_cause(c, kinds::kMarkerForHeader, s.first_word_place, s.first_word().size(),
                 "the file starts with the marker " + name_to_show(s.first_word()) +
                     ", not with a header: the game takes " + in_quotes_shortened(s.start) +
                     " for the starting room; " + begin_with_a_header(c));
    return true;
  }
  if (s.header_words == 1) {
    header_cause(c, kinds::kHeaderWithoutStart, s.first_word_place, s.first_word().size(),
                 "the header has no starting room: the file ends after " +
                     in_quotes_shortened(s.first_word()) + ", so the game looks for a room named " +
                     in_quotes_shortened(s.first_word()));
    return true;
  }
  if (is_marker_line(s.start)) {
    header_cause(c, kinds::kHeaderWithoutStart, s.start_place, s.start.size(),
                 "the header has no starting room: its second word is the marker " +
                     name_to_show(s.start) + ", so the game looks for a room named " +
                     in_quotes_shortened(s.start));
    return true;
  }
  if (s.start_room() != nullptr || s.start_place.line != s.first_word_place.line ||
      count_words(read_line_at(c.world, s.first_word_place, 4096)) <= 2) {
    return false;
  }
  header_cause(c, kinds::kSentenceForHeader, s.first_word_place, s.first_word().size(),
               "the file starts with a sentence, not with a header: the game takes its second "
               "word, " +
                   in_quotes_shortened(s.start) + ", for the starting room; " +
                   begin_with_a_header(c));
  return true;
}

}  // namespace

void check_header(Checks& c) {
  const Survey& s = c.survey;
  if (s.header_words == 0) {
    c.raise(kinds::kNoHeader, {0, 1, 0}, 1,
            "the file holds no header: the game starts nowhere and shows an empty description; " +
                begin_with_a_header(c),
            kHeaderRank);
    return;
  }
  if (label_after_byte_order_mark(s)) {
    c.raise(kinds::kByteOrderMark, s.first_word_place, kByteOrderMark.size(),
            "the file starts with a byte order mark (U+FEFF), which the game reads as part of the "
            "label " +
                in_quotes_shortened(s.first_word()) +
                ": it plays as meant, but an editor that shows the mark as nothing hides it")
        .diagnostic.fixes = {replacing(s.first_word_place, kByteOrderMark.size(), "", true)};
  }
  if (header_with_lookalike_blank(c) || header_missing(c) || s.start_room() != nullptr) return;
  Finding& finding = c.raise(kinds::kMissingBlock, s.start_place, s.start.size(),
                             "the starting room " + in_quotes_shortened(s.start) +
                                 " has no block: the game starts with an empty description");
  finding.about = {s.start_marker};
  // A block misspelt for it explains it; else, the room probably meant.
  if (c.misspelt_as.count(s.start_marker) != 0) return;
  const Meant meant = c.nearest_room(s.start);
  finding.diagnostic.message += did_you_mean(s.start, meant);
  if (!meant.name.empty()) {
    finding.diagnostic.fixes = {replacing(s.start_place, s.start.size(), meant.name, meant.alone)};
  }
}

}  // namespace wander::checks
