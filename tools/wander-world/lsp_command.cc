// wander-world lsp: the language server, on standard input and output.
#include <cstdio>
#include <optional>
#include <string>
#include <vector>

#include "console/console.h"
#include "tools/wander-world/command_line.h"
#include "tools/wander-world/commands.h"
#include "tools/lsp/message_reader.h"
#include "tools/lsp/server.h"
#include "tools/lsp/standard_input.h"

namespace wander::cli {
namespace {

constexpr char kLspUsage[] =
    "usage: wander-world lsp [--stdio]\n"
    "\n"
    "Serves worlds to an editor by the Language Server Protocol on standard input\n"
    "and output: the mistakes 'wander-world check' reports, shown as the world is\n"
    "typed, with their quick fixes; going to the block a name leads to; every place\n"
    "that names a room or an object; renaming one across the file; hovers;\n"
    "completion of names; the rooms and their objects as symbols; blocks folded.\n"
    "Any file name will do (World.txt, *.world): the server works on the text the\n"
    "editor holds, saved or not. An editor starts it; it is no command to type.\n"
    "'--stdio' is taken, and changes nothing, for editors that pass it.\n"
    "\n"
    "Exit status: 0 when the editor ended it after asking it to shut down, 1 when\n"
    "it ended otherwise (the input ended, or 'exit' came first), 2 when the\n"
    "arguments are wrong or memory ran out.\n";

}  // namespace

int lsp_command(int argc, char** argv) {
  std::vector<std::string> operands;
  const OptionReader stdio = [](std::string_view arg, char**, int, int&, std::string&) {
    return arg == "--stdio";
  };
  if (const std::optional<int> status = read_arguments(argc, argv, kLspUsage, operands, stdio)) {
    return *status;
  }
  if (!operands.empty()) return usage_error("lsp takes no file: the editor sends it", "lsp");
  lsp::use_binary_standard_streams();
  lsp::Server server(
      [](const std::string& message) {
        write_text(stdout, lsp::frame_header(message.size()));
        write_text(stdout, message);
        flush(stdout);
      },
      WANDER_VERSION);
  lsp::MessageReader reader(lsp::read_standard_input);
  return lsp::serve(server, reader, lsp::standard_input_waiting);
}

}  // namespace wander::cli
