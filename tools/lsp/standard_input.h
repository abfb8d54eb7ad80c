// Standard input and output as the language server uses them: raw bytes, and a look at whether
// more input is waiting, so that a burst of changes is checked once, after its last.
#ifndef WANDER_TOOLS_LSP_STANDARD_INPUT_H_
#define WANDER_TOOLS_LSP_STANDARD_INPUT_H_

#include <cstddef>

namespace wander::lsp {

/// Makes standard input and output carry bytes as they are (on Windows they would turn LF into
/// CR LF and stop at a Ctrl-Z), which a framing that counts bytes needs.
void use_binary_standard_streams();

/// Reads up to `size` bytes of standard input, waiting for at least one: how many it read, 0 at
/// its end, negative when reading failed.
std::ptrdiff_t read_standard_input(char* buffer, std::size_t size);

/// True when standard input holds bytes that a read would return at once. A file is all there
/// at once and says false: each message read from one is answered as if it came alone.
bool standard_input_waiting();

}  // namespace wander::lsp

#endif  // WANDER_TOOLS_LSP_STANDARD_INPUT_H_
