// One corpus of marker lines (markers.txt), sound and broken, in several scripts: each is put in
// a world, and the survey, the checker, the map and the language server's index must each see
// there the room or the object that parse_marker takes out of it.
#include <gtest/gtest.h>

#include <cstdio>

#include "tests/support/test_tables.h"
#include "tools/checks/kinds.h"
#include "tools/checks/world_checks.h"
#include "tools/lsp/world_index.h"
#include "tools/map/world_map.h"
#include "tools/names/printable.h"

namespace wander {
namespace {

class Markers : public ::testing::TestWithParam<std::vector<std::string>> {};

TEST_P(Markers, EveryToolSeesWhatParseMarkerTakesOut) {
  const std::vector<std::string>& row = GetParam();
  const std::string& line = row.at(0);
  const MarkerParts parts = parse_marker(line);
  const std::string_view kind = row.at(1);
  EXPECT_EQ(is_marker_line(line), kind != "none");
  EXPECT_EQ(parts.of_object, kind == "object" || kind == "ambiguous");
  EXPECT_EQ(parts.ambiguous, kind == "ambiguous");
  EXPECT_EQ(parts.room, row.size() > 2 ? row[2] : "");
  EXPECT_EQ(parts.object, row.size() > 3 ? row[3] : "");
  // A world in which the header names the room, and the room lists the object: when the names
  // can be written so; else the line stands alone after a room's words.
  const bool named = is_name(parts.room) && parts.room != kNoExit &&
                     (!parts.of_object || (is_name(parts.object) && !parts.ambiguous));
  const std::string exits = "North: None\nEast: None\nSouth: None\nWest: None\nObjects: ";
  const std::string room(parts.room);
  std::string text = !named            ? "Start: Home\n<Home>\nHome.\n*\n" + exits + "0\n"
                     : parts.of_object ? "Start: " + room + "\n<" + room + ">\nHall.\n*\n" + exits +
                                             "1\n" + std::string(parts.object) + "\n"
                                       : "Start: " + room + "\n";
  const std::uint64_t at = text.size();
  text += line + "\nText.\n*\n" + (named && !parts.of_object ? exits + "0\n" : "");

  lsp::WorldIndex index(text);
  const Survey& s = index.survey();
  const std::uint32_t id = s.find(line);
  EXPECT_EQ(id != kNoName && s.markers[id].has_block() && s.markers[id].start == at,
            is_marker_line(line));
  std::vector<std::tuple<lsp::Occurrence::Kind, std::uint64_t, std::uint64_t>> seen, wanted;
  for (const lsp::Occurrence& o : index.occurrences()) {
    if (o.offset >= at && o.offset <= at + line.size())
      seen.emplace_back(o.kind, o.offset, o.length);
  }
  const auto offset = [&](std::string_view part) { return at + (part.data() - line.data()); };
  if (parts.of_object) {
    wanted = {{lsp::Occurrence::Kind::kObjectRoom, offset(parts.room), parts.room.size()},
              {lsp::Occurrence::Kind::kObjectName, offset(parts.object), parts.object.size()}};
  } else if (is_marker_line(line)) {
    wanted = {{lsp::Occurrence::Kind::kRoomMarker, offset(parts.room), parts.room.size()}};
  }
  EXPECT_EQ(seen, wanted);
  if (!named) return;
  const SurveyedRoom* found = s.find_room(parts.room);
  ASSERT_NE(found, nullptr);
  EXPECT_EQ(parts.of_object ? found->objects[0] : found->marker, id);
  for (const Diagnostic& d : index.diagnostics()) {
    EXPECT_TRUE(d.kind != &kinds::kMissingBlock && d.kind != &kinds::kUnlistedObjectBlock)
        << d.message;
  }
  std::FILE* out = std::tmpfile();
  ASSERT_NE(out, nullptr);
  write_map(s, out);
  std::string dot(static_cast<std::size_t>(std::ftell(out)), '\0');
  std::rewind(out);
  dot.resize(std::fread(dot.data(), 1, dot.size(), out));
  std::fclose(out);
  EXPECT_NE(dot.find(dot_escaped(printable(parts.room)) + " (start)"), std::string::npos) << dot;
  EXPECT_NE(dot.find(dot_escaped(printable(parts.object))), std::string::npos) << dot;
}

INSTANTIATE_TEST_SUITE_P(Corpus, Markers, ::testing::ValuesIn(testing::table_rows(WANDER_MARKERS)),
                         [](const auto& info) { return "row" + std::to_string(info.index + 1); });

}  // namespace
}  // namespace wander
