// Marker lines and the blocks they start: lines that would be markers but for a blank, blocks
// whose name is a misspelling, blocks nothing uses, second blocks, rooms nothing leads to.
#include <algorithm>
#include <array>
#include <unordered_map>

#include "tools/checks/check_context.h"
#include "tools/checks/kinds.h"
#include "tools/names/lookalikes.h"
#include "tools/names/printable.h"

namespace wander::checks {

void check_near_markers(Checks& c) {
  const Survey& s = c.survey;
  for (std::size_t index = 0; index < s.near_markers.size(); ++index) {
    const NearMarker& near = s.near_markers[index];
    if (near.in_text) continue;
    const std::string_view line = near.line;
    const std::size_t flaw_at = static_cast<std::size_t>(near.place.column() - 1);
    const std::string_view rest = line.substr(flaw_at);
    const std::size_t lookalike = blank_lookalike_length(rest);
    const std::string flaw = lookalike != 0    ? blank_lookalike_name(rest)
                             : rest[0] == '\t' ? std::string("a tab")
                             : rest[0] == ' '  ? std::string("a blank")
                                               : "a byte " + printable(rest.substr(0, 1));
    const std::size_t open = line.find('<');
    const std::size_t close = line.rfind('>');
    const std::string meant = without_blanks(line);
    const std::vector<std::string> words = words_inside_marker(line);
    // The names the game may look for in vain: the marker meant, and the first word of a name
    // with a blank, which is all an exit reads of it.
    std::vector<std::uint32_t> wanted;
    for (const std::string& candidate :
         {meant, words.empty() ? std::string() : room_marker(words.front())}) {
      const std::uint32_t id = s.find(candidate);
      if (id != kNoName && !s.markers[id].has_block() &&
          (s.markers[id].named || s.markers[id].listed)) {
        wanted.push_back(id);
      }
    }
    const std::vector<std::uint32_t>& readers = c.split_name_rooms[index];
    wanted.insert(wanted.end(), readers.begin(), readers.end());
    const bool used = !wanted.empty();
    // A name of several words cannot be mended here alone: its exits must change too.
    const bool split_name =
        !is_object_marker(meant) && words.size() > 1 && flaw_at > open && flaw_at < close;
    std::string message;
    if (flaw_at < open || flaw_at > close) {
      message = "this line would be the marker " + name_to_show(meant) + " but for " + flaw +
                (flaw_at < open ? " before it" : " after it") + ": no lookup matches it" +
                (used ? ", so " + block_words(meant) + " has no block" : "");
    } else if (split_name) {
      message = "the marker " + name_to_show(line.substr(open, close - open + 1)) + " holds " +
                flaw +
                ": names are single words, so no lookup matches it; write it as one word, such "
                "as " +
                name_to_show(meant) + ", here and wherever exits name it";
    } else {
      message = "the marker " + name_to_show(line.substr(open, close - open + 1)) + " holds " +
                flaw + ": names are single words, so no lookup matches it; did you mean " +
                name_to_show(meant) + "?";
    }
    Finding& finding =
        c.raise(used ? kinds::kBlankInMarker : kinds::kBlankInUnusedMarker, near.place,
                lookalike == 0 ? 1 : lookalike, message, used ? kMarkerRank : kSymptomRank);
    if (!split_name) {
      const TextPlace line_start{near.place.line_start, near.place.line, near.place.line_start};
      finding.diagnostic.fixes = {replacing(line_start, line.size(), meant, true)};
    }
    if (used) finding.claims = wanted;
  }
}

namespace {

// How many places want each marker that has no block: the header and every exit that name it.
std::unordered_map<std::uint32_t, int> times_named(const Survey& s) {
  std::unordered_map<std::uint32_t, int> times;
  const auto count = [&](std::uint32_t id) {
    if (id < kNoExitName && !s.markers[id].has_block()) ++times[id];
  };
  if (s.header_words > 0) count(s.start_marker);
  for (const SurveyedRoom& room : s.rooms) {
    for (const std::uint32_t exit : room.exits) count(exit);
  }
  return times;
}

}  // namespace

void find_misspelt_blocks(Checks& c) {
  const Survey& s = c.survey;
  // The names wanted without a block: rooms that exits or the header name, objects that lists do.
  std::vector<std::string_view> rooms;
  std::vector<std::string_view> objects;
  for (std::uint32_t id = 0; id < s.markers.size(); ++id) {
    const Marker& marker = s.markers[id];
    // A marker or a label read where a name should be is a block's words gone wrong, not a name.
    if (marker.has_block() || is_marker_line(s.room_id(id)) || s.label_slot(s.room_id(id)) >= 0) {
      continue;
    }
    if (marker.named && !is_object_marker(c.name(id))) rooms.push_back(s.room_id(id));
    if (marker.listed) objects.push_back(c.name(id));
  }
  c.count_steps(s.markers.size());
  if (rooms.empty() && objects.empty()) return;
  const std::unordered_map<std::uint32_t, int> times = times_named(s);
  c.count_steps(s.rooms.size());
  NameSuggester rooms_wanted(std::move(rooms), c.suggestion_budget());
  NameSuggester objects_wanted(std::move(objects), c.suggestion_budget());
  // A block that nothing wants, whose name is near a name wanted, is the likely misspelling when
  // the evidence says so: the name it is near is wanted in two places or more, or (for an object)
  // the block's room has no block while the wanted one's has. One exit against one block says
  // nothing of which is misspelt: the exit's error then suggests the block. A block inside
  // another's text is there because that text runs on, which explains it better.
  for (std::uint32_t id = 0; id < s.markers.size(); ++id) {
    const Marker& marker = s.markers[id];
    if (!marker.has_block() || marker.inside != kNoName) continue;
    const bool object = marker.room == kNoName;
    if (object ? marker.listed : marker.named) continue;
    bool alone = false;
    const std::string_view near = object ? objects_wanted.nearest(c.name(id), &alone)
                                         : rooms_wanted.nearest(s.room_id(id), &alone);
    if (near.empty()) continue;
    const std::uint32_t wanted = object ? s.find(near) : s.names.find(room_marker_pieces(near));
    if (object) {
      const auto room_of = [](std::string_view line) { return parse_marker(line).room; };
      const std::string_view room = room_of(c.name(id));
      if (s.find_room(room) != nullptr || s.find_room(room_of(near)) == nullptr) continue;
      // The block's room has none, but more places spell the room its way: the room's marker is
      // the misspelling, and this block is right.
      const int block_way = c.spellings(room);
      const int wanted_way = c.spellings(room_of(near));
      if (block_way > wanted_way) continue;
      alone = alone && wanted_way > block_way;
    } else if (const auto it = times.find(wanted);
               it == times.end() || c.spellings(near) <= c.spellings(s.room_id(id))) {
      // One exit against one block says nothing of which is misspelt; more places that spell
      // the room the block's way say the exits are.
      continue;
    }
    c.misspelt_as.try_emplace(wanted, Checks::Misspelling{id, alone});
  }
  c.count_steps(rooms_wanted.steps() + objects_wanted.steps());
}

void check_misspelt_blocks(Checks& c) {
  // In the order of the blocks in the file, so that the output does not depend on a hash.
  std::vector<std::pair<std::uint32_t, Checks::Misspelling>> misspelt(c.misspelt_as.begin(),
                                                                      c.misspelt_as.end());
  std::sort(misspelt.begin(), misspelt.end(), [&c](const auto& a, const auto& b) {
    return c.survey.markers[a.second.block].start < c.survey.markers[b.second.block].start;
  });
  std::unordered_map<std::uint32_t, int> times;  // counted when a room needs them
  for (const auto& [wanted, misspelling] : misspelt) {
    const std::uint32_t block = misspelling.block;
    const std::string_view line = c.name(block);
    const std::string_view meant = c.name(wanted);
    const bool object = is_object_marker(line);
    std::string message;
    if (object) {
      const std::string_view room = parse_marker(line).room;
      message = "the block " + name_to_show(line) + " is listed by no room, and there is no room " +
                in_quotes_shortened(room) + ", while " + name_to_show(meant) +
                " is listed but has no block: did you mean " + name_to_show(meant) +
                lookalike_hint(line, meant, true) + "?";
    } else {
      if (times.empty()) times = times_named(c.survey);
      message = "the block " + name_to_show(line) + " is named by nothing, while " +
                name_to_show(meant) + " is named " + std::to_string(times[wanted]) +
                " times but has no block: did you mean " + name_to_show(meant) +
                lookalike_hint(line, meant, true) + "?";
    }
    Finding& finding = c.raise(kinds::kMisspeltBlock, place_after(c.marker_place(block), 1),
                               line.size() - 2, std::move(message), kMarkerRank);
    finding.about = {block};
    // What follows: the name wanted finds no block; the room cannot be reached, the object is
    // never shown. A room's own words are its own: their problems stay apart.
    finding.claims = {wanted, object ? block : block | kReach};
    finding.diagnostic.fixes = {replacing(place_after(c.marker_place(block), 1), line.size() - 2,
                                          std::string(meant.substr(1, meant.size() - 2)),
                                          misspelling.alone)};
    if (object) continue;
    // The room's object blocks share its misspelling: mended with it, they stay its own.
    const std::string_view misspelt = c.survey.room_id(block);
    for (const std::uint32_t own : c.object_blocks_of(misspelt)) {
      finding.diagnostic.fixes.push_back(
          replacing(place_after(c.marker_place(own), 1), misspelt.size(),
                    std::string(c.survey.room_id(wanted)), misspelling.alone));
    }
  }
}

void check_object_blocks(Checks& c) {
  const Survey& s = c.survey;
  for (std::uint32_t id = 0; id < s.markers.size(); ++id) {
    const Marker& marker = s.markers[id];
    const std::string_view line = c.name(id);
    if (!marker.has_block() || marker.listed || marker.room != kNoName) continue;
    const std::string_view room = parse_marker(line).room;
    const std::uint32_t room_id = s.names.find(room_marker_pieces(room));
    Finding& finding = c.raise(kinds::kUnlistedObjectBlock, c.marker_place(id), line.size(),
                               block_words(line) + " is never shown: " +
                                   (s.find_room(room) != nullptr ? "the room does not list it"
                                                                 : "there is no block for room " +
                                                                       in_quotes_shortened(room)));
    finding.about = {id};
    if (room_id != kNoName) finding.about.insert(finding.about.end(), {room_id, room_id | kWords});
  }
}

void check_duplicates(Checks& c) {
  for (const Duplicate& duplicate : c.survey.duplicates) {
    if (const std::uint32_t outer = c.outermost_container(duplicate.marker); outer != kNoName) {
      ++c.counted_inside[outer];
      continue;
    }
    c.raise(kinds::kDuplicateBlock, duplicate.place, c.name(duplicate.marker).size(),
            "a second block for " + block_words(c.name(duplicate.marker)) +
                ": the game uses the first, at line " +
                std::to_string(c.survey.markers[duplicate.marker].line) +
                ", so this one is never used")
        .about = {duplicate.marker};
  }
}

void check_reachable(Checks& c) {
  const Survey& s = c.survey;
  // Without a starting room every room would be unreachable; the header's error says enough.
  if (s.start_room() == nullptr || s.header_words == 0) return;
  // The rooms that cannot be reached fall into groups joined by their exits: a group is cut off
  // as a whole, by whatever broke a way into it. Its first room stands for it.
  std::vector<std::uint32_t> group(s.rooms.size());
  const auto root = [&group](std::uint32_t room) {
    while (group[room] != room) room = group[room] = group[group[room]];
    return room;
  };
  std::vector<std::uint32_t> apart;
  for (std::uint32_t i = 0; i < s.rooms.size(); ++i) {
    group[i] = i;
    const SurveyedRoom& room = s.rooms[i];
    if (s.reachable(room)) continue;
    if (const std::uint32_t outer = c.outermost_container(room.marker); outer != kNoName) {
      ++c.counted_inside[outer];
      continue;
    }
    apart.push_back(i);
  }
  const auto joins = [&](std::uint32_t exit) {
    return exit < kNoExitName && s.markers[exit].room != kNoName &&
           !s.reachable(s.rooms[s.markers[exit].room]) && c.outermost_container(exit) == kNoName;
  };
  for (const std::uint32_t i : apart) {
    for (const std::uint32_t exit : s.rooms[i].exits) {
      if (!joins(exit)) continue;
      const std::uint32_t a = root(i);
      const std::uint32_t b = root(s.markers[exit].room);
      // The room first in the file stands for the group.
      const bool a_first = s.markers[s.rooms[a].marker].start < s.markers[s.rooms[b].marker].start;
      if (a_first) {
        group[b] = a;
      } else {
        group[a] = b;
      }
    }
  }
  // The first room of each group is about every way out of the group: when a cause claims one,
  // the group follows from it.
  std::unordered_map<std::uint32_t, std::size_t> firsts;
  for (const std::uint32_t i : apart) {
    const SurveyedRoom& room = s.rooms[i];
    Finding& finding =
        c.raise(kinds::kUnreachableRoom, c.marker_place(room.marker), c.name(room.marker).size(),
                "room " + in_quotes_shortened(s.room_id(room.marker)) +
                    " cannot be reached from the starting room " + in_quotes_shortened(s.start));
    const std::uint32_t first = root(i);
    const std::uint32_t key = s.rooms[first].marker | kReach | kWords;
    finding.about = {room.marker | kReach};
    if (first != i) {
      finding.about.push_back(key);
      continue;
    }
    finding.claims = {key};
    finding.claims_when_explained = true;
    firsts.emplace(first, c.findings.size() - 1);
  }
  for (const std::uint32_t i : apart) {
    std::vector<std::uint32_t>& about = c.findings[firsts.at(root(i))].about;
    // When a room it leads to is broken, its exit back is probably broken too; when that room
    // cannot be reached either, whatever keeps it apart keeps this one apart too.
    for (const std::uint32_t exit : s.rooms[i].exits) {
      if (exit >= kNoExitName || joins(exit)) continue;
      const std::uint32_t outer = c.outermost_container(exit);
      about.insert(about.end(), {exit, exit | kWords, exit | kReach});
      if (outer != kNoName) about.push_back(outer);
    }
  }
}

}  // namespace wander::checks
