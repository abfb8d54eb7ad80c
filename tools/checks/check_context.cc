#include "tools/checks/check_context.h"

#include <algorithm>

#include "tools/names/lookalikes.h"
#include "tools/names/printable.h"

namespace wander::checks {
namespace {

// Steps each suggestion search may take: this many, and this many more for each byte of the file.
constexpr std::uint64_t kSuggestionSteps = 10'000'000;
constexpr std::uint64_t kSuggestionStepsPerByte = 8;

// Names in messages longer than this many characters are shortened in the middle.
constexpr std::size_t kLongestShown = 80;

}  // namespace

Finding& Checks::raise(const DiagnosticKind& kind, const TextPlace& place, std::uint64_t width,
                       std::string message, int rank) {
  Finding& finding = findings.emplace_back();
  finding.diagnostic.kind = &kind;
  finding.diagnostic.severity = kind.severity;
  finding.diagnostic.range = {place, std::max<std::uint64_t>(width, 1)};
  finding.diagnostic.message = std::move(message);
  finding.rank = rank;
  return finding;
}

std::uint32_t Checks::outermost_container(std::uint32_t key) const {
  std::uint32_t marker = key & ~(kReach | kWords);
  if (marker >= survey.markers.size() || survey.markers[marker].inside == kNoName) return kNoName;
  while (survey.markers[marker].inside != kNoName) marker = survey.markers[marker].inside;
  return marker;
}

std::string Checks::example_room() const {
  return survey.rooms.empty() ? "Hall" : name_to_show(survey.room_id(survey.rooms.front().marker));
}

std::uint64_t Checks::suggestion_budget() const {
  // A world with thousands of misspelt names stays linear; the names past the budget get no
  // suggestion.
  return kSuggestionSteps + kSuggestionStepsPerByte * survey.end.offset;
}

Meant Checks::nearest_room(std::string_view id) {
  if (!rooms_meant_) {
    std::vector<std::string_view> names;
    names.reserve(survey.rooms.size());
    for (const SurveyedRoom& room : survey.rooms) names.push_back(survey.room_id(room.marker));
    listing_steps_ += survey.rooms.size();
    rooms_meant_.emplace(std::move(names), suggestion_budget());
  }
  Meant meant;
  meant.name = rooms_meant_->nearest(id, &meant.alone);
  return meant;
}

void Checks::count_spellings() {
  spellings_counted_ = true;
  const auto named = [this](std::uint32_t id) {
    if (id < kNoExitName && !is_object_marker(name(id))) ++spellings_[survey.room_id(id)];
  };
  if (survey.header_words > 0) named(survey.start_marker);
  for (const SurveyedRoom& room : survey.rooms) {
    for (const std::uint32_t exit : room.exits) named(exit);
  }
  for (std::uint32_t id = 0; id < survey.markers.size(); ++id) {
    if (!survey.markers[id].has_block()) continue;
    const std::string_view line = name(id);
    if (!is_object_marker(line)) {
      ++spellings_[survey.room_id(id)];
      continue;
    }
    const std::string_view room = parse_marker(line).room;
    ++spellings_[room];
    object_blocks_[room].push_back(id);
  }
  listing_steps_ += survey.markers.size() + survey.rooms.size();
}

int Checks::spellings(std::string_view id) {
  if (!spellings_counted_) count_spellings();
  const auto it = spellings_.find(id);
  return it == spellings_.end() ? 0 : it->second;
}

const std::vector<std::uint32_t>& Checks::object_blocks_of(std::string_view id) {
  static const std::vector<std::uint32_t> kNone;
  if (!spellings_counted_) count_spellings();
  const auto it = object_blocks_.find(id);
  return it == object_blocks_.end() ? kNone : it->second;
}

const Checks::ObjectName& Checks::object_named(std::string_view object) {
  static const ObjectName kNone;
  if (!objects_indexed_) {
    objects_indexed_ = true;
    for (std::uint32_t id = 0; id < survey.markers.size(); ++id) {
      const Marker& marker = survey.markers[id];
      if (!is_object_marker(name(id))) continue;
      ObjectName& named = objects_named_[parse_marker(name(id)).object];
      if (marker.has_block() && named.first_block == kNoName) named.first_block = id;
      if (marker.has_block() && !marker.listed && named.strays++ == 0) named.first_stray = id;
      named.wanting += !marker.has_block() && marker.listed;
    }
    listing_steps_ += survey.markers.size();
  }
  const auto it = objects_named_.find(object);
  return it == objects_named_.end() ? kNone : it->second;
}

Meant Checks::nearest_object(std::string_view marker) {
  if (!objects_meant_) {
    std::vector<std::string_view> markers;
    for (std::uint32_t id = 0; id < survey.markers.size(); ++id) {
      if (survey.markers[id].has_block() && is_object_marker(name(id))) {
        markers.push_back(name(id));
      }
    }
    listing_steps_ += survey.markers.size();
    objects_meant_.emplace(std::move(markers), suggestion_budget());
  }
  Meant meant;
  meant.name = objects_meant_->nearest(marker, &meant.alone);
  return meant;
}

std::uint64_t Checks::suggestion_steps() const {
  return listing_steps_ + (rooms_meant_ ? rooms_meant_->steps() : 0) +
         (objects_meant_ ? objects_meant_->steps() : 0);
}

std::string name_to_show(std::string_view name) { return printable_elided(name, kLongestShown); }

std::string in_quotes_shortened(std::string_view name) { return "'" + name_to_show(name) + "'"; }

std::string block_words(std::string_view marker) {
  const MarkerParts parts = parse_marker(marker);
  if (!parts.of_object) return "room " + in_quotes_shortened(parts.room);
  return "object " + in_quotes_shortened(parts.object) + " of room " +
         in_quotes_shortened(parts.room);
}

std::string text_words(std::string_view marker) {
  return (is_object_marker(marker) ? "the text of " : "the description of ") + block_words(marker);
}

std::string list_in_words(const std::vector<std::string>& words) {
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
  return list_in_words(names) + (names.size() == 1 ? " exit" : " exits");
}

std::string slot_words(int slot) {
  if (slot < kCountLabelSlot) {
    return std::string(slot % 2 == 0 ? "the label of the " : "the ") + kDirections[slot / 2] +
           " exit";
  }
  if (slot == kCountLabelSlot) return "the label of the object count";
  if (slot == kCountSlot) return "the object count";
  return "object name " + std::to_string(slot - kFirstNameSlot + 1);
}

std::string did_you_mean(std::string_view written, const Meant& meant) {
  if (meant.name.empty()) return "";
  return "; did you mean " + in_quotes_shortened(meant.name) + lookalike_hint(written, meant.name) +
         "?";
}

TextPlace place_after(const TextPlace& place, std::uint64_t bytes) {
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

FixIt replacing(const TextPlace& place, std::uint64_t width, std::string replacement,
                bool certain) {
  return {{place, width}, std::move(replacement), certain};
}

}  // namespace wander::checks
