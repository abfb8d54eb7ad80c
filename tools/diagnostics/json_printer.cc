#include "tools/diagnostics/json_printer.h"

#include <algorithm>

#include "tools/diagnostics/json_writer.h"

namespace wander {
namespace {

// "name" and, when the bytes are not valid UTF-8, "name_hex" with them exactly.
void bytes_member(JsonWriter& json, std::string_view name, std::string_view bytes) {
  json.key(name);
  json.string(bytes);
  if (!is_valid_utf8(bytes)) {
    json.key(std::string(name) + "_hex");
    json.string(hex_bytes(bytes));
  }
}

void range_member(JsonWriter& json, const TextRange& range) {
  json.key("range");
  json.begin_object();
  json.key("line");
  json.number(range.place.line);
  json.key("column");
  json.number(range.place.column());
  json.key("offset");
  json.number(range.place.offset);
  json.key("length");
  json.number(range.width);
  json.end_object();
}

}  // namespace

void write_json(std::FILE* out, std::string_view file_name,
                const std::vector<Diagnostic>& diagnostics) {
  JsonWriter json(out);
  json.begin_object();
  json.key("version");
  json.number(std::int64_t{kDiagnosticsJsonVersion});
  bytes_member(json, "file", file_name);
  json.key("diagnostics");
  json.begin_array();
  for (const Diagnostic& d : diagnostics) {
    json.begin_object();
    json.key("kind");
    if (d.kind != nullptr) {
      json.string(d.kind->id);
    } else {
      json.null();
    }
    json.key("severity");
    json.string(d.severity == Severity::kError ? "error" : "warning");
    json.key("message");
    json.string(d.message);
    range_member(json, d.range);
    json.key("notes");
    json.begin_array();
    for (const DiagnosticNote& note : d.notes) {
      json.begin_object();
      range_member(json, note.range);
      json.key("message");
      json.string(note.message);
      json.end_object();
    }
    json.end_array();
    json.key("more");
    json.number(d.more);
    json.key("fixes");
    json.begin_array();
    for (const FixIt& fix : d.fixes) {
      json.begin_object();
      range_member(json, fix.range);
      bytes_member(json, "replacement", fix.replacement);
      json.key("certain");
      json.boolean(fix.certain);
      json.end_object();
    }
    json.end_array();
    json.end_object();
  }
  json.end_array();
  const auto errors = static_cast<std::uint64_t>(
      std::count_if(diagnostics.begin(), diagnostics.end(),
                    [](const Diagnostic& d) { return d.severity == Severity::kError; }));
  json.key("summary");
  json.begin_object();
  json.key("errors");
  json.number(errors);
  json.key("warnings");
  json.number(static_cast<std::uint64_t>(diagnostics.size()) - errors);
  json.end_object();
  json.end_object();
  json.finish();
}

}  // namespace wander
