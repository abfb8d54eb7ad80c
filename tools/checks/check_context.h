// What the checks share while they look at one world: the findings raised so far, what each is
// about and what it explains, the suggestions, and the wording of names in messages. Internal to
// the checks: world_checks.h is their face.
#ifndef WANDER_TOOLS_CHECKS_CHECK_CONTEXT_H_
#define WANDER_TOOLS_CHECKS_CHECK_CONTEXT_H_

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "tools/diagnostics/diagnostic.h"
#include "tools/names/name_suggester.h"
#include "tools/survey/world_survey.h"

namespace wander::checks {

/// Which cause explains a problem best: a wrong header before a broken marker line, before a
/// text that runs on, before the words of a block. A problem is folded only into a cause that
/// comes before it in this order, so that folding never goes round in a circle.
enum Rank { kHeaderRank, kMarkerRank, kTextRank, kBlockRank, kSymptomRank };

/// What a problem is about, or what a cause explains: a marker's block (its number), whether its
/// room can be reached (its number with kReach added), or the words of its room block from a
/// cause among them on (with kWords added).
inline constexpr std::uint32_t kReach = 1u << 31;
inline constexpr std::uint32_t kWords = 1u << 30;

/// A problem found, before the folding decides whether it is shown or is a note of its cause.
struct Finding {
  Diagnostic diagnostic;
  int rank = kSymptomRank;
  std::vector<std::uint32_t> about;   ///< what it concerns
  std::vector<std::uint32_t> claims;  ///< what it explains, when it is a cause
  /// It claims only when a cause explains it: a link in a chain of consequences, never a cause.
  bool claims_when_explained = false;
};

/// A suggestion: the name meant, and whether it is the one name that near.
struct Meant {
  std::string name;  ///< empty when none is near
  bool alone = false;
};

/// Lets a table keyed by strings be searched with a view of one, which is never copied.
struct TextHash {
  using is_transparent = void;
  std::size_t operator()(std::string_view text) const {
    return std::hash<std::string_view>{}(text);
  }
};

/// Everything the checks of one world share.
struct Checks {
  Checks(WorldFile& reader, const Survey& surveyed) : world(reader), survey(surveyed) {}

  WorldFile& world;
  const Survey& survey;
  std::vector<Finding> findings;
  /// A block whose marker stands inside another block's text is found there because that text
  /// runs on: that it cannot be reached, or that its own block further on is never used, follows
  /// from it. Such problems are only counted, by the outermost block whose text runs on, so that
  /// a world of nested blocks costs no memory per problem.
  std::unordered_map<std::uint32_t, std::uint64_t> counted_inside;
  /// Markers with a second block outside every text: the line of the first such block.
  std::unordered_map<std::uint32_t, std::int64_t> second_blocks;
  /// Near-marker lines with a blank inside, by their words joined with blanks (the first such
  /// line for each): exits that name such a room read its words one by one. For each first word,
  /// how many words the lines that start with it hold.
  std::unordered_map<std::string, std::size_t, TextHash, std::equal_to<>> split_names;
  std::unordered_map<std::string, std::vector<std::size_t>, TextHash, std::equal_to<>>
      split_name_lengths;
  std::vector<std::vector<std::uint32_t>> split_name_rooms;  ///< by near-marker: rooms reading it
  /// A block that is probably the misspelling of a name wanted without a block.
  struct Misspelling {
    std::uint32_t block;
    bool alone;  ///< the wanted name is the one that near the block's
  };
  /// Names wanted without a block, each with the block that is probably its misspelling.
  std::unordered_map<std::uint32_t, Misspelling> misspelt_as;
  std::string count_word;  ///< see slot_word
  /// Of the room being checked: the slot of its words' cause; -1 when its '*' is out of place.
  int cause_slot = kRoomSlots;

  /// Raises a problem of `kind` (whose severity it takes) at `place`, `width` bytes wide.
  Finding& raise(const DiagnosticKind& kind, const TextPlace& place, std::uint64_t width,
                 std::string message, int rank = kSymptomRank);

  /// The outermost block whose text holds the marker of `key`, or kNoName.
  std::uint32_t outermost_container(std::uint32_t key) const;

  std::string_view name(std::uint32_t id) const { return survey.names[id]; }
  TextPlace marker_place(std::uint32_t id) const { return survey.markers[id].place(); }
  /// A room to name in an example header.
  std::string example_room() const;

