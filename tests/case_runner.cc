// Runs end-to-end cases against the built programs: each case in a fresh folder, with its world,
// its input and its streams set up, the program's output and status compared with the case's.
//
//   case_runner --game CMD --tool CMD [--crlf] [--no-posix] [--no-memory-limit] FILE...
//   case_runner --worlds FOLDER FILE...
//
// CMD is a shell command that starts the program ("build/wander", "wine build/wander.exe").
// --crlf reads a Windows runtime's CR LF line ends as LF; --no-posix skips the cases that need
// a POSIX system under the program; --no-memory-limit skips those with a memory limit (a
// sanitized build cannot run under one). --worlds runs nothing: it writes the worlds of the cases
// into FOLDER for the format tests (see write_worlds).
#include <fcntl.h>
#include <signal.h>
#include <stdlib.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <thread>

#include "tests/support/captured.h"
#include "tests/support/printed_diagnostics.h"
#include "tools/walkthroughs/case_file.h"
#include "tools/walkthroughs/line_diff.h"

namespace {

namespace fs = std::filesystem;
using wander::Case;

struct Options {
  std::string game;
  std::string tool;
  bool crlf = false;
  bool posix = true;
  bool memory_limits = true;
};

struct Outcome {
  std::string out;
  std::string err;
  std::string status;  // "0", "255", "killed by signal 9", "timed out"
};

std::string quote_for_shell(const std::string& text) {
  std::string out = "'";
  for (char c : text) out += c == '\'' ? std::string("'\\''") : std::string(1, c);
  return out + "'";
}

// The command with each word that names a file by a relative path made absolute, since the
// program runs in the case's folder.
std::string from_anywhere(const std::string& command) {
  std::istringstream words(command);
  std::string out;
  for (std::string word; words >> word;) {
    if (word.find('/') != std::string::npos && word.front() != '/' && fs::exists(word)) {
      word = quote_for_shell(fs::absolute(word).string());
    }
    out += (out.empty() ? "" : " ") + word;
  }
  return out;
}

void write_file(const fs::path& path, const std::string& bytes) {
  std::ofstream(path, std::ios::binary) << bytes;
}

std::string lf_line_ends(const std::string& text) {
  std::string out;
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] != '\r' || i + 1 == text.size() || text[i + 1] != '\n') out += text[i];
  }
  return out;
}

// Puts the case's World.txt in `folder`; false, with `why`, when this system cannot.
bool set_up_world(const Case& c, const fs::path& folder, std::string& why) {
  const fs::path world = folder / "World.txt";
  switch (c.world_setup) {
    case wander::WorldSetup::kText:
      write_file(world, *c.world);
      break;
    case wander::WorldSetup::kNone:
      break;
    case wander::WorldSetup::kFolder:
      fs::create_directory(world);
      break;
    case wander::WorldSetup::kFifo:
      mkfifo(world.c_str(), 0600);
      break;
    case wander::WorldSetup::kDevice:
      fs::create_symlink("/dev/zero", world);
      break;
    case wander::WorldSetup::kSelfLink:
      fs::create_symlink("World.txt", world);
      break;
    case wander::WorldSetup::kFailing:
      // A process's own memory opens as a regular file, and reading its first page fails.
      if (!fs::exists("/proc/self/mem")) {
        why = "this system has no /proc/self/mem, a file whose reads fail";
        return false;
      }
      fs::create_symlink("/proc/self/mem", world);
      break;
    case wander::WorldSetup::kUnreadable:
      write_file(world, "");
      fs::permissions(world, fs::perms::none);
      if (std::FILE* probe = std::fopen(world.c_str(), "rb")) {
        std::fclose(probe);
        why = "this user reads files whatever their permissions";
        return false;
      }
      break;
  }
  return true;
}

