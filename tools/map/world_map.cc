#include "tools/map/world_map.h"

#include <algorithm>
#include <array>
#include <bit>
#include <deque>
#include <unordered_map>
#include <unordered_set>
#include <vector>

#include "tools/names/printable.h"

namespace wander {
namespace {

constexpr std::size_t kLongestName = 24;    // characters of a room's name shown in its box
constexpr std::size_t kLongestObject = 12;  // and of each object's name
constexpr std::array<MapCell, 4> kSteps = {{{0, 1}, {1, 0}, {0, -1}, {-1, 0}}};  // N, E, S, W

// Rings of cells searched around a taken cell before a room goes to the overflow: enough for the
// crowded corners of a drawn map, few enough that each room costs a bounded number of looks.
constexpr std::int64_t kRings = 4;

constexpr std::int64_t magnitude(std::int64_t value) { return value < 0 ? -value : value; }
constexpr std::int64_t ring_of(const MapCell& offset) {
  return std::max(magnitude(offset.x), magnitude(offset.y));
}

// The offsets of rings 1 to kRings around a cell, in the order a taken cell's neighbours are
// tried: ring by ring, nearest first within a ring, and of two as near, the northern, then the
// western one.
constexpr std::array<MapCell, 4 * kRings*(kRings + 1)> kRingOffsets = [] {
  std::array<MapCell, 4 * kRings*(kRings + 1)> offsets{};
  std::size_t count = 0;
  for (std::int64_t dy = -kRings; dy <= kRings; ++dy) {
    for (std::int64_t dx = -kRings; dx <= kRings; ++dx) {
      if (dx != 0 || dy != 0) offsets[count++] = {dx, dy};
    }
  }
  std::sort(offsets.begin(), offsets.end(), [](const MapCell& a, const MapCell& b) {
    const auto order = [](const MapCell& c) {
      return std::array<std::int64_t, 4>{ring_of(c), c.x * c.x + c.y * c.y, -c.y, c.x};
    };
    return order(a) < order(b);
  });
  return offsets;
}();

// The cells around a centre, each once: ring by ring outwards, and within a ring nearest first,
// of two as near the northern, then the western one. Ring r at `across` k from its middle holds
// up to eight cells, (+-k, +-r) and (+-r, +-k); `kept` says which of them are not repeats.
class Spiral {
 public:
  explicit Spiral(const MapCell& centre) : centre_(centre) {}

  MapCell cell() const {
    const std::int64_t r = ring_, k = across_;
    const std::array<MapCell, 8> around = {
        {{-k, r}, {k, r}, {-r, k}, {r, k}, {-r, -k}, {r, -k}, {-k, -r}, {k, -r}}};
    return {centre_.x + around[side_].x, centre_.y + around[side_].y};
  }

  void next() {
    do {
      if (++side_ == 8) {
        side_ = 0;
        if (++across_ > ring_) {
          across_ = 0;
          ++ring_;
        }
      }
    } while ((kept() >> side_ & 1) == 0);
  }

 private:
  unsigned kept() const {
    if (ring_ == 0) return 0b00000001;
    if (across_ == 0) return 0b01001101;      // (0, r), (-r, 0), (r, 0), (0, -r)
    if (across_ == ring_) return 0b00110011;  // the four corners
    return 0b11111111;
  }

  MapCell centre_;
  std::int64_t ring_ = 0;
  std::int64_t across_ = 0;
  int side_ = 0;
};

// The cells taken so far: a set of cells with open addressing, 16 bytes or less per cell.
class Grid {
 public:
  // Takes the free cell nearest to `wanted`: that one, else the nearest on the smallest of the
  // kRings rings around it that has a free cell, else the next free cell of the overflow.
  MapCell take(const MapCell& wanted) {
    if (!taken(wanted)) return put(wanted);
    for (const MapCell& offset : kRingOffsets) {
      const MapCell cell{wanted.x + offset.x, wanted.y + offset.y};
      if (!taken(cell)) return put(cell);
    }
    // The overflow never goes back: the cells it passed are taken, and stay so.
    while (taken(overflow_.cell())) overflow_.next();
    return put(overflow_.cell());
  }

  // From here on, the overflow is a spiral around `centre`, a cell east of every cell taken: the
  // cells of earlier groups it passes are fewer than its own, so each group costs its own size.
  void overflow_around(const MapCell& centre) { overflow_ = Spiral(centre); }

  // The easternmost column taken.
  std::int64_t east() const { return east_; }
  // The cells looked at so far, and the slots those looks and the puts went through.
  std::uint64_t tried() const { return tried_; }
  std::uint64_t probed() const { return probed_; }

