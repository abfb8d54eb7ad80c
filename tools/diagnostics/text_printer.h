// Diagnostics written as gcc and clang write them: "FILE:LINE:COLUMN: error: MESSAGE", then the
// source line and a caret under the column, in colour when asked.
#ifndef WANDER_TOOLS_DIAGNOSTICS_TEXT_PRINTER_H_
#define WANDER_TOOLS_DIAGNOSTICS_TEXT_PRINTER_H_

#include <cstdint>
#include <cstdio>
#include <string>
#include <string_view>
#include <vector>

#include "text/text_reader.h"
#include "tools/diagnostics/diagnostic.h"

namespace wander {

/// A source line made fit to show under a diagnostic, and the line that marks a place in it.
struct QuotedLine {
  std::string text;   ///< the line, escaped (see printable), tabs as blanks, cut to a window
  std::string caret;  ///< blanks up to the place, '^' there, '~' under the rest of its width
};

/// Quotes `line` (its first bytes at least, `cut` telling whether more followed; with
/// `cut_before`, bytes of it from a character on, the line starting before them) for a place at
/// byte `column` of them (from 1; one past the end is the end of the line) that is `width` bytes
/// wide. Tabs stop every 8 columns; a wide character takes two columns, a combining mark none. A
/// long line shows a window of about 100 characters around the place, with "…" where it was cut.
QuotedLine quote_line(std::string_view line, bool cut, std::uint64_t column, std::uint64_t width,
                      bool cut_before = false);

/// Writes `diagnostics` about the file shown as `file_name` to `out`, each followed by its source
/// line, read through `source`, and a caret; then the summary line. Only a window of a long line
/// is read, however far along it the place stands. An error whose kind is a warning (counted as
/// an error by -Werror) ends in "[-Werror,KIND]", any other diagnostic in "[KIND]". With `colour`,
/// the place and the severity are bold and coloured as gcc colours them.
void write_diagnostics(std::FILE* out, std::string_view file_name,
                       const std::vector<Diagnostic>& diagnostics, TextReader& source, bool colour);

}  // namespace wander

#endif  // WANDER_TOOLS_DIAGNOSTICS_TEXT_PRINTER_H_
