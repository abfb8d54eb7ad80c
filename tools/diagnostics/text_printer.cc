#include "tools/diagnostics/text_printer.h"

#include <algorithm>

#include "tools/names/printable.h"

namespace wander {
namespace {

constexpr std::size_t kWindow = 100;  // characters of a long line that are shown
constexpr std::size_t kBefore = 40;   // of them, before the place, when it is far along
constexpr std::string_view kEllipsis = "\xe2\x80\xa6";

// Colours, as gcc writes them: each starts a run that kReset ends.
constexpr std::string_view kBold = "\x1b[1m";
constexpr std::string_view kRed = "\x1b[1;31m";
constexpr std::string_view kMagenta = "\x1b[1;35m";
constexpr std::string_view kGreen = "\x1b[1;32m";
constexpr std::string_view kCyan = "\x1b[1;36m";
constexpr std::string_view kReset = "\x1b[0m";

void write(std::FILE* out, std::string_view text) { std::fwrite(text.data(), 1, text.size(), out); }

void write_coloured(std::FILE* out, bool colour, std::string_view style, std::string_view text) {
  if (colour) write(out, style);
  write(out, text);
  if (colour) write(out, kReset);
}

}  // namespace

QuotedLine quote_line(std::string_view line, bool cut, std::uint64_t column, std::uint64_t width,
                      bool cut_before) {
  const std::size_t place =
      static_cast<std::size_t>(std::min<std::uint64_t>(column - 1, line.size()));
  const std::size_t end = static_cast<std::size_t>(
      std::min<std::uint64_t>(place + std::max<std::uint64_t>(width, 1), line.size()));
  // The window starts at the line's start when the whole line fits in it, or when the place is
  // well inside it; else kBefore characters before the place.
  std::vector<std::size_t> starts;
  for (std::size_t at = 0; at < place; at += character_length(line.substr(at))) {
    starts.push_back(at);
  }
  std::size_t characters = starts.size();
  for (std::size_t at = place; at < line.size() && characters <= kWindow;
       at += character_length(line.substr(at))) {
    ++characters;
  }
  const bool fits = characters <= kWindow && !cut && !cut_before;
  const bool from_start = fits || (!cut_before && starts.size() + kBefore / 2 <= kWindow);
  const std::size_t from =
      from_start || starts.size() <= kBefore ? 0 : starts[starts.size() - kBefore];

  QuotedLine quoted;
  std::size_t columns = 0;
  bool caret_due = false;  // the place is a character of no columns: the caret goes on the next
  const auto add = [&](std::string_view text, std::size_t wide, char mark) {
    quoted.text += text;
    if (wide == 0) {
      caret_due = caret_due || mark == '^';
      return;
    }
    if (caret_due) {
      mark = '^';
      caret_due = false;
    }
    if (mark == '^') {
      quoted.caret.append(1, '^').append(wide - 1, '~');
    } else {
      quoted.caret.append(wide, mark);
    }
    columns += wide;
  };
  if (from > 0 || cut_before) add(kEllipsis, 1, ' ');
  std::size_t at = from;
  for (std::size_t shown = 0; at < line.size() && shown < kWindow; ++shown) {
    const std::string_view character = line.substr(at, character_length(line.substr(at)));
    const bool tab = character == "\t";
    const std::string text = tab ? std::string(8 - columns % 8, ' ') : printable(character);
    const char mark = at < place ? ' ' : at == place ? '^' : at < end ? '~' : ' ';
    add(text, tab ? text.size() : printable_width(character), mark);
    at += character.size();
  }
  // A place at the end of the line: the caret stands just after it.
  if (place == line.size() || caret_due) add("", 1, '^');
  if (at < line.size() || cut) quoted.text += kEllipsis;
  while (!quoted.caret.empty() && quoted.caret.back() == ' ') quoted.caret.pop_back();
  return quoted;
}

namespace {

// "FILE:LINE:COLUMN: " and the severity, coloured as gcc colours them.
void write_head(std::FILE* out, bool colour, const std::string& file, const TextPlace& at,
                std::string_view severity, std::string_view style) {
  write_coloured(out, colour, kBold,
                 file + ":" + std::to_string(at.line) + ":" + std::to_string(at.column()) + ":");
  write(out, " ");
  write_coloured(out, colour, style, std::string(severity) + ":");
  write(out, " ");
}

// Quotes the line of `d`'s place, with a caret under the place and, when one fix-it mends just
// that place, what it puts there under the caret.
void write_source(std::FILE* out, bool colour, const Diagnostic& d, TextReader& source) {
  const TextPlace& at = d.range.place;
  // Enough of the line for the window, and one byte more to tell whether it goes on. A place far
  // along a long line is read from a little before it, never from the line's start.
  const std::uint64_t reach = kWindow * 4;
  TextPlace from{at.line_start, at.line, at.line_start};
  std::uint64_t column = at.column();
  if (column > reach) {
    // Three bytes more, so that the first whole character can be told.
    from.offset = at.offset - kBefore * 4 - 3;
    column = at.offset - from.offset + 1;
  }
  const std::uint64_t most = column + reach + 1;
  std::string line = read_line_from(source, from, static_cast<std::size_t>(most));
  const bool cut = line.size() == most;
  if (cut) line.pop_back();
  const bool cut_before = from.offset != at.line_start;
  if (cut_before) {
    const std::size_t first = character_start_from(line, std::min<std::size_t>(3, line.size()));
    line.erase(0, first);
    column -= first;
  }
  const QuotedLine quoted = quote_line(line, cut, column, d.range.width, cut_before);
  const std::string number = std::to_string(at.line);
  const std::string gutter = std::string(std::max<std::size_t>(number.size(), 4) + 1, ' ');
  write(out, gutter.substr(number.size()) + number + " | " + quoted.text + "\n");
  write(out, gutter + " | ");
  write_coloured(out, colour, kGreen, quoted.caret);
  write(out, "\n");
  if (d.fixes.size() == 1 && d.fixes[0].range.place.offset == at.offset &&
      d.fixes[0].range.width == d.range.width && !d.fixes[0].replacement.empty()) {
    write(out, gutter + " | " + std::string(quoted.caret.find('^'), ' '));
    write_coloured(out, colour, kGreen, printable(d.fixes[0].replacement));
    write(out, "\n");
  }
}

}  // namespace

void write_diagnostics(std::FILE* out, std::string_view file_name,
                       const std::vector<Diagnostic>& diagnostics, TextReader& source,
                       bool colour) {
  const std::string file = printable(file_name);
  for (const Diagnostic& d : diagnostics) {
    const bool error = d.severity == Severity::kError;
    write_head(out, colour, file, d.range.place, error ? "error" : "warning",
               error ? kRed : kMagenta);
    write(out, d.message);
    if (d.kind != nullptr) {
      // A warning counted as an error says so, as compilers spell it.
      const bool promoted = error && d.kind->severity == Severity::kWarning;
      write(out, (promoted ? " [-Werror," : " [") + std::string(d.kind->id) + "]");
    }
    write(out, "\n");
    write_source(out, colour, d, source);
    for (const DiagnosticNote& note : d.notes) {
      write_head(out, colour, file, note.range.place, "note", kCyan);
      write(out, note.message + "\n");
    }
    if (d.more > 0) {
      write_head(out, colour, file, d.range.place, "note", kCyan);
      write(out, more_problems(d.more) + "\n");
    }
  }
  write(out, summary(diagnostics) + "\n");
}

}  // namespace wander
