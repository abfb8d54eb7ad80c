#include "tools/world_map.h"

#include <array>
#include <set>
#include <string>
#include <string_view>

namespace wander {
namespace {

// The length of the valid UTF-8 sequence at the start of `text`, or 0 when there is none.
std::size_t utf8_length(std::string_view text) {
  const auto byte = [&](std::size_t i) { return static_cast<unsigned char>(text[i]); };
  const unsigned char lead = byte(0);
  const std::size_t length = lead < 0x80                   ? 1
                             : lead >= 0xc2 && lead < 0xe0 ? 2
                             : lead >= 0xe0 && lead < 0xf0 ? 3
                             : lead >= 0xf0 && lead < 0xf5 ? 4
                                                           : 0;
  if (length == 0 || length > text.size()) return 0;
  for (std::size_t i = 1; i < length; ++i) {
    if ((byte(i) & 0xc0) != 0x80) return 0;
  }
  // Overlong forms, surrogates and values past U+10FFFF.
  if (length == 3 && ((lead == 0xe0 && byte(1) < 0xa0) || (lead == 0xed && byte(1) >= 0xa0))) {
    return 0;
  }
  if (length == 4 && ((lead == 0xf0 && byte(1) < 0x90) || (lead == 0xf4 && byte(1) >= 0x90))) {
    return 0;
  }
  return length;
}

// `text` for the inside of a DOT string: quotes and backslashes escaped, and every byte that
// Graphviz cannot take (control bytes, broken UTF-8) shown as '?'.
std::string escaped(std::string_view text) {
  std::string out;
  while (!text.empty()) {
    const std::size_t length = utf8_length(text);
    const unsigned char c = static_cast<unsigned char>(text.front());
    if (length == 0 || c < 0x20 || c == 0x7f) {
      out += '?';
    } else {
      if (c == '"' || c == '\\') out += '\\';
      out.append(text.substr(0, length));
    }
    text.remove_prefix(length == 0 ? 1 : length);
  }
  return out;
}

std::string quoted(std::string_view text) {
  std::string out = "\"";
  out += escaped(text);
  out += '"';
  return out;
}

void write_line(std::FILE* out, const std::string& line) {
  std::fwrite(line.data(), 1, line.size(), out);
  std::fputc('\n', out);
}

std::string room_node(const SurveyedRoom& room, bool start) {
  // The label's line break is DOT's own "\n" escape, so the label is put together escaped.
  std::string label = escaped(room.room.id) + (start ? " (start)" : "");
  for (int i = 0; i < room.report.names_read; ++i) {
    label += (i == 0 ? "\\n" : ", ") + escaped(room.room.objects[i]);
  }
  return "  " + quoted(room.room.id) + " [label=\"" + label + "\"" +
         (start ? ", peripheries=2" : "") + "];";
}

// True when `to` has an exit in the opposite direction that leads back to `from`.
bool leads_back(const Survey& survey, const SurveyedRoom& from, const std::string& to,
                int direction) {
  const SurveyedRoom* there = survey.find_room(to);
  const int back = (direction + 2) % 4;
  return there != nullptr && there != &from && back < there->report.exits_read &&
         exit_of(there->room, back) == from.room.id;
}

}  // namespace

void write_map(const Survey& survey, std::FILE* out) {
  write_line(out, "digraph world {");
  write_line(out, "  graph [nodesep=0.8, ranksep=0.8];");
  write_line(out, "  node [shape=box, style=rounded];");
  write_line(out, "  edge [labelfontsize=10, labeldistance=2.2];");
  std::set<std::string> missing;
  bool any_unreachable = false;
  for (const SurveyedRoom& room : survey.rooms) {
    if (!room.reachable && survey.find_room(survey.start) != nullptr) {
      any_unreachable = true;
      continue;
    }
    write_line(out, room_node(room, room.room.id == survey.start));
  }
  if (any_unreachable) {
    write_line(out, "  subgraph cluster_unreachable {");
    write_line(out, "    label=" + quoted("not reachable from " + survey.start) +
                        "; style=dashed; color=gray50; fontcolor=gray50;");
    for (const SurveyedRoom& room : survey.rooms) {
      if (!room.reachable) write_line(out, "  " + room_node(room, false));
    }
    write_line(out, "  }");
  }
  if (!survey.start.empty() && survey.find_room(survey.start) == nullptr)
    missing.insert(survey.start);
  for (const SurveyedRoom& room : survey.rooms) {
    for (int i = 0; i < room.report.exits_read; ++i) {
      const std::string& to = exit_of(room.room, i);
      if (to == kNoExit) continue;
      if (survey.find_room(to) == nullptr) missing.insert(to);
      // A way that goes both ways is one line with an arrow at each end, drawn once.
      std::string edge = "  " + quoted(room.room.id) + " -> " + quoted(to) + " [";
      if (!leads_back(survey, room, to, i)) {
        edge += "label=" + quoted(kDirections[i]);
      } else if (survey.room_index.at(room.room.id) < survey.room_index.at(to)) {
        edge += "dir=both, taillabel=" + quoted(kDirections[i]) +
                ", headlabel=" + quoted(kDirections[(i + 2) % 4]);
      } else {
        continue;
      }
      write_line(out, edge + "];");
    }
  }
  for (const std::string& id : missing) {
    const bool start = id == survey.start;
    write_line(out, "  " + quoted(id) + " [label=" + quoted(id + (start ? " (start)" : "")) +
                        ", style=dashed, color=red, fontcolor=red" +
                        (start ? ", peripheries=2" : "") + ", xlabel=\"no block\"];");
  }
  write_line(out, "}");
}

}  // namespace wander
