// The language server's text and indexes under random bursts of changes, sound and malformed:
// after each burst the server must answer as a server opened afresh on the text the sound bursts
// make, and a malformed burst must change nothing and be logged. The unit test draws its choices
// from a seeded generator, the fuzz target from its input.
#ifndef WANDER_TESTS_SUPPORT_LSP_EDITS_H_
#define WANDER_TESTS_SUPPORT_LSP_EDITS_H_

#include <cstdint>
#include <functional>
#include <nlohmann/json.hpp>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "tools/lsp/document.h"
#include "tools/lsp/server.h"

namespace wander::testing {

/// A server driven by hand, initialized, with `text` open as version 1.
class DrivenServer {
 public:
  explicit DrivenServer(const std::string& text) {
    ask({{"id", 0},
         {"method", "initialize"},
         {"params", {{"capabilities", nlohmann::json::object()}}}});
    ask({{"method", "textDocument/didOpen"},
         {"params", {{"textDocument", {{"uri", kUri}, {"version", 1}, {"text", text}}}}}});
  }

  /// What the server sends for `message`, then for the changes it left to publish.
  std::vector<nlohmann::json> ask(nlohmann::json message) {
    message["jsonrpc"] = "2.0";
    sent_.clear();
    server_.handle(std::move(message));
    server_.publish_changed();
    return sent_;
  }

  /// The result of request `method` with `params` (the document named).
  nlohmann::json result(const std::string& method, nlohmann::json params) {
    params["textDocument"] = {{"uri", kUri}};
    const std::vector<nlohmann::json> sent =
        ask({{"id", 1}, {"method", method}, {"params", params}});
    return sent.empty() ? nlohmann::json() : sent.front().value("result", nlohmann::json());
  }

  static constexpr const char* kUri = "file:///w/World.txt";

 private:
  std::vector<nlohmann::json> sent_;
  lsp::Server server_{[this](const std::string& m) { sent_.push_back(nlohmann::json::parse(m)); },
                      "test"};
};

/// Sends `bursts` bursts of changes to a server opened on `text`, each drawn with `choose(n)` (a
/// number below n); returns what first went wrong, or nothing.
inline std::string follow_edits(const std::string& text, int bursts,
                                const std::function<std::uint32_t(std::uint32_t)>& choose) {
  using nlohmann::json;
  // What a change puts in: the texts between the bars.
  const std::string_view all = "a||\n|*\n|Hall|<Kitchen>\n|East: | |\r|\r\n|\xc3\xa9|\xf0\x9f\x8c\x8a";
  std::vector<std::string_view> pieces;
  for (std::size_t at = 0, bar = 0; bar != std::string_view::npos; at = bar + 1) {
    pieces.push_back(all.substr(at, (bar = all.find('|', at)) - at));
  }
  DrivenServer edited(text);
  lsp::Document model(text, 1);
  for (int burst = 0; burst < bursts; ++burst) {
    lsp::Document next = model;
    bool sound = true;
    json changes = json::array();
    for (std::uint32_t n = 1 + choose(3); n > 0; --n) {
      const auto lines = static_cast<std::uint32_t>(next.lines());
      lsp::Position start{choose(lines + 1), choose(12)};
      lsp::Position end{choose(lines + 1), choose(12)};
      if (std::pair(end.line, end.character) < std::pair(start.line, start.character)) {
        std::swap(start, end);
      }
      const auto place = [](const lsp::Position& p) {
        return json{{"line", p.line}, {"character", p.character}};
      };
      json change = {{"range", {{"start", place(start)}, {"end", place(end)}}},
                     {"text", pieces[choose(static_cast<std::uint32_t>(pieces.size()))]}};
      // Three in ten changes are malformed, one in ten is the whole text.
      const std::uint32_t slip = choose(10);
      if (slip == 0) change["range"]["end"]["character"] = 1.5;
      if (slip == 1) change["text"] = 42;
      if (slip == 2 && start != end)
        change["range"] = {{"start", place(end)}, {"end", place(start)}};
      if (slip == 3) change = {{"text", text}};
      const bool applies = slip > 3 || (slip == 2 && start == end);
      changes.push_back(change);
      if (!change.contains("range")) {
        next.reset(text, 0);
      } else if (!applies || end.line >= lines) {
        sound = false;
      } else {
        next.replace(next.offset(start, lsp::Encoding::kUtf16),
                     next.offset(end, lsp::Encoding::kUtf16), change["text"].get<std::string>(), 0);
      }
    }
    const std::vector<json> sent =
        edited.ask({{"method", "textDocument/didChange"},
                    {"params",
                     {{"textDocument", {{"uri", DrivenServer::kUri}, {"version", burst + 2}}},
                      {"contentChanges", changes}}}});
    const std::string where = "burst " + std::to_string(burst) + " " +
                              changes.dump(-1, ' ', false, json::error_handler_t::replace) + ": ";
    if (sent.empty() || (sent[0]["method"] == "window/logMessage") == sound ||
        (!sound && sent.size() != 1)) {
      return where + (sound ? "refused, or nothing published" : "applied, or not logged");
    }
    if (sound) model = next;
    DrivenServer fresh(model.text());
    if (edited.result("textDocument/documentSymbol", {}) !=
        fresh.result("textDocument/documentSymbol", {})) {
      return where + "symbols differ from those of the text opened afresh";
    }
    for (int asked = 0; asked < 8; ++asked) {
      const json params = {{"position",
                            {{"line", choose(static_cast<std::uint32_t>(model.lines()))},
                             {"character", choose(16)}}}};
      if (edited.result("textDocument/definition", params) !=
          fresh.result("textDocument/definition", params)) {
        return where + "definitions differ at " + params.dump();
      }
    }
  }
  return {};
}

}  // namespace wander::testing

#endif  // WANDER_TESTS_SUPPORT_LSP_EDITS_H_
