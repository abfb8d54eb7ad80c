// A survey of a whole world file for its authors: what the game finds in it, and the facts that
// explain what goes wrong. It reads the file through the game's own reader and block reads, in
// one pass over the lines and then one read of the exits of each room, and keeps per block a few
// numbers, never its text: memory grows with the number of blocks, not with the bytes.
//
// Every claim follows the game's own lookup: the block of a marker is the first line in the whole
// file equal to it, wherever it stands (inside another block's text too), and the text read from
// the next line up to the first '*'. A room's exits and objects are what read_room_exits gives
// from just past that '*', into an empty record.
#ifndef WANDER_TOOLS_SURVEY_WORLD_SURVEY_H_
#define WANDER_TOOLS_SURVEY_WORLD_SURVEY_H_

#include <array>
#include <cstdint>
#include <deque>
#include <string>
#include <string_view>
#include <vector>

#include "tools/names/name_table.h"
#include "world/room.h"

namespace wander {

inline constexpr std::uint32_t kNoName = NameTable::kNone;
/// In an exit: the word "None", no exit.
inline constexpr std::uint32_t kNoExitName = kNoName - 1;

/// What the survey knows of one marker: a line the file holds, or a name the game looks up. Kept
/// small (32 bytes), since a large world has a million of them.
struct Marker {
  std::uint64_t start = 0;          ///< offset of its block's marker line
  std::uint64_t text_end = 0;       ///< offset of the '*' that ends the block's text, or the size
  std::uint64_t line : 58 = 0;      ///< line of its block's marker; 0 when no line equals it
  std::uint64_t line_end : 2 = 0;   ///< bytes of the marker line's end: 0 (the file's last), 1, 2
  std::uint64_t closed : 1 = 0;     ///< a '*' ended the text
  std::uint64_t named : 1 = 0;      ///< the header or an exit names it as a room
  std::uint64_t listed : 1 = 0;     ///< a room lists it as one of its objects
  std::uint64_t reachable : 1 = 0;  ///< it is a room the starting room leads to
  std::uint32_t inside = kNoName;   ///< the block whose text holds the marker line, if any
  std::uint32_t room = kNoName;     ///< its place in Survey::rooms when it is read as a room

  bool has_block() const { return line != 0; }
  /// Where its marker line starts.
  TextPlace place() const { return {start, static_cast<std::int64_t>(line), start}; }
};

/// A room block's exits and objects, as the game reads them into an empty record.
struct SurveyedRoom {
  /// The marker "<id>" of the room each exit names; kNoExitName for "None"; kNoName when the
  /// block ends before the exit.
  std::array<std::uint32_t, 4> exits = {kNoName, kNoName, kNoName, kNoName};
  /// The marker "<room|name>" of each object the room lists; kNoName for an empty slot.
  std::array<std::uint32_t, kObjectSlots> objects = {kNoName, kNoName, kNoName};
  std::uint32_t marker = kNoName;
  /// The line of the '*' that ends the description, when one does, and that line's start.
  std::int64_t star_line = 0;
  std::uint64_t star_line_start = 0;
};

/// Where a text went wrong, for the blocks whose text did.
struct TextTrouble {
  std::uint32_t marker = kNoName;
  std::uint32_t past_marker = kNoName;  ///< the first marker line the text runs past
  std::int64_t past_marker_line = 0;    ///< and its line
  /// The end of the last line of text before the marker line it runs past, or before the end
  /// of the file; see star_before_words for a better guess.
  TextPlace star_wanted{0, 0, 0};
  /// A '*' that ended it with more words after it on its line and another '*' after those,
  /// before any marker line: a '*' inside the text.
  TextPlace early_star{0, 0, 0};
  /// The first line in it equal to the marker of a block that began before it, which the
  /// game never takes for that block: the text only quotes it. kNoName when there is none.
  std::uint32_t quoted_marker = kNoName;
  TextPlace quoted_marker_place{0, 0, 0};
  /// Where its first byte that is no part of valid UTF-8 stands; line 0 when there is none.
  TextPlace bad_byte{0, 0, 0};
};

/// A line that would be a marker but for its blanks or its look-alike blanks.
struct NearMarker {
  TextPlace place;   ///< its first flaw: the first blank, or look-alike blank, in the way
  std::string line;  ///< the whole line
  bool in_text;      ///< it stands inside the text of a block
};

/// A second block with the same marker, outside every text: the game never reads it.
struct Duplicate {
  std::uint32_t marker;
  TextPlace place;
};

/// Everything a survey found.
struct Survey {
  NameTable names;                    ///< every marker line the file holds or the game looks up
  std::deque<Marker> markers;         ///< by name number
  std::deque<SurveyedRoom> rooms;     ///< the room blocks, in file order
  std::vector<TextTrouble> troubles;  ///< one for each block whose text went wrong
  std::vector<NearMarker> near_markers;
  std::vector<Duplicate> duplicates;
  TextPlace end;  ///< the end of the file: its size, its last line

