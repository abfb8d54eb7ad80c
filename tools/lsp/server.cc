#include "tools/lsp/server.h"

#include <algorithm>
#include <array>
#include <optional>
#include <stdexcept>
#include <tuple>
#include <utility>

#include "tools/checks/kinds.h"
#include "tools/names/printable.h"

namespace wander::lsp {
namespace {

using nlohmann::json;

// A request that fails with a code and a message of its own.
struct Failure : std::runtime_error {
  Failure(int error_code, const std::string& message)
      : std::runtime_error(message), code(error_code) {}
  int code;
};

// The diagnostic severities and tags of the protocol.
constexpr int kError = 1;
constexpr int kWarning = 2;
constexpr int kUnnecessary = 1;
constexpr int kLogError = 1;
constexpr int kLogWarning = 2;

// Completion and symbol kinds.
constexpr int kModuleItem = 9;
constexpr int kFieldItem = 5;
constexpr int kValueItem = 12;
constexpr int kClassSymbol = 5;
constexpr int kFieldSymbol = 8;

// Long texts are quoted in part in a hover.
constexpr std::size_t kHoverBytes = 600;
constexpr std::size_t kHoverLines = 8;
constexpr std::size_t kMostCompletions = 1000;
// So many U+FFFD are warned of at most: a file that is all of them needs no more.
constexpr int kMostReplacementWarnings = 100;

constexpr std::string_view kReplacementCharacter = "\xef\xbf\xbd";

// The member `name` of `object` (a json, or a const one).
template <typename Json>
Json& member(Json& object, const char* name) {
  if (!object.is_object() || !object.contains(name)) {
    throw Failure(kInvalidParams, std::string("missing '") + name + "'");
  }
  return object.at(name);
}

std::string string_member(const json& object, const char* name) {
  const json& value = member(object, name);
  if (!value.is_string()) throw Failure(kInvalidParams, std::string("'") + name + "' is no string");
  return value.get<std::string>();
}

std::uint32_t number_member(const json& object, const char* name) {
  const json& value = member(object, name);
  if (!value.is_number_integer() || value.get<std::int64_t>() < 0) {
    throw Failure(kInvalidParams, std::string("'") + name + "' is no position");
  }
  return static_cast<std::uint32_t>(std::min<std::int64_t>(value.get<std::int64_t>(), UINT32_MAX));
}

Position position_of(const json& value) {
  return {number_member(value, "line"), number_member(value, "character")};
}

// True when the character at the start of `rest` may stand in a name: is_name's rule, and no
// look-alike blank, which would make a name that reads as two.
bool in_name(std::string_view rest) {
  return is_name(rest.substr(0, character_length(rest))) && blank_lookalike_length(rest) == 0;
}

// Why `name` cannot be a room's or an object's name; empty when it can.
std::string unfit_name(std::string_view name) {
  if (name.empty()) return "a name cannot be empty";
  if (!is_name(name) || find_blank_lookalike(name).at != std::string_view::npos) {
    return "a name is a single word, without blanks, '|', '<' or '>': " + in_quotes(name) +
           " is not one";
  }
  if (name == kNoExit) return "'None' means no exit: no room can be called so";
  return {};
}

// The first word of a line such as "North: ..." before `offset`, skipping the word the cursor is
// in: the word before the one being typed.
std::string_view word_before(std::string_view text, std::uint64_t offset) {
  std::size_t at = static_cast<std::size_t>(std::min<std::uint64_t>(offset, text.size()));
  while (at > 0 && !is_word_space(text[at - 1])) --at;
  while (at > 0 && is_word_space(text[at - 1])) --at;
  const std::size_t end = at;
  while (at > 0 && !is_word_space(text[at - 1])) --at;
  return text.substr(at, end - at);
}

// The line that `offset` stands on, up to `offset`.
std::string_view line_before(std::string_view text, std::uint64_t offset) {
  const std::size_t end = static_cast<std::size_t>(std::min<std::uint64_t>(offset, text.size()));
  const std::size_t start = text.find_last_of("\r\n", end == 0 ? 0 : end - 1);
  const std::size_t from = start == std::string_view::npos || end == 0 ? 0 : start + 1;
  return text.substr(std::min(from, end), end - std::min(from, end));
}

// The start of `text` as a hover shows it: its first lines, whole characters of them, each line
// printable, and "…" when more follows.
std::string shown_text(std::string_view text) {
  std::string shown;
  bool more = false;
  for (std::size_t at = 0, lines = 0; at < text.size() && !more; ++lines) {
    if (lines == kHoverLines || shown.size() >= kHoverBytes) {
      more = true;
      break;
    }
    std::size_t end = text.find('\n', at);
    if (end == std::string_view::npos) end = text.size();
    std::string_view line = text.substr(at, end - at);
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    if (const std::size_t room = kHoverBytes - shown.size(); line.size() > room) {
      line = line.substr(0, character_start_from(line, room));
      more = true;
    }
    if (lines > 0) shown += '\n';
    shown += printable(line);
    at = end + 1;
  }
  if (more) shown += "…";
  return shown;
}

// `value` as JSON text; bytes that are no UTF-8 in its strings are written as U+FFFD.
std::string text_of(const json& value) {
  return value.dump(-1, ' ', false, json::error_handler_t::replace);
}

// A change of a didChange, read before any is applied: its range, when it has one, and its text.
struct Change {
  std::optional<std::pair<Position, Position>> range;
  std::string* text = nullptr;
  std::optional<std::uint64_t> range_length;  // what the client says its range holds
};

Change read_change(json& change) {
  json& text = member(change, "text");
  if (!text.is_string()) throw Failure(kInvalidParams, "'text' is no string");
  if (!change.contains("range")) return {std::nullopt, &text.get_ref<std::string&>(), std::nullopt};
  const json& range = change["range"];
  const Position start = position_of(member(range, "start"));
  const Position end = position_of(member(range, "end"));
  if (std::tie(end.line, end.character) < std::tie(start.line, start.character)) {
    throw Failure(kInvalidParams, "its range ends before it starts");
  }
  std::optional<std::uint64_t> length;
  if (change.contains("rangeLength") && change["rangeLength"].is_number_unsigned()) {
    length = change["rangeLength"].get<std::uint64_t>();
  }
  return {std::pair{start, end}, &text.get_ref<std::string&>(), length};
}

// The member at `path` of `value`, or null when any on the way is missing.
const json* find_member(const json& value, std::initializer_list<const char*> path) {
  const json* at = &value;
  for (const char* name : path) {
    if (!at->is_object() || !at->contains(name)) return nullptr;
    at = &(*at)[name];
  }
  return at;
}

bool declared(const json& params, std::initializer_list<const char*> path) {
  const json* found = find_member(params, path);
  return found != nullptr && found->is_boolean() && found->get<bool>();
}

// The name around byte `offset` on its line: the characters before and after it up to a blank,
// '<', '|', '>' or the line's ends. Returns its first byte and the byte just past it.
std::pair<std::uint64_t, std::uint64_t> name_around(std::string_view text, std::uint64_t offset) {
  const std::string_view line = line_before(text, offset);
  std::uint64_t from = offset - line.size();
  for (std::size_t at = 0, length = 0; at < line.size(); at += length) {
    length = character_length(line.substr(at));
    if (!in_name(line.substr(at))) from = offset - line.size() + at + length;
  }
  std::uint64_t to = offset;
  while (to < text.size() && in_name(text.substr(to))) {
    to += character_length(text.substr(to));
  }
  return {from, to};
}

}  // namespace

Server::Server(Send send, std::string version)
    : send_(std::move(send)), version_(std::move(version)) {}

void Server::send(const json& message) { send_(text_of(message)); }

void Server::handle_unreadable(const std::string& why) {
  send({{"jsonrpc", "2.0"},
        {"id", nullptr},
        {"error", {{"code", kParseError}, {"message", "the message is no JSON: " + why}}}});
}

void Server::handle(json message) {
  if (!message.is_object()) {
    send({{"jsonrpc", "2.0"},
          {"id", nullptr},
          {"error", {{"code", kInvalidRequest}, {"message", "a message is a JSON object"}}}});
    return;
  }
  const bool has_id =
      message.contains("id") && (message["id"].is_number_integer() || message["id"].is_string());
  if (!message.contains("method")) return;  // a response to the server: it asks nothing
  if (!message["method"].is_string()) {
    if (has_id) {
      send({{"jsonrpc", "2.0"},
            {"id", message["id"]},
            {"error", {{"code", kInvalidRequest}, {"message", "'method' is no string"}}}});
    }
    return;
  }
  const std::string method = message["method"].get<std::string>();
  json params = message.contains("params") ? std::move(message["params"]) : json::object();
  if (!has_id) {
    try {
      notified(method, params);
    } catch (const std::exception& wrong) {
      // A notification has no answer, not even an error: the client's log says what was passed
      // over, and why.
      log(kLogError, printable(method) + ": " + wrong.what());
    }
    return;
  }
  const json& id = message["id"];
  std::string reply = R"({"jsonrpc":"2.0","id":)" + text_of(id) + R"(,"result":)";
  const auto error = [&](int code, const std::string& why) {
    reply =
        text_of({{"jsonrpc", "2.0"}, {"id", id}, {"error", {{"code", code}, {"message", why}}}});
  };
  try {
    if (shut_down_) throw Failure(kInvalidRequest, "the server was asked to shut down");
    if (!initialized_ && method != "initialize") {
      throw Failure(kServerNotInitialized, "the server is not initialized");
    }
    if (method == "textDocument/documentSymbol") {
      document_symbols(params, reply);
    } else {
      reply += text_of(answer(method, params));
    }
    reply += '}';
  } catch (const Failure& failure) {
    error(failure.code, failure.what());
  } catch (const json::exception& wrong) {
    error(kInvalidParams, wrong.what());
  }
  send_(reply);
  // A request checks the latest text; its findings cost nothing more to publish now.
  for (auto& [uri, open] : open_) {
    if (open.changed && open.index) publish(uri, open);
  }
}

json Server::answer(const std::string& method, const json& params) {
  if (method == "initialize") return initialize(params);
  if (method == "shutdown") {
    shut_down_ = true;
    return nullptr;
  }
  if (method == "textDocument/definition") return definition(params);
  if (method == "textDocument/references") return references(params);
  if (method == "textDocument/prepareRename") return prepare_rename(params);
  if (method == "textDocument/rename") return rename(params);
  if (method == "textDocument/hover") return hover(params);
  if (method == "textDocument/completion") return completion(params);
  if (method == "textDocument/foldingRange") return folding_ranges(params);
  if (method == "textDocument/codeAction") return code_actions(params);
  throw Failure(kMethodNotFound, "no method '" + printable(method) + "'");
}

void Server::notified(const std::string& method, json& params) {
  if (method == "exit") {
    exited_ = true;
    return;
  }
  if (!initialized_ || shut_down_) return;
  if (method == "textDocument/didOpen") {
    did_open(params);
  } else if (method == "textDocument/didChange") {
    did_change(params);
  } else if (method == "textDocument/didSave") {
    did_save(params);
  } else if (method == "textDocument/didClose") {
    const std::string uri = string_member(member(params, "textDocument"), "uri");
    if (open_.erase(uri) != 0) {
      send({{"jsonrpc", "2.0"},
            {"method", "textDocument/publishDiagnostics"},
            {"params", {{"uri", uri}, {"diagnostics", json::array()}}}});
    }
  }
  // Any other notification ("initialized", "$/cancelRequest", ...) asks for nothing.
}

json Server::initialize(const json& params) {
  initialized_ = true;
  // UTF-8 positions when the client can take them; else the protocol's UTF-16.
  encoding_ = Encoding::kUtf16;
  if (params.is_object() && params.contains("capabilities")) {
    const json& capabilities = params["capabilities"];
    if (capabilities.is_object() && capabilities.contains("general") &&
        capabilities["general"].is_object() &&
        capabilities["general"].contains("positionEncodings") &&
        capabilities["general"]["positionEncodings"].is_array()) {
      for (const json& encoding : capabilities["general"]["positionEncodings"]) {
        if (encoding == "utf-8") encoding_ = Encoding::kUtf8;
      }
    }
  }
  related_information_ = declared(
      params, {"capabilities", "textDocument", "publishDiagnostics", "relatedInformation"});
  links_ = declared(params, {"capabilities", "textDocument", "definition", "linkSupport"});
  most_diagnostics_ = kMostDiagnostics;
  if (params.is_object() && params.contains("initializationOptions") &&
      params["initializationOptions"].is_object()) {
    const json& most = params["initializationOptions"].value("maxDiagnostics", json());
    if (most.is_number_unsigned()) most_diagnostics_ = most.get<std::uint64_t>();
  }
  return {{"capabilities",
           {{"positionEncoding", encoding_ == Encoding::kUtf8 ? "utf-8" : "utf-16"},
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
          {"serverInfo", {{"name", "wander-world"}, {"version", version_}}}};
}

void Server::did_open(json& params) {
  json& item = member(params, "textDocument");
  const std::string uri = string_member(item, "uri");
  json& text = member(item, "text");
  if (!text.is_string()) throw Failure(kInvalidParams, "'text' is no string");
  const std::int64_t version = item.contains("version") && item["version"].is_number_integer()
                                   ? item["version"].get<std::int64_t>()
                                   : 0;
  Open& open = open_[uri];
  // The text is moved, never copied: a document may be as large as a world.
  open.document = std::make_unique<Document>(std::move(text.get_ref<std::string&>()), version);
  open.index.reset();
  open.changed = true;
}

void Server::did_change(json& params) {
  const json& item = member(params, "textDocument");
  const std::string uri = string_member(item, "uri");
  const auto found = open_.find(uri);
  // Changes to a document never opened say nothing the server could use.
  if (found == open_.end()) return;
  Open& open = found->second;
  const std::int64_t version = item.contains("version") && item["version"].is_number_integer()
                                   ? item["version"].get<std::int64_t>()
                                   : open.document->version();
  json& changes = member(params, "contentChanges");
  if (!changes.is_array()) throw Failure(kInvalidParams, "'contentChanges' is no array");
  // The changes are taken whole or not at all: the text and its index never part.
  const auto refused = [&](std::size_t number, const std::string& why) {
    return Failure(kInvalidParams,
                   "the changes of " + printable(uri) + " to version " + std::to_string(version) +
                       " were not applied (change " + std::to_string(number + 1) + ": " + why +
                       "); the text stays at version " + std::to_string(open.document->version()));
  };
  std::vector<Change> read;
  for (json& change : changes) {
    try {
      read.push_back(read_change(change));
    } catch (const Failure& failure) {
      throw refused(read.size(), failure.what());
    }
  }
  // What each change applied replaced, so that a later one found outside the text undoes them.
  struct Undo {
    std::uint64_t from;
    std::uint64_t to;
    std::string replaced;
  };
  std::vector<Undo> undo;
  const std::int64_t was = open.document->version();
  std::optional<std::string> miscounted;
  for (std::size_t number = 0; number < read.size(); ++number) {
    Document& document = *open.document;
    const Change& change = read[number];
    if (!change.range) {
      const std::uint64_t size = change.text->size();
      undo.push_back({0, size, document.reset(std::move(*change.text), version)});
      continue;
    }
    const auto [start, end] = *change.range;
    if (end.line >= document.lines()) {
      const std::string why = "line " + std::to_string(end.line) + " is past the text's " +
                              std::to_string(document.lines()) + " lines";
      for (auto it = undo.rbegin(); it != undo.rend(); ++it) {
        document.replace(it->from, it->to, it->replaced, was);
      }
      // The text reads as before, but a whole text taken in moved it to other bytes than the
      // index views: the index is made again when next asked for.
      if (!undo.empty()) open.index.reset();
      throw refused(number, why);
    }
    const std::uint64_t from = document.offset(start, encoding_);
    const std::uint64_t to = document.offset(end, encoding_);
    if (change.range_length && !miscounted) {
      if (const std::uint64_t held = document.length(from, to, encoding_);
          *change.range_length != held) {
        miscounted = "change " + std::to_string(number + 1) + " to version " +
                     std::to_string(version) + " of " + printable(uri) + " says it replaces " +
                     std::to_string(*change.range_length) + " characters where its range holds " +
                     std::to_string(held);
      }
    }
    undo.push_back({from, from + change.text->size(), document.text().substr(from, to - from)});
    document.replace(from, to, *change.text, version);
  }
  open.index.reset();
  open.changed = true;
  // The range is the truth, as the protocol has it; but a client that miscounts may have lost
  // track of its own text, which a save with its text mends.
  if (miscounted && !open.told_of_length) {
    open.told_of_length = true;
    log(kLogWarning, "textDocument/didChange: " + *miscounted +
                         ": the range is followed, and the editor's copy may differ from the "
                         "server's until it is saved");
  }
}

void Server::did_save(json& params) {
  const std::string uri = string_member(member(params, "textDocument"), "uri");
  const auto found = open_.find(uri);
  if (found == open_.end() || !params.contains("text") || !params["text"].is_string()) return;
  Open& open = found->second;
  std::string& text = params["text"].get_ref<std::string&>();
  if (text == open.document->text()) return;
  open.document->reset(std::move(text), open.document->version());
  open.index.reset();
  open.changed = true;
  if (!open.told_of_drift) {
    open.told_of_drift = true;
    log(kLogWarning, "textDocument/didSave: the saved text of " + printable(uri) +
                         " differs from the server's copy, which the editor's changes no longer "
                         "matched: the saved text is taken and checked again");
  }
}

void Server::log(int type, const std::string& message) {
  send({{"jsonrpc", "2.0"},
        {"method", "window/logMessage"},
        {"params", {{"type", type}, {"message", message}}}});
}

Server::Open& Server::document(const json& params) {
  const std::string uri = string_member(member(params, "textDocument"), "uri");
  const auto found = open_.find(uri);
  if (found == open_.end()) throw Failure(kRequestFailed, "the document is not open");
  Open& open = found->second;
  if (!open.index) open.index = std::make_unique<WorldIndex>(open.document->text());
  return open;
}

std::uint64_t Server::offset_of(const Open& open, const json& position) const {
  return open.document->offset(position_of(position), encoding_);
}

json Server::range(const Document& document, std::uint64_t from, std::uint64_t to) const {
  const Position start = document.position(from, encoding_);
  const Position end = document.position(to, encoding_);
  return {{"start", {{"line", start.line}, {"character", start.character}}},
          {"end", {{"line", end.line}, {"character", end.character}}}};
}

void Server::write_range(std::string& out, const Document& document, std::uint64_t from,
                         std::uint64_t to) const {
  const Position start = document.position(from, encoding_);
  const Position end = document.position(to, encoding_, start, from);
  out += R"({"start":{"line":)" + std::to_string(start.line) + R"(,"character":)" +
         std::to_string(start.character) + R"(},"end":{"line":)" + std::to_string(end.line) +
         R"(,"character":)" + std::to_string(end.character) + "}}";
}

json Server::location(const std::string& uri, const Document& document, std::uint64_t from,
                      std::uint64_t to) const {
  return {{"uri", uri}, {"range", range(document, from, to)}};
}

json Server::diagnostic(const std::string& uri, const Document& document,
                        const Diagnostic& d) const {
  return diagnostic(uri, document, d, document.position(d.range.place.offset, encoding_));
}

json Server::diagnostic(const std::string& uri, const Document& document, const Diagnostic& d,
                        const Position& start) const {
  const std::uint64_t from = d.range.place.offset;
  const Position end = document.position(from + d.range.width, encoding_, start, from);
  json related = json::array();
  std::string message = d.more == 0 ? d.message : d.message + " (" + more_problems(d.more) + ")";
  for (const DiagnosticNote& note : d.notes) {
    related.push_back({{"location", location(uri, document, note.range.place.offset,
                                             note.range.place.offset + note.range.width)},
                       {"message", note.message}});
    // A client that cannot show notes shows them in the message, each with its line.
    if (!related_information_) {
      message += "\nline " +
                 std::to_string(document.position(note.range.place.offset, encoding_).line + 1) +
                 ": " + note.message;
    }
  }
  json out = {{"range",
               {{"start", {{"line", start.line}, {"character", start.character}}},
                {"end", {{"line", end.line}, {"character", end.character}}}}},
              {"severity", d.severity == Severity::kError ? kError : kWarning},
              {"source", "wander-world"},
              {"message", message},
              {"relatedInformation", related}};
  if (d.kind != nullptr) {
    out["code"] = std::string(d.kind->id);
    // What nothing uses can be shown faded, as editors show code that is never run.
    if ((d.kind->tags & kTagUnnecessary) != 0) {
      out["tags"] = {kUnnecessary};
    }
  }
  return out;
}

void Server::publish(const std::string& uri, Open& open) {
  if (!open.index) open.index = std::make_unique<WorldIndex>(open.document->text());
  const Document& document = *open.document;
  const std::vector<Diagnostic>& found = open.index->diagnostics();
  const std::size_t shown =
      static_cast<std::size_t>(std::min<std::uint64_t>(found.size(), most_diagnostics_));
  json diagnostics = json::array();
  // The diagnostics come in the order of the text: each position is counted on from the last.
  Position last;
  std::uint64_t last_offset = 0;
  const auto walk_to = [&](std::uint64_t offset) {
    last = document.position(offset, encoding_, last, last_offset);
    last_offset = offset;
    return last;
  };
  for (std::size_t i = 0; i < shown; ++i) {
    diagnostics.push_back(
        diagnostic(uri, document, found[i], walk_to(found[i].range.place.offset)));
  }
  if (shown < found.size()) {
    const std::size_t rest = found.size() - shown;
    const bool errors =
        std::any_of(found.begin() + static_cast<std::ptrdiff_t>(shown), found.end(),
                    [](const Diagnostic& d) { return d.severity == Severity::kError; });
    const std::uint64_t at = found[shown].range.place.offset;
    diagnostics.push_back(
        {{"range", range(document, at, at + found[shown].range.width)},
         {"severity", errors ? kError : kWarning},
         {"source", "wander-world"},
         {"message", std::to_string(rest) + (rest == 1 ? " more problem" : " more problems") +
                         " from here on " + (rest == 1 ? "is" : "are") +
                         " not shown, past the first " + std::to_string(shown) +
                         ": 'wander-world check' reports every one"}});
  }
  // Bytes the editor could not read as UTF-8 reach the server as U+FFFD.
  const std::string_view text = document.text();
  last = {};
  last_offset = 0;
  int warned = 0;
  for (std::size_t at = text.find(kReplacementCharacter);
       at != std::string_view::npos && warned < kMostReplacementWarnings;
       at = text.find(kReplacementCharacter, at + kReplacementCharacter.size()), ++warned) {
    const Position start = walk_to(at);
    const Position end = walk_to(at + kReplacementCharacter.size());
    diagnostics.push_back(
        {{"range",
          {{"start", {{"line", start.line}, {"character", start.character}}},
           {"end", {{"line", end.line}, {"character", end.character}}}}},
         {"severity", kWarning},
         {"source", "wander-world"},
         {"code", std::string(kinds::kUndecodableText.id)},
         {"message",
          "the editor found bytes here that are no UTF-8 and shows U+FFFD in their place: the "
          "file was probably saved in a legacy code page, which terminals and the web page show "
          "wrongly ('wander-world check' on the file names it and the 'iconv' command that "
          "converts it); saving it now writes U+FFFD"}});
  }
  send({{"jsonrpc", "2.0"},
        {"method", "textDocument/publishDiagnostics"},
        {"params", {{"uri", uri}, {"version", document.version()}, {"diagnostics", diagnostics}}}});
  open.changed = false;
}

void Server::publish_changed() {
  for (auto& [uri, open] : open_) {
    if (open.changed) publish(uri, open);
  }
}

json Server::definition(const json& params) {
  Open& open = document(params);
  const WorldIndex& index = *open.index;
  const Occurrence* occurrence = index.at(offset_of(open, member(params, "position")));
  if (occurrence == nullptr || occurrence->target == kNoName) return nullptr;
  const Marker& marker = index.survey().markers[occurrence->target];
  // The block the game's lookup finds: the first line equal to the marker.
  if (!marker.has_block()) return nullptr;
  const std::string uri = string_member(member(params, "textDocument"), "uri");
  // It lands on the name in the marker line: a room's inside its brackets, an object's after
  // its '|'.
  const std::string_view line = index.survey().names[occurrence->target];
  const std::uint64_t end = marker.start + line.size();
  const MarkerParts parts = parse_marker(line);
  const std::uint64_t name =
      marker.start + ((parts.of_object ? parts.object : parts.room).data() - line.data());
  if (!links_) return location(uri, *open.document, name, end - 1);
  return json::array({{{"originSelectionRange", range(*open.document, occurrence->offset,
                                                      occurrence->offset + occurrence->length)},
                       {"targetUri", uri},
                       {"targetRange", range(*open.document, marker.start, end)},
                       {"targetSelectionRange", range(*open.document, name, end - 1)}}});
}

json Server::references(const json& params) {
  Open& open = document(params);
  const Occurrence* occurrence = open.index->at(offset_of(open, member(params, "position")));
  json found = json::array();
  if (occurrence == nullptr) return found;
  const bool declarations = !params.contains("context") || !params["context"].is_object() ||
                            params["context"].value("includeDeclaration", true);
  const std::string uri = string_member(member(params, "textDocument"), "uri");
  for (const Occurrence* other : open.index->references(*occurrence)) {
    const bool declaration = other->kind == Occurrence::Kind::kRoomMarker ||
                             other->kind == Occurrence::Kind::kObjectName;
    if (declaration && !declarations) continue;
    found.push_back(location(uri, *open.document, other->offset, other->offset + other->length));
  }
  return found;
}

json Server::prepare_rename(const json& params) {
  Open& open = document(params);
  const Occurrence* occurrence = open.index->at(offset_of(open, member(params, "position")));
  if (occurrence == nullptr || occurrence->target == kNoName) return nullptr;
  const std::string_view text = open.document->text();
  return {
      {"range", range(*open.document, occurrence->offset, occurrence->offset + occurrence->length)},
      {"placeholder", std::string(text.substr(occurrence->offset, occurrence->length))}};
}

json Server::rename(const json& params) {
  Open& open = document(params);
  const WorldIndex& index = *open.index;
  const Occurrence* occurrence = index.at(offset_of(open, member(params, "position")));
  if (occurrence == nullptr || occurrence->target == kNoName) {
    throw Failure(kRequestFailed, "there is no room or object name here to rename");
  }
  const std::string name = string_member(params, "newName");
  if (const std::string why = unfit_name(name); !why.empty()) throw Failure(kRequestFailed, why);
  const Survey& s = index.survey();
  // A name taken already would join two rooms, or two objects, into one.
  std::uint32_t taken = kNoName;
  if (occurrence->names_room()) {
    taken = s.names.find(room_marker_pieces(name));
  } else if (occurrence->room != kNoName) {
    taken = s.names.find(object_marker_pieces(s.room_id(occurrence->room), name));
  }
  if (taken != kNoName && taken != occurrence->target &&
      (s.markers[taken].has_block() || s.markers[taken].named || s.markers[taken].listed)) {
    throw Failure(kRequestFailed,
                  (occurrence->names_room() ? "a room named " : "an object named ") +
                      in_quotes(name) + " is there already");
  }
  const std::string uri = string_member(member(params, "textDocument"), "uri");
  json edits = json::array();
  for (const Occurrence* other : index.references(*occurrence)) {
    edits.push_back({{"range", range(*open.document, other->offset, other->offset + other->length)},
                     {"newText", name}});
  }
  return {{"changes", {{uri, edits}}}};
}

json Server::hover(const json& params) {
  Open& open = document(params);
  const WorldIndex& index = *open.index;
  const Occurrence* occurrence = index.at(offset_of(open, member(params, "position")));
  if (occurrence == nullptr || occurrence->target == kNoName) return nullptr;
  const Survey& s = index.survey();
  const std::uint32_t target = occurrence->target;
  std::string value;
  if (occurrence->names_room()) {
    value = "room " + in_quotes(s.room_id(target));
    const SurveyedRoom* room = s.find_room(s.room_id(target));
    if (room == nullptr) {
      value += ": no block";
    } else {
      value += "\n\n" + shown_text(index.block_text(target));
      std::vector<std::string> exits;
      for (int direction = 0; direction < 4; ++direction) {
        const std::uint32_t exit = room->exits[direction];
        if (exit == kNoName) continue;
        exits.push_back(std::string(kDirections[direction]) + " " +
                        (exit == kNoExitName ? "none" : in_quotes(s.room_id(exit))));
      }
      value += "\n\nexits: " + (exits.empty() ? std::string("none read") : [&] {
                 std::string all;
                 for (const std::string& exit : exits) all += (all.empty() ? "" : ", ") + exit;
                 return all;
               }());
    }
  } else {
    const MarkerParts parts = parse_marker(s.names[target]);
    value = "object " + in_quotes(parts.object) + " of room " + in_quotes(parts.room);
    value += s.markers[target].has_block() ? "\n\n" + shown_text(index.block_text(target))
                                           : ": no block";
  }
  return {{"contents", {{"kind", "plaintext"}, {"value", value}}},
          {"range",
           range(*open.document, occurrence->offset, occurrence->offset + occurrence->length)}};
}

json Server::completion(const json& params) {
  Open& open = document(params);
  const WorldIndex& index = *open.index;
  const Survey& s = index.survey();
  const std::uint64_t offset = offset_of(open, member(params, "position"));
  const std::string_view text = open.document->text();
  const std::string_view line = line_before(text, offset);
  json items = json::array();
  bool incomplete = false;
  // Each item replaces the whole name the cursor is in, whatever the client takes for a word.
  const auto [name_from, name_to] = name_around(text, offset);
  const json replaced = range(*open.document, name_from, name_to);
  const auto add = [&](std::string_view name, int kind) {
    if (items.size() < kMostCompletions) {
      items.push_back({{"label", std::string(name)},
                       {"kind", kind},
                       {"textEdit", {{"range", replaced}, {"newText", std::string(name)}}}});
    } else {
      incomplete = true;
    }
  };
  const auto add_rooms = [&] {
    for (const SurveyedRoom& room : s.rooms) add(s.room_id(room.marker), kModuleItem);
  };
  // The objects of room `room` that have blocks.
  const auto add_objects_of = [&](std::string_view room) {
    for (std::uint32_t id = 0; id < s.markers.size(); ++id) {
      const MarkerParts parts = parse_marker(s.names[id]);
      if (s.markers[id].has_block() && parts.of_object && parts.room == room) {
        add(parts.object, kFieldItem);
      }
    }
  };
  if (!line.empty() && line.front() == '<') {
    // A marker line being written: a room's name, or after "<Room|" an object of that room.
    // What is written so far, read as the marker it begins.
    const std::string begun = std::string(line) + '>';
    const MarkerParts parts = parse_marker(begun);
    if (parts.of_object) {
      add_objects_of(parts.room);
    } else {
      add_rooms();
    }
  } else if (const int label = s.label_slot(word_before(text, offset)); label >= 0 && label < 4) {
    // After one of the world's own exit labels, whatever its language.
    add_rooms();
    add(kNoExit, kValueItem);
  } else if (s.header_words > 0 && s.first_word_place.line == s.start_place.line &&
             offset > s.first_word_place.offset &&
             offset <= s.start_place.offset + s.start.size() + 1 &&
             line.size() == offset - s.first_word_place.line_start) {
    add_rooms();
  } else if (const SurveyedRoom* room = index.room_with_words_at(offset); room != nullptr) {
    // Among a room's words, what the game reads in the name's place: an exit, or an object.
    const int slot = index.slot_of(*room, name_from);
    if (slot >= kFirstNameSlot) {
      add_objects_of(s.room_id(room->marker));
    } else if (slot < kCountLabelSlot && slot % 2 == 1) {
      add_rooms();
      add(kNoExit, kValueItem);
    }
  }
  return {{"isIncomplete", incomplete}, {"items", items}};
}

void Server::document_symbols(const json& params, std::string& out) {
  Open& open = document(params);
  const WorldIndex& index = *open.index;
  const Survey& s = index.survey();
  const Document& document = *open.document;
  const std::vector<BlockSpan>& blocks = index.blocks();
  // Each object block stands under its room's symbol when its room has a block, else on its own
  // after the rooms. A second block is no symbol.
  std::vector<std::pair<std::uint32_t, std::uint32_t>> children;  // its room's marker, the block
  std::vector<std::uint32_t> alone;
  for (std::uint32_t i = 0; i < blocks.size(); ++i) {
    const std::string_view marker = s.names[blocks[i].marker];
    if (blocks[i].start != s.markers[blocks[i].marker].start || !is_object_marker(marker)) continue;
    const std::uint32_t room = s.names.find(room_marker_pieces(parse_marker(marker).room));
    if (room != kNoName && s.markers[room].has_block()) {
      children.emplace_back(room, i);
    } else {
      alone.push_back(i);
    }
  }
  std::stable_sort(children.begin(), children.end(),
                   [](const auto& a, const auto& b) { return a.first < b.first; });
  // Room enough for the longest a symbol can be written: the answer is as large as the text, and
  // growing it would hold it twice. (What is reserved and never written takes no memory.)
  std::size_t most = out.size() + 2;
  for (const BlockSpan& block : blocks) most += 280 + 6 * s.names[block.marker].size();
  out.reserve(most);
  // Writes a symbol but its closing brace; `from` is where its name starts in the marker line.
  const auto symbol = [&](const BlockSpan& block, const std::string& name, int kind,
                          std::size_t from) {
    const std::uint64_t name_end = block.start + s.names[block.marker].size() - 1;
    out += R"({"name":)" + text_of(name) + R"(,"kind":)" + std::to_string(kind) + R"(,"range":)";
    write_range(out, document, block.start, block.end);
    out += R"(,"selectionRange":)";
    write_range(out, document, block.start + from, name_end);
  };
  const auto object_name = [&](const BlockSpan& block) {
    const std::string_view marker = s.names[block.marker];
    const std::string_view name = parse_marker(marker).object;
    return std::pair{name, static_cast<std::size_t>(name.data() - marker.data())};
  };
  out += '[';
  const char* comma = "";
  for (const BlockSpan& block : blocks) {
    if (block.start != s.markers[block.marker].start || is_object_marker(s.names[block.marker]))
      continue;
    out += comma;
    comma = ",";
    symbol(block, printable(s.room_id(block.marker)), kClassSymbol, 1);
    out += R"(,"children":[)";
    const auto [first, last] = std::equal_range(
        children.begin(), children.end(), std::pair{block.marker, std::uint32_t{0}},
        [](const auto& a, const auto& b) { return a.first < b.first; });
    for (auto child = first; child != last; ++child) {
      const BlockSpan& object = blocks[child->second];
      if (child != first) out += ',';
      const auto [name, from] = object_name(object);
      symbol(object, printable(name), kFieldSymbol, from);
      out += '}';
    }
    out += "]}";
  }
  for (const std::uint32_t i : alone) {
    out += comma;
    comma = ",";
    symbol(blocks[i], printable(s.names[blocks[i].marker]), kFieldSymbol,
           object_name(blocks[i]).second);
    out += '}';
  }
  out += ']';
}

json Server::folding_ranges(const json& params) {
  Open& open = document(params);
  json ranges = json::array();
  for (const BlockSpan& block : open.index->blocks()) {
    const Position start = open.document->position(block.start, encoding_);
    const Position end = open.document->position(block.end == 0 ? 0 : block.end - 1, encoding_);
    if (end.line > start.line) ranges.push_back({{"startLine", start.line}, {"endLine", end.line}});
  }
  return ranges;
}

json Server::code_actions(const json& params) {
  Open& open = document(params);
  const json& asked = member(params, "range");
  const std::uint64_t from = offset_of(open, member(asked, "start"));
  const std::uint64_t to = offset_of(open, member(asked, "end"));
  const std::string uri = string_member(member(params, "textDocument"), "uri");
  const std::string_view text = open.document->text();
  json actions = json::array();
  for (const Diagnostic& d : open.index->diagnostics()) {
    const std::uint64_t start = d.range.place.offset;
    if (start > to || start + d.range.width < from) continue;
    for (const FixIt& fix : d.fixes) {
      const std::uint64_t at = fix.range.place.offset;
      const std::string_view replaced = text.substr(
          static_cast<std::size_t>(std::min<std::uint64_t>(at, text.size())), fix.range.width);
      const std::string title = fix.replacement.empty() ? "Take out " + in_quotes(replaced)
                                : replaced.empty()      ? "Put " + in_quotes(fix.replacement)
                                                   : "Replace " + in_quotes(replaced) + " with " +
                                                         in_quotes(fix.replacement);
      actions.push_back({{"title", title},
                         {"kind", "quickfix"},
                         {"isPreferred", fix.certain},
                         {"diagnostics", {diagnostic(uri, *open.document, d)}},
                         {"edit",
                          {{"changes",
                            {{uri,
                              {{{"range", range(*open.document, at, at + fix.range.width)},
                                {"newText", fix.replacement}}}}}}}}});
    }
  }
  return actions;
}

int serve(Server& server, MessageReader& reader, const std::function<bool()>& input_waiting) {
  json message;
  std::string why;
  for (;;) {
    const MessageReader::Got got = reader.next(message, why);
    if (got == MessageReader::Got::kEnd) break;
    if (got == MessageReader::Got::kMessage) {
      server.handle(std::move(message));
    } else {
      server.handle_unreadable(why);
    }
    if (server.exited()) break;
    // A burst of changes is checked once, after its last.
    if (!reader.holds_more() && !input_waiting()) server.publish_changed();
  }
  return server.exit_status();
}

}  // namespace wander::lsp
