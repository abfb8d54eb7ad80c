#include "console/console.h"

#include <cerrno>
#include <cstring>
#include <string>

#include "console/console_platform.h"

namespace wander {
namespace {

class StandardInput final : public ByteSource {
 public:
  // `echoed` is the screen a terminal echoes the typed lines on, or null.
  explicit StandardInput(Screen* echoed) : echoed_(echoed) {}

  std::size_t read(char* dst, std::size_t size) override {
    std::size_t n = 0;
    // Stopping at a line end keeps a terminal from being asked for more than the player typed.
    while (n < size && error_ == 0) {
      errno = 0;
      const int c = std::fgetc(stdin);
      if (c == EOF) {
        // A signal that interrupted the wait is no failure of the input: it is asked again.
        if (std::ferror(stdin) && errno == EINTR) {
          std::clearerr(stdin);
          continue;
        }
        if (std::ferror(stdin)) error_ = errno != 0 ? errno : EIO;
        break;
      }
      dst[n++] = static_cast<char>(c);
      if (c == '\n') {
        if (echoed_ != nullptr) echoed_->wrap.at_row_start();
        break;
      }
    }
    return n;
  }
  bool seek(std::uint64_t) override { return false; }
  int error() const override { return error_; }

 private:
  Screen* echoed_;
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

void line_end(Screen& screen) {
  line_end(screen.out);
  screen.wrap.at_row_start();
}

void prompt(Screen& screen, std::string_view text) {
  write_text(screen, text);
  flush(screen.out);
}

void clear_screen(Screen& screen) {
  clear_screen(screen.out);
  screen.wrap.at_row_start();
}

int wait_key(TextReader& keyboard, Screen& screen) {
  tell_host_waiting(Waiting::kKey);
  const int key = keyboard.take_key();
  if (key == EOF) check_input(keyboard);
  const char echoed = static_cast<char>(key);
  if (key != EOF) write_text(screen, std::string_view(&echoed, 1));
  line_end(screen);
  return key;
}

void check_input(const TextReader& keyboard) {
  if (const int error = keyboard.source_error()) {
    throw StreamFailed(std::string("cannot read standard input: ") + std::strerror(error));
  }
}

std::unique_ptr<ByteSource> open_runtime_input(Screen& screen) {
  take_piped_bytes_as_they_are(stdin);
  return std::make_unique<StandardInput>(echoes_typing(stdin) ? &screen : nullptr);
}

std::unique_ptr<ByteSource> open_standard_input_as_file(bool& copied) {
  take_piped_bytes_as_they_are(stdin);
  return open_rereadable_stream(stdin, copied);
}

}  // namespace wander
