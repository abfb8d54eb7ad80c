// Diagnostics as one JSON document, for programs to read: every field of every diagnostic, with
// its places both as line and column (as the text output gives them) and as byte offsets.
// tools/diagnostics/diagnostics.schema.json (JSON Schema, draft 2020-12) describes the document;
// in short:
//
//   {"version": 1, "file": "World.txt",
//    "diagnostics": [{"kind": "missing-block", "severity": "error", "message": "...",
//                     "range": {"line": 55, "column": 7, "offset": 1234, "length": 6},
//                     "notes": [{"range": {...}, "message": "..."}], "more": 2,
//                     "fixes": [{"range": {...}, "replacement": "Cottage", "certain": true}]}],
//    "summary": {"errors": 1, "warnings": 0}}
//
// Every string is valid UTF-8 (see json_string_contents in json_output.h): a byte that is no part
// of valid UTF-8 becomes U+FFFD. Where that loses bytes that matter (the file's name, a fix-it's
// replacement), a member named with "_hex" after it ("file_hex", "replacement_hex") holds the
// exact bytes in hexadecimal; it is there only when they are not valid UTF-8.
#ifndef WANDER_TOOLS_DIAGNOSTICS_JSON_PRINTER_H_
#define WANDER_TOOLS_DIAGNOSTICS_JSON_PRINTER_H_

#include <cstdio>
#include <string_view>
#include <vector>

#include "tools/diagnostics/diagnostic.h"

namespace wander {

/// The version of the document's layout, its "version" member: it grows when a member changes
/// meaning or goes; members may be added without it.
inline constexpr int kDiagnosticsJsonVersion = 1;

/// Writes `diagnostics` about the file named `file_name` (its bytes as given, a path say) to
/// `out` as one JSON document and a line end. A diagnostic without a kind has "kind": null.
void write_json(std::FILE* out, std::string_view file_name,
                const std::vector<Diagnostic>& diagnostics);

}  // namespace wander

#endif  // WANDER_TOOLS_DIAGNOSTICS_JSON_PRINTER_H_
