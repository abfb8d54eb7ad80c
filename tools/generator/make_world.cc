// wander-make-world: writes a large generated world to standard output.
#include <algorithm>
#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <initializer_list>
#include <string>
#include <string_view>

#include "tools/generator/world_generator.h"
#include "tools/names/printable.h"

#if defined(_WIN32)
#include <fcntl.h>
#include <io.h>
#endif

namespace {

constexpr char kUsage[] =
    "usage: wander-make-world SIZE [--start first|middle|last]\n"
    "                         [--names padded|plain|words] [--description BYTES]\n"
    "                         [--objects MOST]\n"
    "Writes a valid generated world of about SIZE bytes to standard output.\n"
    "SIZE is a number of bytes, optionally followed by K, M or G (powers of 1024),\n"
    "at most 1048576G (2^50 bytes, a pebibyte).\n"
    "--start        the starting room's block is the first in the file, the middle\n"
    "               one, or the last (the default)\n"
    "--names        room names: R and seven digits, R0000042 (the default); R and\n"
    "               the number, R42; or two words and a number, MossyGrotto0\n"
    "--description  about BYTES bytes in each room's description (the default: two\n"
    "               to five lines of 40 to 140 bytes)\n"
    "--objects      each room lists 0 to MOST objects, 0 to 3 (the default: 3)\n"
    "Exit status: 0 when the world was written, 2 when the arguments are wrong (a\n"
    "size past the largest among them) or standard output cannot be written; a line\n"
    "on standard error says which.\n";

// The value of a --name VALUE option among `choices`; -1, with a message, when it is none.
int choice(const char* option, const std::string& value,
           std::initializer_list<const char*> choices) {
  int index = 0;
  for (const char* name : choices) {
    if (value == name) return index;
    ++index;
  }
  std::fprintf(stderr, "wander-make-world: %s does not take '%s'\n", option,
               wander::printable(value).c_str());
  return -1;
}

// A whole decimal number from `low` to `high`; -1, with a message, when it is not.
int number_in(const char* option, const std::string& value, int low, int high) {
  char* end = nullptr;
  const long number = std::strtol(value.c_str(), &end, 10);
  if (value.empty() || *end != '\0' || number < low || number > high) {
    std::fprintf(stderr, "wander-make-world: %s takes a number from %d to %d\n", option, low, high);
    return -1;
  }
  return static_cast<int>(number);
}

// Reads "100M" and the like: a whole number of one or more digits, then K, M, G or nothing. -1
// when `text` is no such size or is zero; kLargestWorldBytes + 1 for any size past the largest,
// however far, so that nothing here overflows.
long long parse_size(std::string_view text) {
  constexpr long long kPast = wander::kLargestWorldBytes + 1;
  long long number = 0;
  std::size_t digits = 0;
  for (; digits < text.size() && text[digits] >= '0' && text[digits] <= '9'; ++digits) {
    number = std::min(number * 10 + (text[digits] - '0'), kPast);
  }
  const std::string_view unit = text.substr(digits);
  int shift = 0;
  if (unit == "K" || unit == "k") {
    shift = 10;
  } else if (unit == "M" || unit == "m") {
    shift = 20;
  } else if (unit == "G" || unit == "g") {
    shift = 30;
  } else if (!unit.empty()) {
    return -1;
  }
  if (digits == 0 || number == 0) return -1;
  return number > (wander::kLargestWorldBytes >> shift) ? kPast : number << shift;
}

}  // namespace

int main(int argc, char** argv) {
#if defined(SIGPIPE)
  // wander-make-world 100M | head: a reader gone is output that cannot be written, said in one
  // line with status 2, not a process killed by the signal.
  std::signal(SIGPIPE, SIG_IGN);
#endif
  long long size = -1;
  wander::StartAt start = wander::StartAt::kLast;
  wander::WorldShape shape;
  for (int i = 1; i < argc; ++i) {
    const std::string arg = argv[i];
    if (arg == "--help" || arg == "-h") {
      std::fputs(kUsage, stdout);
      return 0;
    }
    const bool has_value = i + 1 < argc;
    if (arg == "--start" && has_value) {
      const int where = choice("--start", argv[++i], {"first", "middle", "last"});
      if (where < 0) return 2;
      start = static_cast<wander::StartAt>(where);
    } else if (arg == "--names" && has_value) {
      const int names = choice("--names", argv[++i], {"padded", "plain", "words"});
      if (names < 0) return 2;
      shape.names = static_cast<wander::NameStyle>(names);
    } else if (arg == "--description" && has_value) {
      shape.description_bytes = number_in("--description", argv[++i], 1, 1 << 20);
      if (shape.description_bytes < 0) return 2;
    } else if (arg == "--objects" && has_value) {
      shape.most_objects = number_in("--objects", argv[++i], 0, 3);
      if (shape.most_objects < 0) return 2;
    } else if (size < 0 && parse_size(arg) > wander::kLargestWorldBytes) {
      std::fprintf(stderr,
                   "wander-make-world: '%s' is past the largest world it makes, 1048576G (2^50 "
                   "bytes)\n",
                   wander::printable(argv[i]).c_str());
      return 2;
    } else if (size < 0 && parse_size(arg) > 0) {
      size = parse_size(arg);
    } else {
      std::fprintf(stderr, "wander-make-world: unexpected argument '%s'\n%s",
                   wander::printable(argv[i]).c_str(), kUsage);
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
  errno = 0;
  wander::write_world(stdout, wander::rooms_for_bytes(size, shape), start, shape);
  // write_world stops at the write that failed, so errno still says why; else the last bytes,
  // still buffered, may fail now.
  const bool written = std::ferror(stdout) == 0;
  int failure = errno;
  if (written && std::fflush(stdout) == 0) return 0;
  if (written) failure = errno;
  std::fprintf(stderr, "wander-make-world: cannot write to standard output: %s\n",
               std::strerror(failure != 0 ? failure : EIO));
  return 2;
}
