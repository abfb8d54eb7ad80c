// What the language server answers, as plain results: definitions, references, renames, hovers,
// completions, symbols, folds, quick fixes and what the editor could not decode, each found in
// one version of a world (its WorldIndex) and given in byte offsets of its text and in words.
// No protocol is in them: to_protocol.h writes them as the protocol has them.
#ifndef WANDER_TOOLS_LSP_FEATURES_H_
#define WANDER_TOOLS_LSP_FEATURES_H_

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "tools/lsp/world_index.h"

namespace wander::lsp {

/// The bytes [from, to) of a text.
struct Span {
  std::uint64_t from = 0;
  std::uint64_t to = 0;
};

/// Where a name leads: the block the game's lookup finds for it (the first line equal to its
/// marker).
struct Definition {
  Span origin;  ///< the name asked about
  Span block;   ///< the block's marker line
  Span name;    ///< the name in it: a room's inside its brackets, an object's after its '|'
};

/// The definition of the name at `offset` (as WorldIndex::at finds it); none when no name stands
/// there or what it names has no block.
std::optional<Definition> definition(const WorldIndex& index, std::uint64_t offset);

/// Every place that names what the name at `offset` names (WorldIndex::references), by offset;
/// the names in the blocks' marker lines only with `declarations`. Empty when no name stands there.
std::vector<Span> references(const WorldIndex& index, std::uint64_t offset, bool declarations);

/// The name at `offset` that a rename would change, when one stands there.
std::optional<Span> rename_target(const WorldIndex& index, std::uint64_t offset);

/// A rename: every place to write the new name in, or why it cannot be made.
struct Rename {
  std::string refused;  ///< why it cannot be made, for the author; empty when it can
  std::vector<Span> places;
};

/// Renames the room or object named at `offset` to `name`: refused when nothing is named there,
/// when `name` is no name (is_name, and no look-alike blank), is "None", or is the name of another
/// room (or object of the same room) that the world holds already.
Rename rename(const WorldIndex& index, std::uint64_t offset, std::string_view name);

/// What a hover shows of the name at `offset`, and the name's place.
struct Hover {
  std::string text;  ///< printable; a room's description and exits, an object's text
  Span name;
};

/// The hover of the name at `offset`; none when no name stands there.
std::optional<Hover> hover(const WorldIndex& index, std::uint64_t offset);

/// The names that may be written at a place.
struct Completion {
  enum class Kind { kRoom, kObject, kNoExit };
  struct Item {
    std::string_view label;  ///< as written in the index's text (or kNoExit)
    Kind kind;
  };
  Span replaced;  ///< the whole name the cursor is in: each item takes its place
  std::vector<Item> items;
  bool incomplete = false;  ///< more names would fit than are offered
};

/// The names to offer at `offset`, as the game would read what is written there: rooms in a
/// marker line, in the header and where an exit stands (by the world's own label words, or by
/// position among a room's words), and "None" with them in an exit; a room's objects in a marker
/// line after "<Room|" and in its list. At most a thousand.
Completion completion(const WorldIndex& index, std::uint64_t offset);

/// A block as a symbol: a room's, or an object's.
struct Symbol {
  std::string_view name;  ///< as written: a room's or an object's name, or a whole marker line
  bool room = false;
  Span block;                  ///< the whole block (BlockSpan)
  Span selection;              ///< the name in its marker line
  std::uint32_t children = 0;  ///< how many of the symbols right after it stand under it
};

/// Receives symbols one at a time: a large world has a million, which are never all kept.
using SymbolSink = std::function<void(const Symbol&)>;

/// Gives `each` the blocks as symbols: each room (in file order) followed by its objects' blocks;
/// then the object blocks whose room has no block, each named by its marker line. A second block
/// of a marker is no symbol.
void symbols(const WorldIndex& index, const SymbolSink& each);

/// The blocks the game can read, each from its marker line's first byte to its last byte, in file
/// order: what an editor folds.
std::vector<Span> folds(const WorldIndex& index);

/// A fix-it of a diagnostic offered as a quick fix.
struct QuickFix {
  std::string title;  ///< "Replace 'x' with 'y'", "Put 'y'", "Take out 'x'"
  const Diagnostic* diagnostic;
  const FixIt* fix;
};

/// The fix-its of the diagnostics that touch `asked`, in the order of the diagnostics.
std::vector<QuickFix> quick_fixes(const WorldIndex& index, Span asked);

/// Where the text holds U+FFFD, which an editor puts in place of bytes it could not read as
/// UTF-8: a hundred places at most.
std::vector<Span> undecodable(std::string_view text);

}  // namespace wander::lsp

#endif  // WANDER_TOOLS_LSP_FEATURES_H_
