#include "tools/publish/world_publish.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <vector>

#include "text/hex.h"
#include "text/text_reader.h"
#include "tools/names/printable.h"
#include "tools/save/author_file.h"

namespace wander {
namespace fs = std::filesystem;

std::string world_script(std::string_view name, std::string_view bytes) {
  std::string script = "wanderWorld(\"";
  for (const char c : name) {
    const auto u = static_cast<unsigned char>(c);
    if (c == '"' || c == '\\' || u < 0x20 || u == 0x7f) {
      append_hex(script.append("\\x"), u, 2);
    } else {
      script += c;
    }
  }
  script.append("\", \"");
  script.reserve(script.size() + 2 * bytes.size() + 4);
  for (const char c : bytes) {
    const auto u = static_cast<unsigned char>(c);
    append_hex(script, u, 2);
  }
  script.append("\");\n");
  return script;
}

std::string html_escaped(std::string_view text) {
  std::string escaped;
  escaped.reserve(text.size());
  for (const char c : text) {
    switch (c) {
      case '&':
        escaped += "&amp;";
        break;
      case '<':
        escaped += "&lt;";
        break;
      case '>':
        escaped += "&gt;";
        break;
      case '"':
        escaped += "&quot;";
        break;
      case '\'':
        escaped += "&#39;";
        break;
      default:
        escaped += c;
    }
  }
  return escaped;
}

bool titled_page(std::string_view html, const PageTitle& title, std::string& page,
                 std::string& error) {
  // Each place is an opening tag and the text up to the next '<': the page's own text there is
  // plain, and what is written there is escaped, so it holds no '<' either.
  const std::string escaped_title = html_escaped(title.title);
  const std::string escaped_byline = html_escaped(title.byline);
  const struct {
    std::string_view tag;
    const std::string& text;
  } places[] = {{"<title>", escaped_title},
                {"<h1 id=\"title\">", escaped_title},
                {"<p id=\"byline\">", escaped_byline}};
  page.clear();
  std::size_t done = 0;
  for (const auto& place : places) {
    const std::size_t tag = html.find(place.tag, done);
    const std::size_t end =
        tag == std::string_view::npos ? tag : html.find('<', tag + place.tag.size());
    if (end == std::string_view::npos) {
      error = "it has no " + std::string(place.tag) + " to hold the title";
      return false;
    }
    const std::size_t text = tag + place.tag.size();
    page.append(html.substr(done, text - done)).append(place.text);
    done = end;
  }
  page.append(html.substr(done));
  return true;
}

const std::array<const char*, 2> kPagesFromProgramFolder = {"web/page", WANDER_PAGE_FROM_PROGRAM};

fs::path page_beside(const fs::path& program) {
  for (const char* relative : kPagesFromProgramFolder) {
    const fs::path page = (program.parent_path() / relative).lexically_normal();
    std::error_code error;
    if (fs::is_regular_file(page / "index.html", error)) return page;
  }
  return {};
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
                   const PageTitle& title, const fs::path& folder, Published& published,
                   std::string& error) {
  // The page is titled first: a page that cannot be leaves nothing written.
  const fs::path index = page / "index.html";
  std::string index_bytes;
  std::string titled;
  if (!read_whole_file(index.string(), index_bytes, error)) {
    error = "cannot read " + in_quotes(index.string()) + ": " + error;
    return false;
  }
  if (!titled_page(index_bytes, title, titled, error)) {
    error = "cannot title " + in_quotes(index.string()) + ": " + error;
    return false;
  }
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
    // The studio, installed beside the page (studio.html and its files), is no part of it.
    if (!file.is_regular_file(code) || file.path().filename() == kWorldScriptName ||
        file.path().filename().string().starts_with("studio")) {
      continue;
    }
    std::string page_bytes;
    std::string why;
    if (file.path().filename() == "index.html") {
      page_bytes = titled;
    } else if (!read_whole_file(file.path().string(), page_bytes, why)) {
      error = "cannot read " + in_quotes(file.path().string()) + ": " + why;
      return false;
    }
    if (!replace_file(folder / file.path().filename(), page_bytes, error)) return false;
    published.page_bytes += page_bytes.size();
  }
  const std::string script = world_script(name, bytes);
  if (!replace_file(folder / kWorldScriptName, script, error)) return false;
  published.world_bytes = script.size();
  return true;
}