// Runs `script` in a shell of its own, killing it after `seconds`. With `broken_stdout`, the
// shell's standard output is a pipe that nobody reads any more, and SIGPIPE does what it does in
// a shell's pipeline: the program must see to it that it is not killed by the signal.
std::string run_shell(const std::string& script, int seconds, bool broken_stdout) {
  const pid_t child = fork();
  if (child == 0) {
    setpgid(0, 0);
    int ends[2];
    if (broken_stdout && pipe(ends) == 0) {
      close(ends[0]);
      dup2(ends[1], STDOUT_FILENO);
      close(ends[1]);
    }
    execl("/bin/sh", "sh", "-c", script.c_str(), static_cast<char*>(nullptr));
    _exit(127);
  }
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(seconds);
  int raw = 0;
  while (waitpid(child, &raw, WNOHANG) == 0) {
    if (std::chrono::steady_clock::now() > deadline) {
      killpg(child, SIGKILL);
      waitpid(child, &raw, 0);
      return "timed out";
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(5));
  }
  if (WIFEXITED(raw)) return std::to_string(WEXITSTATUS(raw));
  return "killed by signal " + std::to_string(WTERMSIG(raw));
}

Outcome run(const Case& c, const Options& options, const fs::path& folder) {
  const fs::path side = folder.string() + ".io";
  fs::create_directory(side);
  write_file(side / "input", c.input);
  std::string script = "cd " + quote_for_shell(folder.string()) + " && ";
  if (c.memory_limit != 0) script += "ulimit -v " + std::to_string(c.memory_limit) + " && ";
  if (c.cpu_limit != 0) script += "ulimit -t " + std::to_string(c.cpu_limit) + " && ";
  script += "exec " + (c.program == "wander" ? options.game : options.tool) + " " + c.arguments;
  switch (c.stdin_setup) {
    case wander::StdinSetup::kInput:
      script += " <" + quote_for_shell((side / "input").string());
      break;
    case wander::StdinSetup::kClosed:
      script += " <&-";
      break;
    // A folder opens, and every read of it fails.
    case wander::StdinSetup::kUnreadable:
      script += " <" + quote_for_shell(side.string());
      break;
  }
  switch (c.stdout_setup) {
    case wander::StdoutSetup::kCaptured:
      script += " >" + quote_for_shell((side / "output").string());
      break;
    case wander::StdoutSetup::kClosed:
      script += " >&-";
      break;
    case wander::StdoutSetup::kFull:
      script += " >/dev/full";
      break;
    case wander::StdoutSetup::kBroken:
      break;  // see run_shell
  }
  script += " 2>" + quote_for_shell((side / "errors").string());
  Outcome outcome;
  outcome.status = run_shell(script, 60, c.stdout_setup == wander::StdoutSetup::kBroken);
  outcome.out = wander::testing::file_bytes(side / "output");
  outcome.err = wander::testing::file_bytes(side / "errors");
  if (options.crlf) {
    outcome.out = lf_line_ends(outcome.out);
    outcome.err = lf_line_ends(outcome.err);
  }
  fs::remove_all(side);
  return outcome;
}

// Writes the worlds that the cases of `file` give as text into `folder`, one file each, named
// STEM-N.txt (STEM the case file's, N from 1), and prints their names: a world that several cases
// in a row share once, none past a megabyte. For the tests that check the worlds of the cases in
// other ways than the cases do.
void write_worlds(const std::vector<Case>& cases, const std::string& file, const fs::path& folder) {
  const std::string* last = nullptr;
  int written = 0;
  for (const Case& c : cases) {
    if (c.world_setup != wander::WorldSetup::kText || c.world->size() > (1 << 20)) continue;
    if (last != nullptr && *last == *c.world) continue;
    last = c.world.get();
    const fs::path path =
        folder / (fs::path(file).stem().string() + "-" + std::to_string(++written) + ".txt");
    write_file(path, *c.world);
    std::printf("%s\n", path.c_str());
  }
}

