#include "tests/run_in_folder.h"

#include <stdlib.h>
#include <sys/wait.h>

#include <cstdlib>
#include <fstream>
#include <sstream>

namespace wander::testing {
namespace {

std::string read_file(const std::filesystem::path& path) {
  std::ostringstream bytes;
  bytes << std::ifstream(path, std::ios::binary).rdbuf();
  return bytes.str();
}

// Every CR LF pair as a lone LF, as the text-mode output of a Windows runtime is read back.
std::string lf_line_ends(const std::string& text) {
  std::string out;
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] != '\r' || i + 1 == text.size() || text[i + 1] != '\n') out += text[i];
  }
  return out;
}

}  // namespace

Program program(const char* override, const std::string& built) {
  const char* other = std::getenv(override);
  if (other != nullptr && *other != '\0') return {other, true};
  return {"'" + built + "'", false};
}

std::filesystem::path new_folder() {
  std::string name = (std::filesystem::temp_directory_path() / "wander-XXXXXX").string();
  return mkdtemp(name.data());
}

void write_file(const std::filesystem::path& path, const std::string& bytes) {
  std::ofstream(path, std::ios::binary) << bytes;
}

Outcome run_in(const std::filesystem::path& folder, const Program& program,
               const std::string& arguments, const std::string& input) {
  // The input and the captured streams sit beside the folder, not in it, so that the program
  // sees only what the test put there.
  const std::filesystem::path side = folder.string() + ".io";
  std::filesystem::create_directory(side);
  write_file(side / "input", input);
  const std::string line = "cd '" + folder.string() + "' && " + program.command + " " + arguments +
                           " < '" + (side / "input").string() + "' > '" +
                           (side / "output").string() + "' 2> '" + (side / "errors").string() + "'";
  const int raw = std::system(line.c_str());
  Outcome outcome{read_file(side / "output"), read_file(side / "errors"),
                  WIFEXITED(raw) ? WEXITSTATUS(raw) : -1};
  if (program.crlf) {
    outcome.output = lf_line_ends(outcome.output);
    outcome.errors = lf_line_ends(outcome.errors);
  }
  std::filesystem::remove_all(folder);
  std::filesystem::remove_all(side);
  return outcome;
}

}  // namespace wander::testing