 private:
  bool taken(const MapCell& cell) {
    ++tried_;
    return !slots_.empty() && slots_[slot_of(key(cell))] != 0;
  }
  MapCell put(const MapCell& cell) {
    if (2 * (size_ + 1) > slots_.size()) grow();
    slots_[slot_of(key(cell))] = key(cell);
    ++size_;
    east_ = std::max(east_, cell.x);
    return cell;
  }
  // Never 0, which marks an empty slot: the grid is far smaller than 2^31 cells across.
  static std::uint64_t key(const MapCell& cell) {
    return (static_cast<std::uint64_t>(cell.x + (std::int64_t{1} << 31)) << 32) |
           static_cast<std::uint32_t>(cell.y + (std::int64_t{1} << 31));
  }
  std::size_t slot_of(std::uint64_t key) {
    const std::size_t mask = slots_.size() - 1;
    // The product's top bits, where every bit of the key has a say: its lower bits hold little
    // of x, and a row of cells would crowd into a few slots.
    std::size_t slot = static_cast<std::size_t>((key * 0x9e3779b97f4a7c15ULL) >> shift_);
    for (++probed_; slots_[slot] != 0 && slots_[slot] != key; ++probed_) slot = (slot + 1) & mask;
    return slot;
  }
  void grow() {
    std::vector<std::uint64_t> old = std::move(slots_);
    slots_.assign(old.empty() ? 64 : 2 * old.size(), 0);
    shift_ = 64 - std::countr_zero(slots_.size());
    for (const std::uint64_t entry : old) {
      if (entry != 0) slots_[slot_of(entry)] = entry;
    }
  }

  std::vector<std::uint64_t> slots_;
  int shift_ = 64;
  std::size_t size_ = 0;
  std::int64_t east_ = -2;
  std::uint64_t tried_ = 0;
  std::uint64_t probed_ = 0;
  Spiral overflow_{{0, 0}};
};

// Walks the exits breadth first from the rooms put on the grid, putting each room it reaches,
// and each name without a block, one cell away in the exit's direction.
class Walk {
 public:
  Walk(const Survey& survey, MapLayout& layout)
      : survey_(survey), layout_(layout), placed_(survey.rooms.size(), false) {
    layout_.rooms.assign(survey.rooms.size(), MapCell());
  }

  void start_at(std::uint32_t room, const MapCell& cell) {
    grid_.overflow_around(cell);
    put_room(room, cell);
    while (!to_visit_.empty()) {
      const std::uint32_t here = to_visit_.front();
      to_visit_.pop_front();
      for (int direction = 0; direction < 4; ++direction) {
        const std::uint32_t exit = survey_.rooms[here].exits[direction];
        if (exit >= kNoExitName) continue;
        const MapCell next{layout_.rooms[here].x + kSteps[direction].x,
                           layout_.rooms[here].y + kSteps[direction].y};
        const std::uint32_t room = survey_.markers[exit].room;
        if (room == kNoName) {
          put_missing(exit, next);
        } else if (!placed_[room]) {
          put_room(room, next);
        }
      }
    }
  }

  void put_missing(std::uint32_t marker, const MapCell& cell) {
    if (!missing_.insert(marker).second) return;
    layout_.missing.push_back(marker);
    layout_.missing_cells.push_back(grid_.take(cell));
  }

  bool placed(std::uint32_t room) const { return placed_[room]; }
  std::int64_t east() const { return grid_.east(); }
  const Grid& grid() const { return grid_; }

 private:
  void put_room(std::uint32_t room, const MapCell& cell) {
    layout_.rooms[room] = grid_.take(cell);
    placed_[room] = true;
    to_visit_.push_back(room);
  }

