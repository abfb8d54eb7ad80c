// What tests read back: the bytes a function writes to a stream, and the bytes of a file. Both
// are bytes exactly, NUL bytes and all, so that a test compares what a program would see.
#ifndef WANDER_TESTS_SUPPORT_CAPTURED_H_
#define WANDER_TESTS_SUPPORT_CAPTURED_H_

#include <cstdio>
#include <fstream>
#include <iterator>
#include <string>

namespace wander::testing {

/// What `write(stream)` writes, into a temporary file that is read back and removed.
template <typename Write>
std::string written(const Write& write) {
  std::FILE* file = std::tmpfile();
  write(file);
  std::fflush(file);
  std::rewind(file);
  std::string bytes;
  char buffer[4096];
  for (std::size_t n; (n = std::fread(buffer, 1, sizeof buffer, file)) > 0;)
    bytes.append(buffer, n);
  std::fclose(file);
  return bytes;
}

/// The bytes of the file at `path`; empty when it cannot be read.
inline std::string file_bytes(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

}  // namespace wander::testing

#endif  // WANDER_TESTS_SUPPORT_CAPTURED_H_
