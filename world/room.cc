#include "world/room.h"

#include <algorithm>

#include "console/console.h"

namespace wander {

std::string room_marker(std::string_view id) {
  std::string marker;
  marker.reserve(id.size() + 2);
  marker.append("<").append(id).append(">");
  return marker;
}

std::string object_marker(std::string_view id, std::string_view name) {
  std::string marker;
  marker.reserve(id.size() + name.size() + 3);
  marker.append("<").append(id).append("|").append(name).append(">");
  return marker;
}

bool find_block(WorldFile& world, std::string_view marker) {
  world.rewind();
  return world.skip_to_line(marker);
}

void read_room_block(WorldFile& world, Room& room) {
  // No read is checked: one that fails leaves its field alone, and so do all after it.
  world.read_text(room.description);
  std::string label;
  for (std::string* exit : {&room.north, &room.east, &room.south, &room.west}) {
    world.read_word(label);
    world.read_word(*exit);
  }
  world.read_word(label);
  int count = 0;
  world.read_count(count);
  for (std::string& slot : room.objects) slot.clear();
  const int names = std::clamp(count, 0, kObjectSlots);
  for (int i = 0; i < names; ++i) world.read_word(room.objects[i]);
}

bool load_room(WorldFile& world, Room& room, const std::string& id) {
  if (!find_block(world, room_marker(id))) return false;
  room.id = id;
  read_room_block(world, room);
  return true;
}

void load_object_text(WorldFile& world, Room& room, std::string_view name) {
  // A missing or cut-short block shows nothing, never the text of whatever was examined before.
  room.object_text.clear();
  if (find_block(world, object_marker(room.id, name))) world.read_text(room.object_text);
}

bool object_in_room(const Room& room, std::string_view name) {
  return std::find(room.objects.begin(), room.objects.end(), name) != room.objects.end();
}

void describe_room(const Room& room, std::FILE* out) {
  write_text(out, room.description);
  line_end(out);
  line_end(out);
}

}  // namespace wander