  const Survey& survey_;
  MapLayout& layout_;
  std::vector<bool> placed_;
  std::unordered_set<std::uint32_t> missing_;
  std::deque<std::uint32_t> to_visit_;
  Grid grid_;
};

void write(std::FILE* out, const std::string& line) {
  std::fwrite(line.data(), 1, line.size(), out);
  std::fputc('\n', out);
}

std::string inches(double value) {
  char text[32];
  std::snprintf(text, sizeof text, "%.2f", value);
  return text;
}

// The name of an object, from its marker "<room|name>".
std::string_view object_name(const Survey& survey, std::uint32_t room, std::uint32_t object) {
  const std::string_view marker = survey.names[object];
  const std::size_t room_size = survey.room_id(room).size();
  return marker.substr(room_size + 2, marker.size() - room_size - 3);
}

struct Label {
  std::string text;    // escaped for DOT
  std::size_t widest;  // characters in its widest line
};

Label room_label(const Survey& survey, const SurveyedRoom& room, bool start) {
  const std::string name =
      printable_elided(survey.room_id(room.marker), kLongestName) + (start ? " (start)" : "");
  std::string objects;
  for (const std::uint32_t object : room.objects) {
    if (object == kNoName) continue;
    objects += (objects.empty() ? "" : ", ") +
               printable_elided(object_name(survey, room.marker, object), kLongestObject);
  }
  Label label{dot_escaped(name), text_columns(name)};
  if (!objects.empty()) {
    label.text += "\\n" + dot_escaped(objects);
    label.widest = std::max(label.widest, text_columns(objects));
  }
  return label;
}

}  // namespace

bool leads_back(const Survey& survey, std::uint32_t from, int direction, std::uint32_t to) {
  return to != from && survey.rooms[to].exits[(direction + 2) % 4] == survey.rooms[from].marker;
}

MapLayout lay_out(const Survey& survey) {
  MapLayout layout;
  Walk walk(survey, layout);
  const SurveyedRoom* start = survey.header_words > 0 ? survey.find_room(survey.start) : nullptr;
  if (start != nullptr) {
    walk.start_at(survey.markers[start->marker].room, {0, 0});
  } else if (survey.start_marker != kNoName) {
    walk.put_missing(survey.start_marker, {0, 0});
  }
  // Each group of rooms the start does not lead to goes east of everything laid out before.
  for (std::uint32_t room = 0; room < survey.rooms.size(); ++room) {
    if (!walk.placed(room)) walk.start_at(room, {walk.east() + 2, 0});
  }
  layout.cells_tried = walk.grid().tried();
  layout.slots_probed = walk.grid().probed();
  return layout;
}

std::string dot_escaped(std::string_view text) {
  std::string out;
  for (const char c : text) {
    if (c == '"' || c == '\\') out += '\\';
    // Graphviz reads "&amp;" and the like in a label as the character they name.
    out += c == '&' ? std::string("&amp;") : std::string(1, c);
  }
  return out;
}

void write_map(const Survey& survey, std::FILE* out) {
  const MapLayout layout = lay_out(survey);
  const SurveyedRoom* start = survey.header_words > 0 ? survey.find_room(survey.start) : nullptr;
  // The labels are put together twice, so that they need not all be kept at once.
  std::size_t widest = 8;
  for (const SurveyedRoom& room : survey.rooms) {
    widest = std::max(widest, room_label(survey, room, &room == start).widest);
  }
  for (const std::uint32_t marker : layout.missing) {
    widest = std::max(widest, text_columns(printable_elided(survey.room_id(marker), kLongestName)));
  }
  // Cells far enough apart for the widest box, and for an edge between two boxes, in inches.
  const double across = 1.0 + 0.1 * static_cast<double>(widest);
  const double down = 1.3;
  const auto pos = [&](const MapCell& cell) {
    return "pos=\"" + inches(across * static_cast<double>(cell.x)) + "," +
           inches(down * static_cast<double>(cell.y)) + "!\"";
  };

  write(out, "digraph world {");
  write(out, "  graph [layout=neato, splines=true, outputorder=edgesfirst];");
  write(out, "  node [shape=box, style=rounded, fontsize=11];");
  write(out, "  edge [fontsize=9, arrowsize=0.7];");
  for (std::uint32_t i = 0; i < survey.rooms.size(); ++i) {
    const SurveyedRoom& room = survey.rooms[i];
    std::string node = "  r" + std::to_string(i) + " [label=\"" +
                       room_label(survey, room, &room == start).text + "\", " +
                       pos(layout.rooms[i]);
    if (&room == start) node += ", peripheries=2";
    if (start != nullptr && !survey.reachable(room)) node += ", color=gray50, fontcolor=gray50";
    write(out, node + "];");
  }
  std::unordered_map<std::uint32_t, std::size_t> missing;
  for (std::size_t i = 0; i < layout.missing.size(); ++i) {
    const std::uint32_t marker = layout.missing[i];
    missing.emplace(marker, i);
    const std::string name = printable_elided(survey.room_id(marker), kLongestName) +
                             (marker == survey.start_marker ? " (start)" : "");
    write(out, "  m" + std::to_string(i) + " [label=\"" + dot_escaped(name) + "\\nno block\", " +
                   pos(layout.missing_cells[i]) +
                   (marker == survey.start_marker ? ", peripheries=2" : "") +
                   ", style=\"rounded,dashed\", color=red, fontcolor=red];");
  }
  for (std::uint32_t from = 0; from < survey.rooms.size(); ++from) {
    for (int direction = 0; direction < 4; ++direction) {
      const std::uint32_t exit = survey.rooms[from].exits[direction];
      if (exit >= kNoExitName) continue;
      const std::uint32_t to = survey.markers[exit].room;
      const std::string tail = "  r" + std::to_string(from) + " -> ";
      if (to == kNoName) {
        write(out, tail + "m" + std::to_string(missing.at(exit)) + " [label=\"" +
                       kDirections[direction] + "\", color=red, fontcolor=red, style=dashed];");
        continue;
      }
      const std::string edge = tail + "r" + std::to_string(to) + " [";
      if (!leads_back(survey, from, direction, to)) {
        write(out, edge + "label=\"" + kDirections[direction] +
                       "\", color=darkorange, fontcolor=darkorange3, penwidth=1.6];");
      } else if (from < to) {
        // A way both ways is one line; its directions are written only when the rooms could not
        // be put where they say.
        const MapCell there{layout.rooms[from].x + kSteps[direction].x,
                            layout.rooms[from].y + kSteps[direction].y};
        write(out, edge + "dir=none" +
                       (there == layout.rooms[to]
                            ? std::string()
                            : std::string(", taillabel=\"") + kDirections[direction] +
                                  "\", headlabel=\"" + kDirections[(direction + 2) % 4] + "\"") +
                       "];");
      }
    }
  }
  write(out, "}");
}

}  // namespace wander
