#include "text/text_reader.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace wander {
namespace {

enum class Op { kLine, kWord, kText, kCount, kSkipTo, kKey, kRewind };

// One read and what it must leave: its result, its target (which holds "OLD", or 7 for a count,
// before the read), and whether the reader is then at its end.
struct Step {
  Op op;
  bool ok;
  std::string value;
  bool at_end;
  std::string wanted = "";  // for kSkipTo
};

struct Case {
  const char* name;
  std::string input;
  std::vector<Step> steps;
};

constexpr bool kEnd = true;
constexpr bool kMore = false;
const std::string kOld = "OLD";

const std::vector<Case> kCases = {
    {"LastLineWithoutLfIsALine",
     "a\nb",
     {{Op::kLine, true, "a", kMore}, {Op::kLine, true, "b", kEnd}, {Op::kLine, false, kOld, kEnd}}},
    {"LineReadThatCouldStartEmptiesItsTarget",
     "a\n",
     {{Op::kLine, true, "a", kMore}, {Op::kLine, false, "", kEnd}, {Op::kLine, false, kOld, kEnd}}},
    {"EmptyInput", "", {{Op::kLine, false, "", kEnd}, {Op::kWord, false, kOld, kEnd}}},
    {"OnlyCrBeforeLfIsDropped",
     "a\r\nb\r\r\n\rc\r",
     {{Op::kLine, true, "a", kMore},
      {Op::kLine, true, "b\r", kMore},
      {Op::kLine, true, "\rc\r", kEnd}}},
    {"WordsSkipAllWhitespace",
     "  one\t\v\ftwo \r\n\r\n",
     {{Op::kWord, true, "one", kMore},
      {Op::kWord, true, "two", kMore},
      {Op::kWord, false, kOld, kEnd}}},
    {"WordAtTheEndSucceedsThenReadsFail",
     "one",
     {{Op::kWord, true, "one", kEnd},
      {Op::kWord, false, kOld, kEnd},
      {Op::kLine, false, kOld, kEnd}}},
    {"WordKeepsNulBytes",
     std::string("a\0b c", 5),
     {{Op::kWord, true, std::string("a\0b", 3), kMore}}},
    {"TextSpansLinesAndDropsCrBeforeLf",
     "first\r\nsecond\r\n*North",
     {{Op::kText, true, "first\nsecond\n", kMore}, {Op::kWord, true, "North", kEnd}}},
    {"TextWithoutStarTakesTheRest",
     "no star\n",
     {{Op::kText, true, "no star\n", kEnd}, {Op::kText, false, kOld, kEnd}}},
    {"TextRightAtTheEndIsEmptied",
     "<A>\n",
     {{Op::kLine, true, "<A>", kMore}, {Op::kText, false, "", kEnd}}},
    {"EmptyTextBeforeStar", "*x", {{Op::kText, true, "", kMore}, {Op::kWord, true, "x", kEnd}}},
    {"CountsWithSigns",
     " 2 -3\n+4",
     {{Op::kCount, true, "2", kMore},
      {Op::kCount, true, "-3", kMore},
      {Op::kCount, true, "4", kEnd}}},
    {"CountsOfEveryFirstDigit",
     "1 23 45 67 89 90 -8",
     {{Op::kCount, true, "1", kMore},
      {Op::kCount, true, "23", kMore},
      {Op::kCount, true, "45", kMore},
      {Op::kCount, true, "67", kMore},
      {Op::kCount, true, "89", kMore},
      {Op::kCount, true, "90", kMore},
      {Op::kCount, true, "-8", kEnd}}},
    {"CountStopsAtTheFirstNonDigit",
     "12abc 0x10",
     {{Op::kCount, true, "12", kMore},
      {Op::kWord, true, "abc", kMore},
      {Op::kCount, true, "0", kMore},
      {Op::kWord, true, "x10", kEnd}}},
    {"CountThatIsNotANumberFailsAndSticks",
     "two lamp",
     {{Op::kCount, false, "7", kMore},
      {Op::kWord, false, kOld, kMore},
      {Op::kRewind, true, "", kMore},
      {Op::kWord, true, "two", kMore}}},
    {"CountLimits",
     "2147483647 -2147483648 ",
     {{Op::kCount, true, "2147483647", kMore}, {Op::kCount, true, "-2147483648", kMore}}},
    {"CountTooBigFails",
     "2147483648 x",
     {{Op::kCount, false, "7", kMore}, {Op::kWord, false, kOld, kMore}}},
    {"CountTooSmallFails", "-2147483649", {{Op::kCount, false, "7", kEnd}}},
    {"LoneSignFails", "- 5", {{Op::kCount, false, "7", kMore}}},
    {"SignAtTheEndFails", "+", {{Op::kCount, false, "7", kEnd}}},
    {"SkipFindsTheWholeLineOnly",
     "<A> \n <A>\n<AB>\n<A>\r\nrest",
     {{Op::kSkipTo, true, "", kMore, "<A>"}, {Op::kLine, true, "rest", kEnd}}},
    {"SkipFindsTheLastLineWithoutLf",
     "x\n<A>",
     {{Op::kSkipTo, true, "", kEnd, "<A>"}, {Op::kText, false, kOld, kEnd}}},
    {"SkipWantedLineEndingWithCr",
     "*\r\n*\r\r\nrest",
     {{Op::kSkipTo, true, "", kMore, "*\r"}, {Op::kLine, true, "rest", kEnd}}},
    {"SkipKeepsACrThatEndsTheFile", "<A>\r", {{Op::kSkipTo, false, "", kEnd, "<A>"}}},
    {"SkipThatFindsNothingLeavesTheEnd",
     "<B>\nx\n",
     {{Op::kSkipTo, false, "", kEnd, "<A>"},
      {Op::kLine, false, kOld, kEnd},
      {Op::kRewind, true, "", kMore},
      {Op::kSkipTo, true, "", kMore, "<B>"},
      {Op::kLine, true, "x", kMore}}},
    {"KeyTakesTheByteAfterTheLookAhead",
     "lamp rug\n",
     {{Op::kWord, true, "lamp", kMore},
      {Op::kKey, true, "r", kMore},
      {Op::kLine, true, " ug", kMore}}},
    {"KeyAfterALineTakesTheNextByte",
     "quit\nyes\n",
     {{Op::kLine, true, "quit", kMore},
      {Op::kKey, true, "y", kMore},
      {Op::kLine, true, "es", kMore}}},
    {"EnterAtTheKeyWait",
     "lamp\r\n\r\nnext",
     {{Op::kWord, true, "lamp", kMore},
      {Op::kKey, true, "\n", kMore},
      {Op::kLine, true, "", kMore},
      {Op::kLine, true, "next", kEnd}}},
    {"KeyAtTheEndOfInput",
     "lamp\n",
     {{Op::kWord, true, "lamp", kMore},
      {Op::kKey, false, "", kMore},
      {Op::kLine, true, "", kMore},
      {Op::kLine, false, "", kEnd},
      {Op::kKey, false, "", kEnd}}},
    {"KeyAfterAWordThatEndedTheInput",
     "lamp",
     {{Op::kWord, true, "lamp", kEnd}, {Op::kKey, false, "", kEnd}}},
};

void run_step(TextReader& reader, const Step& step, const std::string& where) {
  SCOPED_TRACE(where);
  std::string text = kOld;
  bool ok = true;
  switch (step.op) {
    case Op::kLine:
      ok = reader.read_line(text);
      break;
    case Op::kWord:
      ok = reader.read_word(text);
      break;
    case Op::kText:
      ok = reader.read_text(text);
      break;
    case Op::kCount: {
      int count = 7;
      ok = reader.read_count(count);
      text = std::to_string(count);
      break;
    }
    case Op::kSkipTo:
      ok = reader.skip_to_line(step.wanted);
      text = "";
      break;
    case Op::kKey: {
      const int key = reader.take_key();
      ok = key != EOF;
      text = ok ? std::string(1, static_cast<char>(key)) : "";
      break;
    }
    case Op::kRewind:
      reader.rewind();
      text = "";
      break;
  }
  EXPECT_EQ(ok, step.ok);
  EXPECT_EQ(text, step.value);
  EXPECT_EQ(reader.at_end(), step.at_end);
}

// Every case runs with buffers and source reads small enough to split every token, line end and
// CR LF pair, and with the sizes the game really uses.
TEST(TextReaderTest, StateRules) {
  const std::vector<std::pair<std::size_t, std::size_t>> sizes = {
      {TextReader::kDefaultCapacity, SIZE_MAX}, {4, 1}, {4, 3}, {5, 2}, {7, 7}, {16, 5}};
  for (const Case& c : kCases) {
    for (const auto& [capacity, most] : sizes) {
      TextReader reader(make_string_source(c.input, most), capacity);
      for (std::size_t i = 0; i < c.steps.size(); ++i) {
        run_step(reader, c.steps[i],
                 std::string(c.name) + " step " + std::to_string(i) + " capacity " +
                     std::to_string(capacity) + " reads of " + std::to_string(most));
      }
    }
  }
}

// A line far longer than the buffer is skipped without being kept and read whole when asked.
TEST(TextReaderTest, LinesLongerThanTheBuffer) {
  const std::string long_line(100000, '<');
  TextReader reader(make_string_source(long_line + "\n<A>\n" + long_line + "\r\n", 4096), 64);
  EXPECT_TRUE(reader.skip_to_line("<A>"));
  std::string line;
  EXPECT_TRUE(reader.read_line(line));
  EXPECT_EQ(line, long_line);
  reader.rewind();
  EXPECT_FALSE(reader.skip_to_line(long_line.substr(1)));
}

TEST(TextReaderTest, FileSourceRereadsFromTheTop) {
  EXPECT_EQ(open_file_source("/nonexistent/World.txt"), nullptr);
  EXPECT_EQ(open_file_source("/"), nullptr);  // a folder is no world file
  const std::string path = ::testing::TempDir() + "/text_reader_test.txt";
  std::FILE* f = std::fopen(path.c_str(), "wb");
  ASSERT_NE(f, nullptr);
  std::fputs("one two", f);
  std::fclose(f);
  TextReader reader(open_file_source(path));
  std::string word;
  EXPECT_TRUE(reader.read_word(word));
  EXPECT_TRUE(reader.read_word(word));
  EXPECT_FALSE(reader.read_word(word));
  reader.rewind();
  EXPECT_TRUE(reader.read_word(word));
  EXPECT_EQ(word, "one");
  // The file is the database: a rewind reads it again, as it is now.
  f = std::fopen(path.c_str(), "r+b");
  ASSERT_NE(f, nullptr);
  std::fputs("ONE", f);
  std::fclose(f);
  reader.rewind();
  EXPECT_TRUE(reader.read_word(word));
  EXPECT_EQ(word, "ONE");
}

}  // namespace
}  // namespace wander

