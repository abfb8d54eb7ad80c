// The toolkit's small parts, each against a table: the name table, the suggestions, the quoted
// source lines under a diagnostic, the names in a map's labels, and the script a published page
// reads its world from.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tools/check_output.h"
#include "tools/name_table.h"
#include "tools/world_checks.h"
#include "tools/world_map.h"
#include "tools/world_publish.h"

namespace wander {
namespace {

TEST(NameTableTest, NumbersEachNameOnce) {
  NameTable names;
  EXPECT_EQ(names.find("<Hall>"), NameTable::kNone);
  const std::string long_name(100000, 'x');
  const std::vector<std::string> samples = {"<Hall>", "", std::string("a\0b", 3), "<Hall|lamp>",
                                            long_name};
  for (std::size_t i = 0; i < samples.size(); ++i) EXPECT_EQ(names.add(samples[i]), i);
  // Enough names to make the table grow several times, each still found under its number.
  for (int i = 0; i < 5000; ++i) names.add("<R" + std::to_string(i) + ">");
  for (std::size_t i = 0; i < samples.size(); ++i) {
    EXPECT_EQ(names.add(samples[i]), i);
    EXPECT_EQ(names.find(samples[i]), i);
    EXPECT_EQ(names[static_cast<std::uint32_t>(i)], samples[i]);
  }
  for (int i = 0; i < 5000; i += 499) {
    const std::uint32_t id = names.find("<R" + std::to_string(i) + ">");
    ASSERT_NE(id, NameTable::kNone);
    EXPECT_EQ(names[id], "<R" + std::to_string(i) + ">");
  }
  EXPECT_EQ(names.size(), samples.size() + 5000);
  EXPECT_EQ(names.find(std::string("a\0c", 3)), NameTable::kNone);
}

TEST(NearestNameTest, OtherCapitalsOrALetterOrTwoOff) {
  const std::vector<std::string_view> rooms = {"Hall", "Kitchen", "PalmHouse", "Tower", "Towel"};
  const struct {
    std::string name;
    std::string meant;
  } cases[] = {
      {"Palmhouse", "PalmHouse"},  // other capitals
      {"PALMHOUSE", "PalmHouse"},
      {"Kitchn", "Kitchen"},     // a letter left out
      {"Kicthen", "Kitchen"},    // two swapped
      {"Kittchenn", "Kitchen"},  // two too many, in a long name
      {"Hal", "Hall"},           // one off in a short name
      {"Ha", ""},                // two off is too far for a short name
      {"Cellar", ""},
      {"Towe", "Tower"},  // as near to both: the first
      {"Hall", ""},       // a name is not its own suggestion
  };
  for (const auto& c : cases) {
    std::uint64_t budget = 1000;
    EXPECT_EQ(nearest_name(c.name, rooms, budget), c.meant) << c.name;
  }
  std::uint64_t none_left = 0;
  EXPECT_EQ(nearest_name("Kitchn", rooms, none_left), "");
  std::uint64_t two = 2;
  EXPECT_EQ(nearest_name("Towe", rooms, two), "");  // only Hall and Kitchen were tried
  EXPECT_EQ(two, 0u);
}

TEST(QuoteLineTest, CaretUnderTheColumn) {
  const struct {
    std::string line;
    bool cut;
    std::uint64_t column;
    std::uint64_t width;
    std::string text;
    std::string caret;
  } cases[] = {
      {"North: Kitchn East: None", false, 8, 6, "North: Kitchn East: None", "       ^~~~~~"},
      {"A hall.", false, 8, 1, "A hall.", "       ^"},  // just past the end
      {"", false, 1, 1, "", "^"},
      {"\tEast: Pantry", false, 8, 6, "        East: Pantry", "              ^~~~~~"},
      {"ab\tc", false, 4, 1, "ab      c", "        ^"},
      {"caf\xc3\xa9 X", false, 7, 1, "caf\xc3\xa9 X", "     ^"},  // "é" is one column
      {"a\x1b"
       "b X",
       false, 5, 1, "a\\x1bb X", "       ^"},  // the escape is four
      {"West: A\x1b"
       "B",
       false, 7, 3, "West: A\\x1bB", "      ^~~~~~"},
      {"short", true, 2, 1, "short\xe2\x80\xa6", " ^"},  // more of the line was not read
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.text);
    const QuotedLine quoted = quote_line(c.line, c.cut, c.column, c.width);
    EXPECT_EQ(quoted.text, c.text);
    EXPECT_EQ(quoted.caret, c.caret);
  }
}

TEST(QuoteLineTest, LongLinesShowAWindowAroundThePlace) {
  std::string line(1000, '.');
  line.replace(600, 4, "Here");
  const QuotedLine quoted = quote_line(line, false, 601, 4);
  // 40 characters before the place, "…" on both sides, 100 characters shown.
  EXPECT_EQ(quoted.text,
            "\xe2\x80\xa6" + std::string(40, '.') + "Here" + std::string(56, '.') + "\xe2\x80\xa6");
  EXPECT_EQ(quoted.caret, std::string(41, ' ') + "^~~~");
  // A place well inside the first hundred characters keeps the line's start.
  EXPECT_EQ(quote_line(line, false, 50, 1).text.substr(0, 3), "...");
}

TEST(MapLabelTest, NamesFitForGraphviz) {
  EXPECT_EQ(label_name("Hall", 24), "Hall");
  EXPECT_EQ(label_name("A\x01"
                       "B",
                       24),
            "A\\x01B");
  EXPECT_EQ(label_name(std::string(17000, 'L'), 24),
            std::string(15, 'L') + "\xe2\x80\xa6" + std::string(8, 'L'));
  EXPECT_EQ(label_name("caf\xc3\xa9" + std::string(30, 'x'), 10),
            "caf\xc3\xa9"
            "xx\xe2\x80\xa6"
            "xxx");
  EXPECT_EQ(dot_escaped("Q\"\\ a&amp; <b>"), "Q\\\"\\\\ a&amp;amp; <b>");
}

TEST(WorldScriptTest, TheNameAsAStringAndEveryByteAsHex) {
  const struct {
    std::string name, bytes, script;
  } cases[] = {
      {"World.txt", "AB\n", "wanderWorld(\"World.txt\", \"41420a\");\n"},
      {"a\"b\\c.txt", "", "wanderWorld(\"a\\x22b\\x5cc.txt\", \"\");\n"},
      {"tab\there\x7f", std::string("\xff\0*", 3),
       "wanderWorld(\"tab\\x09here\\x7f\", \"ff002a\");\n"},
      {"caf\xc3\xa9.txt", "\r\n", "wanderWorld(\"caf\xc3\xa9.txt\", \"0d0a\");\n"},
  };
  for (const auto& c : cases) EXPECT_EQ(world_script(c.name, c.bytes), c.script) << c.name;
}

}  // namespace
}  // namespace wander
