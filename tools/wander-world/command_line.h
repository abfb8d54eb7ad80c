// What every command of wander-world shares: its exit statuses, its usage errors, its reading of
// arguments, and its opening of the world file.
#ifndef WANDER_TOOLS_WANDER_WORLD_COMMAND_LINE_H_
#define WANDER_TOOLS_WANDER_WORLD_COMMAND_LINE_H_

#include <functional>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "text/text_reader.h"

namespace wander::cli {

/// The exit statuses of wander-world, one name each.
inline constexpr int kSucceeded = 0;    ///< done: no error found, the map or the page written
inline constexpr int kFoundErrors = 1;  ///< check found an error; a case of replay plays otherwise
/// The run could not go on: the arguments are wrong, a file cannot be read or written, standard
/// output cannot be written, or memory ran out. One line on standard error says which.
inline constexpr int kCannotGoOn = 2;

/// Writes "wander-world: MESSAGE; try 'wander-world COMMAND --help'" (or "try 'wander-world
/// --help'" when `command` is empty) to standard error as one line; returns kCannotGoOn.
int usage_error(const std::string& message, std::string_view command);

/// A command's own option: true when it takes `arg` (reading a value after it from `argv` at
/// `next`, which it then moves past), false when `arg` is no option of the command. Sets `error`
/// for a wrong value.
using OptionReader =
    std::function<bool(std::string_view arg, char** argv, int argc, int& next, std::string& error)>;

/// Reads the arguments after the command (argv[2] on, the command argv[1]): --help or -h (writes
/// `usage` and ends the run with kSucceeded), "--" (all after it are operands), the command's own
/// options through `option`, and operands, which are file names and may not be empty. Returns the
/// exit status when the arguments end the run.
std::optional<int> read_arguments(int argc, char** argv, const char* usage,
                                  std::vector<std::string>& operands,
                                  const OptionReader& option = {});

/// The one world file FILE that a command's operands name (`files`, at most one): that file, or
/// World.txt in the current folder when none is given. Null, after a usage error of `command`
/// (see usage_error, whose status kCannotGoOn then ends the run), when more than one is given.
std::optional<std::string> world_file_operand(std::span<const std::string> files,
                                              std::string_view command);

/// The world file at `path` ("-": standard input, copied to a temporary file when it is no
/// regular file, with a note) to read, or null after saying why it cannot be.
std::unique_ptr<ByteSource> open_world(const std::string& path);

/// Says that reading `path` ("-": standard input) failed with the system's error `error`;
/// returns kCannotGoOn: a world only partly read is no world to report on.
int cannot_read(const std::string& path, int error);

}  // namespace wander::cli

#endif  // WANDER_TOOLS_WANDER_WORLD_COMMAND_LINE_H_
