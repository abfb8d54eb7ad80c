// Which legacy code page a text that is not UTF-8 was probably saved in, from its bytes.
#ifndef WANDER_TEXT_CODE_PAGE_H_
#define WANDER_TEXT_CODE_PAGE_H_

#include <string_view>

namespace wander {

/// A single-byte code page that editors save texts in.
struct CodePage {
  std::string_view iconv_name;  ///< as iconv -f takes it, such as "WINDOWS-1253"
  std::string_view words;       ///< what a message calls it, such as "Windows-1253 (Greek)"
};

/// The code page that `bytes`, a stretch of a text that is not UTF-8, were most likely saved in:
/// Western (Windows-1252 or Latin-1), Greek (Windows-1253), Cyrillic (Windows-1251) or Central
/// European (Windows-1250), told by which letters their bytes above 0x7F would be in each, and
/// by how many such bytes stand among the ASCII letters. Western when nothing tells.
CodePage likely_code_page(std::string_view bytes);

}  // namespace wander

#endif  // WANDER_TEXT_CODE_PAGE_H_
