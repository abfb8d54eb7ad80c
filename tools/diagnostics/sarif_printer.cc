#include "tools/diagnostics/sarif_printer.h"

#include <algorithm>
#include <map>

#include "text/hex.h"
#include "text/utf8.h"
#include "tools/diagnostics/json_output.h"
#include "tools/names/printable.h"

namespace wander {
namespace {

constexpr std::string_view kSchema =
    "https://docs.oasis-open.org/sarif/sarif/v2.1.0/errata01/os/schemas/sarif-schema-2.1.0.json";

// The rule of a diagnostic raised without a kind: SARIF wants a rule for every result.
constexpr DiagnosticKind kUnclassified = {"unclassified", Severity::kError,
                                          "A problem raised without a kind of its own."};

const DiagnosticKind& kind_of(const Diagnostic& d) {
  return d.kind != nullptr ? *d.kind : kUnclassified;
}

std::string base64(std::string_view bytes) {
  static constexpr char kDigits[] =
      "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
  std::string out;
  for (std::size_t at = 0; at < bytes.size(); at += 3) {
    std::uint32_t group = 0;
    const std::size_t n = std::min<std::size_t>(3, bytes.size() - at);
    for (std::size_t i = 0; i < 3; ++i) {
      group = (group << 8) | (i < n ? static_cast<unsigned char>(bytes[at + i]) : 0u);
    }
    for (std::size_t i = 0; i < 4; ++i) {
      out += i <= n ? kDigits[(group >> (18 - 6 * i)) & 0x3f] : '=';
    }
  }
  return out;
}

// The words the text output adds after a message for the problems that follow from it.
std::string full_message(const Diagnostic& d) {
  if (d.more == 0) return d.message;
  return d.message + " (" + more_problems(d.more) + ")";
}

std::string_view level(Severity severity) {
  return severity == Severity::kError ? "error" : "warning";
}

// {"text": TEXT}: a message as SARIF writes one.
Json text_message(std::string_view text) { return {{"text", json_text(text)}}; }

// What a result says of its file and its places, the regions found in the order asked.
class Places {
 public:
  Places(std::string_view uri, TextReader& source) : uri_(uri), regions_(source) {}

  Json artifact_location() const { return {{"uri", json_text(uri_)}, {"index", 0u}}; }

  Json region(const TextRange& range) {
    const SarifRegion r = regions_.region(range);
    return {{"startLine", r.start_line},
            {"startColumn", r.start_column},
            {"endLine", r.end_line},
            {"endColumn", r.end_column}};
  }

  Json physical_location(const TextRange& range) {
    return {{"artifactLocation", artifact_location()}, {"region", region(range)}};
  }

