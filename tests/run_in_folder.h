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

/// A program under test and how to start it.
struct Program {
  std::string command;  ///< a shell command line
  bool crlf = false;    ///< whether its output has a Windows runtime's CR LF line ends
};

/// The program built at `built`, or the command named by the environment variable `override`
/// when that is set, such as "wine build-windows/wander.exe", taken to be a Windows build.
Program program(const char* override, const std::string& built);

/// A new empty folder under the system's temporary folder.
std::filesystem::path new_folder();

/// Writes `bytes` to the file at `path`, replacing it.
void write_file(const std::filesystem::path& path, const std::string& bytes);

/// Runs `program` with `arguments` in `folder`, with `input` on its standard input, then removes
/// the folder. A Windows build's CR LF line ends are read as LF.
Outcome run_in(const std::filesystem::path& folder, const Program& program,
               const std::string& arguments, const std::string& input = "");

}  // namespace wander::testing

#endif  // WANDER_TESTS_RUN_IN_FOLDER_H_
