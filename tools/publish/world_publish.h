// wander-world publish: a world as a web page that plays it, in a folder of its own that works
// from any static web host and straight from disk.
//
// The page is built with Emscripten (WANDER_WEB) and installed under share/wander/web: index.html,
// the game in WebAssembly, the terminal's script and style, and world.js, the world it plays.
// Publishing copies the page, its index.html titled for the world, and writes a world.js of its
// own for the world given.
#ifndef WANDER_TOOLS_PUBLISH_WORLD_PUBLISH_H_
#define WANDER_TOOLS_PUBLISH_WORLD_PUBLISH_H_

#include <array>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace wander {

/// The page's script that holds its world: world.js.
inline constexpr char kWorldScriptName[] = "world.js";

/// Where wander-world looks for the page, from the folder it stands in, in this order: built
/// beside it in a build folder (WANDER_WEB), then installed with it, the way from the programs'
/// folder to the data folder as the build was configured (GNUInstallDirs' bin and share:
/// ../share/wander/web).
extern const std::array<const char*, 2> kPagesFromProgramFolder;

/// The text of world.js for a world file named `name` holding `bytes`: a call
/// `wanderWorld("NAME", "HEX")`, the name as a JavaScript string and the bytes as two lower-case
/// hexadecimal digits each, which the page reads back exactly.
std::string world_script(std::string_view name, std::string_view bytes);

/// The first folder of kPagesFromProgramFolder, from the folder of the program at `program`,
/// that holds an index.html; else an empty path.
std::filesystem::path page_beside(const std::filesystem::path& program);

/// The file of the running program: where the system says it is, else `argv0` as found from
/// the current folder or along PATH. Empty when it cannot be told.
std::filesystem::path running_program(const char* argv0);

/// What a published page is called: in its <title>, in its heading, and the line under it.
struct PageTitle {
  std::string title;   ///< any text: written escaped, shown as it is
  std::string byline;  ///< the line under the heading, such as "by Ann Other"; empty for none
};

/// `text` with the characters that mean something in HTML, & < > " and ', written as character
/// references, so that a browser shows it as it is and never reads it as markup.
std::string html_escaped(std::string_view text);

/// The page `html` (an index.html) with `title`, escaped, as the text of its <title> and of its
/// <h1 id="title">, and the byline as the text of its <p id="byline">, found in that order.
/// Whatever they held is replaced, so that a published page can be published again under another
/// title. False, with `error` saying which is missing, when `html` lacks one of them.
bool titled_page(std::string_view html, const PageTitle& title, std::string& page,
                 std::string& error);

/// What publish_world wrote.
struct Published {
  std::uintmax_t page_bytes = 0;   ///< the page's files, world.js aside
  std::uintmax_t world_bytes = 0;  ///< world.js
};

/// Copies every file of the folder `page` except its world.js and the studio's (names that
/// begin with "studio") into `folder` (made with its
/// parents when missing; files of the same names are replaced, other files left alone), its
/// index.html titled with `title` (titled_page), then writes world.js for the world `name`
/// holding `bytes` there. Each file is written to a new file
/// in `folder`, made for it alone, and renamed over its name: a link standing there is replaced,
/// never written through. The files get mode 0644 less the umask. Returns false, with `error`
/// saying what failed (names in it escaped as printable() does), when a file cannot be read or
/// written, or when `folder` is `page` itself; the files written before stay, and no new file is
/// left behind by the one that failed. An index.html that cannot be read or has no place for
/// the title fails before anything is written.
bool publish_world(const std::filesystem::path& page, std::string_view name, std::string_view bytes,
                   const PageTitle& title, const std::filesystem::path& folder,
                   Published& published, std::string& error);

/// The page's file named `name` (index.html, page.js, ...): false, with `error` saying why, when
/// it cannot be had.
using PageFile =
    std::function<bool(const std::string& name, std::string& bytes, std::string& error)>;

/// The page as one HTML file that plays the world `name` holding `bytes` with no other file:
/// index.html titled with `title` (titled_page), each `<link rel="stylesheet" href="NAME">` in it
/// replaced by a <style> holding NAME's text, and each `<script src="NAME"></script>` by a
/// <script> holding NAME's text, world.js's being world_script(name, bytes). A "</script" or
/// "</style" in what is put inside is written "<\/script" or "<\/style", which means the same
/// there, so that nothing ends an element early. The texts of the files `notices` (the
/// licences of what the page carries) go, escaped, into a <template id="notices"> before
/// </body>, which a browser keeps and never shows. False, with `error` saying why, when a file
/// cannot be had or the page has no place for the title.
bool single_file_page(const PageFile& page_file, std::string_view name, std::string_view bytes,
                      const PageTitle& title, const std::vector<std::string>& notices,
                      std::string& page, std::string& error);

}  // namespace wander

#endif  // WANDER_TOOLS_PUBLISH_WORLD_PUBLISH_H_
