#include "tools/world_publish.h"

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <vector>

#include "text/text_reader.h"
#include "tools/printable.h"
#include "tools/world_checks.h"
#include "tools/world_survey.h"
#include "world/room.h"

#if defined(_WIN32)
#include <fcntl.h>
#include <io.h>
#include <sys/stat.h>
#else
#include <fcntl.h>
#include <unistd.h>
#endif

namespace wander {
namespace {

namespace fs = std::filesystem;

constexpr int kPublished = 0;
constexpr int kFailed = 2;

constexpr char kPublishUsage[] =
    "usage: wander-world publish [--page FOLDER] [FILE] DIR\n"
    "\n"
    "Writes a web page that plays the world file FILE (World.txt when not given) into the\n"
    "folder DIR: index.html, the game, the terminal's script and style, and world.js, the\n"
    "world. Open DIR/index.html in a browser, or put DIR on any web server. DIR is made when\n"
    "missing; files of the same names in it are replaced (a link among them is replaced, never\n"
    "followed), other files are left alone.\n"
    "\n"
    "  --page FOLDER   the web page to publish with (default: the one installed with\n"
    "                  wander-world, in ../share/wander/web from the folder it stands in)\n"
    "\n"
    "Exit status: 0 when published, 2 when FILE (which must be a regular file) or the page\n"
    "cannot be read, DIR or standard output cannot be written, the arguments are wrong, or\n"
    "memory ran out.\n";

int usage_error(const std::string& message) {
  std::fprintf(stderr, "wander-world: %s\n\n%s", message.c_str(), kPublishUsage);
  return kFailed;
}

// All the bytes of the file at `path`, read through the reader's own file source; false, with
// `why` set, when it cannot be read.
bool read_whole_file(const std::string& path, std::string& bytes, std::string& why) {
  std::unique_ptr<ByteSource> file = open_file_source(path, &why);
  if (!file) return false;
  char block[64 * 1024];
  while (const std::size_t n = file->read(block, sizeof block)) bytes.append(block, n);
  if (file->error() != 0) why = std::strerror(file->error());
  return file->error() == 0;
}

int count_errors(const std::string& bytes) {
  WorldFile world(make_string_source(bytes));
  const Survey survey = survey_world(world);
  int errors = 0;
  for (const Diagnostic& d : check_world(world, survey)) errors += d.severity == Severity::kError;
  return errors;
}

// A size the way a person reads it: "612 KB", "1.4 MB", "815 bytes".
std::string readable_size(std::uintmax_t bytes) {
  char text[32];
  if (bytes < 1000) {
    std::snprintf(text, sizeof text, "%ju bytes", bytes);
  } else if (bytes < 1000 * 1000) {
    std::snprintf(text, sizeof text, "%ju KB", (bytes + 500) / 1000);
  } else {
    std::snprintf(text, sizeof text, "%.1f MB", static_cast<double>(bytes) / 1e6);
  }
  return text;
}

std::string in_quotes(std::string_view name) {
  // Built by appending: g++ 12 warns falsely (-Wrestrict) about "'" + string + "'".
  std::string text(1, '\'');
  text.append(printable(name)).append(1, '\'');
  return text;
}

// A file made for this write alone, by name, never through a link: open(2) with O_CREAT|O_EXCL
// fails on any name that exists, a dangling link included. The mode asked for is what a web
// server can read, and the system takes the umask from it. -1 with errno set when it fails.
int create_new_file(const fs::path& path) {
#if defined(_WIN32)
  return _wopen(path.c_str(), _O_WRONLY | _O_CREAT | _O_EXCL | _O_BINARY, _S_IREAD | _S_IWRITE);
#else
  return ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0644);
#endif
}

// Writes all of `bytes` to `file` and closes it; false, with errno set, when either fails.
bool write_and_close(int file, std::string_view bytes) {
  int failure = 0;
  while (failure == 0 && !bytes.empty()) {
#if defined(_WIN32)
    const int n = _write(file, bytes.data(),
                         static_cast<unsigned>(std::min<std::size_t>(bytes.size(), 1 << 30)));
#else
    const ssize_t n = ::write(file, bytes.data(), bytes.size());
#endif
    if (n > 0) {
      bytes.remove_prefix(static_cast<std::size_t>(n));
    } else if (n == 0 || errno != EINTR) {
      failure = n == 0 ? EIO : errno;
    }
  }
#if defined(_WIN32)
  const int closed = _close(file);
#else
  const int closed = ::close(file);
#endif
  if (closed != 0 && failure == 0) failure = errno;
  errno = failure;
  return failure == 0;
}

// Puts `bytes` at `to` by writing a new file beside it and renaming that over it: whatever stood
// at `to`, a link to a file elsewhere included, is replaced and never written through. False,
// with `error` saying why, when it fails; no new file is left behind then.
bool write_replacing(const fs::path& to, std::string_view bytes, std::string& error) {
  // The name only has to be free in this folder: a taken one is tried again with another.
  auto seed =
      static_cast<std::uint64_t>(std::chrono::steady_clock::now().time_since_epoch().count());
  seed ^= reinterpret_cast<std::uintptr_t>(&seed);
  for (int attempt = 0; attempt < 100; ++attempt) {
    seed = seed * 6364136223846793005ULL + 1442695040888963407ULL;
    char suffix[24];
    std::snprintf(suffix, sizeof suffix, ".%012llx.tmp",
                  static_cast<unsigned long long>(seed >> 16));
    // Built by appending, as in_quotes is.
    std::string name(1, '.');
    name.append(to.filename().string()).append(suffix);
    const fs::path temporary = to.parent_path() / name;
    const int file = create_new_file(temporary);
    if (file < 0 && errno == EEXIST) continue;
    if (file < 0) {
      error = "cannot write " + in_quotes(to.string()) + ": " + std::strerror(errno);
      return false;
    }
    std::error_code code;
    if (!write_and_close(file, bytes)) {
      error = "cannot write " + in_quotes(to.string()) + ": " + std::strerror(errno);
    } else if (fs::rename(temporary, to, code); code) {
      error = "cannot write " + in_quotes(to.string()) + ": " + code.message();
    } else {
      return true;
    }
    fs::remove(temporary, code);
    return false;
  }
  error =
      "cannot write " + in_quotes(to.string()) + ": no free name for a temporary file beside it";
  return false;
}

}  // namespace

