#include "tools/world_publish.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <memory>
#include <vector>

#include "text/text_reader.h"
#include "tools/world_checks.h"
#include "tools/world_survey.h"
#include "world/room.h"

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
    "missing; files of the same names in it are replaced, other files are left alone.\n"
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

std::string quoted(const fs::path& path) {
  // Built by appending: g++ 12 warns falsely (-Wrestrict) about "'" + string + "'".
  std::string text(1, '\'');
  text.append(path.string()).append(1, '\'');
  return text;
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
    error = "cannot make the folder " + quoted(folder) + ": " + code.message();
    return false;
  }
  if (fs::equivalent(page, folder, code)) {
    error = "the folder " + quoted(folder) + " is the page itself: publish into another folder";
    return false;
  }
  fs::directory_iterator files(page, code);
  if (code) {
    error = "cannot read the page in " + quoted(page) + ": " + code.message();
    return false;
  }
  published = {};
  for (const fs::directory_entry& file : files) {
    if (!file.is_regular_file(code) || file.path().filename() == kWorldScriptName) continue;
    const fs::path to = folder / file.path().filename();
    fs::copy_file(file.path(), to, fs::copy_options::overwrite_existing, code);
    if (code) {
      error = "cannot copy " + quoted(file.path()) + " to " + quoted(to) + ": " + code.message();
      return false;
    }
    published.page_bytes += fs::file_size(to, code);
  }
  const std::string script = world_script(name, bytes);
  const fs::path to = folder / kWorldScriptName;
  std::ofstream out(to, std::ios::binary | std::ios::trunc);
  out.write(script.data(), static_cast<std::streamsize>(script.size()));
  out.close();
  if (!out) {
    error = "cannot write " + quoted(to);
    return false;
  }
  published.world_bytes = script.size();
  return true;
}

int publish_command(int argc, char** args, const char* argv0) {
  std::vector<std::string> operands;
  fs::path page;
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
    } else if (!options_done && arg.size() > 1 && arg.front() == '-') {
      return usage_error("unknown option '" + std::string(arg) + "'");
    } else {
      operands.emplace_back(arg);
    }
  }
  if (operands.empty()) return usage_error("no folder to publish into");
  if (operands.size() > 2) return usage_error("more than one file given");
  const std::string world_path = operands.size() == 2 ? operands[0] : "World.txt";
  const fs::path folder = operands.back();

  if (page.empty()) {
    const fs::path program = running_program(argv0);
    page = installed_page(program);
    if (page.empty()) {
      const fs::path looked = (program.parent_path() / kPageFromProgramFolder).lexically_normal();
      std::fprintf(stderr,
                   "wander-world: the web page is not installed (looked in %s).\n"
                   "Build it with 'npm ci --prefix web', 'cmake --preset web' and 'cmake --build "
                   "build-web' in wander's sources,\nthen install it with the programs, or name "
                   "its folder: --page build-web/page\n",
                   quoted(looked).c_str());
      return kFailed;
    }
  } else if (std::error_code code; !fs::is_regular_file(page / "index.html", code)) {
    std::fprintf(stderr, "wander-world: %s holds no web page (no index.html)\n",
                 quoted(page).c_str());
    return kFailed;
  }

  std::string bytes;
  std::string why;
  if (!read_whole_file(world_path, bytes, why)) {
    std::fprintf(stderr, "wander-world: cannot read '%s': %s\n", world_path.c_str(), why.c_str());
    return kFailed;
  }
  Published published;
  std::string error;
  if (!publish_world(page, fs::path(world_path).filename().string(), bytes, folder, published,
                     error)) {
    std::fprintf(stderr, "wander-world: %s\n", error.c_str());
    return kFailed;
  }
  std::printf("Published '%s' in %s: %s of page and %s of world.\n", world_path.c_str(),
              quoted(folder).c_str(), readable_size(published.page_bytes).c_str(),
              readable_size(published.world_bytes).c_str());
  std::printf("Open %s in a browser, or put the folder on any web server.\n",
              quoted(folder / "index.html").c_str());
  // The page plays the world as the console does, mistakes and all; the author may not know.
  if (const int errors = count_errors(bytes); errors > 0) {
    std::fprintf(stderr,
                 "wander-world: warning: '%s' has %d error%s, which the page plays as the console "
                 "does; 'wander-world check %s' lists them\n",
                 world_path.c_str(), errors, errors == 1 ? "" : "s", world_path.c_str());
  }
  return kPublished;
}

}  // namespace wander
