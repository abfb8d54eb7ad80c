// The console on a POSIX system: standard input as it comes, or typed into the line editor when
// standard input and output are both terminals; and a terminal that understands ANSI escape
// sequences (console_ansi.cc).
#include <fcntl.h>
#include <sys/ioctl.h>
#include <termios.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <csignal>
#include <cstring>
#include <string>

#include "console/console.h"
#include "console/console_platform.h"
#include "console/line_editor.h"

namespace wander {
namespace {

bool is_open(int fd) { return fcntl(fd, F_GETFD) != -1 || errno != EBADF; }

// Puts the null device at `fd`, which is closed. Left closed when the null device cannot be
// opened; nothing better is at hand.
void open_null_device_at(int fd, int flags) {
  const int null = open("/dev/null", flags | O_NOCTTY);
  if (null < 0 || null == fd) return;
  dup2(null, fd);
  close(null);
}

// What the signal handlers below reach, while a line is edited in raw mode: a handler is given
// nothing but the signal's number, so these are the process's own. Set before the handlers are.
struct TerminalModes {
  termios typed;                         // the terminal's own modes, put back on every way out
  termios raw;                           // the line editor's
  volatile std::sig_atomic_t continued;  // set when the game was stopped and went on
};
TerminalModes modes;

constexpr int kEndingSignals[] = {SIGINT, SIGQUIT, SIGTERM, SIGHUP};

void handle(int signal, void (*handler)(int)) {
  struct sigaction action {};
  action.sa_handler = handler;
  sigemptyset(&action.sa_mask);
  sigaction(signal, &action, nullptr);
}

// Shows the key that sent `signal` as the terminal shows it in its own modes ("^C"): raw mode
// echoes nothing.
void echo_signal_key(int signal) {
  const char* key = signal == SIGINT    ? "^C"
                    : signal == SIGQUIT ? "^\\"
                    : signal == SIGTSTP ? "^Z"
                                        : nullptr;
  if (key != nullptr && (modes.typed.c_lflag & ECHO) != 0) {
    [[maybe_unused]] const ssize_t written = write(STDOUT_FILENO, key, 2);
  }
}

// A signal that ends the game (Ctrl-C, Ctrl-\, kill, a closed terminal) ends it as it would have,
// the terminal's modes put back first.
void on_ending_signal(int signal) {
  echo_signal_key(signal);
  tcsetattr(STDIN_FILENO, TCSANOW, &modes.typed);
  handle(signal, SIG_DFL);
  raise(signal);
}

// Ctrl-Z stops the game as it would have, the terminal's modes put back; when the game goes on
// the editor takes the terminal again and draws its line anew.
void on_stop(int) {
  const int saved = errno;
  echo_signal_key(SIGTSTP);
  tcsetattr(STDIN_FILENO, TCSANOW, &modes.typed);
  handle(SIGTSTP, SIG_DFL);
  sigset_t stop;
  sigemptyset(&stop);
  sigaddset(&stop, SIGTSTP);
  sigprocmask(SIG_UNBLOCK, &stop, nullptr);
  raise(SIGTSTP);
  handle(SIGTSTP, on_stop);
  tcsetattr(STDIN_FILENO, TCSADRAIN, &modes.raw);
  modes.continued = 1;
  errno = saved;
}

// The terminal in raw mode for one line, and the handlers that put its modes back, for as long
// as it lives; false when the modes could not be changed (the line is then read as typed).
class RawMode {
 public:
  RawMode() {
    if (tcgetattr(STDIN_FILENO, &modes.typed) != 0) return;
    modes.raw = modes.typed;
    // Signals stay the terminal's (Ctrl-C, Ctrl-Z, Ctrl-\), and so does the output's LF to CR LF.
    modes.raw.c_lflag &= ~static_cast<tcflag_t>(ICANON | ECHO | IEXTEN);
    modes.raw.c_cc[VMIN] = 1;
    modes.raw.c_cc[VTIME] = 0;
    modes.continued = 0;
    for (const int signal : kEndingSignals) handle(signal, on_ending_signal);
    handle(SIGTSTP, on_stop);
    // TCSADRAIN, not TCSAFLUSH: keys typed ahead are kept.
    on_ = tcsetattr(STDIN_FILENO, TCSADRAIN, &modes.raw) == 0;
    if (!on_) restore();
  }
  ~RawMode() {
    if (on_) restore();
  }
  RawMode(const RawMode&) = delete;
  RawMode& operator=(const RawMode&) = delete;
  bool on() const { return on_; }