std::string world_script(std::string_view name, std::string_view bytes) {
  static constexpr char kHex[] = "0123456789abcdef";
  std::string script = "wanderWorld(\"";
  for (const char c : name) {
    const auto u = static_cast<unsigned char>(c);
    if (c == '"' || c == '\\' || u < 0x20 || u == 0x7f) {
      script.append("\\x").append(1, kHex[u >> 4]).append(1, kHex[u & 15]);
    } else {
      script += c;
    }
  }
  script.append("\", \"");
  script.reserve(script.size() + 2 * bytes.size() + 4);
  for (const char c : bytes) {
    const auto u = static_cast<unsigned char>(c);
    script.append(1, kHex[u >> 4]).append(1, kHex[u & 15]);
  }
  script.append("\");\n");
  return script;
}

fs::path installed_page(const fs::path& program) {
  const fs::path page = (program.parent_path() / kPageFromProgramFolder).lexically_normal();
  std::error_code error;
  return fs::is_regular_file(page / "index.html", error) ? page : fs::path();
}

fs::path running_program(const char* argv0) {
  std::error_code error;
  // Linux names the file itself, however the program was started.
  fs::path self = fs::read_symlink("/proc/self/exe", error);
  if (!error) return self;
  const fs::path given = argv0 == nullptr ? "" : argv0;
  if (given.empty()) return {};
  if (given.has_parent_path()) return fs::absolute(given, error);
  // Started by name alone: the shell found it along PATH, and so can we.
  const char* path = std::getenv("PATH");
  for (std::string_view rest = path == nullptr ? "" : path; !rest.empty();) {
    const std::size_t colon = std::min(rest.find(':'), rest.size());
    const fs::path candidate = fs::path(rest.substr(0, colon)) / given;
    if (fs::is_regular_file(candidate, error)) return fs::absolute(candidate, error);
    rest.remove_prefix(std::min(colon + 1, rest.size()));
  }
  return {};
}