  /// The room `id` was probably meant to name.
  Meant nearest_room(std::string_view id);
  /// The object block `marker` ("<room|name>") was probably meant to be.
  Meant nearest_object(std::string_view marker);
  /// How many places spell the room name `id` so: its block, the header and the exits that name
  /// it, and the object blocks under it. Of two spellings of one room, the one more places use is
  /// the one meant; when they tie, which is misspelt is open.
  int spellings(std::string_view id);
  /// The object blocks whose marker names the room `id`.
  const std::vector<std::uint32_t>& object_blocks_of(std::string_view id);
  /// What the object markers of every room say of one object's name.
  struct ObjectName {
    std::uint32_t first_block = kNoName;  ///< the first marker of it with a block
    std::uint32_t first_stray = kNoName;  ///< the first with a block that no room lists
    int strays = 0;                       ///< markers with a block that no room lists
    int wanting = 0;                      ///< markers that a room lists, without a block
  };
  /// The object markers, of any room, whose object is named `object`: worked out once for all.
  const ObjectName& object_named(std::string_view object);
  /// Steps the suggestions took, and the names listed for them.
  std::uint64_t suggestion_steps() const;
  /// The steps each suggestion search may take: in proportion to the file.
  std::uint64_t suggestion_budget() const;
  /// Counts steps a search of another's took.
  void count_steps(std::uint64_t steps) { listing_steps_ += steps; }

 private:
  std::optional<NameSuggester> rooms_meant_;
  std::optional<NameSuggester> objects_meant_;
  void count_spellings();
  std::unordered_map<std::string_view, int> spellings_;  // by room name; made when first asked
  std::unordered_map<std::string_view, std::vector<std::uint32_t>> object_blocks_;
  bool spellings_counted_ = false;
  std::unordered_map<std::string_view, ObjectName> objects_named_;
  bool objects_indexed_ = false;
  std::uint64_t listing_steps_ = 0;  // names looked at to list the ones a suggestion may be
};

// Words in messages.

/// A name escaped, and shortened in the middle when too long to read: a message costs no more
/// than a line, however long the name.
std::string name_to_show(std::string_view name);
/// name_to_show(name) between single quotes.
std::string in_quotes_shortened(std::string_view name);
/// "room 'Hall'" for <Hall>, "object 'lamp' of room 'Hall'" for <Hall|lamp>.
std::string block_words(std::string_view marker);
/// "the description of room 'Hall'", "the text of object 'lamp' of room 'Hall'".
std::string text_words(std::string_view marker);
/// "south and west", "east, south and west".
std::string list_in_words(const std::vector<std::string>& words);
/// "the south and west exits" for directions [first, end).
std::string directions_from(int first, int end);
/// What a slot of a room block is: "the label of the north exit", "object name 2".
std::string slot_words(int slot);
/// "; did you mean 'Kitchen'?" for a name `written`, or nothing; when the two look the same, the
/// characters that differ are named.
std::string did_you_mean(std::string_view written, const Meant& meant);

// Facts about words and lines.

/// The place `bytes` bytes after `place`, on the same line.
TextPlace place_after(const TextPlace& place, std::uint64_t bytes);
bool spelled_like_none(std::string_view exit);
bool is_number(std::string_view word);
std::size_t count_words(std::string_view line);
/// The words of a line such as "<Boiler Room>": what exits that name the room read.
std::vector<std::string> words_inside_marker(std::string_view line);
/// The line without its blanks and look-alike blanks: the marker it was probably meant to be.
std::string without_blanks(std::string_view line);
/// A fix-it replacing `width` bytes at `place`.
FixIt replacing(const TextPlace& place, std::uint64_t width, std::string replacement, bool certain);

// The checks, each over the whole world, in the order check_world runs them.

void find_misspelt_blocks(Checks& c);
void check_header(Checks& c);
void check_texts(Checks& c);
void check_rooms(Checks& c);
/// A description that ends with lines reading as its room's words, where the room's own words
/// (`report`) do not read in full: its '*' stands after them. That is the cause of what goes
/// wrong with the words; it leaves `c.cause_slot` below every slot then.
void check_label_lines(Checks& c, const SurveyedRoom& room, const RoomBlockReport& report);
void check_near_markers(Checks& c);
void check_misspelt_blocks(Checks& c);
void check_object_blocks(Checks& c);
void check_duplicates(Checks& c);
void check_reachable(Checks& c);
/// Folds every problem into the cause that explains it, as a note of it; returns the shown.
std::vector<Diagnostic> fold(Checks& c);

}  // namespace wander::checks

#endif  // WANDER_TOOLS_CHECKS_CHECK_CONTEXT_H_
