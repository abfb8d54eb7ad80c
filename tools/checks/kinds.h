// The kinds of problem `wander-world check` reports, in one table: each kind's identifier, which
// outputs show and -Wno-KIND names, its severity, and what it means. An error is a place where
// play differs from what the author evidently meant; a warning, a place where play is as meant
// but the file is fragile or holds what nothing uses.
#ifndef WANDER_TOOLS_CHECKS_KINDS_H_
#define WANDER_TOOLS_CHECKS_KINDS_H_

#include <array>
#include <string_view>

#include "tools/diagnostics/diagnostic.h"

namespace wander::kinds {

inline constexpr DiagnosticKind kNoHeader{"no-header", Severity::kError,
                                          "The file holds no header: the game starts nowhere."};
inline constexpr DiagnosticKind kMarkerForHeader{
    "marker-for-header", Severity::kError,
    "The file starts with a block's marker line where its header should be."};
inline constexpr DiagnosticKind kSentenceForHeader{
    "sentence-for-header", Severity::kError,
    "The file starts with a sentence where its header should be."};
inline constexpr DiagnosticKind kHeaderWithoutStart{
    "header-without-start", Severity::kError, "The header names no starting room after its label."};
inline constexpr DiagnosticKind kByteOrderMark{
    "byte-order-mark", Severity::kWarning,
    "The file starts with a byte order mark, which the game reads as part of the header's label."};
inline constexpr DiagnosticKind kMissingBlock{
    "missing-block", Severity::kError,
    "An exit, the header or a room's object list names a block the file does not hold."};
inline constexpr DiagnosticKind kMisspeltBlock{
    "misspelt-block", Severity::kError,
    "A block's name is near a name that exits or object lists want, and nothing wants its own."};
inline constexpr DiagnosticKind kNoneInOtherCapitals{
    "none-in-other-capitals", Severity::kError,
    "An exit is 'None' in other capitals: the game looks for a room of that name."};
inline constexpr DiagnosticKind kTextRunsOn{
    "text-runs-on", Severity::kError,
    "A description or object text runs on past another block's marker line: its '*' is missing."};
inline constexpr DiagnosticKind kUnclosedDescription{
    "unclosed-description", Severity::kError,
    "A room's description has no closing '*': it runs to the end of the file, and the room has "
    "no exits of its own."};
inline constexpr DiagnosticKind kUnclosedObjectText{
    "unclosed-object-text", Severity::kWarning,
    "An object text has no closing '*': it runs to the end of the file, which shows the same."};
inline constexpr DiagnosticKind kMarkerInsideText{
    "marker-inside-text", Severity::kError,
    "A text holds the first line equal to a marker whose block is written further on: the game "
    "reads the block from inside the text."};
inline constexpr DiagnosticKind kMarkerLineInText{
    "marker-line-in-text", Severity::kWarning,
    "A text holds a line equal to an earlier block's marker: it plays as meant, but is easily "
    "broken."};
inline constexpr DiagnosticKind kStarInsideText{"star-inside-text", Severity::kError,
                                                "A '*' inside a text ends it early."};
inline constexpr DiagnosticKind kExitLabelsInText{
    "exit-labels-in-text", Severity::kWarning,
    "A description holds a line that reads like exits: its '*' may be missing before it."};
inline constexpr DiagnosticKind kNotUtf8Text{
    "not-utf8-text", Severity::kWarning,
    "A text holds bytes that are not UTF-8 (saved as Windows-1252 or Latin-1, probably): "
    "terminals and the web page show them wrongly."};
inline constexpr DiagnosticKind kLookalikeBlank{
    "lookalike-blank", Severity::kError,
    "A character that looks blank but is none joins two words into one."};
inline constexpr DiagnosticKind kBlockEndsEarly{
    "block-ends-early", Severity::kError,
    "A room block's words end at the next block's marker line: words are missing."};
inline constexpr DiagnosticKind kBlockCutShort{
    "block-cut-short", Severity::kError,
    "A room block ends with the file before its exits, object count or object names."};
inline constexpr DiagnosticKind kMissingExitLine{
    "missing-exit-line", Severity::kError,
    "A room block has no line for an exit, so the words after it shift."};
inline constexpr DiagnosticKind kExtraExitLine{
    "extra-exit-line", Severity::kError,
    "A room block has an exit line too many, or its lines are out of order."};
inline constexpr DiagnosticKind kExitWithoutName{
    "exit-without-name", Severity::kError,
    "An exit's label is followed by another label instead of a room's name."};
inline constexpr DiagnosticKind kMissingCountLabel{"missing-count-label", Severity::kError,
                                                   "The object count has no label before it."};
inline constexpr DiagnosticKind kCountNotANumber{
    "count-not-a-number", Severity::kError,
    "The object count is not a number: the game reads no object names."};
inline constexpr DiagnosticKind kCountAboveNames{
    "count-above-names", Severity::kError,
    "The object count is more than the names given: the next block's marker is read as a name."};
inline constexpr DiagnosticKind kCountBelowNames{
    "count-below-names", Severity::kError,
    "The object count is less than the names listed: the game never reads the last ones."};
inline constexpr DiagnosticKind kCountAboveThree{
    "count-above-three", Severity::kWarning,
    "The object count is above three: the game reads three names at most."};
inline constexpr DiagnosticKind kCountBelowZero{
    "count-below-zero", Severity::kWarning,
    "The object count is below zero: the game reads no names."};
inline constexpr DiagnosticKind kObjectListedTwice{"object-listed-twice", Severity::kWarning,
                                                   "A room lists the same object twice."};
inline constexpr DiagnosticKind kBlankInMarker{
    "blank-in-marker", Severity::kError,
    "A marker line that an exit or a list wants holds a blank, or has one beside it: no lookup "
    "matches it."};
inline constexpr DiagnosticKind kBlankInUnusedMarker{
    "blank-in-unused-marker", Severity::kWarning,
    "A marker line holds a blank, or has one beside it, and nothing wants it."};
inline constexpr DiagnosticKind kDuplicateBlock{
    "duplicate-block", Severity::kWarning,
    "A second block has the same marker: the game uses the first."};
inline constexpr DiagnosticKind kUnlistedObjectBlock{
    "unlisted-object-block", Severity::kWarning,
    "An object block that no room lists is never shown."};
inline constexpr DiagnosticKind kUnreachableRoom{
    "unreachable-room", Severity::kWarning, "A room cannot be reached from the starting room."};

/// Every kind, errors first, each once.
inline constexpr auto kAll = std::to_array<const DiagnosticKind*>({
    &kNoHeader,
    &kMarkerForHeader,
    &kSentenceForHeader,
    &kHeaderWithoutStart,
    &kMissingBlock,
    &kMisspeltBlock,
    &kNoneInOtherCapitals,
    &kTextRunsOn,
    &kUnclosedDescription,
    &kMarkerInsideText,
    &kStarInsideText,
    &kLookalikeBlank,
    &kBlockEndsEarly,
    &kBlockCutShort,
    &kMissingExitLine,
    &kExtraExitLine,
    &kExitWithoutName,
    &kMissingCountLabel,
    &kCountNotANumber,
    &kCountAboveNames,
    &kCountBelowNames,
    &kBlankInMarker,
    &kByteOrderMark,
    &kUnclosedObjectText,
    &kMarkerLineInText,
    &kExitLabelsInText,
    &kNotUtf8Text,
    &kCountAboveThree,
    &kCountBelowZero,
    &kObjectListedTwice,
    &kBlankInUnusedMarker,
    &kDuplicateBlock,
    &kUnlistedObjectBlock,
    &kUnreachableRoom,
});

/// The kind called `id`, or null.
inline const DiagnosticKind* find(std::string_view id) {
  for (const DiagnosticKind* kind : kAll) {
    if (kind->id == id) return kind;
  }
  return nullptr;
}

}  // namespace wander::kinds

#endif  // WANDER_TOOLS_CHECKS_KINDS_H_
