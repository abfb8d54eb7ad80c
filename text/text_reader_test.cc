#include "text/text_reader.h"

#include <gtest/gtest.h>

#include <sstream>
#include <stdexcept>
#include <string>
#include <vector>

#include "tests/support/line_by_line.h"
#include "tests/support/test_tables.h"

namespace wander {
namespace {

// One read of text_reader_cases.txt and what it must leave.
struct Step {
  std::string read;
  std::string wanted;           // for skip, pieces and seek
  std::size_t most = SIZE_MAX;  // for a line or word read keeping at most this many bytes
  bool ok = false;
  std::string value;
  bool at_end = false;
  bool longer = false;
};

struct Case {
  std::string name;
  std::string input;
  std::vector<Step> steps;
};

// Bytes as a trace shows them, CR and LF made visible.
std::string as_trace(const std::string& bytes) {
  std::string out = "'";
  for (char c : bytes) out += c == '\r' ? "\\r" : c == '\n' ? "\\n" : std::string(1, c);
  return out + "'";
}

// `word`, which must be `yes` or `no`, as a flag.
bool flag(const std::string& word, const char* yes, const char* no) {
  if (word != yes && word != no) throw std::runtime_error("'" + word + "' is neither " + yes);
  return word == yes;
}

std::vector<Case> read_cases() {
  std::vector<Case> cases;
  for (const std::vector<std::string>& words : testing::table_rows(WANDER_READER_CASES)) {
    if (words[0] == "case") {
      cases.push_back({words.at(1), words.at(2), {}});
      continue;
    }
    Step step;
    step.read = words[0];
    std::size_t at = 1;
    if (step.read == "skip" || step.read == "pieces" || step.read == "seek") {
      step.wanted = words.at(at++);
    } else if (std::isdigit(static_cast<unsigned char>(words.at(at)[0]))) {
      step.most = std::stoul(words[at++]);
    }
    step.ok = flag(words.at(at++), "ok", "fail");
    step.value = words.at(at++);
    step.at_end = flag(words.at(at++), "end", "more");
    step.longer = at < words.size() && flag(words[at], "longer", "");
    cases.at(cases.size() - 1).steps.push_back(step);
  }
  return cases;
}

void run_step(TextReader& reader, const Step& step) {
  std::string text = "OLD";
  bool ok = true;
  bool longer = !step.longer;
  if (step.most != SIZE_MAX) {
    ok = step.read == "line" ? reader.read_line(text, step.most, longer)
                             : reader.read_word(text, step.most, longer);
    if (ok) {
      EXPECT_EQ(longer, step.longer);
    }
  } else if (step.read == "line") {
    ok = reader.read_line(text);
  } else if (step.read == "word") {
    ok = reader.read_word(text);
  } else if (step.read == "text") {
    ok = reader.read_text(text);
  } else if (step.read == "count") {
    int count = 7;
    ok = reader.read_count(count);
    text = std::to_string(count);
  } else if (step.read == "skip") {
    ok = reader.skip_to_line(step.wanted);
    text = "";
  } else if (step.read == "pieces") {
    std::vector<std::string_view> pieces;
    for (const char& c : step.wanted) pieces.emplace_back(&c, 1);
    ok = reader.skip_to_joined_line(pieces);
    text = "";
  } else if (step.read == "key") {
    const int key = reader.take_key();
    ok = key != EOF;
    text = ok ? std::string(1, static_cast<char>(key)) : "";
  } else if (step.read == "rewind") {
    reader.rewind();
    text = "";
  } else if (step.read == "lines") {
    reader.count_lines();
    text = "";
  } else if (step.read == "place" || step.read == "token") {
    const TextPlace place = step.read == "place" ? reader.place() : reader.token_place();
    if (step.read == "place") {
      EXPECT_EQ(place.line, reader.line());
      EXPECT_EQ(place.offset, reader.offset());
    }
    text = std::to_string(place.line) + ":" + std::to_string(place.column()) + " at " +
           std::to_string(place.offset);
  } else if (step.read == "seek") {
    std::istringstream numbers(step.wanted);
    TextPlace place;
    numbers >> place.offset >> place.line >> place.line_start;
    reader.seek(place);
    text = "";
  } else {
    ADD_FAILURE() << "no read called " << step.read;
  }
  EXPECT_EQ(ok, step.ok);
  EXPECT_EQ(text, step.value);
  EXPECT_EQ(reader.at_end(), step.at_end);
}

// Every case runs with buffers and source reads small enough to split every token, line end and
// CR LF pair, and with the sizes the game really uses.
TEST(TextReaderTest, StateRules) {
  const std::vector<Case> cases = read_cases();
  ASSERT_GE(cases.size(), 30u) << "the cases file is " << WANDER_READER_CASES;
  const std::vector<std::pair<std::size_t, std::size_t>> sizes = {
      {TextReader::kDefaultCapacity, SIZE_MAX},
      {4, 1},
      {4, 3},
      {5, 2},
      {6, 3},
      {7, 7},
      {16, 5},
      {100, 1}};
  for (const Case& c : cases) {
    for (const auto& [capacity, most] : sizes) {
      TextReader reader(make_string_source(c.input, most), capacity);
      for (std::size_t i = 0; i < c.steps.size(); ++i) {
        SCOPED_TRACE(c.name + " step " + std::to_string(i) + " capacity " +
                     std::to_string(capacity) + " reads of " + std::to_string(most));
        run_step(reader, c.steps[i]);
      }
    }
  }
}

// Lines read a piece at a time, and the marker scan with the wanted line whole or in pieces
// (empty ones too), against reading the lines one by one: wanted lines placed across every refill
// and 16-byte block, longer than the buffer, with every CR LF rule, through buffers and source
// reads of many sizes. Found or not, where the reader then stands and what it reads next must be
// the same, and a piece never ends between the CR and the LF of a line end.
TEST(TextReaderTest, ScansAgreeWithReadingLineByLine) {
  std::vector<std::string> texts;
  for (const Case& c : read_cases()) texts.push_back(c.input);
  for (const char* tail :
       {"<R7>\nafter*", "<R7>\r\nafter*", "<R7>", "<R7>\r", "<R7> \n<R7>\n*", "<R8>\n<R77>\n"}) {
    for (std::size_t filler = 0; filler < 70; ++filler) {
      texts.push_back(std::string(filler, 'x') + "\n<R1>\n" + tail);
    }
  }
  const std::vector<std::string> wanted = {"<R7>", "<Hall>",  "<Hall\r", "<A|lamp>",    "abc\rdef",
                                           "a\nb", "<Hall>x", "<Ha",     "<Hall><Hall>"};
  const std::vector<std::pair<std::size_t, std::size_t>> sizes = {
      {4, 1}, {4, 3},  {4, SIZE_MAX}, {5, 2},   {7, 1},   {7, 3},
      {9, 3}, {16, 5}, {64, 3},       {64, 64}, {100, 7}, {4096, SIZE_MAX}};
  for (const std::string& text : texts) {
    for (const auto& [capacity, most] : sizes) {
      SCOPED_TRACE(as_trace(text) + " capacity " + std::to_string(capacity) + " reads of " +
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

      for (const std::string& want : wanted) {
        // No lookup asks for a line holding an LF; only the piecewise comparison is held to it.
        const bool piecewise_only =
            want.find('\n') != std::string::npos && want.size() + 2 <= capacity;
        const std::string half_a = want.substr(0, want.size() / 2);
        const std::string half_b = want.substr(want.size() / 2);
        std::vector<std::vector<std::string_view>> splits = {{"", half_a, "", half_b}, {}};
        for (const char& c : want) splits.back().emplace_back(&c, 1);
        if (!piecewise_only) splits.push_back({want});
        for (const auto& split : splits) {
          SCOPED_TRACE("wanted " + as_trace(want) + " in " + std::to_string(split.size()));
          TextReader fast(make_string_source(text, most), capacity);
          TextReader plain(make_string_source(text, most), capacity);
          const bool found =
              split.size() == 1 ? fast.skip_to_line(want) : fast.skip_to_joined_line(split);
          EXPECT_EQ(found, testing::find_line_by_line(plain, want));
          EXPECT_EQ(fast.at_end(), plain.at_end());
          EXPECT_EQ(fast.offset(), plain.offset());
          std::string after_fast = "OLD";
          std::string after_plain = "OLD";
          EXPECT_EQ(fast.read_text(after_fast), plain.read_text(after_plain));
          EXPECT_EQ(after_fast, after_plain);
          // Again from there: after the end, as after any read, it fails until a seek.
          EXPECT_EQ(fast.skip_to_joined_line(split), testing::find_line_by_line(plain, want));
          EXPECT_EQ(fast.offset(), plain.offset());
        }
      }
    }
  }
}

}  // namespace
}  // namespace wander
