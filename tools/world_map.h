// The map of a world as a Graphviz DOT graph.
#ifndef WANDER_TOOLS_WORLD_MAP_H_
#define WANDER_TOOLS_WORLD_MAP_H_

#include <cstdio>

#include "tools/world_survey.h"

namespace wander {

/// Writes `survey` as a DOT graph to `out`: one node per room with its identifier and objects,
/// one edge per exit labelled with its direction, the starting room drawn with a double border,
/// rooms that exits name but that have no block drawn dashed in red, and rooms that cannot be
/// reached from the start set apart in a cluster of their own.
void write_map(const Survey& survey, std::FILE* out);

}  // namespace wander

#endif  // WANDER_TOOLS_WORLD_MAP_H_
