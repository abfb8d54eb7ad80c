// The one room the player stands in, and the lookups that fill it from the world file.
//
// The world is never held in memory: every lookup rewinds the world file and scans it line by
// line for the block it wants. A room block is a marker line "<Room>", a description up to a
// '*', four exits as label/identifier word pairs (north, east, south, west; "None" for no exit),
// a label and an object count, then that many object names. An object block is a marker line
// "<Room|object>" and the object's text up to a '*'. Lines outside the blocks are ignored.
#ifndef WANDER_WORLD_ROOM_H_
#define WANDER_WORLD_ROOM_H_

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "console/console.h"
#include "text/text_reader.h"
#include "world/world_syntax.h"

namespace wander {

/// Most object names a room holds; a larger count reads this many names.
inline constexpr int kObjectSlots = 3;

/// The four directions, in the order a room block lists its exits.
inline constexpr std::array<const char*, 4> kDirections = {"north", "east", "south", "west"};

/// The room the player stands in. Every field starts empty.
struct Room {
  std::string id;           ///< identifier of the room; the key of its block
  std::string description;  ///< shown to the player unchanged
  std::string north;        ///< identifier of the room that way, or "None"
  std::string east;
  std::string south;
  std::string west;
  std::array<std::string, kObjectSlots> objects;  ///< names to examine; empty means no object
  std::string object_text;                        ///< text of the object examined last
};

/// The exit fields of a room, by direction, in the order of kDirections.
inline constexpr std::array<std::string Room::*, 4> kExitFields = {&Room::north, &Room::east,
                                                                   &Room::south, &Room::west};

/// The exit of `room` in direction `direction` (0 north, 1 east, 2 south, 3 west).
inline std::string& exit_of(Room& room, int direction) { return room.*kExitFields[direction]; }
inline const std::string& exit_of(const Room& room, int direction) {
  return room.*kExitFields[direction];
}

/// The words of a room block after its description, in the order the game reads them: a label
/// and an exit for each direction (north first), a label and the object count, then up to three
/// object names. The label of direction d is slot 2d, its exit slot 2d + 1.
enum RoomSlot : int { kCountLabelSlot = 8, kCountSlot = 9, kFirstNameSlot = 10 };
inline constexpr int kRoomSlots = kFirstNameSlot + kObjectSlots;

/// What the reads of a room block after its description found, for tools that check worlds.
/// Places are the reader's (see TextReader::count_lines).
struct RoomBlockReport {
  enum class Count { kMissing, kNotANumber, kRead };

  /// How many slots were read, from the first: a read that fails ends the block, since every
  /// read after it fails too.
  int slots_read = 0;
  std::array<TextPlace, kRoomSlots> places;  ///< where each slot's word begins
  Count count_read = Count::kMissing;        ///< kNotANumber also places the word that is not one
  int count = 0;                             ///< as read; 0 unless count_read is kRead
  int names_wanted = 0;                      ///< names the count asks for (0 to 3)
  /// The labels read: the four exits' (north first), then the object count's.
  std::array<std::string, 5> labels;
  /// The record the exits and object names were read into: they are not copied, so that a long
  /// name is held once.
  const Room* room = nullptr;
  /// For each slot, whether its word was longer than read_room_exits was to keep: then the
  /// record holds none of it.
  std::array<bool, kRoomSlots> cut{};

  /// True when the block's words read in full: four label/exit pairs, a label, a count that is
  /// a number, and every name the count asks for.
  bool in_full() const {
    return count_read == Count::kRead && slots_read == kFirstNameSlot + names_wanted;
  }

  /// What the slot read (one of the first slots_read): a label as kept here, an exit or an
  /// object name as `room` holds it, which must still be there (empty when cut); empty for the
  /// count.
  std::string_view word(int slot) const;
};

/// Rewinds the world file and reads lines up to the first that equals `marker`. True when found,
/// with the file just past that line; false, with the file at its end, when no line does.
bool find_block(WorldFile& world, std::string_view marker);

/// Reads the body of a room block from where the file stands into `room`: the description up to
/// its '*', then read_room_exits. `id` and `object_text` are not touched. A description that
/// could start but found nothing is empty.
void read_room_block(WorldFile& world, Room& room);

/// Reads the rest of a room block, from just past its description's '*': exits, count and names.
/// The object slots are emptied first; a count below 0 reads no names, above 3 reads three. A
/// block cut short by the end of the file leaves every field after the first failed read as it
/// was (the slots stay empty). When `report` is given, it is filled with what each read found,
/// and an exit or an object name longer than `most` bytes is read through without being kept:
/// its field is left empty, and the report says it was cut.
void read_room_exits(WorldFile& world, Room& room, RoomBlockReport* report = nullptr,
                     std::size_t most = SIZE_MAX);

/// True when `bytes`, read by position as the words of a room block after its description, read
/// in full (RoomBlockReport::in_full) with no word after the last: whatever the label words are.
bool reads_as_block_words(std::string_view bytes);

/// Reads the text of an object block from where the file stands into `text`. True when a '*'
/// closed it; false when it ran to the end of the file or found nothing there.
bool read_object_text(WorldFile& world, std::string& text);

/// Loads the block of room `id` into `room` and sets `room.id`. When the world has no such block
/// the record is left exactly as it was and the result is false. `id` may be a field of `room`
/// itself, such as an exit. The marker is never built, so a long name is held only where it is.
bool load_room(WorldFile& world, Room& room, std::string_view id);

/// Stores in `room.object_text` the text of the block of object `name` in the current room; an
/// empty text when the world has no such block, or when its marker is the file's last line.
void load_object_text(WorldFile& world, Room& room, std::string_view name);

/// True when `name` equals one of the room's object slots, exactly. An empty name matches an
/// empty slot.
bool object_in_room(const Room& room, std::string_view name);

/// Writes the room's description to `out`, then two line ends.
void describe_room(const Room& room, Screen& screen);

}  // namespace wander

#endif  // WANDER_WORLD_ROOM_H_