  // The header, as the game reads it: its first word and the word after it.
  std::string label;  ///< the first word, when a second follows it
  TextPlace first_word_place;
  TextPlace start_place;
  int header_words = 0;                  ///< 0, 1 or 2
  bool byte_order_mark = false;          ///< the file starts with EF BB BF, part of the first word
  std::uint32_t start_marker = kNoName;  ///< the marker of the starting room, kept once
  /// The label words this world uses, learnt from its room blocks whose words read in full: the
  /// one written most often in each label's place (the four exits', north first, then the
  /// count's); empty when no block reads in full.
  std::array<std::string, 5> labels;

  /// Which label `word` is among `labels`, ignoring ASCII capitals and a final colon (':' or
  /// 'ï¼', the full-width one): 0 to 3 for the exits', 4 for the count's; -1 for none.
  int label_slot(std::string_view word) const;

  /// The starting room: the header's second word (the first without one); empty without one. It
  /// views the name kept in `names`, which never moves.
  std::string_view start;
  /// The header's first word.
  std::string_view first_word() const { return header_words == 2 ? label : start; }

  /// The number of `marker`, or kNoName.
  std::uint32_t find(std::string_view marker) const { return names.find(marker); }
  /// The room that a marker number names: the marker without its brackets.
  std::string_view room_id(std::uint32_t marker) const;
  /// The room block of room `id`, or null when the game finds none.
  const SurveyedRoom* find_room(std::string_view id) const;
  /// The room block of the starting room, or null when the game finds none.
  const SurveyedRoom* start_room() const {
    if (start_marker == kNoName || markers[start_marker].room == kNoName) return nullptr;
    return &rooms[markers[start_marker].room];
  }
  /// Where the text of a block begins: just past its marker line.
  std::uint64_t text_begin(std::uint32_t marker) const;
  /// Where the '*' that ends the description of `room` stands.
  TextPlace star(const SurveyedRoom& room) const {
    return {markers[room.marker].text_end, room.star_line, room.star_line_start};
  }
  /// Whether the starting room leads to `room`.
  bool reachable(const SurveyedRoom& room) const { return markers[room.marker].reachable; }
};

/// Surveys the whole world that `world` reads, which is left counting lines.
Survey survey_world(WorldFile& world);

/// Where the '*' of the text of `marker`, which has none before `end` (the start of the marker
/// line it runs past, or the end of the file), probably belongs: just before the last lines of
/// the text that read, by position, as the words of a room block after its description, the
/// words ending at `end`, whatever the label words are (reads_as_block_words). Line 0 when no
/// lines do. Reads the lines again from the text's start; `world` is left anywhere.
TextPlace star_before_words(WorldFile& world, const Survey& survey, std::uint32_t marker,
                            std::uint64_t end);

/// Reads again the words of a room block after its description, with their places, as
/// read_room_exits gives them into an empty record; `room` receives them. An exit or an object
/// name too long to read again is cut (RoomBlockReport::cut): Survey::word() gives it.
RoomBlockReport reread_room_exits(WorldFile& world, const Survey& survey,
                                  const SurveyedRoom& surveyed, Room& room);

/// The word in `slot` of the report of `room`'s words (see reread_room_exits): an exit or an
/// object name that was cut is the name the survey keeps.
std::string_view report_word(const Survey& survey, const SurveyedRoom& room,
                             const RoomBlockReport& report, int slot);

/// The text an examine shows: bytes [begin, end) of the file, each CR LF read as LF.
struct TextClaim {
  bool found = false;   ///< the game finds the object's block
  bool closed = false;  ///< a '*' ends the text (else it runs to the end of the file)
  std::uint64_t begin = 0;
  std::uint64_t end = 0;
};

/// What the game shows for the object `name` of room `room_id`.
TextClaim object_text_claim(const Survey& survey, std::string_view room_id, std::string_view name);

}  // namespace wander

#endif  // WANDER_TOOLS_SURVEY_WORLD_SURVEY_H_
