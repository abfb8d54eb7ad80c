#include "world/room.h"

#include <algorithm>
#include <array>

#include "console/console.h"

namespace wander {

bool find_block(WorldFile& world, std::string_view marker) {
  world.rewind();
  return world.skip_to_line(marker);
}

void read_room_block(WorldFile& world, Room& room) {
  world.read_text(room.description);
  read_room_exits(world, room);
}

namespace {

// Notes in `report` where the word that the next slot read stands, when it was read, and whether
// it was cut; a label is taken there too.
void note(RoomBlockReport* report, const WorldFile& world, bool read, std::string* label,
          bool cut = false) {
  if (report == nullptr || !read) return;
  const int slot = report->slots_read;
  if (label != nullptr) report->labels[slot < kCountLabelSlot ? slot / 2 : 4] = std::move(*label);
  report->places[slot] = world.token_place();
  report->cut[slot] = cut;
  ++report->slots_read;
}

// Reads a word the record keeps: with a report, one longer than `most` is read through.
bool read_kept_word(WorldFile& world, std::string& word, const RoomBlockReport* report,
                    std::size_t most, bool& cut) {
  cut = false;
  return report == nullptr ? world.read_word(word) : world.read_word(word, most, cut);
}

}  // namespace

std::string_view RoomBlockReport::word(int slot) const {
  if (slot == kCountSlot) return {};
  if (slot == kCountLabelSlot) return labels[4];
  if (slot < kCountLabelSlot) return slot % 2 == 0 ? labels[slot / 2] : exit_of(*room, slot / 2);
  return room->objects[slot - kFirstNameSlot];
}

void read_room_exits(WorldFile& world, Room& room, RoomBlockReport* report, std::size_t most) {
  // A read that fails leaves its field alone, and so do all after it: nothing is skipped.
  if (report != nullptr) {
    *report = RoomBlockReport();
    report->room = &room;
  }
  std::string label;
  bool cut = false;
  for (int direction = 0; direction < 4; ++direction) {
    note(report, world, world.read_word(label), &label);
    const bool read = read_kept_word(world, exit_of(room, direction), report, most, cut);
    note(report, world, read, nullptr, cut);
  }
  const bool label_read = world.read_word(label);
  note(report, world, label_read, &label);
  int count = 0;
  const bool count_read = world.read_count(count);
  if (report != nullptr) {
    report->count = count;
    if (count_read) {
      report->count_read = RoomBlockReport::Count::kRead;
      note(report, world, true, nullptr);
    } else if (label_read && !world.at_end()) {
      report->count_read = RoomBlockReport::Count::kNotANumber;
      report->places[kCountSlot] = world.token_place();
    }
  }
  for (std::string& slot : room.objects) slot.clear();
  const int wanted = std::clamp(count, 0, kObjectSlots);
  if (report != nullptr) report->names_wanted = wanted;
  for (int i = 0; i < wanted; ++i) {
    const bool read = read_kept_word(world, room.objects[i], report, most, cut);
    note(report, world, read, nullptr, cut);
  }
}

bool reads_as_block_words(std::string_view bytes) {
  // The words are short: a small buffer reads them.
  constexpr std::size_t kBuffer = 4096;
  WorldFile words(make_view_source(bytes), kBuffer);
  Room read;
  RoomBlockReport report;
  read_room_exits(words, read, &report, bytes.size());
  std::string after;
  return report.in_full() && !words.read_word(after);
}

bool read_object_text(WorldFile& world, std::string& text) {
  return world.read_text(text) && !world.at_end();
}

bool load_room(WorldFile& world, Room& room, std::string_view id) {
  world.rewind();
  if (!world.skip_to_joined_line(room_marker_pieces(id))) return false;
  // `id` may be one of the record's own fields: it is taken before the block overwrites them.
  room.id = id;
  read_room_block(world, room);
  return true;
}

void load_object_text(WorldFile& world, Room& room, std::string_view name) {
  // A missing or cut-short block shows nothing, never the text of whatever was examined before.
  room.object_text.clear();
  world.rewind();
  if (world.skip_to_joined_line(object_marker_pieces(room.id, name))) {
    read_object_text(world, room.object_text);
  }
}

bool object_in_room(const Room& room, std::string_view name) {
  return std::find(room.objects.begin(), room.objects.end(), name) != room.objects.end();
}

void describe_room(const Room& room, Screen& screen) {
  write_text(screen, room.description);
  line_end(screen);
  line_end(screen);
}

}  // namespace wander