namespace {

// `text` to put inside a <script> or <style>: a "</script" or "</style", in any capitals, which
// would end the element early, written "<\\/" and the rest: an escape that means "/" in the
// strings and regular expressions of a script, and in CSS, where alone such a text can stand.
void append_inside(std::string& out, std::string_view text) {
  const auto ends_element = [&](std::size_t at) {
    for (const std::string_view tag : {std::string_view("script"), std::string_view("style")}) {
      if (text.size() - at >= tag.size() &&
          std::equal(tag.begin(), tag.end(), text.begin() + static_cast<std::ptrdiff_t>(at),
                     [](char a, char b) { return a == (b | 0x20); })) {
        return true;
      }
    }
    return false;
  };
  std::size_t from = 0;
  for (std::size_t at = text.find("</"); at != std::string_view::npos;
       at = text.find("</", at + 2)) {
    if (!ends_element(at + 2)) continue;
    out.append(text.substr(from, at - from)).append("<\\/");
    from = at + 2;
  }
  out.append(text.substr(from));
}

}  // namespace

bool single_file_page(const PageFile& page_file, std::string_view name, std::string_view bytes,
                      const PageTitle& title, const std::vector<std::string>& notices,
                      std::string& page, std::string& error) {
  std::string index;
  std::string titled;
  if (!page_file("index.html", index, error)) return false;
  if (!titled_page(index, title, titled, error)) {
    error = "cannot title index.html: " + error;
    return false;
  }
  static constexpr std::string_view kStyle = "<link rel=\"stylesheet\" href=\"";
  static constexpr std::string_view kScript = "<script src=\"";
  static constexpr std::string_view kScriptEnd = "\"></script>";
  page.clear();
  std::string_view rest = titled;
  for (;;) {
    const std::size_t style = rest.find(kStyle);
    const std::size_t script = rest.find(kScript);
    const bool is_style = style < script;
    const std::size_t at = std::min(style, script);
    if (at == std::string_view::npos) break;
    const std::string_view opening = is_style ? kStyle : kScript;
    const std::string_view closing = is_style ? std::string_view("\">") : kScriptEnd;
    const std::size_t end = rest.find(closing, at + opening.size());
    if (end == std::string_view::npos) {
      error = "index.html has an element that does not end: " +
              in_quotes(rest.substr(at, std::min<std::size_t>(40, rest.size() - at)));
      return false;
    }
    const std::string file(rest.substr(at + opening.size(), end - at - opening.size()));
    std::string text;
    if (file == kWorldScriptName) {
      text = world_script(name, bytes);
    } else if (!page_file(file, text, error)) {
      return false;
    }
    page.append(rest.substr(0, at)).append(is_style ? "<style>\n" : "<script>\n");
    append_inside(page, text);
    page.append(is_style ? "</style>" : "</script>");
    rest.remove_prefix(end + closing.size());
  }
  std::string carried;
  for (const std::string& notice : notices) {
    std::string text;
    if (!page_file(notice, text, error)) return false;
    carried += html_escaped(text) + "\n";
  }
  if (!carried.empty()) {
    const std::size_t body_end = rest.rfind("</body>");
    const std::size_t at = body_end == std::string_view::npos ? rest.size() : body_end;
    page.append(rest.substr(0, at))
        .append("<template id=\"notices\">\n" + carried + "</template>\n");
    rest.remove_prefix(at);
  }
  page.append(rest);
  return true;
}

}  // namespace wander
