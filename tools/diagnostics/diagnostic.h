// Diagnostics as compilers have them: a problem of a kind, at a place in a text, with what
// follows from it (notes) and the edits that would mend it (fix-its). Whatever raises them (the
// checks) names their kinds; the printers (text_printer.h, json_printer.h, sarif_printer.h) write
// them and know nothing of what they are about.
#ifndef WANDER_TOOLS_DIAGNOSTICS_DIAGNOSTIC_H_
#define WANDER_TOOLS_DIAGNOSTICS_DIAGNOSTIC_H_

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "text/text_reader.h"

namespace wander {

enum class Severity { kError, kWarning };

/// What an editor may make of a kind's diagnostics, beyond their severity: or'ed in
/// DiagnosticKind::tags.
enum KindTag : unsigned {
  kTagUnnecessary = 1,  ///< about what nothing uses: shown faded, as code that is never run
};

/// A kind of problem, as a table of kinds lists it: a stable identifier that outputs and options
/// name it by, the severity it is raised with, what it means in a line, and its tags.
struct DiagnosticKind {
  std::string_view id;       ///< lower-case words joined by '-', such as "missing-block"
  Severity severity;         ///< as raised, before any option changes it
  std::string_view summary;  ///< one sentence, without a line end
  unsigned tags = 0;         ///< KindTag values, or'ed
};

/// A stretch of a text: where it starts (its column counts bytes from 1) and how many bytes it
/// covers, at least one.
struct TextRange {
  TextPlace place;
  std::uint64_t width = 1;
};

/// What follows from a problem, or what else it concerns, at a place of its own.
struct DiagnosticNote {
  TextRange range;
  std::string message;  ///< one sentence, names in printable form, without a line end
};

/// An edit that would mend a problem: the bytes of `range` replaced by `replacement`. A fix-it is
/// certain when it is the one mend there is (a misspelt name with a single near name); one of
/// several choices is not, and is only offered.
struct FixIt {
  TextRange range;
  std::string replacement;
  bool certain = false;
};

/// One problem, at one place.
struct Diagnostic {
  const DiagnosticKind* kind = nullptr;  ///< never null in a diagnostic raised
  Severity severity = Severity::kError;  ///< the kind's, or as the options made it
  TextRange range;                       ///< where it is
  std::string message;                ///< one sentence, names in printable form, without a line end
  std::vector<DiagnosticNote> notes;  ///< what follows from it, in the order of the text
  /// Problems that follow from it without a note each (a text holding many blocks): counted.
  std::uint64_t more = 0;
  std::vector<FixIt> fixes;
};

/// "3 more problems follow from this, in the blocks inside the text": what Diagnostic::more
/// counts, in words, without a line end.
std::string more_problems(std::uint64_t more);

/// "2 errors, 1 warning": the summary of `diagnostics`, without a line end.
std::string summary(const std::vector<Diagnostic>& diagnostics);

/// `n` and `noun`, plural unless `n` is 1: "2 errors", "1 error".
std::string count_in_words(std::uint64_t n, std::string_view noun);

/// True when one of `diagnostics` is an error.
bool has_errors(const std::vector<Diagnostic>& diagnostics);

/// A certain fix-it made by with_sure_mends, and the diagnostic it mends.
struct Mend {
  const FixIt* fix;
  const Diagnostic* diagnostic;
};

/// `bytes` (the text `diagnostics` were raised on) with every certain fix-it of `diagnostics`
/// made, in the order of their places; one over bytes that an earlier one replaced, or past the
/// end, is not made. Sets `made` to the fix-its made, in that order.
std::string with_sure_mends(std::string_view bytes, const std::vector<Diagnostic>& diagnostics,
                            std::vector<Mend>& made);

}  // namespace wander

#endif  // WANDER_TOOLS_DIAGNOSTICS_DIAGNOSTIC_H_
