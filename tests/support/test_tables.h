// Tables of test cases kept as data files: a row to a line, its words separated by blanks. A word
// is either bare or a quoted string, which takes the escapes \n \r \t \v \f \0 \\ \" and \xHH, so
// that a row can hold any bytes. Lines that are blank or start with '#' are no rows.
#ifndef WANDER_TESTS_SUPPORT_TEST_TABLES_H_
#define WANDER_TESTS_SUPPORT_TEST_TABLES_H_

#include <algorithm>
#include <cctype>
#include <fstream>
#include <ostream>
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

/// One row of a table file and the line it stands on: the parameter of a test run once a row, so
/// that each row is a test of its own, named after its line, and one failing hides no other.
struct TableRow {
  int line = 0;
  std::vector<std::string> words;
};

/// Every row of the table file at `path`, with its line; throws as table_rows() does.
inline std::vector<TableRow> numbered_rows(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::vector<TableRow> rows;
  int line_number = 0;
  for (std::string line; std::getline(in, line);) {
    ++line_number;
    if (line.empty() || line[0] == '#') continue;
    if (std::vector<std::string> words = table_words(line); !words.empty()) {
      rows.push_back({line_number, std::move(words)});
    }
  }
  if (rows.empty()) throw std::runtime_error("no rows in " + path);
  return rows;
}

/// A row's test name for INSTANTIATE_TEST_SUITE_P: "line12_width", its line and first word (its
/// first 24 bytes).
template <class ParamInfo>
std::string row_name(const ParamInfo& info) {
  std::string name = "line" + std::to_string(info.param.line) + "_";
  for (const char c : info.param.words.front().substr(0, 24)) {
    name += std::isalnum(static_cast<unsigned char>(c)) ? c : '_';
  }
  return name;
}

/// How a failing row is shown: its line and words.
inline void PrintTo(const TableRow& row, std::ostream* out) {
  *out << "line " << row.line << ":";
  for (const std::string& word : row.words) *out << " [" << word << "]";
}

}  // namespace wander::testing

/// Runs the test `suite` once for every row of the table file `path`, each named after its line.
#define WANDER_TABLE_ROWS(suite, path)                                          \
  INSTANTIATE_TEST_SUITE_P(                                                     \
      Rows, suite, ::testing::ValuesIn(::wander::testing::numbered_rows(path)), \
      ::wander::testing::row_name<::testing::TestParamInfo<::wander::testing::TableRow>>)

#endif  // WANDER_TESTS_SUPPORT_TEST_TABLES_H_