// Runs one case; returns what went wrong, empty when nothing did, and sets `origin` to the line
// of the case file that the report points at.
std::string check(const Case& c, const Options& options, std::string& origin) {
  const fs::path folder = fs::temp_directory_path() / "wander-case-XXXXXX";
  std::string name = folder.string();
  const fs::path made = mkdtemp(name.data());
  std::string why;
  if (!set_up_world(c, made, why)) {
    fs::remove_all(made);
    return "skip: " + why;
  }
  const Outcome got = run(c, options, made);
  fs::remove_all(made);
  std::string report;
  if (got.status != std::to_string(c.expected_status)) {
    report +=
        "status: expected " + std::to_string(c.expected_status) + ", got " + got.status + "\n";
  }
  if (c.expected_stdout) {
    const std::string diff = wander::describe_difference(*c.expected_stdout, got.out);
    if (!diff.empty()) report += "standard output differs:\n" + diff;
  }
  if (c.diagnostics) {
    const std::string diff =
        wander::compare_diagnostics(*c.diagnostics, wander::printed_diagnostics(got.out));
    if (!diff.empty()) report += diff + "the whole output:\n" + wander::as_case_lines(got.out);
  }
  const std::string err_diff = wander::describe_difference(c.expected_stderr, got.err);
  if (!err_diff.empty()) report += "standard error differs:\n" + err_diff;
  origin =
      wander::failure_origin(c, got.out, got.err, got.status != std::to_string(c.expected_status));
  return report;
}

}  // namespace

int main(int argc, char** argv) {
  Options options;
  std::vector<std::string> files;
  std::string worlds;
  for (int i = 1; i < argc; ++i) {
    const std::string arg = argv[i];
    if ((arg == "--game" || arg == "--tool") && i + 1 < argc) {
      (arg == "--game" ? options.game : options.tool) = from_anywhere(argv[++i]);
    } else if (arg == "--worlds" && i + 1 < argc) {
      worlds = argv[++i];
    } else if (arg == "--crlf") {
      options.crlf = true;
    } else if (arg == "--no-posix") {
      options.posix = false;
    } else if (arg == "--no-memory-limit") {
      options.memory_limits = false;
    } else {
      files.push_back(arg);
    }
  }
  if ((worlds.empty() && (options.game.empty() || options.tool.empty())) || files.empty()) {
    std::fprintf(stderr,
                 "usage: case_runner --game CMD --tool CMD [--crlf] [--no-posix] "
                 "[--no-memory-limit] FILE...\n       case_runner --worlds FOLDER FILE...\n");
    return 2;
  }
  // A program that writes to a closed pipe must see the default behaviour, whatever ours is.
  signal(SIGPIPE, SIG_DFL);
  int passed = 0, failed = 0, skipped = 0;
  for (const std::string& file : files) {
    std::string error;
    const auto cases = wander::read_case_file(file, error);
    if (!cases) {
      std::printf("FAIL %s\n", error.c_str());
      ++failed;
      continue;
    }
    if (!worlds.empty()) {
      write_worlds(*cases, file, worlds);
      continue;
    }
    for (const Case& c : *cases) {
      std::string report;
      std::string origin = c.origin;
      // A limit on processor time is set with ulimit, on a POSIX system.
      if ((c.needs_posix || c.cpu_limit != 0) && !options.posix) {
        report = "skip: needs a POSIX system";
      }
      if (c.memory_limit != 0 && !options.memory_limits) report = "skip: has a memory limit";
      if (report.empty()) report = check(c, options, origin);
      if (report.empty()) {
        std::printf("ok   %s\n", c.name.c_str());
        ++passed;
      } else if (report.rfind("skip: ", 0) == 0) {
        std::printf("skip %s (%s)\n", c.name.c_str(), report.c_str() + 6);
        ++skipped;
      } else {
        std::printf("FAIL %s (%s)\n%s", c.name.c_str(), origin.c_str(), report.c_str());
        ++failed;
      }
    }
  }
  if (worlds.empty()) std::printf("%d passed, %d failed, %d skipped\n", passed, failed, skipped);
  return failed == 0 ? 0 : 1;
}
