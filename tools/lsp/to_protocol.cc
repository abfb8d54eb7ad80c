#include "tools/lsp/to_protocol.h"

#include <algorithm>

#include "tools/checks/kinds.h"
#include "tools/names/printable.h"

namespace wander::lsp {
namespace {

using nlohmann::json;

// The diagnostic severities and tags of the protocol.
constexpr int kError = 1;
constexpr int kWarning = 2;
constexpr int kUnnecessary = 1;

// Completion and symbol kinds.
constexpr int kModuleItem = 9;
constexpr int kFieldItem = 5;
constexpr int kValueItem = 12;
constexpr int kClassSymbol = 5;
constexpr int kFieldSymbol = 8;

json position_json(const Position& position) {
  return {{"line", position.line}, {"character", position.character}};
}

}  // namespace

std::string text_of(const json& value) {
  return value.dump(-1, ' ', false, json::error_handler_t::replace);
}

json capabilities(Encoding encoding, const std::string& version) {
  return {{"capabilities",
           {{"positionEncoding", encoding == Encoding::kUtf8 ? "utf-8" : "utf-16"},
            {"textDocumentSync",
             {{"openClose", true}, {"change", 2}, {"save", {{"includeText", true}}}}},
            {"definitionProvider", true},
            {"referencesProvider", true},
            {"renameProvider", {{"prepareProvider", true}}},
            {"hoverProvider", true},
            {"completionProvider", {{"triggerCharacters", {"<", "|"}}}},
            {"documentSymbolProvider", true},
            {"foldingRangeProvider", true},
            {"codeActionProvider", {{"codeActionKinds", {"quickfix"}}}}}},
          {"serverInfo", {{"name", "wander-world"}, {"version", version}}}};
}

json ToProtocol::range(Span span) const {
  return {{"start", position_json(document_.position(span.from, client_.encoding))},
          {"end", position_json(document_.position(span.to, client_.encoding))}};
}

void ToProtocol::write_range(std::string& out, Span span) const {
  const Position start = document_.position(span.from, client_.encoding);
  const Position end = document_.position(span.to, client_.encoding, start, span.from);
  out += R"({"start":{"line":)" + std::to_string(start.line) + R"(,"character":)" +
         std::to_string(start.character) + R"(},"end":{"line":)" + std::to_string(end.line) +
         R"(,"character":)" + std::to_string(end.character) + "}}";
}

json ToProtocol::location(Span span) const { return {{"uri", uri_}, {"range", range(span)}}; }

json ToProtocol::definition(const std::optional<Definition>& found) const {
  if (!found) return nullptr;
  if (!client_.links) return location(found->name);
  return json::array({{{"originSelectionRange", range(found->origin)},
                       {"targetUri", uri_},
                       {"targetRange", range(found->block)},
                       {"targetSelectionRange", range(found->name)}}});
}

json ToProtocol::locations(const std::vector<Span>& spans) const {
  json out = json::array();
  for (const Span& span : spans) out.push_back(location(span));
  return out;
}

json ToProtocol::prepare_rename(const std::optional<Span>& found) const {
  if (!found) return nullptr;
  return {{"range", range(*found)},
          {"placeholder", document_.text().substr(found->from, found->to - found->from)}};
}

json ToProtocol::rename(const std::vector<Span>& places, const std::string& name) const {
  json edits = json::array();
  for (const Span& place : places) edits.push_back({{"range", range(place)}, {"newText", name}});
  return {{"changes", {{uri_, edits}}}};
}

json ToProtocol::hover(const std::optional<Hover>& found) const {
  if (!found) return nullptr;
  return {{"contents", {{"kind", "plaintext"}, {"value", found->text}}},
          {"range", range(found->name)}};
}

json ToProtocol::completion(const Completion& found) const {
  const json replaced = range(found.replaced);
  json items = json::array();
  for (const Completion::Item& item : found.items) {
    const int kind = item.kind == Completion::Kind::kRoom     ? kModuleItem
                     : item.kind == Completion::Kind::kObject ? kFieldItem
                                                              : kValueItem;
    items.push_back({{"label", std::string(item.label)},
                     {"kind", kind},
                     {"textEdit", {{"range", replaced}, {"newText", std::string(item.label)}}}});
  }
  return {{"isIncomplete", found.incomplete}, {"items", items}};
}

void ToProtocol::symbols(const std::function<void(const SymbolSink&)>& symbols,
                         std::string& out) const {
  // Room enough for the longest a symbol can be written: the answer is as large as the text, and
  // growing it would hold it twice. (What is reserved and never written takes no memory.)
  std::size_t most = out.size() + 2;
  symbols([&](const Symbol& symbol) { most += 290 + 6 * symbol.name.size(); });
  out.reserve(most);
  out += '[';
  std::uint32_t children = 0;  // of the room written last, still to write
  bool opens = true;           // the next symbol is the first of its list
  symbols([&](const Symbol& symbol) {
    if (!opens) out += ',';
    opens = false;
    out += R"({"name":)" + text_of(printable(symbol.name)) + R"(,"kind":)" +
           std::to_string(symbol.room ? kClassSymbol : kFieldSymbol) + R"(,"range":)";
    write_range(out, symbol.block);
    out += R"(,"selectionRange":)";
    write_range(out, symbol.selection);
    if (symbol.room) {
      children = symbol.children;
      out += R"(,"children":[)";
      if (children == 0) out += "]}";
      opens = children > 0;
      return;
    }
    out += '}';
    if (children > 0 && --children == 0) out += "]}";
  });
  out += ']';
}

json ToProtocol::folding_ranges(const std::vector<Span>& spans) const {
  json ranges = json::array();
  for (const Span& span : spans) {
    const Position start = document_.position(span.from, client_.encoding);
    const Position end = document_.position(span.to == 0 ? 0 : span.to - 1, client_.encoding);
    if (end.line > start.line) ranges.push_back({{"startLine", start.line}, {"endLine", end.line}});
  }
  return ranges;
}

json ToProtocol::code_actions(const std::vector<QuickFix>& fixes) const {
  json actions = json::array();
  for (const QuickFix& fix : fixes) {
    const Diagnostic& d = *fix.diagnostic;
    const std::uint64_t at = fix.fix->range.place.offset;
    actions.push_back(
        {{"title", fix.title},
         {"kind", "quickfix"},
         {"isPreferred", fix.fix->certain},
         {"diagnostics",
          {diagnostic(d, document_.position(d.range.place.offset, client_.encoding))}},
         {"edit",
          {{"changes",
            {{uri_,
              {{{"range", range({at, at + fix.fix->range.width})},
                {"newText", fix.fix->replacement}}}}}}}}});
  }
  return actions;
}

json ToProtocol::diagnostic(const Diagnostic& d, const Position& start) const {
  const std::uint64_t from = d.range.place.offset;
  const Position end = document_.position(from + d.range.width, client_.encoding, start, from);
  json related = json::array();
  std::string message = d.more == 0 ? d.message : d.message + " (" + more_problems(d.more) + ")";
  for (const DiagnosticNote& note : d.notes) {
    const std::uint64_t at = note.range.place.offset;
    related.push_back(
        {{"location", location({at, at + note.range.width})}, {"message", note.message}});
    // A client that cannot show notes shows them in the message, each with its line.
    if (!client_.related_information) {
      message += "\nline " + std::to_string(document_.position(at, client_.encoding).line + 1) +
                 ": " + note.message;
    }
  }
  json out = {{"range", {{"start", position_json(start)}, {"end", position_json(end)}}},
              {"severity", d.severity == Severity::kError ? kError : kWarning},
              {"source", "wander-world"},
              {"message", message},
              {"relatedInformation", related}};
  if (d.kind != nullptr) {
    out["code"] = std::string(d.kind->id);
    // What nothing uses can be shown faded, as editors show code that is never run.
    if ((d.kind->tags & kTagUnnecessary) != 0) out["tags"] = {kUnnecessary};
  }
  return out;
}

json ToProtocol::diagnostics(const std::vector<Diagnostic>& found, std::uint64_t most,
                             const std::vector<Span>& undecodable) const {
  const std::size_t shown = static_cast<std::size_t>(std::min<std::uint64_t>(found.size(), most));
  json diagnostics = json::array();
  // The diagnostics come in the order of the text: each position is counted on from the last.
  Position last;
  std::uint64_t last_offset = 0;
  const auto walk_to = [&](std::uint64_t offset) {
    last = document_.position(offset, client_.encoding, last, last_offset);
    last_offset = offset;
    return last;
  };
  for (std::size_t i = 0; i < shown; ++i) {
    diagnostics.push_back(diagnostic(found[i], walk_to(found[i].range.place.offset)));
  }
  if (shown < found.size()) {
    const std::size_t rest = found.size() - shown;
    const bool errors =
        std::any_of(found.begin() + static_cast<std::ptrdiff_t>(shown), found.end(),
                    [](const Diagnostic& d) { return d.severity == Severity::kError; });
    const std::uint64_t at = found[shown].range.place.offset;
    diagnostics.push_back(
        {{"range", range({at, at + found[shown].range.width})},
         {"severity", errors ? kError : kWarning},
         {"source", "wander-world"},
         {"message", std::to_string(rest) + (rest == 1 ? " more problem" : " more problems") +
                         " from here on " + (rest == 1 ? "is" : "are") +
                         " not shown, past the first " + std::to_string(shown) +
                         ": 'wander-world check' reports every one"}});
  }
  last = {};
  last_offset = 0;
  for (const Span& span : undecodable) {
    const Position start = walk_to(span.from);
    const Position end = walk_to(span.to);
    diagnostics.push_back(
        {{"range", {{"start", position_json(start)}, {"end", position_json(end)}}},
         {"severity", kWarning},
         {"source", "wander-world"},
         {"code", std::string(kinds::kUndecodableText.id)},
         {"message",
          "the editor found bytes here that are no UTF-8 and shows U+FFFD in their place: the "
          "file was probably saved in a legacy code page, which terminals and the web page show "
          "wrongly ('wander-world check' on the file names it and the 'iconv' command that "
          "converts it); saving it now writes U+FFFD"}});
  }
  return {{"uri", uri_}, {"version", document_.version()}, {"diagnostics", diagnostics}};
}

}  // namespace wander::lsp
