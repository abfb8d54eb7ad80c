#include "tools/lsp/world_index.h"

#include <algorithm>
#include <array>

#include "tools/checks/world_checks.h"

namespace wander::lsp {

WorldIndex::WorldIndex(std::string_view text)
    : text_(text),
      reader_(std::make_unique<WorldFile>(make_view_source(text))),
      survey_(std::make_unique<Survey>(survey_world(*reader_))),
      diagnostics_(check_world(*reader_, *survey_)) {}

const WorldIndex::Layout& WorldIndex::layout() const {
  if (layout_) return *layout_;
  auto layout = std::make_unique<Layout>();
  // A large world has a million blocks: each vector is made its size at once.
  layout->words.reserve(survey_->rooms.size());
  read_rooms(&layout->words, nullptr);
  std::sort(layout->words.begin(), layout->words.end(),
            [](const WordsSpan& a, const WordsSpan& b) { return a.from < b.from; });
  const Survey& s = *survey_;
  // A room's block reaches to its last word; other blocks to their '*'.
  std::vector<std::uint64_t> room_end(s.rooms.size(), 0);
  for (const WordsSpan& words : layout->words) room_end[words.room] = words.to;
  const auto add_block = [&](std::uint32_t id, std::uint64_t start) {
    const Marker& marker = s.markers[id];
    const std::uint64_t text_end = marker.closed ? marker.text_end + 1 : marker.text_end;
    layout->blocks.push_back(
        {id, start, std::max(text_end, marker.room == kNoName ? 0 : room_end[marker.room])});
  };
  layout->blocks.reserve(s.duplicates.size() + static_cast<std::size_t>(std::count_if(
                                                   s.markers.begin(), s.markers.end(),
                                                   [](const Marker& m) { return m.has_block(); })));
  for (std::uint32_t id = 0; id < s.markers.size(); ++id) {
    if (s.markers[id].has_block()) add_block(id, s.markers[id].start);
  }
  // A second block's marker line names the same block: it is renamed with it.
  for (const Duplicate& duplicate : s.duplicates)
    add_block(duplicate.marker, duplicate.place.offset);
  std::sort(layout->blocks.begin(), layout->blocks.end(),
            [](const BlockSpan& a, const BlockSpan& b) { return a.start < b.start; });
  layout_ = std::move(layout);
  return *layout_;
}

const std::vector<Occurrence>& WorldIndex::occurrences() const {
  if (occurrences_) return *occurrences_;
  auto occurrences = std::make_unique<std::vector<Occurrence>>();
  read_rooms(nullptr, occurrences.get());
  const Survey& s = *survey_;
  for (const BlockSpan& block : blocks()) {
    const std::string_view line = s.names[block.marker];
    const MarkerParts parts = parse_marker(line);
    // Where a part stands in the file: its marker line is the block's first.
    const auto offset = [&](std::string_view part) {
      return block.start + static_cast<std::uint64_t>(part.data() - line.data());
    };
    if (!parts.of_object) {
      occurrences->push_back({offset(parts.room), parts.room.size(), Occurrence::Kind::kRoomMarker,
                              block.marker, kNoName});
      continue;
    }
    const std::uint32_t room_id = s.names.find(room_marker_pieces(parts.room));
    occurrences->push_back(
        {offset(parts.room), parts.room.size(), Occurrence::Kind::kObjectRoom, room_id, kNoName});
    occurrences->push_back({offset(parts.object), parts.object.size(),
                            Occurrence::Kind::kObjectName, block.marker, room_id});
  }
  // By place, and at one place in the order of the rooms that read it: where two rooms read the
  // same words (the first lost its '*', and its text runs on to the second's), the second, whose
  // block the words follow, is the one at() finds. Each place is named once, or a rename would
  // edit it twice; the rooms that read a word all read it in the same slot, so the names of one
  // place and one kind stand together.
  std::stable_sort(occurrences->begin(), occurrences->end(),
                   [](const Occurrence& a, const Occurrence& b) { return a.offset < b.offset; });
  occurrences->erase(std::unique(occurrences->begin(), occurrences->end(),
                                 [](const Occurrence& a, const Occurrence& b) {
                                   return a.offset == b.offset && a.kind == b.kind &&
                                          a.target == b.target;
                                 }),
                     occurrences->end());
  occurrences_ = std::move(occurrences);
  return *occurrences_;
}

void WorldIndex::read_rooms(std::vector<WordsSpan>* words,
                            std::vector<Occurrence>* occurrences) const {
  const Survey& s = *survey_;
  if (occurrences != nullptr && s.header_words > 0 && s.start_marker != kNoName) {
    occurrences->push_back(
        {s.start_place.offset, s.start.size(), Occurrence::Kind::kHeader, s.start_marker, kNoName});
  }
  Room read;
  for (std::size_t index = 0; index < s.rooms.size(); ++index) {
    const SurveyedRoom& room = s.rooms[index];
    if (!s.markers[room.marker].closed) continue;
    const RoomBlockReport report = reread_room_exits(*reader_, s, room, read);
    std::uint64_t last = s.star(room).offset + 1;
    for (int slot = 0; slot < report.slots_read; ++slot) {
      const std::uint64_t offset = report.places[slot].offset;
      // The count is kept as a number: its word is measured in the text.
      std::uint64_t length = 0;
      if (slot != kCountSlot) {
        length = report_word(s, room, report, slot).size();
      } else {
        while (offset + length < text_.size() && !is_word_space(text_[offset + length])) ++length;
      }
      last = std::max(last, offset + length);
      if (occurrences == nullptr) continue;
      if (slot < kCountLabelSlot && slot % 2 == 1) {
        const std::uint32_t exit = room.exits[slot / 2];
        if (exit < kNoExitName) {
          occurrences->push_back({offset, length, Occurrence::Kind::kExit, exit, kNoName});
        }
      } else if (slot >= kFirstNameSlot) {
        const std::uint32_t object = room.objects[slot - kFirstNameSlot];
        if (object != kNoName && !is_marker_line(report_word(s, room, report, slot))) {
          occurrences->push_back(
              {offset, length, Occurrence::Kind::kListEntry, object, room.marker});
        }
      }
    }
    if (words != nullptr) words->push_back({s.star(room).offset, last, index});
  }
}

const Occurrence* WorldIndex::at(std::uint64_t offset) const {
  const std::vector<Occurrence>& all = occurrences();
  const auto written_at = [&](std::uint64_t where) -> const Occurrence* {
    auto after = std::upper_bound(
        all.begin(), all.end(), where,
        [](std::uint64_t at, const Occurrence& occurrence) { return at < occurrence.offset; });
    if (after == all.begin()) return nullptr;
    const Occurrence& candidate = *std::prev(after);
    return where <= candidate.offset + candidate.length ? &candidate : nullptr;
  };
  if (const Occurrence* found = written_at(offset)) return found;
  // A marker line's brackets belong to the names they enclose: a cursor on its '<', or just
  // after its '>', where an editor's word motions leave it.
  const auto on_marker = [](const Occurrence* found) {
    return found != nullptr && found->kind != Occurrence::Kind::kExit &&
           found->kind != Occurrence::Kind::kHeader && found->kind != Occurrence::Kind::kListEntry;
  };
  if (offset < text_.size() && text_[offset] == '<') {
    const Occurrence* found = written_at(offset + 1);
    if (on_marker(found) && found->offset == offset + 1) return found;
  }
  if (offset > 0 && offset <= text_.size() && text_[offset - 1] == '>') {
    const Occurrence* found = written_at(offset - 1);
    if (on_marker(found)) return found;
  }
  return nullptr;
}

std::vector<const Occurrence*> WorldIndex::references(const Occurrence& occurrence) const {
  std::vector<const Occurrence*> found;
  if (occurrence.target == kNoName) return found;
  for (const Occurrence& other : occurrences()) {
    if (other.target == occurrence.target && other.names_room() == occurrence.names_room()) {
      found.push_back(&other);
    }
  }
  return found;
}

std::string_view WorldIndex::block_text(std::uint32_t marker) const {
  if (marker >= survey_->markers.size() || !survey_->markers[marker].has_block()) return {};
  const std::uint64_t begin = std::min<std::uint64_t>(survey_->text_begin(marker), text_.size());
  const std::uint64_t end =
      std::clamp<std::uint64_t>(survey_->markers[marker].text_end, begin, text_.size());
  return text_.substr(begin, end - begin);
}

int WorldIndex::slot_of(const SurveyedRoom& room, std::uint64_t from) const {
  Room read;
  const RoomBlockReport report = reread_room_exits(*reader_, *survey_, room, read);
  int slot = 0;
  while (slot < report.slots_read && report.places[slot].offset < from) ++slot;
  return slot;
}

const SurveyedRoom* WorldIndex::room_with_words_at(std::uint64_t offset) const {
  const std::vector<WordsSpan>& spans = layout().words;
  auto after =
      std::upper_bound(spans.begin(), spans.end(), offset,
                       [](std::uint64_t at, const WordsSpan& words) { return at < words.from; });
  if (after == spans.begin()) return nullptr;
  const WordsSpan& words = *std::prev(after);
  return offset <= words.to ? &survey_->rooms[words.room] : nullptr;
}

}  // namespace wander::lsp
