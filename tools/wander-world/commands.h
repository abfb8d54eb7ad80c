// The commands of wander-world, one file each. Each takes the whole command line (argv[1] is the
// command's name) and returns the exit status (see command_line.h).
#ifndef WANDER_TOOLS_WANDER_WORLD_COMMANDS_H_
#define WANDER_TOOLS_WANDER_WORLD_COMMANDS_H_

namespace wander::cli {

/// Reports what the game will do wrong with a world file, as a compiler does.
int check_command(int argc, char** argv);

/// Writes a world's map as a Graphviz graph.
int map_command(int argc, char** argv);

/// Writes a web page that plays a world.
int publish_command(int argc, char** argv);

/// Plays keys against a world and writes the walkthrough as a case file.
int record_command(int argc, char** argv);

/// Plays walkthroughs again and says where the game now shows otherwise.
int replay_command(int argc, char** argv);
/// Serves worlds to an editor by the Language Server Protocol; built without a JSON library,
/// says that it is not there.
int lsp_command(int argc, char** argv);

}  // namespace wander::cli

#endif  // WANDER_TOOLS_WANDER_WORLD_COMMANDS_H_
