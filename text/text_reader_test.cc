#include "text/text_reader.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <string>
#include <vector>

namespace wander {
namespace {

enum class Op {
  kLine,
  kWord,
  kText,
  kCount,
  kSkipTo,
  kSkipToPieces,  // the wanted line a byte a piece
  kKey,
  kRewind,
  kLineAtMost,
  kWordAtMost
};

// One read and what it must leave: its result, its target (which holds "OLD", or 7 for a count,
// before the read), and whether the reader is then at its end.
struct Step {
  Op op;
  bool ok;
  std::string value;
  bool at_end;
  std::string wanted = "";  // for kSkipTo and kSkipToPieces
  std::size_t most = 0;     // for kLineAtMost and kWordAtMost
  bool longer = false;      // what they say of the line or word
};

struct Case {
  const char* name;
  std::string input;
  std::vector<Step> steps;
};

constexpr bool kEnd = true;
constexpr bool kMore = false;
const std::string kOld = "OLD";

// Bytes as a trace shows them, CR and LF made visible.
std::string as_trace(const std::string& bytes) {
  std::string out = "'";
  for (char c : bytes) out += c == '\r' ? "\\r" : c == '\n' ? "\\n" : std::string(1, c);
  return out + "'";
}

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
    {"SkipInPiecesFollowsTheStateRule",
     "two\n<AB>\n<AB>\nlamp <AB>\n",
     {{Op::kCount, false, "7", kMore},
      {Op::kSkipToPieces, false, "", kMore, "<AB>"},
      {Op::kRewind, true, "", kMore},
      {Op::kSkipToPieces, true, "", kMore, "<AB>"},
      {Op::kWord, true, "<AB>", kMore},
      {Op::kSkipToPieces, false, "", kEnd, "<AB>"},
      {Op::kSkipToPieces, false, "", kEnd, "<AB>"}}},
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
    {"LineLongerThanMostIsReadThroughAndNotKept",
     "move north\nmove north!\nlook",
     {{Op::kLineAtMost, true, "move north", kMore, "", 10, false},
      {Op::kLineAtMost, true, "", kMore, "", 10, true},
      {Op::kLineAtMost, true, "look", kEnd, "", 10, false},
      {Op::kLineAtMost, false, kOld, kEnd, "", 10, false}}},
    {"LineAtMostCountsTheLineNotItsCrLf",
     "abcd\r\nabc\rx\r\nabcd\r",
     {{Op::kLineAtMost, true, "abcd", kMore, "", 4, false},
      {Op::kLineAtMost, true, "", kMore, "", 4, true},
      {Op::kLineAtMost, true, "", kEnd, "", 4, true}}},
    {"LineCutJustAfterACrIsStillLonger",
     "abc\rx\r\nabc\r\n",
     {{Op::kLineAtMost, true, "", kMore, "", 3, true},
      {Op::kLineAtMost, true, "abc", kMore, "", 3, false}}},
    {"LineAtMostZeroTakesEmptyLinesOnly",
     "\r\nx\n\n",
     {{Op::kLineAtMost, true, "", kMore, "", 0, false},
      {Op::kLineAtMost, true, "", kMore, "", 0, true},
      {Op::kLineAtMost, true, "", kMore, "", 0, false},
      {Op::kLineAtMost, false, "", kEnd, "", 0, false}}},
    {"WordLongerThanMostKeepsItsLookAhead",
     "lamp lantern rug",
     {{Op::kWordAtMost, true, "lamp", kMore, "", 4, false},
      {Op::kWordAtMost, true, "", kMore, "", 4, true},
      {Op::kKey, true, "r", kMore},
      {Op::kLine, true, " ug", kEnd}}},
    {"WordLongerThanMostAtTheEnd",
     "\n lantern",
     {{Op::kWordAtMost, true, "", kEnd, "", 4, true}, {Op::kWord, false, kOld, kEnd}}},
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
    case Op::kSkipToPieces: {
      std::vector<std::string_view> pieces;
      for (const char& c : step.wanted) pieces.emplace_back(&c, 1);
      ok = reader.skip_to_joined_line(pieces);
      text = "";
      break;
    }
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
    case Op::kLineAtMost:
    case Op::kWordAtMost: {
      bool longer = !step.longer;
      ok = step.op == Op::kLineAtMost ? reader.read_line(text, step.most, longer)
                                      : reader.read_word(text, step.most, longer);
      if (ok) {
        EXPECT_EQ(longer, step.longer);
      }
      break;
    }
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

// The plain way to find a line: read each one and compare it.
bool find_line_by_line(TextReader& reader, const std::string& wanted) {
  std::string line;
  while (reader.read_line(line)) {
    if (line == wanted) return true;
  }
  return false;
}

// A wanted line longer than the buffer, whole or in pieces (empty ones too), is found exactly
// where reading line by line finds it, CR LF rules included, and leaves the same state.
TEST(TextReaderTest, LongWantedLinesAgreeWithLineByLine) {
  const std::vector<std::string> texts = {
      "x\n<Hall> \n <Hall>\n<Hall>x\n<Hall>\r\nafter\n",
      "<Hal\n<Hall\r\r\n<Hall\r\nrest",
      "<Hall\r\nx\n<Hall\r\r\nrest",
      "<Hall>",
      "<Hall>\r",
      "abc\nabc\rdef\n<A|lamp>\r\n<A|lamp>\n",
      "a\nb\n<<Hall>\n<Hall><Hall>\n",
  };
  const std::vector<std::string> wanted = {"<Hall>", "<Hall\r", "<A|lamp>", "abc\rdef",
                                           "a\nb",   "<Hall>x", "<Ha",      "<Hall><Hall>"};
  for (const std::string& text : texts) {
    for (const std::string& line : wanted) {
      const std::string half_a = line.substr(0, line.size() / 2);
      const std::string half_b = line.substr(line.size() / 2);
      std::vector<std::vector<std::string_view>> splits = {{line}, {"", half_a, "", half_b}};
      splits.emplace_back();
      for (std::size_t i = 0; i < line.size(); ++i) splits.back().push_back({&line[i], 1});
      for (std::size_t capacity : {std::size_t{4}, std::size_t{5}, std::size_t{9}}) {
        // No lookup asks for a line holding an LF; only the piecewise comparison is held to it.
        if (line.find('\n') != std::string::npos && line.size() + 2 <= capacity) continue;
        for (const auto& pieces : splits) {
          SCOPED_TRACE(as_trace(text) + " wanted " + as_trace(line) + " capacity " +
                       std::to_string(capacity) + " in " + std::to_string(pieces.size()));
          TextReader pieced(make_string_source(text, 3), capacity);
          TextReader plain(make_string_source(text));
          const bool found = pieced.skip_to_joined_line(pieces);
          EXPECT_EQ(found, find_line_by_line(plain, line));
          EXPECT_EQ(pieced.at_end(), plain.at_end());
          EXPECT_EQ(pieced.offset(), plain.offset());
          std::string after_pieced = "x";
          std::string after_plain = "x";
          EXPECT_EQ(pieced.read_line(after_pieced), plain.read_line(after_plain));
          EXPECT_EQ(after_pieced, after_plain);
          // Again from there: after the end, as after any read, it fails until a seek.
          EXPECT_EQ(pieced.skip_to_joined_line(pieces), find_line_by_line(plain, line));
          EXPECT_EQ(pieced.offset(), plain.offset());
        }
        TextReader whole(make_string_source(text, 2), capacity);
        TextReader plain(make_string_source(text));
        EXPECT_EQ(whole.skip_to_line(line), find_line_by_line(plain, line));
        EXPECT_EQ(whole.offset(), plain.offset());
      }
    }
  }
}

// Only a regular file opens, and nothing else can keep the open waiting: a FIFO without a writer
// is refused at once.
TEST(TextReaderTest, FileSourceTakesOnlyRegularFiles) {
  const std::string fifo = ::testing::TempDir() + "/text_reader_test.fifo";
  std::remove(fifo.c_str());
  ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
  const std::vector<std::pair<std::string, std::string>> refused = {
      {"/nonexistent/World.txt", "No such file or directory"},
      {"/", "Is a directory"},
      {fifo, "not a regular file"},
      {"/dev/zero", "not a regular file"},
  };
  for (const auto& [path, reason] : refused) {
    std::string why;
    EXPECT_EQ(open_file_source(path, &why), nullptr) << path;
    EXPECT_EQ(why, reason) << path;
  }
  std::remove(fifo.c_str());
}

TEST(TextReaderTest, FileSourceRereadsFromTheTop) {
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
    reader.seek({8, 2, 4});  // back to "words"
    ASSERT_TRUE(reader.read_word(word));
    EXPECT_EQ(word, "words");
    ASSERT_TRUE(reader.read_word(word));
    EXPECT_EQ(word, "<A>");
    EXPECT_EQ(reader.line(), 4);
    reader.seek({20, 5, 20});
    ASSERT_TRUE(reader.read_line(word));
    EXPECT_EQ(word, "last");
    EXPECT_TRUE(reader.at_end());
    reader.seek({});
    EXPECT_FALSE(reader.at_end());
    ASSERT_TRUE(reader.read_word(word));
    EXPECT_EQ(word, "one");
  }
}

// Pieces put together give the lines that read_line gives, with any buffer and any source; a
// piece never ends between the CR and the LF of a line end.
TEST(TextReaderTest, LinePiecesMakeTheSameLines) {
  const std::vector<std::string> texts = {"",
                                          "a",
                                          "a\n",
                                          "\n\n",
                                          "one\r\ntwo\r\r\n\rthree\r",
                                          "x\r\n",
                                          "\r\n\r\n",
                                          "long line " + std::string(40, 'z') + "\r\nshort\r",
                                          std::string("nul\0byte\n", 9)};
  for (const std::string& text : texts) {
    for (std::size_t capacity : {std::size_t{4}, std::size_t{5}, std::size_t{64}}) {
      for (std::size_t most : {std::size_t{1}, std::size_t{3}, SIZE_MAX}) {
        SCOPED_TRACE(text + " capacity " + std::to_string(capacity) + " most " +
                     std::to_string(most));
        TextReader lines(make_string_source(text, most), capacity);
        TextReader pieces(make_string_source(text, most), capacity);
        std::string expected;
        std::string line;
        bool line_ends = false;
        std::string_view piece;
        while (lines.read_line(expected)) {
          line.clear();
          do {
            ASSERT_TRUE(pieces.read_line_piece(piece, line_ends));
            line.append(piece);
          } while (!line_ends);
          EXPECT_EQ(line, expected);
          EXPECT_EQ(pieces.offset(), lines.offset());
          EXPECT_EQ(pieces.at_end(), lines.at_end());
        }
        EXPECT_FALSE(pieces.read_line_piece(piece, line_ends));
        EXPECT_TRUE(piece.empty());
        EXPECT_TRUE(pieces.at_end());
      }
    }
  }
}

// Places name the line and its first byte, across refills and seeks, for the read position and
// for the first byte of the last word or count.
TEST(TextReaderTest, PlacesOfReadsAndTokens) {
  const std::string text = "ab\n  cd 12\r\n\n\tx -y\n";
  for (std::size_t capacity : {std::size_t{4}, TextReader::kDefaultCapacity}) {
    SCOPED_TRACE(capacity);
    TextReader reader(make_string_source(text, 2), capacity);
    reader.count_lines();
    std::string word;
    int count = 0;
    ASSERT_TRUE(reader.read_word(word));
    ASSERT_TRUE(reader.read_word(word));
    EXPECT_EQ(reader.token_place().offset, 5u);
    EXPECT_EQ(reader.token_place().line, 2);
    EXPECT_EQ(reader.token_place().column(), 3u);
    ASSERT_TRUE(reader.read_count(count));
    EXPECT_EQ(reader.token_place().column(), 6u);
    ASSERT_TRUE(reader.read_word(word));
    EXPECT_EQ(word, "x");
    EXPECT_EQ(reader.token_place().line, 4);
    EXPECT_EQ(reader.token_place().line_start, 13u);
    EXPECT_EQ(reader.token_place().column(), 2u);
    EXPECT_FALSE(reader.read_count(count));  // "-y" is no number, but its place is known
    EXPECT_EQ(reader.token_place().column(), 4u);
    reader.seek({3, 2, 3});
    const TextPlace here = reader.place();
    EXPECT_EQ(here.line, 2);
    EXPECT_EQ(here.column(), 1u);
    ASSERT_TRUE(reader.read_line(word));
    ASSERT_TRUE(reader.read_line(word));
    EXPECT_EQ(reader.place().line, 4);
    EXPECT_EQ(reader.place().line_start, 13u);
    EXPECT_EQ(reader.place().column(), 1u);
  }
}

}  // namespace
}  // namespace wander

