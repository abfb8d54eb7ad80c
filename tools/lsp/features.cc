#include "tools/lsp/features.h"

#include <algorithm>
#include <utility>

#include "tools/names/printable.h"

namespace wander::lsp {
namespace {

// Long texts are quoted in part in a hover.
constexpr std::size_t kHoverBytes = 600;
constexpr std::size_t kHoverLines = 8;
constexpr std::size_t kMostCompletions = 1000;
// So many U+FFFD are told of at most: a file that is all of them needs no more.
constexpr std::size_t kMostUndecodable = 100;

constexpr std::string_view kReplacementCharacter = "\xef\xbf\xbd";

Span span_of(const Occurrence& occurrence) {
  return {occurrence.offset, occurrence.offset + occurrence.length};
}

// The name at `offset`, when it names something.
const Occurrence* named_at(const WorldIndex& index, std::uint64_t offset) {
  const Occurrence* occurrence = index.at(offset);
  return occurrence == nullptr || occurrence->target == kNoName ? nullptr : occurrence;
}

// True when the character at the start of `rest` may stand in a name: is_name's rule, and no
// look-alike blank, which would make a name that reads as two.
bool in_name(std::string_view rest) {
  return is_name(rest.substr(0, character_length(rest))) && blank_lookalike_length(rest) == 0;
}

// Why `name` cannot be a room's or an object's name; empty when it can.
std::string unfit_name(std::string_view name) {
  if (name.empty()) return "a name cannot be empty";
  if (!is_name(name) || find_blank_lookalike(name).at != std::string_view::npos) {
    return "a name is a single word, without blanks, '|', '<' or '>': " + in_quotes(name) +
           " is not one";
  }
  if (name == kNoExit) return "'None' means no exit: no room can be called so";
  return {};
}

// The first word of a line such as "North: ..." before `offset`, skipping the word the cursor is
// in: the word before the one being typed.
std::string_view word_before(std::string_view text, std::uint64_t offset) {
  std::size_t at = static_cast<std::size_t>(std::min<std::uint64_t>(offset, text.size()));
  while (at > 0 && !is_word_space(text[at - 1])) --at;
  while (at > 0 && is_word_space(text[at - 1])) --at;
  const std::size_t end = at;
  while (at > 0 && !is_word_space(text[at - 1])) --at;
  return text.substr(at, end - at);
}

// The line that `offset` stands on, up to `offset`.
std::string_view line_before(std::string_view text, std::uint64_t offset) {
  const std::size_t end = static_cast<std::size_t>(std::min<std::uint64_t>(offset, text.size()));
  const std::size_t start = text.find_last_of("\r\n", end == 0 ? 0 : end - 1);
  const std::size_t from = start == std::string_view::npos || end == 0 ? 0 : start + 1;
  return text.substr(std::min(from, end), end - std::min(from, end));
}

// The name around byte `offset` on its line: the characters before and after it up to a blank,
// '<', '|', '>' or the line's ends.
Span name_around(std::string_view text, std::uint64_t offset) {
  const std::string_view line = line_before(text, offset);
  std::uint64_t from = offset - line.size();
  for (std::size_t at = 0, length = 0; at < line.size(); at += length) {
    length = character_length(line.substr(at));
    if (!in_name(line.substr(at))) from = offset - line.size() + at + length;
  }
  std::uint64_t to = offset;
  while (to < text.size() && in_name(text.substr(to))) to += character_length(text.substr(to));
  return {from, to};
}

// The start of `text` as a hover shows it: its first lines, whole characters of them, each line
// printable, and "…" when more follows.
std::string shown_text(std::string_view text) {
  std::string shown;
  bool more = false;
  for (std::size_t at = 0, lines = 0; at < text.size() && !more; ++lines) {
    if (lines == kHoverLines || shown.size() >= kHoverBytes) {
      more = true;
      break;
    }
    std::size_t end = text.find('\n', at);
    if (end == std::string_view::npos) end = text.size();
    std::string_view line = text.substr(at, end - at);
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    if (const std::size_t room = kHoverBytes - shown.size(); line.size() > room) {
      line = line.substr(0, character_start_from(line, room));
      more = true;
    }
    if (lines > 0) shown += '\n';
    shown += printable(line);
    at = end + 1;
  }
  if (more) shown += "…";
  return shown;
}

}  // namespace

std::optional<Definition> definition(const WorldIndex& index, std::uint64_t offset) {
  const Occurrence* occurrence = named_at(index, offset);
  if (occurrence == nullptr) return std::nullopt;
  const Marker& marker = index.survey().markers[occurrence->target];
  if (!marker.has_block()) return std::nullopt;
  const std::string_view line = index.survey().names[occurrence->target];
  const MarkerParts parts = parse_marker(line);
  const std::string_view name = parts.of_object ? parts.object : parts.room;
  const std::uint64_t from = marker.start + static_cast<std::uint64_t>(name.data() - line.data());
  return Definition{
      span_of(*occurrence), {marker.start, marker.start + line.size()}, {from, from + name.size()}};
}

std::vector<Span> references(const WorldIndex& index, std::uint64_t offset, bool declarations) {
  std::vector<Span> found;
  const Occurrence* occurrence = index.at(offset);
  if (occurrence == nullptr) return found;
  for (const Occurrence* other : index.references(*occurrence)) {
    const bool declaration = other->kind == Occurrence::Kind::kRoomMarker ||
                             other->kind == Occurrence::Kind::kObjectName;
    if (declarations || !declaration) found.push_back(span_of(*other));
  }
  return found;
}

std::optional<Span> rename_target(const WorldIndex& index, std::uint64_t offset) {
  const Occurrence* occurrence = named_at(index, offset);
  if (occurrence == nullptr) return std::nullopt;
  return span_of(*occurrence);
}

Rename rename(const WorldIndex& index, std::uint64_t offset, std::string_view name) {
  const Occurrence* occurrence = named_at(index, offset);
  if (occurrence == nullptr) return {"there is no room or object name here to rename", {}};
  if (std::string why = unfit_name(name); !why.empty()) return {std::move(why), {}};
  const Survey& s = index.survey();
  // A name taken already would join two rooms, or two objects, into one.
  std::uint32_t taken = kNoName;
  if (occurrence->names_room()) {
    taken = s.names.find(room_marker_pieces(name));
  } else if (occurrence->room != kNoName) {
    taken = s.names.find(object_marker_pieces(s.room_id(occurrence->room), name));
  }
  if (taken != kNoName && taken != occurrence->target &&
      (s.markers[taken].has_block() || s.markers[taken].named || s.markers[taken].listed)) {
    return {(occurrence->names_room() ? "a room named " : "an object named ") + in_quotes(name) +
                " is there already",
            {}};
  }
  Rename done;
  for (const Occurrence* other : index.references(*occurrence)) {
    done.places.push_back(span_of(*other));
  }
  return done;
}

std::optional<Hover> hover(const WorldIndex& index, std::uint64_t offset) {
  const Occurrence* occurrence = named_at(index, offset);
  if (occurrence == nullptr) return std::nullopt;
  const Survey& s = index.survey();
  const std::uint32_t target = occurrence->target;
  std::string text;
  if (occurrence->names_room()) {
    text = "room " + in_quotes(s.room_id(target));
    const SurveyedRoom* room = s.find_room(s.room_id(target));
    if (room == nullptr) return Hover{text + ": no block", span_of(*occurrence)};
    text += "\n\n" + shown_text(index.block_text(target)) + "\n\nexits: ";
    const std::size_t listed = text.size();
    for (int direction = 0; direction < 4; ++direction) {
      const std::uint32_t exit = room->exits[direction];
      if (exit == kNoName) continue;
      text += (text.size() == listed ? "" : ", ") + std::string(kDirections[direction]) + " " +
              (exit == kNoExitName ? "none" : in_quotes(s.room_id(exit)));
    }
    if (text.size() == listed) text += "none read";
  } else {
    const MarkerParts parts = parse_marker(s.names[target]);
    text = "object " + in_quotes(parts.object) + " of room " + in_quotes(parts.room);
    text += s.markers[target].has_block() ? "\n\n" + shown_text(index.block_text(target))
                                          : ": no block";
  }
  return Hover{std::move(text), span_of(*occurrence)};
}

Completion completion(const WorldIndex& index, std::uint64_t offset) {
  const Survey& s = index.survey();
  const std::string_view text = index.text();
  const std::string_view line = line_before(text, offset);
  Completion found;
  found.replaced = name_around(text, offset);
  const auto add = [&](std::string_view name, Completion::Kind kind) {
    if (found.items.size() < kMostCompletions) {
      found.items.push_back({name, kind});
    } else {
      found.incomplete = true;
    }
  };
  const auto add_rooms = [&](bool exit) {
    for (const SurveyedRoom& room : s.rooms) add(s.room_id(room.marker), Completion::Kind::kRoom);
    if (exit) add(kNoExit, Completion::Kind::kNoExit);
  };
  // The objects of room `room` that have blocks.
  const auto add_objects_of = [&](std::string_view room) {
    for (std::uint32_t id = 0; id < s.markers.size(); ++id) {
      const MarkerParts parts = parse_marker(s.names[id]);
      if (s.markers[id].has_block() && parts.of_object && parts.room == room) {
        add(parts.object, Completion::Kind::kObject);
      }
    }
  };
  if (!line.empty() && line.front() == '<') {
    // A marker line being written: a room's name, or after "<Room|" an object of that room. What
    // is written so far is read as the marker it begins.
    const std::string begun = std::string(line) + '>';
    const MarkerParts parts = parse_marker(begun);
    if (parts.of_object) {
      add_objects_of(parts.room);
    } else {
      add_rooms(false);
    }
  } else if (const int label = s.label_slot(word_before(text, offset)); label >= 0 && label < 4) {
    // After one of the world's own exit labels, whatever its language.
    add_rooms(true);
  } else if (s.header_words > 0 && s.first_word_place.line == s.start_place.line &&
             offset > s.first_word_place.offset &&
             offset <= s.start_place.offset + s.start.size() + 1 &&
             line.size() == offset - s.first_word_place.line_start) {
    add_rooms(false);
  } else if (const SurveyedRoom* room = index.room_with_words_at(offset); room != nullptr) {
    // Among a room's words, what the game reads in the name's place: an exit, or an object.
    const int slot = index.slot_of(*room, found.replaced.from);
    if (slot >= kFirstNameSlot) {
      add_objects_of(s.room_id(room->marker));
    } else if (slot < kCountLabelSlot && slot % 2 == 1) {
      add_rooms(true);
    }
  }
  return found;
}

void symbols(const WorldIndex& index, const SymbolSink& each) {
  const Survey& s = index.survey();
  const std::vector<BlockSpan>& blocks = index.blocks();
  // Each object block stands under its room's symbol when its room has a block, else on its own
  // after the rooms. A second block is no symbol.
  std::vector<std::pair<std::uint32_t, std::uint32_t>> children;  // its room's marker, the block
  std::vector<std::uint32_t> alone;
  for (std::uint32_t i = 0; i < blocks.size(); ++i) {
    const MarkerParts parts = parse_marker(s.names[blocks[i].marker]);
    if (blocks[i].start != s.markers[blocks[i].marker].start || !parts.of_object) continue;
    const std::uint32_t room = s.names.find(room_marker_pieces(parts.room));
    if (room != kNoName && s.markers[room].has_block()) {
      children.emplace_back(room, i);
    } else {
      alone.push_back(i);
    }
  }
  std::stable_sort(children.begin(), children.end(),
                   [](const auto& a, const auto& b) { return a.first < b.first; });
  // `name` is the part of the block's marker line that the symbol's selection holds.
  const auto symbol = [&](const BlockSpan& block, std::string_view name, bool room) {
    const std::uint64_t from =
        block.start + static_cast<std::uint64_t>(name.data() - s.names[block.marker].data());
    return Symbol{name, room, {block.start, block.end}, {from, from + name.size()}, 0};
  };
  for (const BlockSpan& block : blocks) {
    const MarkerParts parts = parse_marker(s.names[block.marker]);
    if (block.start != s.markers[block.marker].start || parts.of_object) continue;
    const auto [first, last] = std::equal_range(
        children.begin(), children.end(), std::pair{block.marker, std::uint32_t{0}},
        [](const auto& a, const auto& b) { return a.first < b.first; });
    Symbol room = symbol(block, parts.room, true);
    room.children = static_cast<std::uint32_t>(last - first);
    each(room);
    for (auto child = first; child != last; ++child) {
      const BlockSpan& object = blocks[child->second];
      each(symbol(object, parse_marker(s.names[object.marker]).object, false));
    }
  }
  for (const std::uint32_t i : alone) {
    Symbol object = symbol(blocks[i], parse_marker(s.names[blocks[i].marker]).object, false);
    object.name = s.names[blocks[i].marker];
    each(object);
  }
}

std::vector<Span> folds(const WorldIndex& index) {
  std::vector<Span> found;
  for (const BlockSpan& block : index.blocks()) found.push_back({block.start, block.end});
  return found;
}

std::vector<QuickFix> quick_fixes(const WorldIndex& index, Span asked) {
  const std::string_view text = index.text();
  std::vector<QuickFix> found;
  for (const Diagnostic& d : index.diagnostics()) {
    const std::uint64_t start = d.range.place.offset;
    if (start > asked.to || start + d.range.width < asked.from) continue;
    for (const FixIt& fix : d.fixes) {
      const std::string_view replaced = text.substr(
          static_cast<std::size_t>(std::min<std::uint64_t>(fix.range.place.offset, text.size())),
          fix.range.width);
      std::string title = fix.replacement.empty() ? "Take out " + in_quotes(replaced)
                          : replaced.empty()      ? "Put " + in_quotes(fix.replacement)
                                                  : "Replace " + in_quotes(replaced) + " with " +
                                                   in_quotes(fix.replacement);
      found.push_back({std::move(title), &d, &fix});
    }
  }
  return found;
}

std::vector<Span> undecodable(std::string_view text) {
  std::vector<Span> found;
  for (std::size_t at = text.find(kReplacementCharacter);
       at != std::string_view::npos && found.size() < kMostUndecodable;
       at = text.find(kReplacementCharacter, at + kReplacementCharacter.size())) {
    found.push_back({at, at + kReplacementCharacter.size()});
  }
  return found;
}

}  // namespace wander::lsp
