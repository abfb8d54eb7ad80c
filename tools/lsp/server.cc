#include "tools/lsp/server.h"

#include <algorithm>
#include <array>
#include <optional>
#include <stdexcept>
#include <tuple>
#include <utility>

#include "tools/lsp/features.h"
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

// The log message types of the protocol.
constexpr int kLogError = 1;
constexpr int kLogWarning = 2;

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
      Open& open = document(params);
      out(open, params).symbols([&](const SymbolSink& each) { symbols(*open.index, each); }, reply);
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
  constexpr std::array<std::string_view, 8> kFeatures = {
      "textDocument/definition",   "textDocument/references", "textDocument/prepareRename",
      "textDocument/rename",       "textDocument/hover",      "textDocument/completion",
      "textDocument/foldingRange", "textDocument/codeAction"};
  if (std::find(kFeatures.begin(), kFeatures.end(), method) == kFeatures.end()) {
    throw Failure(kMethodNotFound, "no method '" + printable(method) + "'");
  }
  // Each feature's plain result (features.h), in the protocol's shape (to_protocol.h).
  Open& open = document(params);
  const WorldIndex& index = *open.index;
  const ToProtocol protocol = out(open, params);
  const auto at = [&] { return offset_of(open, member(params, "position")); };
  if (method == "textDocument/definition") return protocol.definition(definition(index, at()));
  if (method == "textDocument/references") {
    const json* context = find_member(params, {"context"});
    const bool declarations =
        context == nullptr || !context->is_object() || context->value("includeDeclaration", true);
    return protocol.locations(references(index, at(), declarations));
  }
  if (method == "textDocument/prepareRename") {
    return protocol.prepare_rename(rename_target(index, at()));
  }
  if (method == "textDocument/rename") {
    const std::uint64_t offset = at();
    // Where no name stands, that is the answer, whatever the new name.
    const std::string name = rename_target(index, offset) ? string_member(params, "newName") : "";
    const Rename done = rename(index, offset, name);
    if (!done.refused.empty()) throw Failure(kRequestFailed, done.refused);
    return protocol.rename(done.places, name);
  }
  if (method == "textDocument/hover") return protocol.hover(hover(index, at()));
  if (method == "textDocument/completion") return protocol.completion(completion(index, at()));
  if (method == "textDocument/foldingRange") return protocol.folding_ranges(folds(index));
  const json& asked = member(params, "range");
  return protocol.code_actions(quick_fixes(
      index, {offset_of(open, member(asked, "start")), offset_of(open, member(asked, "end"))}));
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
  client_.encoding = Encoding::kUtf16;
  if (params.is_object() && params.contains("capabilities")) {
    const json& asked = params["capabilities"];
    if (asked.is_object() && asked.contains("general") && asked["general"].is_object() &&
        asked["general"].contains("positionEncodings") &&
        asked["general"]["positionEncodings"].is_array()) {
      for (const json& encoding : asked["general"]["positionEncodings"]) {
        if (encoding == "utf-8") client_.encoding = Encoding::kUtf8;
      }
    }
  }
  client_.related_information = declared(
      params, {"capabilities", "textDocument", "publishDiagnostics", "relatedInformation"});
  client_.links = declared(params, {"capabilities", "textDocument", "definition", "linkSupport"});
  most_diagnostics_ = kMostDiagnostics;
  if (params.is_object() && params.contains("initializationOptions") &&
      params["initializationOptions"].is_object()) {
    const json& most = params["initializationOptions"].value("maxDiagnostics", json());
    if (most.is_number_unsigned()) most_diagnostics_ = most.get<std::uint64_t>();
  }
  return capabilities(client_.encoding, version_);
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
    const std::uint64_t from = document.offset(start, client_.encoding);
    const std::uint64_t to = document.offset(end, client_.encoding);
    if (change.range_length && !miscounted) {
      if (const std::uint64_t held = document.length(from, to, client_.encoding);
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
  return open.document->offset(position_of(position), client_.encoding);
}

ToProtocol Server::out(const Open& open, const json& params) const {
  return ToProtocol(*open.document, string_member(member(params, "textDocument"), "uri"), client_);
}

void Server::publish(const std::string& uri, Open& open) {
  if (!open.index) open.index = std::make_unique<WorldIndex>(open.document->text());
  const ToProtocol protocol(*open.document, uri, client_);
  send({{"jsonrpc", "2.0"},
        {"method", "textDocument/publishDiagnostics"},
        {"params", protocol.diagnostics(open.index->diagnostics(), most_diagnostics_,
                                        undecodable(open.document->text()))}});
  open.changed = false;
}

void Server::publish_changed() {
  for (auto& [uri, open] : open_) {
    if (open.changed) publish(uri, open);
  }
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
