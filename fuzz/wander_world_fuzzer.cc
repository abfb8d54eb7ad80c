// wander-world's check and map on any file.
#include <cstdio>

#include "tools/world_map.h"
#include "tools/world_survey.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  static std::FILE* const sink = std::fopen("/dev/null", "w");
  const std::string bytes(reinterpret_cast<const char*>(data), size);
  wander::WorldFile world(wander::make_string_source(bytes, 1 + size % 13), 4 + size % 29);
  const wander::Survey survey = wander::survey_world(world);
  wander::write_map(survey, sink);
  std::fputs(wander::summary(survey).c_str(), sink);
  return 0;
}
