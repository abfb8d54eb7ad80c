// Diagnostics as a SARIF 2.1.0 log (the Static Analysis Results Interchange Format of OASIS), for
// code-scanning services and editors: one run of one tool over one file.
//
//  - tool.driver: the tool's name and version, and its rules: one per kind of diagnostic, with
//    its id, its summary as shortDescription and its severity as defaultConfiguration.level.
//  - one result per diagnostic: ruleId and ruleIndex (of a rule "unclassified" for a diagnostic
//    raised without a kind, since SARIF wants a rule for every result),
//    level "error" or "warning", message.text (the message, and how many more problems follow
//    from it, as the text output says it), one location, its notes as relatedLocations (each
//    with its message), its fix-its as fixes (each one replacement in the file: deletedRegion and
//    insertedContent, whose "text" is the replacement, or whose "binary" is it in Base64 when it
//    is not valid UTF-8; properties.certain tells a certain fix-it), and properties.more, the
//    problems that follow from it without a result of their own.
//  - the file is the run's one artifact, the analysis target, its uri a URI reference (see
//    path_uri).
//  - columns count UTF-16 code units, as the run's columnKind "utf16CodeUnits" declares, as
//    text/line_index.h counts them: each character one unit, or two past U+FFFF, and each
//    stretch of bytes that is not valid UTF-8 (a maximal subpart: a byte alone, or the start of
//    a sequence cut short) one unit, for the U+FFFD that an editor shows for it.
//  - every string is valid UTF-8, as json_string_contents (json_output.h) makes it.
#ifndef WANDER_TOOLS_DIAGNOSTICS_SARIF_PRINTER_H_
#define WANDER_TOOLS_DIAGNOSTICS_SARIF_PRINTER_H_

#include <cstdint>
#include <cstdio>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "text/line_index.h"
#include "text/text_reader.h"
#include "tools/diagnostics/diagnostic.h"

namespace wander {

/// What a SARIF log says of the tool that raised the diagnostics.
struct SarifTool {
  std::string_view name;
  std::string_view version;
  /// The kinds listed as rules, raised or not, in this order; the kind of a diagnostic that is
  /// not among them (by id) is listed after them.
  std::span<const DiagnosticKind* const> kinds;
};

/// A stretch of a text as SARIF's region gives it: lines from 1, columns from 1 in UTF-16 code
/// units, the end column one past the last character covered.
struct SarifRegion {
  std::int64_t start_line = 1;
  std::uint64_t start_column = 1;
  std::int64_t end_line = 1;
  std::uint64_t end_column = 1;

  bool operator==(const SarifRegion&) const = default;
};

/// Finds the regions of ranges in a text by reading their lines through a reader, which it
/// moves. A range stands on its place's line; the region covers each character that one of its
/// bytes belongs to. A range that runs past the end of its line ends at the start of the next
/// (it covers the line end), or at the end of the text on a last line without one. Memory is
/// one of the reader's pieces of a line, however long the line; time is the bytes of the line up
/// to the range's end, less when the range before stood earlier on the same line. Nothing else
/// may move the reader between two calls.
class SarifRegions {
 public:
  explicit SarifRegions(TextReader& source) : source_(source) {}

  SarifRegion region(const TextRange& range);

 private:
  /// Goes back to the start of the line that `place` stands on.
  void start_line(const TextPlace& place);
  /// Reads the next piece of the line, when there is one.
  void read_piece();
  /// The bytes and UTF-16 code units of the character at the walk's place, reading more of the
  /// line when needed; no bytes at the line's end.
  ColumnStep next_character();
  /// Walks past every character that ends at or before byte `at` of the line (counted from 0).
  void walk_to(std::uint64_t at);

  TextReader& source_;
  std::uint64_t line_start_ = UINT64_MAX;  // of the line walked; none at first
  std::int64_t line_ = 0;
  std::string window_;        // the line read: bytes not walked past when the last piece came, it
  std::size_t at_ = 0;        // where the walk stands in window_
  std::uint64_t walked_ = 0;  // the line's bytes before the walk's place
  std::uint64_t units_ = 0;   // their UTF-16 code units
  bool line_read_ = false;    // the line's last piece is in window_
  bool line_end_ = false;     // an LF (or CR LF) ends the line, rather than the end of the text
};

/// `path` as a URI reference: a relative reference for a relative path (its bytes
/// percent-encoded but for letters, digits, '-', '.', '_', '~' and '/'), and a "file://" URI for
/// a path that starts with '/'.
std::string path_uri(std::string_view path);

/// Writes `diagnostics` about the file named `file_name` to `out` as a SARIF 2.1.0 log and a line
/// end, its lines read through `source` to count their columns (the reader is left anywhere).
void write_sarif(std::FILE* out, std::string_view file_name,
                 const std::vector<Diagnostic>& diagnostics, TextReader& source,
                 const SarifTool& tool);

}  // namespace wander

#endif  // WANDER_TOOLS_DIAGNOSTICS_SARIF_PRINTER_H_
