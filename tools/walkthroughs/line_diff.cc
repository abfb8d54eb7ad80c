#include "tools/walkthroughs/line_diff.h"

#include <algorithm>
#include <optional>
#include <unordered_map>

#include "tools/walkthroughs/case_file.h"

namespace wander {
namespace {

// A point where an optimal path of edits crosses from the first half of its edits to the second.
struct Split {
  std::size_t from;
  std::size_t to;
};

// Myers' search, over lines numbered so that equal lines have equal numbers (comparing numbers
// costs the same whatever the lines' lengths).
class LineDiffer {
 public:
  LineDiffer(std::vector<std::uint32_t> from, std::vector<std::uint32_t> to,
             std::uint64_t most_steps)
      : a_(std::move(from)), b_(std::move(to)), steps_left_(most_steps) {
    edits_.reserve(a_.size() + b_.size());
  }

  std::vector<LineEdit> run() {
    diff(0, a_.size(), 0, b_.size());
    return std::move(edits_);
  }

 private:
  void repeat(LineEdit edit, std::size_t count) { edits_.insert(edits_.end(), count, edit); }

  // The edits from a_[a_low, a_high) to b_[b_low, b_high). Each call after trimming has two
  // texts that differ at both ends, so its optimal path has at least two edits, and each half
  // of it fewer than the whole: the recursion ends, at a depth of about log2 of the edits.
  void diff(std::size_t a_low, std::size_t a_high, std::size_t b_low, std::size_t b_high) {
    std::size_t head = 0;
    while (a_low + head < a_high && b_low + head < b_high && a_[a_low + head] == b_[b_low + head]) {
      ++head;
    }
    repeat(LineEdit::kSame, head);
    a_low += head, b_low += head;
    std::size_t tail = 0;
    while (a_low + tail < a_high && b_low + tail < b_high &&
           a_[a_high - 1 - tail] == b_[b_high - 1 - tail]) {
      ++tail;
    }
    a_high -= tail, b_high -= tail;
    if (a_low == a_high || b_low == b_high) {
      repeat(LineEdit::kRemoved, a_high - a_low);
      repeat(LineEdit::kAdded, b_high - b_low);
    } else if (const std::optional<Split> split = middle(a_low, a_high, b_low, b_high)) {
      diff(a_low, split->from, b_low, split->to);
      diff(split->from, a_high, split->to, b_high);
    } else {
      repeat(LineEdit::kRemoved, a_high - a_low);
      repeat(LineEdit::kAdded, b_high - b_low);
    }
    repeat(LineEdit::kSame, tail);
  }

  // The search from one corner: from the start (forward), or from the end on the texts read
  // backwards. furthest[offset + k] is how far along a_ the furthest path with d edits on
  // diagonal k (x - y = k) reaches, -1 where none has gone yet. Diagonals whose furthest path has
  // left the grid are not followed further: `start` and `end` trim the range of k from either
  // side.
  struct Pass {
    bool backward;
    std::vector<std::ptrdiff_t> furthest;
    std::ptrdiff_t start = 0;
    std::ptrdiff_t end = 0;
  };

  // The part of the texts being split, and what both passes share.
  struct Box {
    std::size_t a_low, a_high, b_low, b_high;
    std::ptrdiff_t n, m, offset, delta;
  };

  enum class Reach { kOn, kMet, kOutOfSteps };

  // Takes every furthest path of `pass` one edit further, to d edits, and along the lines both
  // texts then hold. When `meet`, looks for a path of `other` that a path reaches or passes on
  // its diagonal: there an optimal path crosses its middle, `split`, in the forward pass's terms.
  Reach extend(Pass& pass, const Pass& other, const Box& box, std::ptrdiff_t d, bool meet,
               Split& split) {
    const auto same = [&](std::ptrdiff_t x, std::ptrdiff_t y) {
      const auto i = static_cast<std::size_t>(x), j = static_cast<std::size_t>(y);
      return pass.backward ? a_[box.a_high - 1 - i] == b_[box.b_high - 1 - j]
                           : a_[box.a_low + i] == b_[box.b_low + j];
    };
    std::vector<std::ptrdiff_t>& furthest = pass.furthest;
    const std::ptrdiff_t offset = box.offset;
    for (std::ptrdiff_t k = -d + pass.start; k <= d - pass.end; k += 2) {
      std::ptrdiff_t x = k == -d || (k != d && furthest[offset + k - 1] < furthest[offset + k + 1])
                             ? furthest[offset + k + 1]
                             : furthest[offset + k - 1] + 1;
      std::ptrdiff_t y = x - k;
      const std::ptrdiff_t x_start = x;
      while (x < box.n && y < box.m && same(x, y)) ++x, ++y;
      if (!spend(static_cast<std::uint64_t>(x - x_start) + 1)) return Reach::kOutOfSteps;
      furthest[offset + k] = x;
      if (x > box.n) {
        pass.end += 2;
      } else if (y > box.m) {
        pass.start += 2;
      } else if (meet) {
        // Diagonal k of one pass is diagonal delta - k of the other.
        const std::ptrdiff_t at = offset + box.delta - k;
        if (at < 0 || at >= static_cast<std::ptrdiff_t>(other.furthest.size())) continue;
        const std::ptrdiff_t other_x = other.furthest[at];
        if (other_x == -1 || x + other_x < box.n) continue;
        const std::ptrdiff_t forward_x = pass.backward ? other_x : x;
        const std::ptrdiff_t forward_y = pass.backward ? other_x - (box.delta - k) : y;
        split = Split{box.a_low + static_cast<std::size_t>(forward_x),
                      box.b_low + static_cast<std::size_t>(forward_y)};
        return Reach::kMet;
      }
    }
    return Reach::kOn;
  }

