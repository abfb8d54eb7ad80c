// wander-world publish run as an author runs it, on a small stand-in for the web page: what the
// published folder holds, byte for byte, where an installed program finds the page, and every
// way the command can fail.
#include "tools/world_publish.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <optional>
#include <sstream>
#include <string>
#include <vector>

#include "tests/run_in_folder.h"

namespace {

namespace fs = std::filesystem;
using wander::testing::new_folder;
using wander::testing::Outcome;
using wander::testing::Program;
using wander::testing::write_file;

const std::string kWorld =
    "Start: Hall\n<Hall>\nA hall.\n*\nNorth: None East: None South: None West: None\n"
    "Objects: 0\n";

std::string read_file(const fs::path& path) {
  std::ostringstream bytes;
  bytes << std::ifstream(path, std::ios::binary).rdbuf();
  return bytes.str();
}

// Every occurrence of `from` in `text` replaced by `to`.
std::string replaced(std::string text, const std::string& from, const std::string& to) {
  for (std::size_t at = text.find(from); at != std::string::npos; at = text.find(from, at)) {
    text.replace(at, from.size(), to);
    at += to.size();
  }
  return text;
}

class PublishTest : public ::testing::Test {
 protected:
  void SetUp() override {
    root_ = new_folder();
    page_ = root_ / "page";
    out_ = root_ / "out";
    make_page(page_);
  }
  void TearDown() override { fs::remove_all(root_); }

  // A page of three files, one of them the world it came with, and a folder publish ignores.
  static void make_page(const fs::path& folder) {
    fs::create_directories(folder / "extra");
    write_file(folder / "index.html", "<title>page</title>\n");
    write_file(folder / "page.js", "play();\n");
    write_file(folder / "world.js", "wanderWorld(\"old.txt\", \"\");\n");
    write_file(folder / "extra" / "notes.txt", "not published\n");
  }

  // Runs `wander-world publish ARGUMENTS` in a folder holding `world` as World.txt, with PAGE and
  // OUT in the arguments standing for the page's folder and the folder to publish into.
  Outcome publish(const std::string& arguments, const std::optional<std::string>& world = kWorld,
                  const std::string& tool = WANDER_WORLD_BINARY) {
    const fs::path work = root_ / "work";
    fs::create_directories(work);
    if (world) write_file(work / "World.txt", *world);
    return wander::testing::run_in(work, Program{"'" + tool + "'"}, "publish " + expand(arguments));
  }

  std::string expand(const std::string& text) const {
    return replaced(replaced(text, "PAGE", page_.string()), "OUT", out_.string());
  }

