// wander-world publish: a world as a web page that plays it.
#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "text/text_reader.h"
#include "tools/checks/world_checks.h"
#include "tools/names/printable.h"
#include "tools/publish/world_publish.h"
#include "tools/save/author_file.h"
#include "tools/survey/world_survey.h"
#include "tools/wander-world/command_line.h"
#include "tools/wander-world/commands.h"

namespace wander::cli {
namespace {

namespace fs = std::filesystem;

constexpr char kPublishUsage[] =
    "usage: wander-world publish [--title TEXT [--byline TEXT]] [--page FOLDER]\n"
    "                            [--single-file] [FILE] DIR\n"
    "\n"
    "Writes a web page that plays the world file FILE (World.txt when not given)\n"
    "into the folder DIR: index.html, the game, the terminal's script and style, and\n"
    "world.js, the world. Open DIR/index.html in a browser, or put DIR on any web\n"
    "server. DIR is made when missing; files of the same names in it are replaced (a\n"
    "link among them is replaced, never followed), other files are left alone.\n"
    "\n"
    "  --title TEXT    the world's title, in the page's title and heading (default:\n"
    "                  the file's name); any UTF-8 text without control characters\n"
    "  --byline TEXT   a line under the heading, such as \"by Ann Other\"\n"
    "  --page FOLDER   the web page to publish with (default: the one beside\n"
    "                  wander-world, in web/page of its build folder or\n"
    "                  ../share/wander/web when installed)\n"
    "\n"
    "  --single-file   write one HTML file, the page and the world inside it, that\n"
    "                  plays with no other file: DIR is then that file's name\n"
    "\n"
    "Exit status: 0 when published, 2 when FILE (which must be a regular file) or\n"
    "the page cannot be read, DIR or standard output cannot be written, the\n"
    "arguments are wrong, or memory ran out.\n";

int publish_usage_error(const std::string& message) { return usage_error(message, "publish"); }

// Why `text`, given as --title or --byline, cannot be shown as it is on a page; empty when it
// can. A control character would be no text to see, and bytes that are no UTF-8 no character.
std::string unshowable(std::string_view text) {
  for (std::size_t at = 0; at < text.size();) {
    const std::size_t length = utf8_length(text.substr(at));
    if (length == 0) return "is not UTF-8";
    const char32_t point = code_point(text.substr(at), length);
    if (point < 0x20 || (point >= 0x7f && point < 0xa0)) {
      return "holds a control character, " + printable(text.substr(at, length));
    }
    at += length;
  }
  return {};
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

}  // namespace

int publish_command(int argc, char** argv) {
  char** args = argv + 2;
  const char* argv0 = argv[0];
  argc -= 2;
  std::vector<std::string> operands;
  fs::path page;
  bool page_given = false;
  std::optional<std::string> title;
  std::optional<std::string> byline;
  bool options_done = false;
  bool single_file = false;
  for (int i = 0; i < argc; ++i) {
    const std::string_view arg = args[i];
    if (!options_done && (arg == "--help" || arg == "-h")) {
      std::fputs(kPublishUsage, stdout);
      return kSucceeded;
    }
    if (!options_done && arg == "--") {
      options_done = true;
    } else if (!options_done && arg == "--single-file") {
      single_file = true;
    } else if (!options_done && arg == "--page") {
      if (i + 1 == argc) return publish_usage_error("--page needs a folder");
      page = args[++i];
      page_given = true;
    } else if (!options_done && (arg == "--title" || arg == "--byline")) {
      if (i + 1 == argc) return publish_usage_error(std::string(arg) + " needs a text");
      const std::string_view text = args[++i];
      if (const std::string why = unshowable(text); !why.empty()) {
        return publish_usage_error("the text of " + std::string(arg) + " " + why);
      }
      (arg == "--title" ? title : byline) = text;
    } else if (!options_done && arg.size() > 1 && arg.front() == '-') {
      return publish_usage_error("unknown option " + in_quotes(arg));
    } else {
      operands.emplace_back(arg);
    }
  }
  if (operands.empty()) return publish_usage_error("no folder to publish into");
  // The folder comes last; before it, the one world file.
  const std::optional<std::string> operand =
      world_file_operand(std::span(operands).first(operands.size() - 1), "publish");
  if (!operand) return kCannotGoOn;
  const std::string& world_path = *operand;
  if (operands.size() == 2 && operands.front().empty()) {
    return publish_usage_error("the file name is empty");
  }
  if (operands.back().empty()) return publish_usage_error("the folder name is empty");
  if (page_given && page.empty()) return publish_usage_error("the page's folder name is empty");
  if (title && title->empty()) return publish_usage_error("the title is empty");
  if (byline && !title) return publish_usage_error("--byline needs a --title");
  const fs::path folder = operands.back();

  if (!page_given) {
    const fs::path program = running_program(argv0);
    page = page_beside(program);
    if (page.empty()) {
      std::string looked;
      for (const char* relative : kPagesFromProgramFolder) {
        if (!looked.empty()) looked += " and ";
        looked += in_quotes((program.parent_path() / relative).lexically_normal().string());
      }
      std::fprintf(stderr,
                   "wander-world: no web page beside the program (looked in %s).\n"
                   "Build it with wander: 'npm ci --prefix web', then configure with "
                   "-DWANDER_WEB=ON;\nor name the folder of a page: --page FOLDER\n",
                   looked.c_str());
      return kCannotGoOn;
    }
  } else if (std::error_code code; !fs::is_regular_file(page / "index.html", code)) {
    std::fprintf(stderr, "wander-world: %s holds no web page (no index.html)\n",
                 in_quotes(page.string()).c_str());
    return kCannotGoOn;
  }

  std::string bytes;
  std::string why;
  if (!read_whole_file(world_path, bytes, why)) {
    std::fprintf(stderr, "wander-world: cannot read %s: %s\n", in_quotes(world_path).c_str(),
                 why.c_str());
    return kCannotGoOn;
  }
  Published published;
  std::string error;
  const std::string name = fs::path(world_path).filename().string();
  const PageTitle page_title{title ? *title : printable(name), byline ? *byline : ""};
  if (single_file) {
    // Only files of the page's own folder: a name in index.html leads nowhere else.
    const PageFile page_file = [&](const std::string& file, std::string& text, std::string& why) {
      if (file.empty() || file.front() == '.' || file.find_first_of("/\\") != std::string::npos) {
        why = "index.html names " + in_quotes(file) + ", which is no file of its folder";
        return false;
      }
      if (read_whole_file((page / file).string(), text, why)) return true;
      why = "cannot read " + in_quotes((page / file).string()) + ": " + why;
      return false;
    };
    // The notices of what the page carries (NAME-LICENSE.txt) go wherever it goes.
    std::vector<std::string> notices;
    std::error_code code;
    for (const fs::directory_entry& file : fs::directory_iterator(page, code)) {
      if (file.path().filename().string().ends_with("-LICENSE.txt")) {
        notices.push_back(file.path().filename().string());
      }
    }
    std::sort(notices.begin(), notices.end());
    std::string html;
    if (!single_file_page(page_file, name, bytes, page_title, notices, html, error) ||
        !replace_file(folder, html, error)) {
      std::fprintf(stderr, "wander-world: %s\n", error.c_str());
      return kCannotGoOn;
    }
    std::printf("Published %s as %s: %s.\n", in_quotes(world_path).c_str(),
                in_quotes(folder.string()).c_str(), readable_size(html.size()).c_str());
  } else if (!publish_world(page, name, bytes, page_title, folder, published, error)) {
    std::fprintf(stderr, "wander-world: %s\n", error.c_str());
    return kCannotGoOn;
  } else {
    std::printf("Published %s in %s: %s of page and %s of world.\n", in_quotes(world_path).c_str(),
                in_quotes(folder.string()).c_str(), readable_size(published.page_bytes).c_str(),
                readable_size(published.world_bytes).c_str());
    std::printf("Open %s in a browser, or put the folder on any web server.\n",
                in_quotes((folder / "index.html").string()).c_str());
  }
  // The page plays the world as the console does, mistakes and all; the author may not know.
  if (const int errors = count_errors(bytes); errors > 0) {
    std::fprintf(stderr,
                 "wander-world: warning: %s has %d error%s, which the page plays as the console "
                 "does; 'wander-world check %s' lists them\n",
                 in_quotes(world_path).c_str(), errors, errors == 1 ? "" : "s",
                 printable(world_path).c_str());
  }
  return kSucceeded;
}

}  // namespace wander::cli
