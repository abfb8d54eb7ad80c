#include "tools/wander-world/command_line.h"

#include <cerrno>
#include <cstdio>
#include <cstring>

#include "console/console.h"
#include "game/game.h"
#include "tools/names/printable.h"

namespace wander::cli {

int usage_error(const std::string& message, std::string_view command) {
  const std::string help =
      command.empty() ? "wander-world --help" : "wander-world " + std::string(command) + " --help";
  std::fprintf(stderr, "wander-world: %s; try '%s'\n", message.c_str(), help.c_str());
  return kCannotGoOn;
}

std::optional<int> read_arguments(int argc, char** argv, const char* usage,
                                  std::vector<std::string>& operands, const OptionReader& option) {
  const std::string_view command = argv[1];
  bool options_done = false;
  for (int i = 2; i < argc; ++i) {
    const std::string_view arg = argv[i];
    const bool is_option = !options_done && arg.size() > 1 && arg.front() == '-';
    if (is_option && (arg == "--help" || arg == "-h")) {
      std::fputs(usage, stdout);
      return kSucceeded;
    }
    std::string error;
    if (is_option && arg == "--") {
      options_done = true;
    } else if (is_option && option && option(arg, argv, argc, i, error)) {
      if (!error.empty()) return usage_error(error, command);
    } else if (is_option) {
      return usage_error("unknown option '" + printable(arg) + "'", command);
    } else if (arg.empty()) {
      return usage_error("the file name is empty", command);
    } else {
      operands.emplace_back(arg);
    }
  }
  return std::nullopt;
}

std::optional<std::string> world_file_operand(std::span<const std::string> files,
                                              std::string_view command) {
  if (files.size() > 1) {
    usage_error("more than one file given", command);
    return std::nullopt;
  }
  return files.empty() ? std::string(kWorldFileName) : files.front();
}

std::unique_ptr<ByteSource> open_world(const std::string& path) {
  if (path == "-") {
    bool copied = false;
    std::unique_ptr<ByteSource> input = open_standard_input_as_file(copied);
    if (!input) {
      std::fprintf(stderr, "wander-world: cannot read standard input: %s\n", std::strerror(errno));
    } else if (copied) {
      std::fputs(
          "wander-world: note: standard input is not a regular file, so it was read once into "
          "a temporary file; the game itself needs World.txt to be a regular file, which it "
          "reads again at every move\n",
          stderr);
    }
    return input;
  }
  std::string why;
  std::unique_ptr<ByteSource> file = open_file_source(path, &why);
  if (!file) {
    std::fprintf(stderr, "wander-world: cannot read '%s': %s\n", printable(path).c_str(),
                 why.c_str());
  }
  return file;
}

int cannot_read(const std::string& path, int error) {
  if (path == "-") {
    std::fprintf(stderr, "wander-world: cannot read standard input: %s\n", std::strerror(error));
  } else {
    std::fprintf(stderr, "wander-world: cannot read '%s': %s\n", printable(path).c_str(),
                 std::strerror(error));
  }
  return kCannotGoOn;
}

}  // namespace wander::cli