  // Searches from both corners at once, d edits at a time, until the furthest paths on a
  // diagonal meet: there an optimal path crosses its middle. Nothing when the steps run out.
  std::optional<Split> middle(std::size_t a_low, std::size_t a_high, std::size_t b_low,
                              std::size_t b_high) {
    const auto n = static_cast<std::ptrdiff_t>(a_high - a_low);
    const auto m = static_cast<std::ptrdiff_t>(b_high - b_low);
    const std::ptrdiff_t most_d = (n + m + 1) / 2;
    const std::ptrdiff_t offset = most_d + 1;
    const Box box{a_low, a_high, b_low, b_high, n, m, offset, n - m};
    Pass forward{false, std::vector<std::ptrdiff_t>(2 * offset + 1, -1)};
    Pass backward{true, std::vector<std::ptrdiff_t>(2 * offset + 1, -1)};
    forward.furthest[offset + 1] = 0;
    backward.furthest[offset + 1] = 0;
    // With an odd delta the paths meet after a forward step, with an even one after a backward.
    const bool meet_forward = box.delta % 2 != 0;
    Split split{};
    for (std::ptrdiff_t d = 0; d <= most_d; ++d) {
      for (Pass* pass : {&forward, &backward}) {
        const Pass& other = pass == &forward ? backward : forward;
        switch (extend(*pass, other, box, d, meet_forward != pass->backward, split)) {
          case Reach::kOn:
            break;
          case Reach::kMet:
            return split;
          case Reach::kOutOfSteps:
            return std::nullopt;
        }
      }
    }
    return std::nullopt;
  }

  bool spend(std::uint64_t steps) {
    if (steps > steps_left_) {
      steps_left_ = 0;
      return false;
    }
    steps_left_ -= steps;
    return true;
  }

