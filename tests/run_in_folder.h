// Running the built programs as a user would: in a folder of their own, with piped input.
#ifndef WANDER_TESTS_RUN_IN_FOLDER_H_
#define WANDER_TESTS_RUN_IN_FOLDER_H_

#include <filesystem>
#include <string>

namespace wander::testing {

struct Outcome {
  std::string output;  ///< standard output, byte for byte
  std::string errors;  ///< standard error
  int status;          ///< exit status as a POSIX shell sees it; -1 when killed by a signal
};

/// A new empty folder under the system's temporary folder.
std::filesystem::path new_folder();

/// Writes `bytes` to the file at `path`, replacing it.
void write_file(const std::filesystem::path& path, const std::string& bytes);

/// Runs the shell command line `command` in `folder` with `input` on its standard input, then
/// removes the folder.
Outcome run_in(const std::filesystem::path& folder, const std::string& command,
               const std::string& input = "");

}  // namespace wander::testing

#endif  // WANDER_TESTS_RUN_IN_FOLDER_H_
