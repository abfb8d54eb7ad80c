#include "console/console.h"

#include "console/console_platform.h"

namespace wander {
namespace {

class StandardInput final : public ByteSource {
 public:
  std::size_t read(char* dst, std::size_t size) override {
    std::size_t n = 0;
    // Stopping at a line end keeps a terminal from being asked for more than the player typed.
    while (n < size) {
      const int c = std::fgetc(stdin);
      if (c == EOF) break;
      dst[n++] = static_cast<char>(c);
      if (c == '\n') break;
    }
    return n;
  }
  bool seek(std::uint64_t) override { return false; }
};

}  // namespace

void write_text(std::FILE* out, std::string_view text) {
  std::fwrite(text.data(), 1, text.size(), out);
}

void line_end(std::FILE* out) {
  std::fputc('\n', out);
  std::fflush(out);
}

void prompt(std::FILE* out, std::string_view text) {
  write_text(out, text);
  std::fflush(out);
}

int wait_key(TextReader& keyboard, std::FILE* out) {
  const int key = keyboard.take_key();
  if (key != EOF) std::fputc(key, out);
  line_end(out);
  return key;
}

std::unique_ptr<ByteSource> open_runtime_input() {
  take_piped_bytes_as_they_are(stdin);
  return std::make_unique<StandardInput>();
}

}  // namespace wander