 private:
  static void restore() {
    tcsetattr(STDIN_FILENO, TCSADRAIN, &modes.typed);
    for (const int signal : kEndingSignals) handle(signal, SIG_DFL);
    handle(SIGTSTP, SIG_DFL);
  }
  bool on_ = false;
};

// Writes all of `bytes` to the terminal. What cannot be written is dropped: the game's own next
// write finds the failure and says so.
void write_to_terminal(std::string_view bytes) {
  while (!bytes.empty()) {
    const ssize_t n = write(STDOUT_FILENO, bytes.data(), bytes.size());
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return;
    bytes.remove_prefix(static_cast<std::size_t>(n));
  }
}

// The keyboard at a terminal: each line typed into the line editor, then handed out with its
// line end, as the terminal would have handed it out itself.
class TerminalKeyboard final : public ByteSource {
 public:
  explicit TerminalKeyboard(Screen& screen) : screen_(screen) {}

  std::size_t read(char* dst, std::size_t size) override {
    if (handed_ == line_.size() && !edit_line()) return 0;
    const std::size_t n = std::min(size, line_.size() - handed_);
    std::memcpy(dst, line_.data() + handed_, n);
    handed_ += n;
    return n;
  }
  bool seek(std::uint64_t) override { return false; }
  int error() const override { return error_; }

 private:
  int columns() const {
    const int columns = terminal_width(screen_.out);
    return columns > 0 ? columns : 80;
  }

  // Reads a line into line_; false at the end of input or when reading failed.
  bool edit_line() {
    if (ended_ || error_ != 0) return false;
    line_.clear();
    handed_ = 0;
    std::fflush(screen_.out);
    const RawMode raw;
    editor_.start(screen_.wrap.column());
    for (;;) {
      for (std::size_t at = 0; at < typed_.size();) {
        std::string draw;
        const LineEditor::Typed typed = editor_.type(typed_[at++], columns(), draw);
        write_to_terminal(draw);
        if (typed == LineEditor::Typed::kEditing) continue;
        typed_.erase(0, at);
        if (typed == LineEditor::Typed::kEnded) {
          ended_ = true;
          return false;
        }
        line_ = editor_.line() + "\n";
        screen_.wrap.at_row_start();
        return true;
      }
      typed_.clear();
      char bytes[256];
      const ssize_t n = ::read(STDIN_FILENO, bytes, sizeof bytes);
      if (n > 0) {
        typed_.append(bytes, static_cast<std::size_t>(n));
      } else if (n == 0) {
        ended_ = true;
        return false;
      } else if (errno != EINTR) {
        error_ = errno;
        return false;
      } else if (modes.continued != 0) {
        modes.continued = 0;
        std::string draw;
        editor_.draw_again(columns(), draw);
        write_to_terminal(draw);
      }
    }
  }

  Screen& screen_;
  LineEditor editor_;
  std::string typed_;  // keys read from the terminal and not yet typed into the editor
  std::string line_;   // the line entered and its line end
  std::size_t handed_ = 0;
  bool ended_ = false;
  int error_ = 0;
};

}  // namespace

bool is_terminal(std::FILE* out) { return isatty(fileno(out)) == 1; }

bool echoes_typing(std::FILE* in) { return isatty(fileno(in)) == 1; }

int terminal_width(std::FILE* out) {
  winsize size{};
  if (isatty(fileno(out)) != 1 || ioctl(fileno(out), TIOCGWINSZ, &size) != 0) return 0;
  return size.ws_col;
}

void open_standard_streams() {
  // Checked first: the null device opened for another stream must not land in its place.
  if (!is_open(STDOUT_FILENO)) {
    throw StreamFailed(std::string("cannot write to standard output: ") + std::strerror(EBADF));
  }
  if (!is_open(STDIN_FILENO)) open_null_device_at(STDIN_FILENO, O_RDONLY);
  if (!is_open(STDERR_FILENO)) open_null_device_at(STDERR_FILENO, O_WRONLY);
  // A reader gone from a pipe (wander | head) is output that cannot be written, said in one line
  // with status 2, not a process killed by SIGPIPE.
  std::signal(SIGPIPE, SIG_IGN);
}

// POSIX reads every stream as bytes already.
void take_piped_bytes_as_they_are(std::FILE*) {}

// The player at a terminal reads what the game waits for.
void tell_host_waiting(Waiting) {}

std::unique_ptr<ByteSource> open_standard_input(Screen& screen) {
  if (isatty(STDIN_FILENO) == 1 && is_terminal(screen.out)) {
    return std::make_unique<TerminalKeyboard>(screen);
  }
  return open_runtime_input(screen);
}

}  // namespace wander
