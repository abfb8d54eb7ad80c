// Lookups of the first, middle and last block of generated worlds of 1, 10 and 100 MB, for rooms
// and for objects. Bytes per second counts the bytes a lookup scans: those before its block.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>
#include <string>

#include "text/line_filter.h"
#include "tools/generator/world_generator.h"
#include "world/room.h"

namespace {

namespace fs = std::filesystem;

struct BenchWorld {
  std::string path;
  std::string bytes;
};

// Writes each world once per run, into the temporary folder, and keeps a copy to find offsets.
const BenchWorld& world_of_megabytes(int megabytes) {
  static std::map<int, BenchWorld> worlds;
  auto [it, added] = worlds.try_emplace(megabytes);
  if (added) {
    it->second.path =
        (fs::temp_directory_path() / ("wander-bench-" + std::to_string(megabytes) + "M.txt"))
            .string();
    std::FILE* out = std::fopen(it->second.path.c_str(), "wb");
    wander::write_world(out, wander::rooms_for_bytes(std::int64_t{megabytes} << 20),
                        wander::StartAt::kFirst);
    std::fclose(out);
    std::ostringstream copy;
    copy << std::ifstream(it->second.path, std::ios::binary).rdbuf();
    it->second.bytes = copy.str();
  }
  return it->second;
}

std::size_t offset_of(const std::string& bytes, const std::string& marker) {
  return bytes.find("\n" + marker + "\n") + 1;
}

// The identifier of the room block at `where` (0 first, 1 middle, 2 last) in `bytes`.
std::string room_at(const std::string& bytes, int where) {
  std::size_t at = where == 0 ? 0 : where == 1 ? bytes.size() / 2 : bytes.rfind("\n<R");
  for (;; ++at) {
    at = bytes.find("\n<R", at) + 2;
    const std::size_t end = bytes.find('\n', at);
    const std::string line = bytes.substr(at, end - at);
    if (line.find('|') == std::string::npos) return line.substr(0, line.size() - 1);
  }
}

void BM_LoadRoom(benchmark::State& state) {
  const BenchWorld& world = world_of_megabytes(static_cast<int>(state.range(0)));
  const std::string id = room_at(world.bytes, static_cast<int>(state.range(1)));
  wander::WorldFile file(wander::open_file_source(world.path));
  wander::Room room;
  for (auto _ : state) {
    if (!wander::load_room(file, room, id)) state.SkipWithError("room not found");
    benchmark::DoNotOptimize(room.description.data());
  }
  state.SetBytesProcessed(
      static_cast<std::int64_t>(state.iterations()) *
      static_cast<std::int64_t>(offset_of(world.bytes, wander::room_marker(id))));
}

void BM_LoadObjectText(benchmark::State& state) {
  const BenchWorld& world = world_of_megabytes(static_cast<int>(state.range(0)));
  const int where = static_cast<int>(state.range(1));
  // The object block nearest the chosen place, searching back from it.
  const std::size_t from = where == 0   ? world.bytes.find('|')
                           : where == 1 ? world.bytes.find('|', world.bytes.size() / 2)
                                        : world.bytes.rfind('|');
  const std::size_t open = world.bytes.rfind('<', from);
  const std::size_t close = world.bytes.find('>', from);
  wander::Room room;
  room.id = world.bytes.substr(open + 1, from - open - 1);
  const std::string name = world.bytes.substr(from + 1, close - from - 1);
  wander::WorldFile file(wander::open_file_source(world.path));
  for (auto _ : state) {
    wander::load_object_text(file, room, name);
    if (room.object_text.empty()) state.SkipWithError("object not found");
  }
  state.SetBytesProcessed(
      static_cast<std::int64_t>(state.iterations()) *
      static_cast<std::int64_t>(offset_of(world.bytes, wander::object_marker(room.id, name))));
}

// A room whose description alone is `MB` megabytes: reading it must take time linear in its size.
void BM_ReadLongDescription(benchmark::State& state) {
  const std::size_t size = static_cast<std::size_t>(state.range(0)) << 20;
  const std::string path = (fs::temp_directory_path() / "wander-bench-long.txt").string();
  {
    std::string line(79, 'x');
    line += '\n';
    std::ofstream out(path, std::ios::binary);
    out << "Start: Big\n<Big>\n";
    for (std::size_t written = 0; written < size; written += line.size()) out << line;
    out << "*\nNorth: None East: None South: None West: None\nObjects: 0\n";
  }
  wander::WorldFile file(wander::open_file_source(path));
  wander::Room room;
  // The first read pays for the record's memory being touched for the first time; the game
  // reuses its one record, so later reads are what a player waits for.
  wander::load_room(file, room, "Big");
  for (auto _ : state) {
    if (!wander::load_room(file, room, "Big")) state.SkipWithError("room not found");
  }
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) *
                          static_cast<std::int64_t>(room.description.size()));
  fs::remove(path);
}
BENCHMARK(BM_ReadLongDescription)
    ->ArgName("MB")
    ->Arg(12)
    ->Arg(25)
    ->Arg(50)
    ->Unit(benchmark::kMillisecond);

// The filter alone, over 256 KiB of a world already in cache (as the reader's buffer is after a
// read), looking for a room marker that is not there: every candidate is a near miss.
void BM_FilterInCache(benchmark::State& state) {
  const auto width = static_cast<wander::FilterWidth>(state.range(0));
  if (width > wander::widest_filter()) {
    state.SkipWithError("this processor has no filter that wide");
    return;
  }
  const std::string bytes = world_of_megabytes(1).bytes.substr(0, 256 * 1024);
  const std::string wanted = wander::room_marker(wander::generated_room_id(9999999));
  const char* const end = bytes.data() + bytes.size();
  for (auto _ : state) {
    const char* at = bytes.data();
    for (;;) {
      at = wander::find_line_candidate(width, at, end, wanted);
      if (at + wanted.size() >= end) break;
      ++at;
    }
    benchmark::DoNotOptimize(at);
  }
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) *
                          static_cast<std::int64_t>(bytes.size()));
}
BENCHMARK(BM_FilterInCache)->ArgName("width")->Arg(1)->Arg(16)->Arg(32);

void positions_and_sizes(benchmark::internal::Benchmark* bench) {
  bench->ArgNames({"MB", "at"});
  for (int megabytes : {1, 10, 100}) {
    for (int where : {0, 1, 2}) bench->Args({megabytes, where});
  }
  bench->Unit(benchmark::kMillisecond);
}

BENCHMARK(BM_LoadRoom)->Apply(positions_and_sizes);
BENCHMARK(BM_LoadObjectText)->Apply(positions_and_sizes);

}  // namespace

BENCHMARK_MAIN();