  std::vector<std::uint32_t> a_;
  std::vector<std::uint32_t> b_;
  std::uint64_t steps_left_;
  std::vector<LineEdit> edits_;
};

constexpr std::size_t kContext = 3;
constexpr std::size_t kMostInARun = 40;
constexpr std::size_t kMostPlaces = 20;
constexpr char kSame[] = "  ";  // the mark of a line both texts hold

// A long line shown in part: a report is read, and a line of megabytes would bury it.
std::string shortened(std::string_view line) {
  constexpr std::size_t kMost = 300;
  if (line.size() <= kMost) return std::string(line);
  return std::string(line.substr(0, kMost)) + "... (" + std::to_string(line.size()) +
         " bytes in all)";
}

// "1 line", "2 lines".
std::string lines_count(std::size_t n) { return std::to_string(n) + (n == 1 ? " line" : " lines"); }

// One line of an output as a report line: the mark, then the line as a case line.
std::string report_line(const char* mark, std::string_view line) {
  std::string shown = as_case_lines(line);
  shown.pop_back();  // as_case_lines ends every line with LF
  // Blanks at the end of a line both texts hold tell nothing apart, and no editor keeps a
  // report: such a line is marked only when it needs an escape.
  if (std::string_view(mark) == kSame && line.ends_with('\n')) {
    const std::string_view body = line.substr(0, line.size() - 1);
    const std::string_view unblanked = body.substr(0, body.find_last_not_of(' ') + 1);
    const std::string unblanked_line = std::string(unblanked) + "\n";
    if (as_case_lines(unblanked_line) == unblanked_line) {
      shown = body;
    }
  }
  return mark + shortened(shown) + "\n";
}

}  // namespace

std::uint64_t default_diff_steps(std::size_t lines) {
  return 10'000'000 + 100 * static_cast<std::uint64_t>(lines);
}

std::vector<std::string_view> lines_of(std::string_view bytes) {
  std::vector<std::string_view> lines;
  while (!bytes.empty()) {
    const std::size_t end = std::min(bytes.find('\n'), bytes.size() - 1);
    lines.push_back(bytes.substr(0, end + 1));
    bytes.remove_prefix(end + 1);
  }
  return lines;
}

std::vector<LineEdit> diff_lines(const std::vector<std::string_view>& from,
                                 const std::vector<std::string_view>& to,
                                 std::uint64_t most_steps) {
  std::unordered_map<std::string_view, std::uint32_t> numbers;
  const auto numbered = [&](const std::vector<std::string_view>& lines) {
    std::vector<std::uint32_t> out;
    out.reserve(lines.size());
    for (const std::string_view line : lines) {
      out.push_back(
          numbers.try_emplace(line, static_cast<std::uint32_t>(numbers.size())).first->second);
    }
    return out;
  };
  std::vector<std::uint32_t> a = numbered(from);
  std::vector<std::uint32_t> b = numbered(to);
  return LineDiffer(std::move(a), std::move(b), most_steps).run();
}

std::size_t first_different_line(std::string_view expected, std::string_view actual) {
  const auto at =
      std::mismatch(expected.begin(), expected.end(), actual.begin(), actual.end()).first;
  // The lines whose line ends both share are alike.
  return static_cast<std::size_t>(std::count(expected.begin(), at, '\n'));
}

std::string describe_difference(std::string_view expected, std::string_view actual,
                                const std::function<std::string(std::uint64_t)>& header) {
  if (expected == actual) return "";
  const std::vector<std::string_view> want = lines_of(expected);
  const std::vector<std::string_view> got = lines_of(actual);
  const std::vector<LineEdit> edits =
      diff_lines(want, got, default_diff_steps(want.size() + got.size()));

  // A place is a run of edits other than kSame: the lines [removed, removed_end) of want and
  // [added, added_end) of got.
  struct Place {
    std::size_t removed, removed_end, added, added_end;
  };
  std::vector<Place> places;
  std::size_t i = 0, j = 0;
  for (std::size_t e = 0; e < edits.size(); ++e) {
    if (edits[e] == LineEdit::kSame) {
      ++i, ++j;
      continue;
    }
    if (e == 0 || edits[e - 1] == LineEdit::kSame) places.push_back({i, i, j, j});
    if (edits[e] == LineEdit::kRemoved) {
      places.back().removed_end = ++i;
    } else {
      places.back().added_end = ++j;
    }
  }

  std::string out;
  const auto show = [&](const std::vector<std::string_view>& lines, std::size_t from,
                        std::size_t to, const char* mark, const char* what) {
    for (std::size_t l = from; l < to && l < from + kMostInARun; ++l) {
      out += report_line(mark, lines[l]);
    }
    if (to - from > kMostInARun) {
      const std::size_t more = to - from - kMostInARun;
      out += "... " + std::to_string(more) + (more == 1 ? " more line " : " more lines ") + what +
             "\n";
    }
  };
  // Where the place departs in `actual`: the first byte of its first line that differs.
  const auto departs_at = [&](const Place& place) {
    if (place.added == got.size()) return static_cast<std::uint64_t>(actual.size());
    const std::string_view line = got[place.added];
    std::size_t same = 0;
    if (place.removed < place.removed_end) {
      const std::string_view old = want[place.removed];
      same = static_cast<std::size_t>(
          std::mismatch(line.begin(), line.end(), old.begin(), old.end()).first - line.begin());
    }
    return static_cast<std::uint64_t>(line.data() - actual.data() + same);
  };
  std::string last_header;
  std::size_t shown_to = 0;  // the lines of want before this are shown or counted
  for (std::size_t p = 0; p < places.size(); ++p) {
    if (p == kMostPlaces) {
      const std::size_t more = places.size() - p;
      out += "... " + std::to_string(more) +
             (more == 1 ? " more place differs\n" : " more places differ\n");
      break;
    }
    const Place& place = places[p];
    const std::size_t context_from =
        std::max(shown_to, place.removed - std::min(place.removed, kContext));
    if (context_from > shown_to) {
      out += "... " + lines_count(context_from - shown_to) + " the same\n";
    }
    if (header) {
      std::string said = header(departs_at(place));
      if (p > 0 && !said.empty() && said != last_header) out += said;
      last_header = std::move(said);
    }
    show(want, context_from, place.removed, kSame, "the same");
    show(want, place.removed, place.removed_end, "- ", "expected");
    show(got, place.added, place.added_end, "+ ", "shown");
    // The lines after it: kContext of them, or all up to the next place when that is near
    // enough that the two contexts would meet.
    const std::size_t next = p + 1 < places.size() ? places[p + 1].removed : want.size();
    const bool near = p + 1 < places.size() && next - place.removed_end <= 2 * kContext;
    shown_to = near ? next : std::min(next, place.removed_end + kContext);
    show(want, place.removed_end, shown_to, kSame, "the same");
  }
  return out;
}

}  // namespace wander
