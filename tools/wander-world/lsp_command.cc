// wander-world lsp: the language server, on standard input and output. A wander-world built
// without the JSON library has no server, and says so.
#include <cstdio>
#include <optional>
#include <string>
#include <vector>

#include "console/console.h"
#include "tools/wander-world/command_line.h"
#include "tools/wander-world/commands.h"
#if defined(WANDER_HAS_LSP)
#include "tools/lsp/message_reader.h"
#include "tools/lsp/server.h"
#include "tools/lsp/standard_input.h"
#endif

namespace wander::cli {
namespace {

constexpr char kLspUsage[] =
    "usage: wander-world lsp [--stdio]\n"
    "\n"
    "Serves worlds to an editor by the Language Server Protocol on standard input and output:\n"
    "the mistakes 'wander-world check' reports, shown as the world is typed, with their quick\n"
    "fixes; going to the block a name leads to; finding every place that names a room or an\n"
    "object; renaming one across the file; hovers; completion of names; the rooms and their\n"
    "objects as symbols; blocks folded. Any file name will do (World.txt, *.world): the server\n"
    "works on the text the editor holds, saved or not. An editor starts it; it is no command to\n"
    "type. '--stdio' is taken, and changes nothing, for editors that pass it.\n"
    "\n"
    "Exit status: 0 when the editor ended it after asking it to shut down, 1 when it ended\n"
    "otherwise (the input ended, or 'exit' came first), 2 when the arguments are wrong or\n"
    "memory ran out.\n";

}  // namespace

int lsp_command(int argc, char** argv) {
  std::vector<std::string> operands;
  const OptionReader stdio = [](std::string_view arg, char**, int, int&, std::string&) {
    return arg == "--stdio";
  };
  if (const std::optional<int> status = read_arguments(argc, argv, kLspUsage, operands, stdio)) {
    return *status;
  }
  if (!operands.empty()) return usage_error("lsp takes no file: the editor sends it", kLspUsage);
#if !defined(WANDER_HAS_LSP)
  std::fputs(
      "wander-world: this wander-world has no language server: nlohmann's JSON library was not "
      "found when it was built (Debian, Ubuntu: apt-get install nlohmann-json3-dev)\n",
      stderr);
  return kCannotGoOn;
#else

  lsp::use_binary_standard_streams();
  lsp::Server server(
      [](const nlohmann::json& message) {
        write_text(stdout, lsp::frame(message));
        flush(stdout);
      },
      WANDER_VERSION);
  lsp::MessageReader reader(lsp::read_standard_input);
  nlohmann::json message;
  std::string why;
  for (;;) {
    const lsp::MessageReader::Got got = reader.next(message, why);
    if (got == lsp::MessageReader::Got::kEnd) break;
    if (got == lsp::MessageReader::Got::kMessage) {
      server.handle(std::move(message));
    } else {
      server.handle_unreadable(why);
    }
    if (server.exited()) break;
    // A burst of changes is checked once, after its last.
    if (!reader.holds_more() && !lsp::standard_input_waiting()) server.publish_changed();
  }
  return server.exit_status();
#endif
}

}  // namespace wander::cli