bool publish_world(const fs::path& page, std::string_view name, std::string_view bytes,
                   const fs::path& folder, Published& published, std::string& error) {
  std::error_code code;
  fs::create_directories(folder, code);
  if (code) {
    error = "cannot make the folder " + in_quotes(folder.string()) + ": " + code.message();
    return false;
  }
  if (fs::equivalent(page, folder, code)) {
    error = "the folder " + in_quotes(folder.string()) +
            " is the page itself: publish into another folder";
    return false;
  }
  fs::directory_iterator files(page, code);
  if (code) {
    error = "cannot read the page in " + in_quotes(page.string()) + ": " + code.message();
    return false;
  }
  published = {};
  for (const fs::directory_entry& file : files) {
    if (!file.is_regular_file(code) || file.path().filename() == kWorldScriptName) continue;
    std::string page_bytes;
    std::string why;
    if (!read_whole_file(file.path().string(), page_bytes, why)) {
      error = "cannot read " + in_quotes(file.path().string()) + ": " + why;
      return false;
    }
    if (!write_replacing(folder / file.path().filename(), page_bytes, error)) return false;
    published.page_bytes += page_bytes.size();
  }
  const std::string script = world_script(name, bytes);
  if (!write_replacing(folder / kWorldScriptName, script, error)) return false;
  published.world_bytes = script.size();
  return true;
}

int publish_command(int argc, char** args, const char* argv0) {
  std::vector<std::string> operands;
  fs::path page;
  bool page_given = false;
  bool options_done = false;
  for (int i = 0; i < argc; ++i) {
    const std::string_view arg = args[i];
    if (!options_done && (arg == "--help" || arg == "-h")) {
      std::fputs(kPublishUsage, stdout);
      return kPublished;
    }
    if (!options_done && arg == "--") {
      options_done = true;
    } else if (!options_done && arg == "--page") {
      if (i + 1 == argc) return usage_error("--page needs a folder");
      page = args[++i];
      page_given = true;
    } else if (!options_done && arg.size() > 1 && arg.front() == '-') {
      return usage_error("unknown option " + in_quotes(arg));
    } else {
      operands.emplace_back(arg);
    }
  }
  if (operands.empty()) return usage_error("no folder to publish into");
  if (operands.size() > 2) return usage_error("more than one file given");
  if (operands.size() == 2 && operands.front().empty()) {
    return usage_error("the file name is empty");
  }
  if (operands.back().empty()) return usage_error("the folder name is empty");
  if (page_given && page.empty()) return usage_error("the page's folder name is empty");
  const std::string world_path = operands.size() == 2 ? operands[0] : "World.txt";
  const fs::path folder = operands.back();

  if (!page_given) {
    const fs::path program = running_program(argv0);
    page = installed_page(program);
    if (page.empty()) {
      const fs::path looked = (program.parent_path() / kPageFromProgramFolder).lexically_normal();
      std::fprintf(stderr,
                   "wander-world: the web page is not installed (looked in %s).\n"
                   "Build it with 'npm ci --prefix web', 'cmake --preset web' and 'cmake --build "
                   "build-web' in wander's sources,\nthen install it with the programs, or name "
                   "its folder: --page build-web/page\n",
                   in_quotes(looked.string()).c_str());
      return kFailed;
    }
  } else if (std::error_code code; !fs::is_regular_file(page / "index.html", code)) {
    std::fprintf(stderr, "wander-world: %s holds no web page (no index.html)\n",
                 in_quotes(page.string()).c_str());
    return kFailed;
  }

  std::string bytes;
  std::string why;
  if (!read_whole_file(world_path, bytes, why)) {
    std::fprintf(stderr, "wander-world: cannot read %s: %s\n", in_quotes(world_path).c_str(),
                 why.c_str());
    return kFailed;
  }
  Published published;
  std::string error;
  if (!publish_world(page, fs::path(world_path).filename().string(), bytes, folder, published,
                     error)) {
    std::fprintf(stderr, "wander-world: %s\n", error.c_str());
    return kFailed;
  }
  std::printf("Published %s in %s: %s of page and %s of world.\n", in_quotes(world_path).c_str(),
              in_quotes(folder.string()).c_str(), readable_size(published.page_bytes).c_str(),
              readable_size(published.world_bytes).c_str());
  std::printf("Open %s in a browser, or put the folder on any web server.\n",
              in_quotes((folder / "index.html").string()).c_str());
  // The page plays the world as the console does, mistakes and all; the author may not know.
  if (const int errors = count_errors(bytes); errors > 0) {
    std::fprintf(stderr,
                 "wander-world: warning: %s has %d error%s, which the page plays as the console "
                 "does; 'wander-world check %s' lists them\n",
                 in_quotes(world_path).c_str(), errors, errors == 1 ? "" : "s",
                 printable(world_path).c_str());
  }
  return kPublished;
}

}  // namespace wander
