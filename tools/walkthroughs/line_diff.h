// How one output differs from another, line by line: the longest run of lines the two share in
// order (a longest common subsequence, found by Myers' O(ND) algorithm in linear space), and a
// report of the rest written as case lines, as the test runner and `wander-world replay` show a
// failure.
#ifndef WANDER_TOOLS_WALKTHROUGHS_LINE_DIFF_H_
#define WANDER_TOOLS_WALKTHROUGHS_LINE_DIFF_H_

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace wander {

/// What becomes of one line on the way from one text to another.
enum class LineEdit : unsigned char {
  kSame,     ///< a line of both: the next line of each
  kRemoved,  ///< the next line of the first text, which the second does not hold there
  kAdded,    ///< the next line of the second text, which the first does not hold there
};

/// The steps diff_lines may take unless told otherwise: 10 million, and 100 more for each line
/// of the two texts. A step is a line compared or a diagonal of the search visited, a few
/// nanoseconds each.
std::uint64_t default_diff_steps(std::size_t lines);

/// The edits that turn the lines `from` into the lines `to`: every line of `from` in turn is
/// kSame or kRemoved, every line of `to` kSame or kAdded, and the kSame lines are equal. They
/// are as few as can be (the kSame lines a longest common subsequence) while the search stays
/// within `most_steps`. Past it the search gives up minimality, never correctness: each part of
/// the texts not yet matched, its common first and last lines aside, is given as removed and
/// then added whole. So time is O((N+M)·D) for D edits at most, and memory O(N+M), whatever the
/// texts; two outputs alike but for a few lines cost a few passes over them.
std::vector<LineEdit> diff_lines(const std::vector<std::string_view>& from,
                                 const std::vector<std::string_view>& to, std::uint64_t most_steps);

/// The lines of `bytes`, each with its LF; a last line without one is a line too. A text that
/// ends with an LF has no empty line after it.
std::vector<std::string_view> lines_of(std::string_view bytes);

/// A readable account of how `actual` differs from `expected`, line by line, written as case
/// lines (as_case_lines) so that CR, NUL, escape bytes and trailing blanks are visible: each
/// place where they differ as the expected lines ("- ") and then the actual ones ("+ "), with up
/// to three lines both hold ("  ") on either side. Places closer than seven lines share their
/// context; lines left out before a place are counted in a line "... N lines the same". A run
/// of more than 40 lines removed or added shows 40 and then "... N more lines expected" (or
/// "shown"); after 20 places, "... N more places differ". Lines longer than 300 bytes are cut
/// there. With `header`, each place after the first is headed by what `header` says of it, given
/// the offset in `actual` of its first byte that differs (the end of `actual` for lines removed
/// at its end): written before its lines, unless empty or what it said of the place before (the
/// first place's header is the caller's to write, before the account). Empty when they are
/// equal.
std::string describe_difference(std::string_view expected, std::string_view actual,
                                const std::function<std::string(std::uint64_t)>& header = {});

/// How many lines, from the first, `expected` and `actual` hold alike: the index of the first
/// line of `expected` that differs (the number of its lines when all of them are alike and
/// `actual` goes on).
std::size_t first_different_line(std::string_view expected, std::string_view actual);

}  // namespace wander

#endif  // WANDER_TOOLS_WALKTHROUGHS_LINE_DIFF_H_
