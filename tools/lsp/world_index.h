// What the language server knows of one version of a world: the survey and the checks of
// `wander-world check`, and where each name is written, so that a name under the cursor leads to
// its block, to everything that names it, and to a safe rename.
#ifndef WANDER_TOOLS_LSP_WORLD_INDEX_H_
#define WANDER_TOOLS_LSP_WORLD_INDEX_H_

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "tools/diagnostics/diagnostic.h"
#include "tools/survey/world_survey.h"

namespace wander::lsp {

/// Where a name stands, and what it names.
struct Occurrence {
  enum class Kind {
    kExit,        ///< an exit of a room block: a room's name
    kHeader,      ///< the header's starting room
    kRoomMarker,  ///< the name inside a room block's marker line, "<Hall>"
    kObjectRoom,  ///< the room part of an object block's marker line, "<Hall|lamp>"
    kListEntry,   ///< an object name in a room's list: the object "<Room|name>"
    kObjectName,  ///< the object part of an object block's marker line
  };
  std::uint64_t offset = 0;
  std::uint64_t length = 0;
  Kind kind = Kind::kExit;
  std::uint32_t target = kNoName;  ///< the marker named: "<Hall>" for a room, "<Hall|lamp>"
  std::uint32_t room = kNoName;    ///< for an object: the marker of its room, when in the table

  bool names_room() const { return kind <= Kind::kObjectRoom; }
};

/// A block as the file holds it: its marker line and how far it reaches.
struct BlockSpan {
  std::uint32_t marker = kNoName;
  std::uint64_t start = 0;  ///< its marker line's first byte
  std::uint64_t end = 0;    ///< just past its last byte: its '*', or for a room its last word
};

/// The survey, the checks and the names of one version of a world's text, which must outlive it
/// and stay as it is. The blocks and the names are found when first asked for: diagnostics need
/// neither, and symbols need no names.
class WorldIndex {
 public:
  explicit WorldIndex(std::string_view text);

  /// The text indexed.
  std::string_view text() const { return text_; }
  const Survey& survey() const { return *survey_; }
  const std::vector<Diagnostic>& diagnostics() const { return diagnostics_; }
  /// Every name written, by offset, each place once.
  const std::vector<Occurrence>& occurrences() const;
  /// The blocks the game can read: each marker's first line and its second blocks, in file order.
  const std::vector<BlockSpan>& blocks() const { return layout().blocks; }

  /// The name written at byte `offset` (or just after it, so that a cursor at a word's end
  /// counts), or null. On a marker line, its '<' and the place just after its '>' count as the
  /// name next to them.
  const Occurrence* at(std::uint64_t offset) const;

  /// Every place that names `target` as `occurrence` does (rooms with rooms, objects with
  /// objects), by offset.
  std::vector<const Occurrence*> references(const Occurrence& occurrence) const;

  /// The room that a marker number names, or the object (its room and name), as written.
  std::string_view room_name(std::uint32_t marker) const { return survey_->room_id(marker); }

  /// The text of the block of `marker` (its description or object text), as written; empty when
  /// it has no block.
  std::string_view block_text(std::uint32_t marker) const;

  /// The span of the room block of the room whose words stand at or around `offset`: from its
  /// '*' to its last word read; null when no room's words do.
  const SurveyedRoom* room_with_words_at(std::uint64_t offset) const;

  /// The slot (as RoomBlockReport numbers them: label, exit, ..., count, names) of `room`'s
  /// words that the word starting at `from` fills, or that one written there would: the slots
  /// read before it, by position, whatever the label words are.
  int slot_of(const SurveyedRoom& room, std::uint64_t from) const;

 private:
  // For a room block with words read: from its '*' to its last word's end.
  struct WordsSpan {
    std::uint64_t from;
    std::uint64_t to;
    std::size_t room;
  };
  // Where the blocks and the rooms' words stand: all that symbols and folds need.
  struct Layout {
    std::vector<BlockSpan> blocks;
    std::vector<WordsSpan> words;  // by offset
  };

  const Layout& layout() const;
  // Rereads every room's words: their spans into `words`, the names among them into
  // `occurrences`, each when given.
  void read_rooms(std::vector<WordsSpan>* words, std::vector<Occurrence>* occurrences) const;

  std::string_view text_;
  std::unique_ptr<WorldFile> reader_;
  std::unique_ptr<Survey> survey_;
  std::vector<Diagnostic> diagnostics_;
  mutable std::unique_ptr<Layout> layout_;
  mutable std::unique_ptr<std::vector<Occurrence>> occurrences_;
};

}  // namespace wander::lsp

#endif  // WANDER_TOOLS_LSP_WORLD_INDEX_H_
