// wander-make-world: writes a large generated world to standard output.
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "tools/world_generator.h"

#if defined(_WIN32)
#include <fcntl.h>
#include <io.h>
#endif

namespace {

constexpr char kUsage[] =
    "usage: wander-make-world SIZE [--start first|middle|last]\n"
    "Writes a valid generated world of about SIZE bytes to standard output.\n"
    "SIZE is a number of bytes, optionally followed by K, M or G (powers of 1024).\n"
    "The starting room's block is the first in the file, the middle one, or the last\n"
    "(the default).\n";

// Parses "100M" and the like; -1 when it is not such a size.
long long parse_size(const char* text) {
  char* end = nullptr;
  const long long number = std::strtoll(text, &end, 10);
  if (end == text || number <= 0) return -1;
  const std::string unit = end;
  if (unit.empty()) return number;
  if (unit == "K" || unit == "k") return number << 10;
  if (unit == "M" || unit == "m") return number << 20;
  if (unit == "G" || unit == "g") return number << 30;
  return -1;
}

}  // namespace

int main(int argc, char** argv) {
  long long size = -1;
  wander::StartAt start = wander::StartAt::kLast;
  for (int i = 1; i < argc; ++i) {
    const std::string arg = argv[i];
    if (arg == "--help" || arg == "-h") {
      std::fputs(kUsage, stdout);
      return 0;
    }
    if (arg == "--start" && i + 1 < argc) {
      const std::string where = argv[++i];
      if (where == "first") {
        start = wander::StartAt::kFirst;
      } else if (where == "middle") {
        start = wander::StartAt::kMiddle;
      } else if (where == "last") {
        start = wander::StartAt::kLast;
      } else {
        std::fprintf(stderr, "wander-make-world: --start takes first, middle or last\n");
        return 2;
      }
    } else if (size < 0 && parse_size(argv[i]) > 0) {
      size = parse_size(argv[i]);
    } else {
      std::fprintf(stderr, "wander-make-world: unexpected argument '%s'\n%s", argv[i], kUsage);
      return 2;
    }
  }
  if (size <= 0) {
    std::fputs(kUsage, stderr);
    return 2;
  }
#if defined(_WIN32)
  // The world's bytes as they are, LF line ends included, so that its size is the one asked for.
  _setmode(_fileno(stdout), _O_BINARY);
#endif
  wander::write_world(stdout, wander::rooms_for_bytes(size), start);
  return std::fflush(stdout) == 0 ? 0 : 1;
}
