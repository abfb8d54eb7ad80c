// The language server as an editor drives it: `wander-world lsp` started on pipes, a generated
// world opened, then change after change, each awaited until its diagnostics arrive. Each change
// misspells an exit of the starting room or mends it again, so that every other check suggests a
// name among all the rooms. The time is the server's own processor time (its process clock, read
// from here), per change or for the opening; the counters give its peak memory (VmHWM) and, for
// the opening, the time from starting the server until the diagnostics arrived. The symbols of
// a large world are asked for last.
//
//   build/wander_lsp_bench [--benchmark_filter=Change]
#include <benchmark/benchmark.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <time.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <fstream>
#include <stdexcept>
#include <string>

#include "tools/generator/world_generator.h"
#include "tools/lsp/message_reader.h"

extern char** environ;

namespace {

using nlohmann::json;
using wander::lsp::MessageReader;

constexpr double kMiB = 1024.0 * 1024.0;

// A generated world of about `bytes` bytes, its starting room's block first.
std::string generated_world(std::int64_t bytes) {
  std::FILE* out = std::tmpfile();
  wander::write_world(out, wander::rooms_for_bytes(bytes), wander::StartAt::kFirst);
  std::string text(static_cast<std::size_t>(std::ftell(out)), '\0');
  std::rewind(out);
  if (std::fread(text.data(), 1, text.size(), out) != text.size()) throw std::runtime_error("read");
  std::fclose(out);
  return text;
}

// `wander-world lsp` on two pipes.
class ServerProcess {
 public:
  ServerProcess() {
    int to_server[2];
    int from_server[2];
    if (pipe(to_server) != 0 || pipe(from_server) != 0) throw std::runtime_error("pipe");
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, to_server[0], STDIN_FILENO);
    posix_spawn_file_actions_adddup2(&actions, from_server[1], STDOUT_FILENO);
    posix_spawn_file_actions_addclose(&actions, to_server[1]);
    posix_spawn_file_actions_addclose(&actions, from_server[0]);
    char* argv[] = {const_cast<char*>(WANDER_WORLD_PROGRAM), const_cast<char*>("lsp"), nullptr};
    if (posix_spawn(&pid_, WANDER_WORLD_PROGRAM, &actions, nullptr, argv, environ) != 0) {
      throw std::runtime_error("cannot start " WANDER_WORLD_PROGRAM);
    }
    posix_spawn_file_actions_destroy(&actions);
    close(to_server[0]);
    close(from_server[1]);
    in_ = to_server[1];
    out_ = from_server[0];
    if (clock_getcpuclockid(pid_, &clock_) != 0) throw std::runtime_error("no process clock");
  }

  ~ServerProcess() {
    send({{"id", "end"}, {"method", "shutdown"}});
    send({{"method", "exit"}});
    close(in_);
    int status = 0;
    waitpid(pid_, &status, 0);
    close(out_);
  }

  void send(json message) {
    message["jsonrpc"] = "2.0";
    send_bytes(wander::lsp::frame(message));
  }

  void send_bytes(const std::string& bytes) {
    for (std::size_t at = 0; at < bytes.size();) {
      const ssize_t wrote = write(in_, bytes.data() + at, bytes.size() - at);
      if (wrote <= 0) throw std::runtime_error("cannot write to the server");
      at += static_cast<std::size_t>(wrote);
    }
  }

  // Reads what the server sends until the diagnostics of `version`; returns how many there are.
  std::size_t await_diagnostics(std::int64_t version) {
    for (;;) {
      json message;
      std::string why;
      if (reader_.next(message, why) != MessageReader::Got::kMessage) {
        throw std::runtime_error("the server stopped talking: " + why);
      }
      if (message.value("method", "") == "textDocument/publishDiagnostics" &&
          message["params"].value("version", -1) == version) {
        return message["params"]["diagnostics"].size();
      }
    }
  }

  // Reads what the server sends until its answer to request `id`.
  void await_answer(int id) {
    for (;;) {
      json message;
      std::string why;
      if (reader_.next(message, why) != MessageReader::Got::kMessage) {
        throw std::runtime_error("the server stopped talking: " + why);
      }
      if (message.value("id", json()) == id) return;
    }
  }

  // The server's processor time so far, in seconds.
  double processor_seconds() const {
    timespec now{};
    clock_gettime(clock_, &now);
    return static_cast<double>(now.tv_sec) + static_cast<double>(now.tv_nsec) / 1e9;
  }

  // The server's peak resident memory so far, in bytes.
  double peak_memory() const {
    std::ifstream status("/proc/" + std::to_string(pid_) + "/status");
    for (std::string line; std::getline(status, line);) {
      if (line.rfind("VmHWM:", 0) == 0) return std::stod(line.substr(6)) * 1024;
    }
    return 0;
  }

