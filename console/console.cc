#include "console/console.h"

#include <cerrno>
#include <cstring>
#include <string>

#include "console/console_platform.h"

namespace wander {
namespace {

class StandardInput final : public ByteSource {
 public:
  std::size_t read(char* dst, std::size_t size) override {
    std::size_t n = 0;
    // Stopping at a line end keeps a terminal from being asked for more than the player typed.
    while (n < size && error_ == 0) {
      const int c = std::fgetc(stdin);
      if (c == EOF) {
        if (std::ferror(stdin)) error_ = errno != 0 ? errno : EIO;
        break;
      }
      dst[n++] = static_cast<char>(c);
      if (c == '\n') break;
    }
    return n;
  }
  bool seek(std::uint64_t) override { return false; }
  int error() const override { return error_; }

 private:
  int error_ = 0;
};

// What the player would have seen is lost: nothing after it could be seen either.
void check_output(std::FILE* out) {
  if (!std::ferror(out)) return;
  const int error = errno != 0 ? errno : EIO;
  throw StreamFailed(std::string("cannot write to ") +
                     (out == stdout ? "standard output" : "the output") + ": " +
                     std::strerror(error));
}

}  // namespace

void write_text(std::FILE* out, std::string_view text) {
  std::fwrite(text.data(), 1, text.size(), out);
  check_output(out);
}

void flush(std::FILE* out) {
  std::fflush(out);
  check_output(out);
}

void line_end(std::FILE* out) {
  std::fputc('\n', out);
  flush(out);
}

void prompt(std::FILE* out, std::string_view text) {
  write_text(out, text);
  flush(out);
}

int wait_key(TextReader& keyboard, std::FILE* out) {
  const int key = keyboard.take_key();
  if (key == EOF) check_input(keyboard);
  if (key != EOF) std::fputc(key, out);
  line_end(out);
  return key;
}

void check_input(const TextReader& keyboard) {
  if (const int error = keyboard.source_error()) {
    throw StreamFailed(std::string("cannot read standard input: ") + std::strerror(error));
  }
}

std::unique_ptr<ByteSource> open_runtime_input() {
  take_piped_bytes_as_they_are(stdin);
  return std::make_unique<StandardInput>();
}

std::unique_ptr<ByteSource> open_standard_input_as_file(bool& copied) {
  take_piped_bytes_as_they_are(stdin);
  return open_rereadable_stream(stdin, copied);
}

}  // namespace wander
