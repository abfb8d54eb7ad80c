#include "tools/diagnostics/sarif_printer.h"

#include <algorithm>
#include <map>

#include "tools/diagnostics/json_writer.h"
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

void text_message(JsonWriter& json, std::string_view key, std::string_view text) {
  json.key(key);
  json.begin_object();
  json.key("text");
  json.string(text);
  json.end_object();
}

// Writes what a result says of its file and its places.
class Places {
 public:
  Places(JsonWriter& json, std::string_view uri, TextReader& source)
      : json_(json), uri_(uri), regions_(source) {}

  void artifact_location() {
    json_.key("artifactLocation");
    json_.begin_object();
    json_.key("uri");
    json_.string(uri_);
    json_.key("index");
    json_.number(std::uint64_t{0});
    json_.end_object();
  }

  void region(std::string_view key, const TextRange& range) {
    const SarifRegion r = regions_.region(range);
    json_.key(key);
    json_.begin_object();
    json_.key("startLine");
    json_.number(r.start_line);
    json_.key("startColumn");
    json_.number(r.start_column);
    json_.key("endLine");
    json_.number(r.end_line);
    json_.key("endColumn");
    json_.number(r.end_column);
    json_.end_object();
  }

  void physical_location(const TextRange& range) {
    json_.key("physicalLocation");
    json_.begin_object();
    artifact_location();
    region("region", range);
    json_.end_object();
  }

 private:
  JsonWriter& json_;
  std::string uri_;
  SarifRegions regions_;
};

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
  static constexpr char kHex[] = "0123456789ABCDEF";
  std::string uri = path.substr(0, 1) == "/" ? "file://" : "";
  for (const char c : path) {
    const auto byte = static_cast<unsigned char>(c);
    if ((byte >= 'A' && byte <= 'Z') || (byte >= 'a' && byte <= 'z') ||
        (byte >= '0' && byte <= '9') || c == '-' || c == '.' || c == '_' || c == '~' || c == '/') {
      uri += c;
    } else {
      uri += '%';
      uri += kHex[byte >> 4];
      uri += kHex[byte & 0xf];
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

  JsonWriter json(out);
  json.begin_object();
  json.key("$schema");
  json.string(kSchema);
  json.key("version");
  json.string("2.1.0");
  json.key("runs");
  json.begin_array();
  json.begin_object();

  json.key("tool");
  json.begin_object();
  json.key("driver");
  json.begin_object();
  json.key("name");
  json.string(tool.name);
  json.key("version");
  json.string(tool.version);
  json.key("rules");
  json.begin_array();
  for (const DiagnosticKind* kind : rules) {
    json.begin_object();
    json.key("id");
    json.string(kind->id);
    text_message(json, "shortDescription", kind->summary);
    json.key("defaultConfiguration");
    json.begin_object();
    json.key("level");
    json.string(level(kind->severity));
    json.end_object();
    json.end_object();
  }
  json.end_array();
  json.end_object();
  json.end_object();

  json.key("columnKind");
  json.string("utf16CodeUnits");
  const std::string uri = path_uri(file_name);
  json.key("artifacts");
  json.begin_array();
  json.begin_object();
  json.key("location");
  json.begin_object();
  json.key("uri");
  json.string(uri);
  json.end_object();
  json.key("roles");
  json.begin_array();
  json.string("analysisTarget");
  json.end_array();
  json.end_object();
  json.end_array();

  Places places(json, uri, source);
  json.key("results");
  json.begin_array();
  for (const Diagnostic& d : diagnostics) {
    json.begin_object();
    json.key("ruleId");
    json.string(kind_of(d).id);
    json.key("ruleIndex");
    json.number(rule_index.at(kind_of(d).id));
    json.key("level");
    json.string(level(d.severity));
    text_message(json, "message", full_message(d));
    json.key("locations");
    json.begin_array();
    json.begin_object();
    places.physical_location(d.range);
    json.end_object();
    json.end_array();
    if (!d.notes.empty()) {
      json.key("relatedLocations");
      json.begin_array();
      for (std::size_t i = 0; i < d.notes.size(); ++i) {
        json.begin_object();
        json.key("id");
        json.number(static_cast<std::uint64_t>(i + 1));
        places.physical_location(d.notes[i].range);
        text_message(json, "message", d.notes[i].message);
        json.end_object();
      }
      json.end_array();
    }
    if (!d.fixes.empty()) {
      json.key("fixes");
      json.begin_array();
      for (const FixIt& fix : d.fixes) {
        json.begin_object();
        json.key("artifactChanges");
        json.begin_array();
        json.begin_object();
        places.artifact_location();
        json.key("replacements");
        json.begin_array();
        json.begin_object();
        places.region("deletedRegion", fix.range);
        json.key("insertedContent");
        json.begin_object();
        if (is_valid_utf8(fix.replacement)) {
          json.key("text");
          json.string(fix.replacement);
        } else {
          json.key("binary");
          json.string(base64(fix.replacement));
        }
        json.end_object();
        json.end_object();
        json.end_array();
        json.end_object();
        json.end_array();
        json.key("properties");
        json.begin_object();
        json.key("certain");
        json.boolean(fix.certain);
        json.end_object();
        json.end_object();
      }
      json.end_array();
    }
    json.key("properties");
    json.begin_object();
    json.key("more");
    json.number(d.more);
    json.end_object();
    json.end_object();
  }
  json.end_array();

  json.end_object();
  json.end_array();
  json.end_object();
  json.finish();
}

}  // namespace wander