namespace wander {
namespace {

// Offsets and line numbers stay true across refills of a small buffer, and a seek lands on the
// same byte whether or not that byte is still buffered.
TEST(TextReaderTest, OffsetsLinesAndSeeks) {
  const std::string text = "one\ntwo words\r\n\n<A>\nlast";
  for (std::size_t capacity : {std::size_t{4}, std::size_t{6}, TextReader::kDefaultCapacity}) {
    SCOPED_TRACE(capacity);
    TextReader reader(make_string_source(text, 3), capacity);
    reader.count_lines();
    std::string word;
    EXPECT_EQ(reader.line(), 1);
    ASSERT_TRUE(reader.read_line(word));
    EXPECT_EQ(reader.offset(), 4u);
    EXPECT_EQ(reader.line(), 2);
    ASSERT_TRUE(reader.read_word(word));
    ASSERT_TRUE(reader.read_word(word));
    EXPECT_EQ(word, "words");
    EXPECT_EQ(reader.line(), 2);
    ASSERT_TRUE(reader.skip_to_line("<A>"));
    EXPECT_EQ(reader.offset(), 20u);
    EXPECT_EQ(reader.line(), 5);
    reader.seek(8, 2);  // back to "words"
    ASSERT_TRUE(reader.read_word(word));
    EXPECT_EQ(word, "words");
    ASSERT_TRUE(reader.read_word(word));
    EXPECT_EQ(word, "<A>");
    EXPECT_EQ(reader.line(), 4);
    reader.seek(20, 5);
    ASSERT_TRUE(reader.read_line(word));
    EXPECT_EQ(word, "last");
    EXPECT_TRUE(reader.at_end());
    reader.seek(0, 1);
    EXPECT_FALSE(reader.at_end());
    ASSERT_TRUE(reader.read_word(word));
    EXPECT_EQ(word, "one");
  }
}

}  // namespace
}  // namespace wander