 private:
  std::string uri_;
  SarifRegions regions_;
};

Json result_json(const Diagnostic& d, std::uint64_t rule_index, Places& places) {
  Json result = {{"ruleId", json_text(kind_of(d).id)},
                 {"ruleIndex", rule_index},
                 {"level", level(d.severity)},
                 {"message", text_message(full_message(d))}};
  result["locations"] = Json::array({{{"physicalLocation", places.physical_location(d.range)}}});
  if (!d.notes.empty()) {
    Json& related = result["relatedLocations"] = Json::array();
    for (std::size_t i = 0; i < d.notes.size(); ++i) {
      related.push_back({{"id", static_cast<std::uint64_t>(i + 1)},
                         {"physicalLocation", places.physical_location(d.notes[i].range)},
                         {"message", text_message(d.notes[i].message)}});
    }
  }
  if (!d.fixes.empty()) {
    Json& fixes = result["fixes"] = Json::array();
    for (const FixIt& fix : d.fixes) {
      Json replacement = {{"deletedRegion", places.region(fix.range)}};
      replacement["insertedContent"] = is_utf8(fix.replacement)
                                           ? Json{{"text", json_text(fix.replacement)}}
                                           : Json{{"binary", base64(fix.replacement)}};
      Json change = {{"artifactLocation", places.artifact_location()},
                     {"replacements", Json::array({replacement})}};
      fixes.push_back(
          {{"artifactChanges", Json::array({change})}, {"properties", {{"certain", fix.certain}}}});
    }
  }
  result["properties"] = {{"more", d.more}};
  return result;
}

}  // namespace

void SarifRegions::start_line(const TextPlace& place) {
  source_.seek(TextPlace{place.line_start, place.line, place.line_start});
  line_start_ = place.line_start;
  line_ = place.line;
  window_.clear();
  at_ = 0;
  walked_ = 0;
  units_ = 0;
  line_read_ = false;
  line_end_ = false;
}

void SarifRegions::read_piece() {
  std::string_view piece;
  bool ends = false;
  if (!source_.read_line_piece(piece, ends)) {
    line_read_ = true;
    return;
  }
  window_.erase(0, at_);
  at_ = 0;
  window_ += piece;
  if (ends) {
    line_read_ = true;
    // Past the line's bytes, the reader has taken its LF (or CR LF), if it has one.
    line_end_ = source_.offset() > line_start_ + walked_ + window_.size();
  }
}

ColumnStep SarifRegions::next_character() {
  // A character takes at most four bytes: with four in hand it can be told.
  while (!line_read_ && window_.size() - at_ < 4) read_piece();
  return column_step(std::string_view(window_).substr(at_), ColumnUnit::kUtf16);
}

void SarifRegions::walk_to(std::uint64_t at) {
  while (walked_ < at) {
    const ColumnStep c = next_character();
    if (c.bytes == 0 || walked_ + c.bytes > at) return;
    at_ += c.bytes;
    walked_ += c.bytes;
    units_ += c.columns;
  }
}

SarifRegion SarifRegions::region(const TextRange& range) {
  const TextPlace& place = range.place;
  const std::uint64_t from = place.column() - 1;
  const std::uint64_t to = from + range.width;
  if (place.line_start != line_start_ || from < walked_) start_line(place);
  SarifRegion region;
  walk_to(from);
  region.start_line = region.end_line = line_;
  region.start_column = units_ + 1;
  walk_to(to);
  const ColumnStep next = next_character();
  if (next.bytes > 0) {
    // A character that starts before the end and ends after it is covered.
    region.end_column = units_ + 1 + (walked_ < to ? next.columns : 0);
  } else if (to > walked_ && line_end_) {
    region.end_line = line_ + 1;
    region.end_column = 1;
  } else {
    region.end_column = units_ + 1;
  }
  return region;
}

std::string path_uri(std::string_view path) {
  std::string uri = path.substr(0, 1) == "/" ? "file://" : "";
  for (const char c : path) {
    const auto byte = static_cast<unsigned char>(c);
    if ((byte >= 'A' && byte <= 'Z') || (byte >= 'a' && byte <= 'z') ||
        (byte >= '0' && byte <= '9') || c == '-' || c == '.' || c == '_' || c == '~' || c == '/') {
      uri += c;
    } else {
      uri += '%';
      append_hex(uri, byte, 2, true);
    }
  }
  return uri;
}

void write_sarif(std::FILE* out, std::string_view file_name,
                 const std::vector<Diagnostic>& diagnostics, TextReader& source,
                 const SarifTool& tool) {
  // The rules: the kinds given, then those of the diagnostics that were not among them.
  std::vector<const DiagnosticKind*> rules;
  std::map<std::string_view, std::uint64_t> rule_index;
  const auto add_rule = [&](const DiagnosticKind& kind) {
    if (rule_index.try_emplace(kind.id, rules.size()).second) rules.push_back(&kind);
  };
  for (const DiagnosticKind* kind : tool.kinds) add_rule(*kind);
  for (const Diagnostic& d : diagnostics) add_rule(kind_of(d));

  Json rules_json = Json::array();
  for (const DiagnosticKind* kind : rules) {
    rules_json.push_back({{"id", json_text(kind->id)},
                          {"shortDescription", text_message(kind->summary)},
                          {"defaultConfiguration", {{"level", level(kind->severity)}}}});
  }
  const std::string uri = path_uri(file_name);
  Json run = {{"tool",
               {{"driver",
                 {{"name", json_text(tool.name)},
                  {"version", json_text(tool.version)},
                  {"rules", std::move(rules_json)}}}}},
              {"columnKind", "utf16CodeUnits"}};
  run["artifacts"] = Json::array(
      {{{"location", {{"uri", json_text(uri)}}}, {"roles", Json::array({"analysisTarget"})}}});
  run["results"] = Json::array();
  const Json document = {{"$schema", kSchema}, {"version", "2.1.0"}, {"runs", Json::array({run})}};

  Places places(uri, source);
  std::size_t next = 0;
  write_json_document(out, document, "results", [&](Json& result) {
    if (next == diagnostics.size()) return false;
    const Diagnostic& d = diagnostics[next++];
    result = result_json(d, rule_index.at(kind_of(d).id), places);
    return true;
  });
}

}  // namespace wander
