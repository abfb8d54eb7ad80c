#include "tools/printable.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace wander {
namespace {

struct Shown {
  std::string bytes;
  std::string printable;
  std::size_t width;
};

// Every byte a world may hold, as a message, a quoted line or a label shows it.
const std::vector<Shown> kShown = {
    {"Hall", "Hall", 4},
    {"", "", 0},
    {"caf\xc3\xa9", "caf\xc3\xa9", 4},                      // UTF-8 stays
    {"\xf0\x9f\x90\x9a", "\xf0\x9f\x90\x9a", 1},            // four bytes, one character
    {"a\x1b[2Jb", "a\\x1b[2Jb", 9},                         // an escape sequence, disarmed
    {std::string("nul\0!", 5), "nul\\x00!", 8},             // NUL
    {"tab\there", "tab\\x09here", 11},                      // a tab is a control byte too
    {"del\x7f", "del\\x7f", 7},                             // DEL
    {"back\\slash", "back\\\\slash", 11},                   // a backslash cannot pass as one
    {"\xff\xfe", "\\xff\\xfe", 8},                          // not UTF-8 at all
    {"\xc3", "\\xc3", 4},                                   // cut short
    {"\xc3\xc3\xa9", "\\xc3\xc3\xa9", 5},                   // a lead byte where one follows
    {"\xc0\xaf", "\\xc0\\xaf", 8},                          // overlong
    {"\xed\xa0\x80", "\\xed\\xa0\\x80", 12},                // a surrogate
    {"\xf4\x90\x80\x80", "\\xf4\\x90\\x80\\x80", 16},       // past U+10FFFF
    {"\xf5\x80\x80\x80", "\\xf5\\x80\\x80\\x80", 16},       // no lead byte at all
    {"\xe0\x80\x80", "\\xe0\\x80\\x80", 12},                // overlong in three bytes
    {"\xf0\x8f\xbf\xbf", "\\xf0\\x8f\\xbf\\xbf", 16},       // and in four
    {"\xe2\x82\xacx", "\xe2\x82\xacx", 2},                  // three bytes, one character
    {"\xc2\x85", "\\u0085", 6},                             // a C1 control
    {"North:\xc2\xa0Kitchen", "North:\\u00a0Kitchen", 19},  // a no-break space shows
    {"a\xe2\x80\x8b"
     "b",
     "a\\u200bb", 8},                           // so does a zero-width space
    {"\xef\xbb\xbfStart", "\\ufeffStart", 11},  // and a byte-order mark
    {"\xe3\x80\x80", "\\u3000", 6},             // an ideographic space
    {"\xa0", "\\xa0", 4},                       // Latin-1 no-break space
};

TEST(PrintableTest, ShowsEveryByteAsAPersonCanReadIt) {
  for (const Shown& shown : kShown) {
    SCOPED_TRACE(shown.printable);
    EXPECT_EQ(printable(shown.bytes), shown.printable);
    EXPECT_EQ(printable_width(shown.bytes), shown.width);
  }
}

TEST(PrintableTest, LookalikeBlanks) {
  const struct {
    std::string bytes;
    std::size_t length;
    std::string name;
  } cases[] = {
      {"\xc2\xa0rest", 2, "a no-break space (U+00A0)"},
      {"\xe2\x80\xaf", 3, "a narrow no-break space (U+202F)"},
      {"\xe2\x80\x8b", 3, "a zero-width space (U+200B)"},
      {"\xef\xbb\xbf", 3, "a zero-width no-break space (U+FEFF)"},
      {"\xa0", 1, "a byte A0 (a no-break space in Latin-1)"},
      {" ", 0, ""},  // a blank is a blank
      {"\xc3\xa9", 0, ""},
      {"\xe2\x80", 0, ""},  // cut short
      {"", 0, ""},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(printable(c.bytes));
    EXPECT_EQ(blank_lookalike_length(c.bytes), c.length);
    EXPECT_EQ(blank_lookalike_name(c.bytes), c.name);
  }
}

}  // namespace
}  // namespace wander
