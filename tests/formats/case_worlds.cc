// Writes the worlds of case files into a folder, one file each, for the tests that run
// `wander-world check` on them in another way than a case does: a world that several cases in a
// row share is written once, and worlds past a megabyte are left out.
//   case_worlds FOLDER CASE_FILE...
// Each world is FOLDER/STEM-N.txt, STEM the case file's name without ".case", N counting from 1;
// their names are printed, one a line.
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>

#include "tools/walkthroughs/case_file.h"

int main(int argc, char** argv) {
  if (argc < 3) {
    std::fputs("usage: case_worlds FOLDER CASE_FILE...\n", stderr);
    return 2;
  }
  constexpr std::size_t kLargest = 1 << 20;
  const std::filesystem::path folder = argv[1];
  for (int i = 2; i < argc; ++i) {
    std::string error;
    const auto cases = wander::read_case_file(argv[i], error);
    if (!cases) {
      std::fprintf(stderr, "case_worlds: %s\n", error.c_str());
      return 2;
    }
    const std::string stem = std::filesystem::path(argv[i]).stem().string();
    const std::string* last = nullptr;
    int written = 0;
    for (const wander::Case& c : *cases) {
      if (c.world_setup != wander::WorldSetup::kText || c.world.size() > kLargest) continue;
      if (last != nullptr && *last == c.world) continue;
      last = &c.world;
      const std::filesystem::path path = folder / (stem + "-" + std::to_string(++written) + ".txt");
      std::ofstream out(path, std::ios::binary);
      out.write(c.world.data(), static_cast<std::streamsize>(c.world.size()));
      if (!out.flush()) {
        std::fprintf(stderr, "case_worlds: cannot write %s\n", path.string().c_str());
        return 2;
      }
      std::printf("%s\n", path.string().c_str());
    }
  }
  return 0;
}
