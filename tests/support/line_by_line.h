// The plain way to find a line, against which the reader's fast scans are held.
#ifndef WANDER_TESTS_SUPPORT_LINE_BY_LINE_H_
#define WANDER_TESTS_SUPPORT_LINE_BY_LINE_H_

#include <string>

#include "text/text_reader.h"

namespace wander::testing {

/// Reads each line from where `reader` stands and compares it with `wanted`: true at the first
/// equal one, the reader just past it; false at the end.
inline bool find_line_by_line(TextReader& reader, const std::string& wanted) {
  std::string line;
  while (reader.read_line(line)) {
    if (line == wanted) return true;
  }
  return false;
}

}  // namespace wander::testing

#endif  // WANDER_TESTS_SUPPORT_LINE_BY_LINE_H_
