// The console in WebAssembly: the game's host (the web page's terminal, or Node with the
// process's own streams; see web/game_host.js) gives the keys and says whether the output is a
// terminal, which is then drawn on with ANSI escape sequences (console_ansi.cc).
#include <emscripten.h>

#include <algorithm>
#include <cerrno>
#include <climits>

#include "console/console.h"
#include "console/console_platform.h"

namespace wander {
namespace {

// Waits, without blocking the page, until the host has keys for the game: up to `size` bytes
// copied to `dst`; 0 at the end of input, -1 when they cannot be read. The game's whole stack is
// set aside while it waits (-sASYNCIFY) and resumed as it was.
EM_ASYNC_JS(int, host_read_keys, (char* dst, int size), {
  let bytes;
  try {
    bytes = await Module.host.readKeys(size);
  } catch (error) {
    return -1;
  }
  const n = Math.min(bytes.length, size);
  HEAPU8.set(bytes.subarray(0, n), dst);
  return n;
});

EM_JS(int, host_is_terminal, (int fd), { return Module.host.isTerminal(fd) ? 1 : 0; });

// The names the host is told, in the order of Waiting.
EM_JS(void, host_waiting, (int waiting), {
  if (Module.host.waiting) Module.host.waiting([ 'command', 'object', 'key' ][waiting]);
});

class HostKeyboard final : public ByteSource {
 public:
  std::size_t read(char* dst, std::size_t size) override {
    if (error_ != 0) return 0;
    const int most = static_cast<int>(std::min<std::size_t>(size, INT_MAX));
    const int got = host_read_keys(dst, most);
    // The host's reason does not cross over; that reading failed is what counts.
    if (got < 0) error_ = EIO;
    return static_cast<std::size_t>(std::max(got, 0));
  }
  bool seek(std::uint64_t) override { return false; }
  int error() const override { return error_; }

 private:
  int error_ = 0;
};

}  // namespace

bool is_terminal(std::FILE* out) { return host_is_terminal(fileno(out)) == 1; }

void tell_host_waiting(Waiting waiting) { host_waiting(static_cast<int>(waiting)); }

// The host's streams are always there: Node puts the null device in place of a closed one before
// the game starts, and the page has no other.
void open_standard_streams() {}

// The host's streams carry bytes as they are.
void take_piped_bytes_as_they_are(std::FILE*) {}

// The page breaks its own lines, where its terminal's cursor really stands, and echoes the keys
// itself.
void write_text(Screen& screen, std::string_view text) { write_text(screen.out, text); }
bool echoes_typing(std::FILE*) { return false; }

std::unique_ptr<ByteSource> open_standard_input(Screen&) {
  return std::make_unique<HostKeyboard>();
}

}  // namespace wander
