// `wander-world lsp`: the Language Server Protocol (3.17) for worlds. It works on the text the
// editor holds, saved or not, and answers from the same survey and checks as `check`, so that
// the editor and the command line never disagree: diagnostics as the text changes, their fix-its
// as quick fixes, definitions, references, safe renames, hovers, completions, symbols and folds.
#ifndef WANDER_TOOLS_LSP_SERVER_H_
#define WANDER_TOOLS_LSP_SERVER_H_

#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <nlohmann/json.hpp>
#include <optional>
#include <string>

#include "tools/lsp/document.h"
#include "tools/lsp/message_reader.h"
#include "tools/lsp/to_protocol.h"
#include "tools/lsp/world_index.h"

namespace wander::lsp {

/// The error codes of JSON-RPC and of the protocol that the server answers with.
enum ErrorCode : int {
  kParseError = -32700,
  kInvalidRequest = -32600,
  kMethodNotFound = -32601,
  kInvalidParams = -32602,
  kServerNotInitialized = -32002,
  kRequestFailed = -32803,
};

/// The server's state and its answers. Messages go in through handle(); what the server says goes
/// out through the function given, one JSON message's text at a time, always UTF-8 (bytes that are
/// none, in names, written as U+FFFD). It never stops on a bad message: a request gets an error,
/// a notification that cannot be followed is logged (`window/logMessage`) and changes nothing.
class Server {
 public:
  using Send = std::function<void(const std::string& message)>;

  /// The diagnostics published for a document at most, unless the client's
  /// `initializationOptions` say otherwise (`{"maxDiagnostics": N}`): a world with many slips
  /// costs no more than this to show.
  static constexpr std::uint64_t kMostDiagnostics = 1000;

  /// `version` is the program's, as the server names itself.
  Server(Send send, std::string version);

  /// Handles one message: a request (answered through `send`), a notification or a response. A
  /// document's text is taken from the message, not copied.
  void handle(nlohmann::json message);

  /// Answers a message that could not be read as JSON.
  void handle_unreadable(const std::string& why);

  /// Publishes the diagnostics of every document changed since they were last published, each
  /// checked once, on its latest version: to be called when no more input is waiting. (A request
  /// that checks a changed document publishes its diagnostics itself.)
  void publish_changed();

  /// True once `exit` came; then exit_status() is the status the process ends with: 0 after a
  /// `shutdown`, 1 without one.
  bool exited() const { return exited_; }
  int exit_status() const { return shut_down_ ? 0 : 1; }

 private:
  struct Open {
    std::unique_ptr<Document> document;
    std::unique_ptr<WorldIndex> index;  // of the document's latest version; null until asked for
    bool changed = true;                // its diagnostics are not published yet
    bool told_of_length = false;        // the client's log heard of a wrong `rangeLength`
    bool told_of_drift = false;         // ... and of a saved text that was not the server's
  };

  nlohmann::json answer(const std::string& method, const nlohmann::json& params);
  void notified(const std::string& method, nlohmann::json& params);
  void send(const nlohmann::json& message);

  nlohmann::json initialize(const nlohmann::json& params);
  void did_open(nlohmann::json& params);
  // Applies the changes of `params` all, or none of them and throws why.
  void did_change(nlohmann::json& params);
  // Takes the saved text when the client sent one that differs from the server's copy.
  void did_save(nlohmann::json& params);
  void log(int type, const std::string& message);

  /// The open document `params` names, with its index of the latest version; throws a
  /// request failure when it is not open.
  Open& document(const nlohmann::json& params);
  /// The byte offset of `params`' position in `open`.
  std::uint64_t offset_of(const Open& open, const nlohmann::json& position) const;
  /// What writes results about `open`, the document `params` names, for this client.
  ToProtocol out(const Open& open, const nlohmann::json& params) const;
  void publish(const std::string& uri, Open& open);

  Send send_;
  std::string version_;
  ClientOptions client_;
  std::uint64_t most_diagnostics_ = kMostDiagnostics;
  bool initialized_ = false;
  bool shut_down_ = false;
  bool exited_ = false;
  std::map<std::string, Open> open_;
};

/// Serves the messages of `reader` until `exit` comes or the input ends, publishing diagnostics
/// whenever no more input is waiting: none held by `reader` and `input_waiting()` false. Returns
/// the status the process ends with: Server::exit_status().
int serve(Server& server, MessageReader& reader, const std::function<bool()>& input_waiting);

}  // namespace wander::lsp

#endif  // WANDER_TOOLS_LSP_SERVER_H_
