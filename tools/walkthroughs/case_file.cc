#include "tools/walkthroughs/case_file.h"

#include <algorithm>
#include <charconv>
#include <cstring>
#include <filesystem>
#include <limits>
#include <memory>
#include <sstream>
#include <utility>

#include "text/hex.h"
#include "text/text_reader.h"
#include "tools/names/printable.h"
#include "tools/walkthroughs/line_diff.h"

namespace wander {
namespace {

constexpr std::string_view kHeader = "--- ";
constexpr std::string_view kNoEol = " (no-eol)";
constexpr std::string_view kEsc = " (esc)";
constexpr std::string_view kTimes = " (times ";

bool ends_with(std::string_view text, std::string_view tail) {
  return text.size() >= tail.size() && text.substr(text.size() - tail.size()) == tail;
}

int hex_value(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

// Decodes the escapes of an "(esc)" line; false on one that is not known.
bool decode(std::string_view line, std::string& out) {
  for (std::size_t i = 0; i < line.size(); ++i) {
    if (line[i] != '\\') {
      out += line[i];
      continue;
    }
    if (++i == line.size()) return false;
    switch (line[i]) {
      case '\\':
        out += '\\';
        break;
      case 'n':
        out += '\n';
        break;
      case 'r':
        out += '\r';
        break;
      case 't':
        out += '\t';
        break;
      case '0':
        out += '\0';
        break;
      case 'x': {
        const int high = i + 1 < line.size() ? hex_value(line[i + 1]) : -1;
        const int low = i + 2 < line.size() ? hex_value(line[i + 2]) : -1;
        if (high < 0 || low < 0) return false;
        out += static_cast<char>(high * 16 + low);
        i += 2;
        break;
      }
      default:
        return false;
    }
  }
  return true;
}

// `text` as a number from `least` to `most`, when it is all digits and in that range.
std::optional<std::uint64_t> number_in(std::string_view text, std::uint64_t least,
                                       std::uint64_t most) {
  std::uint64_t value = 0;
  const char* const end = text.data() + text.size();
  // from_chars takes no sign for an unsigned number, and no blank.
  const auto [stop, error] = std::from_chars(text.data(), end, value);
  if (text.empty() || error != std::errc() || stop != end || value < least || value > most) {
    return std::nullopt;
  }
  return value;
}

struct Times {
  std::uint64_t count;  ///< the largest number when N is larger
  std::size_t at;       ///< where the suffix starts
};

// The " (times N)" that ends `line`, if one does.
std::optional<Times> times_suffix(std::string_view line) {
  if (!ends_with(line, ")")) return std::nullopt;
  const std::size_t at = line.rfind(kTimes);
  if (at == std::string_view::npos) return std::nullopt;
  const std::size_t from = at + kTimes.size();
  const std::string_view number = line.substr(from, line.size() - 1 - from);
  if (number.empty() || number.find_first_not_of("0123456789") != std::string_view::npos) {
    return std::nullopt;
  }
  constexpr std::uint64_t kLargest = std::numeric_limits<std::uint64_t>::max();
  return Times{number_in(number, 0, kLargest).value_or(kLargest), at};
}

std::vector<std::string> words_of(std::string_view text) {
  std::vector<std::string> words;
  std::istringstream in{std::string(text)};
  for (std::string word; in >> word;) words.push_back(word);
  return words;
}

// One line of bytes (without its LF) as a case line.
std::string as_case_line(std::string_view line) {
  std::string plain;
  bool escaped = line.substr(0, kHeader.size()) == kHeader || ends_with(line, kEsc) ||
                 ends_with(line, kNoEol) || times_suffix(line) ||
                 (!line.empty() && (line.back() == ' '));
  for (std::size_t i = 0; i < line.size(); ++i) {
    const auto byte = static_cast<unsigned char>(line[i]);
    // A byte that is no part of valid UTF-8 is written as its value.
    const std::size_t length = byte < 0x80 ? 1 : utf8_length(line.substr(i));
    if (byte == '\\') {
      plain += "\\\\";
    } else if (byte == '\r') {
      plain += "\\r", escaped = true;
    } else if (byte == '\t') {
      plain += "\\t", escaped = true;
    } else if (byte == 0) {
      plain += "\\0", escaped = true;
    } else if (byte < 0x20 || byte == 0x7f || length == 0 || (i == 0 && byte == '-' && escaped)) {
      append_hex(plain.append("\\x"), byte, 2);
      escaped = true;
    } else {
      plain.append(line.substr(i, length));
      i += length - 1;
    }
  }
  if (!escaped) return std::string(line);
  return plain + std::string(kEsc);
}

class Parser {
 public:
  Parser(const std::string& path, std::string& error, std::uint64_t most)
      : path_(path), error_(error), most_(most) {}

  std::optional<std::vector<Case>> parse(std::string_view bytes) {
    TextReader reader(make_string_source(std::string(bytes)));
    std::string line;
    for (line_begin_ = reader.offset(); reader.read_line(line); line_begin_ = reader.offset()) {
      ++number_;
      line_end_ = reader.offset();
      if (line.substr(0, kHeader.size()) == kHeader) {
        if (!finish_section() || !open_section(line.substr(kHeader.size()))) return std::nullopt;
      } else if (!add_content(line)) {
        return std::nullopt;
      }
    }
    if (!finish_section()) return std::nullopt;
    finish_case();
    if (cases_.empty()) {
      fail("the file holds no case");
      return std::nullopt;
    }
    return std::move(cases_);
  }

 private:
  bool fail(const std::string& message) { return fail_at(number_, message); }

  bool fail_at(std::int64_t line, const std::string& message) {
    error_ = printable(path_) + ":" + std::to_string(line) + ": " + message;
    return false;
  }

  bool add_content(std::string_view line) {
    if (section_.empty()) return true;  // the comment before the first section
    if (ended_) return fail("a line after a \"(no-eol)\" line");
    bool line_end = true;
    if (ends_with(line, kNoEol)) {
      line.remove_suffix(kNoEol.size());
      line_end = false;
      ended_ = true;
    }
    std::uint64_t times = 1;
    if (const std::optional<Times> suffix = times_suffix(line)) {
      times = suffix->count;
      line = line.substr(0, suffix->at);
    }
    if (times > most_) return fail("\"(times N)\" counts to at most " + std::to_string(most_));
    if (section_ == "stdout" || section_ == "stderr" || section_ == "diagnostics") {
      place_.starts.push_back(content_.size());
    }
    std::string bytes;
    if (ends_with(line, kEsc)) {
      line.remove_suffix(kEsc.size());
      if (!decode(line, bytes)) return fail("an unknown escape in this line");
    } else {
      bytes = line;
    }
    // Measured before anything is made: a short line can ask for more than any memory holds.
    const std::uint64_t used = held_ + content_.size() + (line_end ? 1 : 0);
    if (used > most_ || (!bytes.empty() && times > (most_ - used) / bytes.size())) {
      return fail("this line takes the file's sections past " + std::to_string(most_) +
                  " bytes, the most they hold");
    }
    content_.reserve(content_.size() + bytes.size() * times + 1);
    for (std::uint64_t i = 0; i < times && !bytes.empty(); ++i) content_.append(bytes);
    if (line_end) content_ += '\n';
    return true;
  }

  // The case being read, opened when needed. `with_world` takes the world in force into it: a
  // case plays the world that stands before its first other section.
  Case& current(bool with_world = true) {
    if (!open_) {
      open_ = true;
      has_world_ = false;
      case_ = Case{};
      case_.name = std::filesystem::path(path_).stem().string();
      case_.path = path_;
      case_.origin = path_ + ":" + std::to_string(number_);
    }
    if (with_world && !has_world_) {
      has_world_ = true;
      case_.world_setup = world_setup_;
      if (world_setup_ == WorldSetup::kText) case_.world = world_;
    }
    return case_;
  }

  void finish_case() {
    if (!open_) return;
    current();
    cases_.push_back(std::move(case_));
    open_ = false;
  }

  bool open_section(std::string_view header) {
    std::vector<std::string> words = words_of(header);
    if (words.empty()) return fail("a section without a name");
    section_ = words[0];
    place_ = SectionPlace{number_, line_begin_, line_end_, line_end_, {}};
    const std::string argument = words.size() > 1 ? words[1] : "";
    const std::size_t rest_at = header.find(section_) + section_.size();
    const std::string rest = words.size() > 1 ? words_tail(header.substr(rest_at)) : "";
    const auto one_of = [&](std::initializer_list<const char*> allowed) {
      if (words.size() == 2 &&
          std::find(allowed.begin(), allowed.end(), argument) != allowed.end()) {
        return true;
      }
      fail("'--- " + printable(section_) + "' takes one of its known words");
      return false;
    };
    if (section_ == "case") {
      finish_case();
      Case& c = current(false);
      if (!rest.empty()) c.name = rest;
      return true;  // its comment follows
    }
    if (section_ == "world") {
      if (words.size() == 1) return world_setup_ = WorldSetup::kText, true;
      if (argument == "file" && words.size() == 3) return read_world_file(words[2]);
      if (!one_of({"none", "folder", "fifo", "device", "self-link", "unreadable", "failing"})) {
        return false;
      }
      world_.reset();
      world_setup_ = argument == "none"         ? WorldSetup::kNone
                     : argument == "folder"     ? WorldSetup::kFolder
                     : argument == "fifo"       ? WorldSetup::kFifo
                     : argument == "device"     ? WorldSetup::kDevice
                     : argument == "self-link"  ? WorldSetup::kSelfLink
                     : argument == "unreadable" ? WorldSetup::kUnreadable
                                                : WorldSetup::kFailing;
      section_.clear();
      return true;
    }
    Case& c = current();
    if (section_ == "run") {
      if (argument != "wander" && argument != "wander-world") {
        return fail("'--- run' names wander or wander-world");
      }
      c.program = argument;
      c.arguments = words_tail(header.substr(header.find(argument) + argument.size()));
    } else if (section_ == "stdin") {
      if (!one_of({"closed", "unreadable"})) return false;
      c.stdin_setup = argument == "closed" ? StdinSetup::kClosed : StdinSetup::kUnreadable;
    } else if (section_ == "stdout" && words.size() > 1) {
      if (!one_of({"closed", "full", "broken"})) return false;
      c.stdout_setup = argument == "closed" ? StdoutSetup::kClosed
                       : argument == "full" ? StdoutSetup::kFull
                                            : StdoutSetup::kBroken;
    } else if (section_ == "limit") {
      if (words.size() != 3 || !read_limit(argument, words[2], c)) {
        return fail(
            "'--- limit' takes 'memory SIZE' (a number and K, M or G, at most 1T) or "
            "'cpu SECONDS' (1 to 3600)");
      }
    } else if (section_ == "needs") {
      if (!one_of({"posix"})) return false;
      c.needs_posix = true;
    } else if (section_ == "status") {
      const std::optional<std::uint64_t> status = number_in(argument, 0, 255);
      if (words.size() != 2 || !status) return fail("'--- status' takes a number from 0 to 255");
      c.expected_status = static_cast<int>(*status);
      c.status_place = place_;
    } else if (section_ == "input" || section_ == "stdout" || section_ == "stderr" ||
               section_ == "diagnostics") {
      if (words.size() != 1) return fail("'--- " + printable(section_) + "' takes no words");
      return true;  // content follows
    } else {
      return fail("unknown section " + in_quotes(section_));
    }
    c.end = line_end_;
    section_.clear();
    return true;
  }

  // "memory SIZE" (a number and K, M or G, from 1K to 1T) or "cpu SECONDS" (1 to 3600), set
  // in `c` when it is one of them.
  static bool read_limit(std::string_view kind, std::string_view amount, Case& c) {
    if (kind == "cpu") {
      const std::optional<std::uint64_t> seconds = number_in(amount, 1, 3600);
      if (seconds) c.cpu_limit = static_cast<int>(*seconds);
      return seconds.has_value();
    }
    const std::size_t unit =
        amount.empty() ? std::string_view::npos : std::string_view("KMG").find(amount.back());
    if (kind != "memory" || unit == std::string_view::npos) return false;
    const std::optional<std::uint64_t> count =
        number_in(amount.substr(0, amount.size() - 1), 1, std::uint64_t{1} << (30 - 10 * unit));
    if (count) c.memory_limit = *count << (10 * unit);
    return count.has_value();
  }

  static std::string words_tail(std::string_view text) {
    while (!text.empty() && (text.front() == ' ' || text.front() == '\t')) text.remove_prefix(1);
    while (!text.empty() && (text.back() == ' ' || text.back() == '\t')) text.remove_suffix(1);
    return std::string(text);
  }

  bool read_world_file(const std::string& relative) {
    const std::filesystem::path where = std::filesystem::path(path_).parent_path() / relative;
    std::unique_ptr<ByteSource> source = open_file_source(where.string());
    if (!source) return fail("cannot read the world file " + in_quotes(where.string()));
    std::string world;
    if (const int error = read_to_end(*source, world); error != 0) {
      return fail("cannot read the world file " + in_quotes(where.string()) + ": " +
                  std::strerror(error));
    }
    if (world.size() > most_ - held_) {
      return fail("the world file " + in_quotes(where.string()) +
                  " takes the file's sections past " + std::to_string(most_) +
                  " bytes, the most they hold");
    }
    held_ += world.size();
    world_ = std::make_shared<const std::string>(std::move(world));
    world_setup_ = WorldSetup::kText;
    section_.clear();
    return true;
  }

  // Ends the open section at the line just read (a header) or at the file's end.
  bool finish_section() {
    std::string content = std::exchange(content_, std::string());
    ended_ = false;
    place_.content_end = line_begin_;
    if (section_.empty()) return true;
    if (section_ != "case") held_ += content.size();
    if (section_ == "world") {
      world_ = std::make_shared<const std::string>(std::move(content));
      return true;
    }
    // A case's comment is its own, but the world after it may still be the case's too.
    Case& c = current(section_ != "case");
    c.end = line_begin_;
    if (section_ == "input") {
      c.input = content;
    } else if (section_ == "stdout") {
      c.expected_stdout = content;
      c.stdout_place = std::move(place_);
    } else if (section_ == "stderr") {
      c.expected_stderr = content;
      c.stderr_place = std::move(place_);
    } else if (section_ == "diagnostics") {
      return read_diagnostics(content);
    }
    return true;
  }

  bool read_diagnostics(std::string_view content) {
    std::vector<ExpectedDiagnostic>& list = current().diagnostics.emplace();
    for (std::size_t at = 0; at < content.size();) {
      const std::size_t end = std::min(content.find('\n', at), content.size());
      const std::string_view line = content.substr(at, end - at);
      // The section has been read whole: the line a message names is found from its offset.
      const std::int64_t number =
          place_.header_line + (std::upper_bound(place_.starts.begin(), place_.starts.end(), at) -
                                place_.starts.begin());
      at = end + 1;
      std::vector<std::string> words = words_of(line);
      if (words.empty()) continue;
      if (words.size() < 2 || words[0].find_first_not_of("0123456789") != std::string::npos ||
          (words[1] != "error" && words[1] != "warning" && words[1] != "note")) {
        return fail_at(number,
                       "a diagnostic is 'LINE error|warning|note NAME...': " + printable(line));
      }
      const std::optional<std::uint64_t> line_number =
          number_in(words[0], 1, std::numeric_limits<std::int64_t>::max());
      if (!line_number) {
        return fail_at(number, "a diagnostic's LINE is a number from 1 to " +
                                   std::to_string(std::numeric_limits<std::int64_t>::max()) + ": " +
                                   printable(line));
      }
      // "[KIND]" first among the names is the kind, held whole.
      std::string kind;
      auto names = words.begin() + 2;
      if (names != words.end() && names->size() > 2 && names->front() == '[' &&
          names->back() == ']') {
        kind = names->substr(1, names->size() - 2);
        ++names;
      }
      list.push_back(
          {static_cast<std::int64_t>(*line_number), words[1], {names, words.end()}, kind});
    }
    return true;
  }

  const std::string& path_;
  std::string& error_;
  const std::uint64_t most_;  // the most bytes the sections may hold
  std::int64_t number_ = 0;
  std::uint64_t line_begin_ = 0;  // where the line just read begins in the file (or its end)
  std::uint64_t line_end_ = 0;    // where the line after it begins
  SectionPlace place_;            // the last section opened
  std::vector<Case> cases_;
  Case case_;
  bool open_ = false;
  bool has_world_ = false;  // the open case has taken its world
  WorldSetup world_setup_ = WorldSetup::kNone;
  std::shared_ptr<const std::string> world_;
  std::uint64_t held_ = 0;  // the bytes of the sections read, each world once
  std::string section_;     // the open content section, or empty
  std::string content_;
  bool ended_ = false;  // a "(no-eol)" line closed the section's content
};

}  // namespace

std::optional<std::vector<Case>> parse_cases(std::string_view bytes, const std::string& path,
                                             std::string& error, std::uint64_t most_bytes) {
  return Parser(path, error, most_bytes).parse(bytes);
}

std::optional<std::vector<Case>> read_case_file(const std::string& path, std::string& error,
                                                std::string* bytes_read) {
  std::unique_ptr<ByteSource> source = open_file_source(path);
  if (!source) {
    error = printable(path) + ": cannot read the file";
    return std::nullopt;
  }
  std::string bytes;
  if (const int failed = read_to_end(*source, bytes); failed != 0) {
    error = printable(path) + ": cannot read the file: " + std::strerror(failed);
    return std::nullopt;
  }
  std::optional<std::vector<Case>> cases = parse_cases(bytes, path, error);
  if (bytes_read != nullptr) *bytes_read = std::move(bytes);
  return cases;
}

std::string as_case_lines(std::string_view bytes) {
  std::string out;
  while (!bytes.empty()) {
    const std::size_t end = bytes.find('\n');
    if (end == std::string_view::npos) {
      out += as_case_line(bytes) + std::string(kNoEol) + "\n";
      break;
    }
    out += as_case_line(bytes.substr(0, end)) + "\n";
    bytes.remove_prefix(end + 1);
  }
  return out;
}

namespace {

// "FILE:LINE" of the line of `place`, a section whose bytes are `expected`, where the first line
// that `actual` does not hold alike stands.
std::string line_that_differs(const Case& c, const SectionPlace& place, std::string_view expected,
                              std::string_view actual) {
  std::size_t offset = 0;
  for (std::size_t line = first_different_line(expected, actual); line > 0; --line) {
    offset = expected.find('\n', offset) + 1;
  }
  // A line of the case file may hold several lines of output, with "\n (esc)": the one that
  // differs stands on the last line of the file that begins at or before it.
  const auto lines_before =
      offset < expected.size()
          ? std::upper_bound(place.starts.begin(), place.starts.end(), offset) -
                place.starts.begin()
          : static_cast<std::ptrdiff_t>(place.starts.size()) + 1;
  return c.path + ":" + std::to_string(place.header_line + lines_before);
}

}  // namespace

std::string failure_origin(const Case& c, std::string_view out, std::string_view err,
                           bool status_differs) {
  if (c.expected_stdout && c.stdout_place && *c.expected_stdout != out) {
    return line_that_differs(c, *c.stdout_place, *c.expected_stdout, out);
  }
  if (c.stderr_place && c.expected_stderr != err) {
    return line_that_differs(c, *c.stderr_place, c.expected_stderr, err);
  }
  if (status_differs && c.status_place) {
    return c.path + ":" + std::to_string(c.status_place->header_line);
  }
  return c.origin;
}

}  // namespace wander
