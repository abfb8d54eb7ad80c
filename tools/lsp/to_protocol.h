// The one place where the language server's results (features.h) and the checks' diagnostics
// take the shapes of the Language Server Protocol's JSON: byte offsets become the positions the
// client counts in, names become printable, kinds become the protocol's numbers.
#ifndef WANDER_TOOLS_LSP_TO_PROTOCOL_H_
#define WANDER_TOOLS_LSP_TO_PROTOCOL_H_

#include <cstdint>
#include <nlohmann/json.hpp>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "tools/lsp/document.h"
#include "tools/lsp/features.h"

namespace wander::lsp {

/// `value` as JSON text; bytes that are no UTF-8 in its strings are written as U+FFFD.
std::string text_of(const nlohmann::json& value);

/// The result of `initialize`: what the server can do, positions counted in `encoding`, and its
/// name and `version`.
nlohmann::json capabilities(Encoding encoding, const std::string& version);

/// What the client takes, as `initialize` declared it.
struct ClientOptions {
  Encoding encoding = Encoding::kUtf16;
  bool related_information = false;  ///< it shows a diagnostic's notes itself
  bool links = false;                ///< it takes a definition as a LocationLink
};

/// Writes results about one open document, `uri`, as the client declared it takes them. The
/// document must outlive it and stay as it is.
class ToProtocol {
 public:
  ToProtocol(const Document& document, std::string uri, const ClientOptions& client)
      : document_(document), uri_(std::move(uri)), client_(client) {}

  /// A Range.
  nlohmann::json range(Span span) const;

  /// A Location, a LocationLink array when the client takes links, or null.
  nlohmann::json definition(const std::optional<Definition>& found) const;
  /// An array of Locations.
  nlohmann::json locations(const std::vector<Span>& spans) const;
  /// The range and the name as written, or null.
  nlohmann::json prepare_rename(const std::optional<Span>& found) const;
  /// A WorkspaceEdit that writes `name` at each place.
  nlohmann::json rename(const std::vector<Span>& places, const std::string& name) const;
  nlohmann::json hover(const std::optional<Hover>& found) const;
  nlohmann::json completion(const Completion& found) const;
  /// Appends the DocumentSymbols' JSON to `out`, each symbol written as `symbols` gives it to the
  /// sink (in the order of lsp::symbols); `symbols` is called twice, first to measure: a large
  /// world's answer would not fit twice.
  void symbols(const std::function<void(const SymbolSink&)>& symbols, std::string& out) const;
  /// The folds of the spans that reach over more than one line.
  nlohmann::json folding_ranges(const std::vector<Span>& spans) const;
  nlohmann::json code_actions(const std::vector<QuickFix>& fixes) const;

  /// The params of a publishDiagnostics: the first `most` of `found` (in the order of the text)
  /// and one that counts the rest, then a warning for each place of `undecodable`.
  nlohmann::json diagnostics(const std::vector<Diagnostic>& found, std::uint64_t most,
                             const std::vector<Span>& undecodable) const;

 private:
  // Appends range(span) to `out` as JSON text.
  void write_range(std::string& out, Span span) const;
  nlohmann::json location(Span span) const;
  // `d` as the protocol has it, `start` being the position of its first byte.
  nlohmann::json diagnostic(const Diagnostic& d, const Position& start) const;

  const Document& document_;
  std::string uri_;
  ClientOptions client_;
};

}  // namespace wander::lsp

#endif  // WANDER_TOOLS_LSP_TO_PROTOCOL_H_
