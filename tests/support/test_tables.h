// Tables of test cases kept as data files: a row to a line, its words separated by blanks. A word
// is either bare or a quoted string, which takes the escapes \n \r \t \v \f \0 \\ \" and \xHH, so
// that a row can hold any bytes. Lines that are blank or start with '#' are no rows.
#ifndef WANDER_TESTS_SUPPORT_TEST_TABLES_H_
#define WANDER_TESTS_SUPPORT_TEST_TABLES_H_

#include <algorithm>
#include <fstream>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

namespace wander::testing {

/// The words of one row. Throws std::runtime_error at an unclosed string or an unknown escape.
inline std::vector<std::string> table_words(const std::string& line) {
  std::vector<std::string> words;
  for (std::size_t at = line.find_first_not_of(' '); at < line.size();
       at = line.find_first_not_of(' ', at)) {
    if (line[at] != '"') {
      const std::size_t end = std::min(line.find(' ', at), line.size());
      words.push_back(line.substr(at, end - at));
      at = end;
      continue;
    }
    std::string word;
    for (++at; at < line.size() && line[at] != '"'; ++at) {
      if (line[at] != '\\') {
        word += line[at];
      } else if (const std::size_t escape = std::string_view("nrtvf0\\\"").find(line.at(++at));
                 escape != std::string_view::npos) {
        word += std::string_view("\n\r\t\v\f\0\\\"", 8)[escape];
      } else if (line[at] == 'x' && at + 2 < line.size()) {
        word += static_cast<char>(std::stoi(line.substr(at + 1, 2), nullptr, 16));
        at += 2;
      } else {
        throw std::runtime_error("an unknown escape in: " + line);
      }
    }
    if (at++ >= line.size()) throw std::runtime_error("an unclosed string in: " + line);
    words.push_back(word);
  }
  return words;
}

/// Every row of the table file at `path`. Throws std::runtime_error when there is none, as when
/// the file cannot be read.
inline std::vector<std::vector<std::string>> table_rows(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::vector<std::vector<std::string>> rows;
  for (std::string line; std::getline(in, line);) {
    if (line.empty() || line[0] == '#') continue;
    if (std::vector<std::string> words = table_words(line); !words.empty()) rows.push_back(words);
  }
  if (rows.empty()) throw std::runtime_error("no rows in " + path);
  return rows;
}

}  // namespace wander::testing

#endif  // WANDER_TESTS_SUPPORT_TEST_TABLES_H_