namespace wander {
namespace {

// A buffer with room to spare carries unread bytes to just before its next aligned read (here the
// CR of "1\r\n", read a byte at a time); the lines counted after that start where they did.
TEST(TextReaderTest, LineStartsAfterAnAlignedRefill) {
  TextReader reader(make_string_source("a 1\r\nbc d\n", 1), 100);
  reader.count_lines();
  std::string word;
  int count = 0;
  ASSERT_TRUE(reader.read_word(word));
  ASSERT_TRUE(reader.read_count(count));
  ASSERT_TRUE(reader.read_word(word));
  EXPECT_EQ(word, "bc");
  EXPECT_EQ(reader.token_place().offset, 5u);
  EXPECT_EQ(reader.token_place().line, 2);
  EXPECT_EQ(reader.token_place().line_start, 5u);
  ASSERT_TRUE(reader.read_word(word));
  EXPECT_EQ(reader.token_place().column(), 4u);
}

// The marker scan against reading the lines one by one, with the wanted line placed across every
// refill and 16-byte block boundary: found or not, where the reader then stands, and what it
// reads next must be the same.
TEST(TextReaderTest, SkipAgreesWithReadingLineByLine) {
  const std::vector<std::string> tails = {"<R7>\nafter*", "<R7>\r\nafter*", "<R7>",
                                          "<R7>\r",       "<R7> \n<R7>\n*", "<R8>\n<R77>\n"};
  const std::vector<std::pair<std::size_t, std::size_t>> sizes = {
      {7, 1}, {7, 3}, {16, 5}, {64, 64}, {100, 7}, {4096, SIZE_MAX}};
  for (const std::string& tail : tails) {
    for (std::size_t filler = 0; filler < 70; ++filler) {
      const std::string text = std::string(filler, 'x') + "\n<R1>\n" + tail;
      for (const auto& [capacity, most] : sizes) {
        SCOPED_TRACE(text + " capacity " + std::to_string(capacity) + " reads of " +
                     std::to_string(most));
        TextReader fast(make_string_source(text, most), capacity);
        TextReader plain(make_string_source(text, most), capacity);
        std::string line;
        bool found = false;
        while (!found && plain.read_line(line)) found = line == "<R7>";
        ASSERT_EQ(fast.skip_to_line("<R7>"), found);
        ASSERT_EQ(fast.at_end(), plain.at_end());
        if (found) {
          ASSERT_EQ(fast.offset(), plain.offset());
        }
        std::string fast_text = "OLD";
        std::string plain_text = "OLD";
        ASSERT_EQ(fast.read_text(fast_text), plain.read_text(plain_text));
        ASSERT_EQ(fast_text, plain_text);
      }
    }
  }
}

}  // namespace
}  // namespace wander