 private:
  pid_t pid_ = 0;
  int in_ = -1;
  int out_ = -1;
  clockid_t clock_{};
  MessageReader reader_{[this](char* buffer, std::size_t size) {
    return static_cast<std::ptrdiff_t>(read(out_, buffer, size));
  }};
};

constexpr char kUri[] = "file:///bench/World.txt";

// The message that opens `text`, framed.
std::string opening(const std::string& text) {
  json document = {{"uri", kUri}, {"languageId", "wander"}, {"version", 1}, {"text", text}};
  return wander::lsp::frame({{"jsonrpc", "2.0"},
                             {"method", "textDocument/didOpen"},
                             {"params", {{"textDocument", document}}}});
}

// Initializes `server` and sends it `opening`; returns once its first diagnostics arrived.
void open_world(ServerProcess& server, const std::string& opening) {
  server.send(
      {{"id", 1}, {"method", "initialize"}, {"params", {{"capabilities", json::object()}}}});
  server.send({{"method", "initialized"}, {"params", json::object()}});
  server.send_bytes(opening);
  server.await_diagnostics(1);
}

// A position as the protocol writes it.
json position(std::uint32_t line, std::uint32_t character) {
  return {{"line", line}, {"character", character}};
}

void Change(benchmark::State& state) {
  const std::string text = generated_world(state.range(0));
  // The east exit of the starting room, the first block: its last character is misspelt, then
  // mended.
  const std::size_t exit = text.find("\nEast: ") + 7;
  const std::size_t end = text.find_first_of(" \n", exit);
  const auto line = static_cast<std::uint32_t>(
      std::count(text.begin(), text.begin() + static_cast<std::ptrdiff_t>(exit), '\n'));
  const auto last = static_cast<std::uint32_t>(6 + end - exit - 1);
  const std::string right(1, text[end - 1]);
  ServerProcess server;
  open_world(server, opening(text));
  std::int64_t version = 1;
  std::size_t diagnostics = 0;
  for (auto _ : state) {
    ++version;
    const double before = server.processor_seconds();
    json change = {{"range", {{"start", position(line, last)}, {"end", position(line, last + 1)}}},
                   {"text", version % 2 == 0 ? "x" : right}};
    json params = {{"textDocument", {{"uri", kUri}, {"version", version}}},
                   {"contentChanges", json::array({change})}};
    server.send({{"method", "textDocument/didChange"}, {"params", params}});
    diagnostics += server.await_diagnostics(version);
    state.SetIterationTime(server.processor_seconds() - before);
  }
  if (diagnostics == 0) state.SkipWithError("no change made a diagnostic: the slip missed");
  state.counters["text_MiB"] = static_cast<double>(text.size()) / kMiB;
  state.counters["peak_MiB"] = server.peak_memory() / kMiB;
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * text.size()));
}
BENCHMARK(Change)->Arg(1 << 20)->Arg(10 << 20)->UseManualTime()->Unit(benchmark::kMillisecond);

void Open(benchmark::State& state) {
  const std::string text = generated_world(state.range(0));
  const std::string message = opening(text);
  double peak = 0;
  double wall = 0;
  for (auto _ : state) {
    ServerProcess server;
    const auto start = std::chrono::steady_clock::now();
    open_world(server, message);
    wall += std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    state.SetIterationTime(server.processor_seconds());
    peak = std::max(peak, server.peak_memory());
  }
  state.counters["text_MiB"] = static_cast<double>(text.size()) / kMiB;
  state.counters["peak_MiB"] = peak / kMiB;
  state.counters["peak_per_text"] = peak / static_cast<double>(text.size());
  state.counters["until_diagnostics_s"] = wall / static_cast<double>(state.iterations());
}
BENCHMARK(Open)
    ->Arg(1 << 20)
    ->Arg(10 << 20)
    ->Arg(100 << 20)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond)
    ->Iterations(3);

// The rooms and objects of a generated world as symbols, asked for once it is open: the
// request's processor time, and the server's peak memory against the text's size.
void Symbols(benchmark::State& state) {
  const std::string text = generated_world(state.range(0));
  ServerProcess server;
  open_world(server, opening(text));
  int id = 1;
  for (auto _ : state) {
    const double before = server.processor_seconds();
    server.send({{"id", ++id},
                 {"method", "textDocument/documentSymbol"},
                 {"params", {{"textDocument", {{"uri", kUri}}}}}});
    server.await_answer(id);
    state.SetIterationTime(server.processor_seconds() - before);
  }
  state.counters["text_MiB"] = static_cast<double>(text.size()) / kMiB;
  state.counters["peak_per_text"] = server.peak_memory() / static_cast<double>(text.size());
}
BENCHMARK(Symbols)
    ->Arg(10 << 20)
    ->Arg(100 << 20)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond)
    ->Iterations(1);

}  // namespace

BENCHMARK_MAIN();
