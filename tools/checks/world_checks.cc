#include "tools/checks/world_checks.h"

#include <algorithm>

#include "tools/checks/check_context.h"

namespace wander {

std::vector<Diagnostic> check_world(WorldFile& world, const Survey& survey, CheckWork* work) {
  checks::Checks c(world, survey);
  for (const Duplicate& duplicate : survey.duplicates) {
    c.second_blocks.try_emplace(duplicate.marker, duplicate.place.line);
  }
  c.split_name_rooms.resize(survey.near_markers.size());
  for (std::size_t i = 0; i < survey.near_markers.size(); ++i) {
    const std::vector<std::string> words = checks::words_inside_marker(survey.near_markers[i].line);
    // Longer names than a room block's words cannot be read from one.
    if (words.size() < 2 || words.size() > kRoomSlots || survey.near_markers[i].in_text) continue;
    std::string joined = words[0];
    for (std::size_t w = 1; w < words.size(); ++w) joined.append(" ").append(words[w]);
    if (!c.split_names.try_emplace(std::move(joined), i).second) continue;
    std::vector<std::size_t>& lengths = c.split_name_lengths[words[0]];
    if (std::find(lengths.begin(), lengths.end(), words.size()) == lengths.end()) {
      lengths.insert(std::upper_bound(lengths.begin(), lengths.end(), words.size()), words.size());
    }
  }
  checks::find_misspelt_blocks(c);
  checks::check_header(c);
  checks::check_texts(c);
  checks::check_rooms(c);
  checks::check_near_markers(c);
  checks::check_misspelt_blocks(c);
  checks::check_object_blocks(c);
  checks::check_duplicates(c);
  checks::check_reachable(c);
  if (work != nullptr) work->suggestion_steps = c.suggestion_steps();
  return checks::fold(c);
}

}  // namespace wander
