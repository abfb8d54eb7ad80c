// Text broken between words for a terminal, as the web page breaks it (web/page.js, wrapWords).
#ifndef WANDER_TEXT_WORD_WRAP_H_
#define WANDER_TEXT_WORD_WRAP_H_

#include <string>
#include <string_view>

namespace wander {

/// Where a terminal's cursor stands as text is written to it piece by piece, and the line ends
/// that keep words whole there.
class WordWrap {
 public:
  /// `text` as it should go to a terminal `columns` wide (at least 1) whose cursor stands in
  /// column(): an LF put before each word that would not fit the rest of its row, blanks that would
  /// start a row left out. A word wider than a row runs on, broken where the terminal breaks it.
  /// Widths are character_width's (text/utf8.h): a tab goes on to the next multiple of eight, an
  /// escape sequence takes no column. Leaves column() where the cursor then stands.
  std::string wrap(std::string_view text, int columns);

  /// The column the cursor stands in, counted from 0.
  int column() const { return column_; }

  /// Says the cursor was put at a row's start by other means (a cleared screen, an Enter echoed).
  void at_row_start() { column_ = 0; }

 private:
  int column_ = 0;
};

}  // namespace wander

#endif  // WANDER_TEXT_WORD_WRAP_H_