  fs::path root_, page_, out_;
};

TEST(WorldScriptTest, CarriesTheNameAsAStringAndEveryByteAsHex) {
  struct Row {
    std::string name, bytes, script;
  };
  const std::vector<Row> rows = {
      {"World.txt", "AB\n", "wanderWorld(\"World.txt\", \"41420a\");\n"},
      {"a\"b\\c.txt", "", "wanderWorld(\"a\\x22b\\x5cc.txt\", \"\");\n"},
      {"tab\there\x7f", std::string("\xff\0*", 3),
       "wanderWorld(\"tab\\x09here\\x7f\", \"ff002a\");\n"},
      {"caf\xc3\xa9.txt", "\r\n", "wanderWorld(\"caf\xc3\xa9.txt\", \"0d0a\");\n"},
  };
  for (const Row& row : rows) {
    EXPECT_EQ(wander::world_script(row.name, row.bytes), row.script) << row.name;
  }
}

TEST_F(PublishTest, WritesThePageAndTheWorld) {
  const Outcome outcome = publish("--page PAGE World.txt OUT");
  EXPECT_EQ(outcome.status, 0) << outcome.errors;
  EXPECT_EQ(outcome.errors, "");
  const std::string world_script = wander::world_script("World.txt", kWorld);
  EXPECT_EQ(outcome.output,
            expand("Published 'World.txt' in 'OUT': 28 bytes of page and " +
                   std::to_string(world_script.size()) +
                   " bytes of world.\nOpen 'OUT/index.html' in a browser, or put the folder on "
                   "any web server.\n"));
  EXPECT_EQ(read_file(out_ / "index.html"), "<title>page</title>\n");
  EXPECT_EQ(read_file(out_ / "page.js"), "play();\n");
  EXPECT_EQ(read_file(out_ / "world.js"), world_script);
  EXPECT_FALSE(fs::exists(out_ / "extra"));
}

TEST_F(PublishTest, TheWorldIsWorldTxtWhenNotGiven) {
  const Outcome outcome = publish("--page PAGE OUT", "Start: Cellar\n");
  EXPECT_EQ(outcome.status, 0) << outcome.errors;
  EXPECT_EQ(read_file(out_ / "world.js"), wander::world_script("World.txt", "Start: Cellar\n"));
}

TEST_F(PublishTest, ReplacesItsOwnFilesAndLeavesOthersAlone) {
  fs::create_directories(out_);
  write_file(out_ / "index.html", "an older page\n");
  write_file(out_ / "world.js", "an older world\n");
  write_file(out_ / "about.html", "the author's own page\n");
  const Outcome outcome = publish("--page PAGE World.txt OUT");
  EXPECT_EQ(outcome.status, 0) << outcome.errors;
  EXPECT_EQ(read_file(out_ / "index.html"), "<title>page</title>\n");
  EXPECT_EQ(read_file(out_ / "world.js"), wander::world_script("World.txt", kWorld));
  EXPECT_EQ(read_file(out_ / "about.html"), "the author's own page\n");
}

TEST_F(PublishTest, AWorldWithErrorsIsPublishedWithAWarning) {
  const Outcome outcome =
      publish("--page PAGE World.txt OUT", replaced(kWorld, "West: None", "West: Attic"));
  EXPECT_EQ(outcome.status, 0);
  EXPECT_EQ(outcome.errors,
            "wander-world: warning: 'World.txt' has 1 error, which the page plays as the console "
            "does; 'wander-world check World.txt' lists them\n");
  EXPECT_TRUE(fs::exists(out_ / "world.js"));
}

TEST_F(PublishTest, AnInstalledProgramFindsThePageBesideIt) {
  // The layout an install makes: PREFIX/bin/wander-world and PREFIX/share/wander/web.
  const fs::path prefix = root_ / "prefix";
  fs::create_directories(prefix / "bin");
  fs::copy_file(WANDER_WORLD_BINARY, prefix / "bin" / "wander-world");
  EXPECT_EQ(wander::installed_page(prefix / "bin" / "wander-world"), fs::path());
  make_page(prefix / "share" / "wander" / "web");
  EXPECT_EQ(wander::installed_page(prefix / "bin" / "wander-world"),
            prefix / "share" / "wander" / "web");

  const Outcome outcome = publish("OUT", kWorld, (prefix / "bin" / "wander-world").string());
  EXPECT_EQ(outcome.status, 0) << outcome.errors;
  EXPECT_EQ(read_file(out_ / "page.js"), "play();\n");
  EXPECT_EQ(read_file(out_ / "world.js"), wander::world_script("World.txt", kWorld));
}

TEST_F(PublishTest, FailuresSayWhyAndWriteNothing) {
  struct Row {
    std::string arguments;
    std::string errors;  // the start of standard error
  };
  const fs::path built_page =
      (fs::path(WANDER_WORLD_BINARY).parent_path() / wander::kPageFromProgramFolder)
          .lexically_normal();
  const std::vector<Row> rows = {
      {"", "wander-world: no folder to publish into\n\nusage: wander-world publish"},
      {"a b OUT", "wander-world: more than one file given\n\nusage:"},
      {"--bogus OUT", "wander-world: unknown option '--bogus'\n\nusage:"},
      {"OUT --page", "wander-world: --page needs a folder\n\nusage:"},
      {"--page PAGE/extra OUT", "wander-world: 'PAGE/extra' holds no web page (no index.html)\n"},
      {"--page PAGE Missing.txt OUT",
       "wander-world: cannot read 'Missing.txt': No such file or directory\n"},
      {"--page PAGE /dev/zero OUT", "wander-world: cannot read '/dev/zero': not a regular file\n"},
      {"--page PAGE World.txt World.txt/OUT", "wander-world: cannot make the folder "},
      {"--page PAGE World.txt PAGE", "wander-world: the folder 'PAGE' is the page itself"},
      {"OUT", "wander-world: the web page is not installed (looked in '" + built_page.string() +
                  "').\nBuild it with 'npm ci --prefix web'"},
  };
  for (const Row& row : rows) {
    const Outcome outcome = publish(row.arguments);
    EXPECT_EQ(outcome.status, 2) << row.arguments;
    EXPECT_EQ(outcome.output, "") << row.arguments;
    EXPECT_EQ(outcome.errors.substr(0, expand(row.errors).size()), expand(row.errors))
        << row.arguments << "\n"
        << outcome.errors;
    EXPECT_FALSE(fs::exists(out_)) << row.arguments;
    EXPECT_EQ(read_file(page_ / "world.js"), "wanderWorld(\"old.txt\", \"\");\n");
  }
}

TEST_F(PublishTest, HelpSaysHowToUseIt) {
  const Outcome outcome = publish("--help");
  EXPECT_EQ(outcome.status, 0);
  const std::string first_line = "usage: wander-world publish [--page FOLDER] [FILE] DIR\n";
  EXPECT_EQ(outcome.output.substr(0, first_line.size()), first_line);
}

}  // namespace
