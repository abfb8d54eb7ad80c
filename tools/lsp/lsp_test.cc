// Sessions with the language server, kept as data (lsp_test.txt): what a client sends, in the
// bursts it sends it, and what the server must answer. Each session runs twice, its bytes handed
// over whole and three at a time, so that the framing is held to messages cut anywhere. Then
// random edits, sound and malformed (tests/support/lsp_edits.h), which the document's lines, the
// text and the indexes must follow.
#include <gtest/gtest.h>

#include <cctype>
#include <fstream>
#include <map>
#include <optional>
#include <random>
#include <string>
#include <vector>

#include "tests/support/lsp_edits.h"
#include "tests/support/test_tables.h"
#include "tools/lsp/message_reader.h"
#include "tools/lsp/server.h"

namespace wander::lsp {
namespace {

using nlohmann::json;

struct Session {
  std::string name;
  int line = 0;
  std::vector<std::string> bursts{1};  // the bytes the client sends, burst by burst
  std::vector<json> sent;              // what the server must send, in order
  std::optional<int> status;
};

// Where `actual` differs from `wanted`, which it must contain: every member of an object given,
// arrays of the same length element by element, anything else equal. Empty when it does not.
std::string difference(const json& actual, const json& wanted, const std::string& where = "") {
  if (wanted.is_object() && actual.is_object()) {
    for (const auto& [key, value] : wanted.items()) {
      if (!actual.contains(key)) return where + "/" + key + " is missing";
      if (std::string found = difference(actual[key], value, where + "/" + key); !found.empty()) {
        return found;
      }
    }
    return {};
  }
  if (wanted.is_array() && actual.is_array() && wanted.size() == actual.size()) {
    for (std::size_t i = 0; i < wanted.size(); ++i) {
      const std::string at = where + "/" + std::to_string(i);
      if (std::string found = difference(actual[i], wanted[i], at); !found.empty()) return found;
    }
    return {};
  }
  if (actual == wanted) return {};
  return where + " is " + actual.dump() + ", not " + wanted.dump();
}

std::string framed(json message) {
  if (!message.contains("jsonrpc")) message["jsonrpc"] = "2.0";
  return frame(message);
}

// Reads the sessions of `path`. A session starts with "=== NAME"; then, line by line:
//   text NAME [crlf]   the lines up to a line "." are a world's text, that a message names @NAME
//                      (a line ".." stands for "."); with crlf its lines end in CR LF
//   init [utf-8] [JSON]  initializes the server as a client that shows related information
//                      (offering UTF-8 positions; JSON merged into the params, null taking a
//                      member out): its answer has the id "init"
//   > JSON             a message the client sends, framed for it ("jsonrpc" added)
//   >> WORDS           bytes the client sends as they are: table words, strings with escapes
//   ~                  the client waits for answers: what it sent so far is one burst
//   < JSON             the next message the server sends contains this
//   status N           the server ended with status N
// Every message the server sends must be awaited by a "<" line.
std::vector<Session> read_sessions(const std::string& path,
                                   std::map<std::string, std::string>* worlds = nullptr) {
  std::ifstream in(path, std::ios::binary);
  std::vector<Session> sessions;
  std::map<std::string, std::string> own;
  std::map<std::string, std::string>& texts = worlds != nullptr ? *worlds : own;
  int number = 0;
  const auto fail = [&](const std::string& why) {
    throw std::runtime_error(path + ":" + std::to_string(number) + ": " + why);
  };
  for (std::string line; std::getline(in, line);) {
    ++number;
    if (line.empty() || line[0] == '#') continue;
    if (line.starts_with("=== ")) {
      sessions.emplace_back();
      sessions.back().name = line.substr(4);
      sessions.back().line = number;
      continue;
    }
    if (line.starts_with("text ")) {
      const std::vector<std::string> words = testing::table_words(line.substr(5));
      const std::string end = words.size() > 1 && words[1] == "crlf" ? "\r\n" : "\n";
      std::string& text = texts[words.at(0)];
      text.clear();
      for (std::string row; std::getline(in, row) && ++number && row != ".";) {
        text += (row == ".." ? "." : row) + end;
      }
      continue;
    }
    if (sessions.empty()) fail("a line before the first session");
    Session& session = sessions.back();
    std::string& burst = session.bursts.back();
    if (line.starts_with("init")) {
      json params = {
          {"capabilities",
           {{"textDocument", {{"publishDiagnostics", {{"relatedInformation", true}}}}}}}};
      if (line.starts_with("init utf-8")) {
        params["capabilities"]["general"]["positionEncodings"] = {"utf-8", "utf-16"};
      }
      if (const std::size_t brace = line.find('{'); brace != std::string::npos) {
        params.merge_patch(json::parse(line.substr(brace)));
      }
      burst += framed({{"id", "init"}, {"method", "initialize"}, {"params", params}});
      burst += framed({{"method", "initialized"}, {"params", json::object()}});
    } else if (line.starts_with(">> ")) {
      for (const std::string& word : testing::table_words(line.substr(3))) burst += word;
    } else if (line.starts_with("> ")) {
      std::string message = line.substr(2);
      // @NAME, a whole word, stands for the text NAME as a JSON string.
      for (std::size_t at = message.find('@'); at != std::string::npos;
           at = message.find('@', at + 1)) {
        std::size_t end = at + 1;
        while (end < message.size() &&
               (std::isalnum(static_cast<unsigned char>(message[end])) || message[end] == '_')) {
          ++end;
        }
        const auto text = texts.find(message.substr(at + 1, end - at - 1));
        if (end == at + 1 || text == texts.end()) continue;
        const std::string quoted = json(text->second).dump();
        message.replace(at, end - at, quoted);
        at += quoted.size() - 1;
      }
      burst += framed(json::parse(message));
    } else if (line == "~") {
      session.bursts.emplace_back();
    } else if (line.starts_with("< ")) {
      session.sent.emplace_back(json::parse(line.substr(2)));
    } else if (line.starts_with("status ")) {
      session.status = std::stoi(line.substr(7));
    } else {
      fail("no such line: " + line);
    }
  }
  if (sessions.empty()) throw std::runtime_error("no sessions in " + path);
  return sessions;
}

// Runs `session` with reads of at most `most` bytes; what goes wrong goes to the test's failures.
void run(const Session& session, std::size_t most) {
  SCOPED_TRACE(session.name + " (line " + std::to_string(session.line) + "), reads of " +
               std::to_string(most) + " bytes");
  std::vector<json> sent;
  Server server([&](const std::string& message) { sent.push_back(json::parse(message)); }, "test");
  std::size_t burst = 0;
  std::size_t at = 0;
  MessageReader reader([&](char* buffer, std::size_t size) -> std::ptrdiff_t {
    // A burst's bytes are all there at once; the next come once the server has read them all.
    while (burst < session.bursts.size() && at == session.bursts[burst].size()) {
      ++burst;
      at = 0;
    }
    if (burst == session.bursts.size()) return 0;
    const std::size_t n = std::min({size, most, session.bursts[burst].size() - at});
    session.bursts[burst].copy(buffer, n, at);
    at += n;
    return static_cast<std::ptrdiff_t>(n);
  });
  const int status = serve(server, reader, [&] {
    return burst < session.bursts.size() && at < session.bursts[burst].size();
  });
  if (session.status) {
    EXPECT_EQ(status, *session.status);
  }
  for (std::size_t i = 0; i < std::max(sent.size(), session.sent.size()); ++i) {
    if (i >= sent.size()) {
      ADD_FAILURE() << "message " << i << " not sent: " << session.sent[i].dump();
    } else if (i >= session.sent.size()) {
      ADD_FAILURE() << "message " << i << " not awaited: " << sent[i].dump();
    } else {
      const std::string found = difference(sent[i], session.sent[i]);
      EXPECT_EQ(found, "") << "message " << i << ": " << sent[i].dump();
    }
  }
}

TEST(LanguageServer, Sessions) {
  for (const Session& session : read_sessions(WANDER_LSP_SESSIONS)) {
    run(session, SIZE_MAX);
    run(session, 3);
  }
}

// Random bursts of changes, some malformed, to worlds of the sessions: after each, symbols and
// definitions are those of the same text opened afresh.
TEST(LanguageServer, IndexesFollowChangesWholeOrNotAtAll) {
  std::map<std::string, std::string> texts;
  read_sessions(WANDER_LSP_SESSIONS, &texts);
  std::mt19937 random(11);
  for (const char* name : {"slips", "crlf_slips", "unicode", "forgotten_star"}) {
    EXPECT_EQ(
        testing::follow_edits(texts.at(name), 120, [&](std::uint32_t n) { return random() % n; }),
        "")
        << name;
  }
}

}  // namespace
}  // namespace wander::lsp
