#include "tools/diagnostics/json_printer.h"

#include <algorithm>

#include "text/utf8.h"
#include "tools/diagnostics/json_output.h"

namespace wander {
namespace {

// "name" and, when the bytes are not valid UTF-8, "name_hex" with them exactly.
void set_bytes(Json& object, const std::string& name, std::string_view bytes) {
  object[name] = json_text(bytes);
  if (!is_utf8(bytes)) object[name + "_hex"] = hex_bytes(bytes);
}

Json range_json(const TextRange& range) {
  return {{"line", range.place.line},
          {"column", range.place.column()},
          {"offset", range.place.offset},
          {"length", range.width}};
}

Json diagnostic_json(const Diagnostic& d) {
  Json item;
  item["kind"] = d.kind != nullptr ? json_text(d.kind->id) : Json();
  item["severity"] = d.severity == Severity::kError ? "error" : "warning";
  item["message"] = json_text(d.message);
  item["range"] = range_json(d.range);
  item["notes"] = Json::array();
  for (const DiagnosticNote& note : d.notes) {
    item["notes"].push_back(
        {{"range", range_json(note.range)}, {"message", json_text(note.message)}});
  }
  item["more"] = d.more;
  item["fixes"] = Json::array();
  for (const FixIt& fix : d.fixes) {
    Json fix_json = {{"range", range_json(fix.range)}};
    set_bytes(fix_json, "replacement", fix.replacement);
    fix_json["certain"] = fix.certain;
    item["fixes"].push_back(std::move(fix_json));
  }
  return item;
}

}  // namespace

void write_json(std::FILE* out, std::string_view file_name,
                const std::vector<Diagnostic>& diagnostics) {
  Json document = {{"version", kDiagnosticsJsonVersion}};
  set_bytes(document, "file", file_name);
  document["diagnostics"] = Json::array();
  const auto errors = static_cast<std::uint64_t>(
      std::count_if(diagnostics.begin(), diagnostics.end(),
                    [](const Diagnostic& d) { return d.severity == Severity::kError; }));
  document["summary"] = {{"errors", errors},
                         {"warnings", static_cast<std::uint64_t>(diagnostics.size()) - errors}};
  std::size_t next = 0;
  write_json_document(out, document, "diagnostics", [&](Json& item) {
    if (next == diagnostics.size()) return false;
    item = diagnostic_json(diagnostics[next++]);
    return true;
  });
}

}  // namespace wander
