// The game: start-up, the command loop, moving, examining and quitting.
//
// A turn writes a line end and the prompt "> ", reads one command line and carries out the first
// command it names; a line that names none does nothing. Commands are whole lines, exact and
// case-sensitive:
//   look                                  describe the room again
//   look at | view | exa | examine        ask for an object and show its text
//   move north | north | n  (and east/e, south/s, west/w)   walk through an exit
//   terminate | quit | exit               say "Terminated", wait for a key, end with status 1
// At the end of input, at the prompt or at the object question, the game writes a line end and
// ends with status 0. A command line longer than the longest command, or an answer longer than
// any name the room lists, is read through without being kept: it matches nothing.
//
// When a standard stream fails (output that can no longer be written, input that cannot be
// read) the console throws StreamFailed at once, and so does a lookup when reading World.txt
// fails after the start; the entry says why and ends with kRunFailed.
#ifndef WANDER_GAME_GAME_H_
#define WANDER_GAME_GAME_H_

#include <cstdio>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "console/console.h"
#include "text/text_reader.h"
#include "world/room.h"

namespace wander {

/// The name of the world file, read from the current folder.
inline constexpr char kWorldFileName[] = "World.txt";

/// The exit statuses of a run.
inline constexpr int kInputEnded = 0;  ///< standard input ended
inline constexpr int kQuitStatus = 1;  ///< after the quit command
inline constexpr int kRunFailed = 2;   ///< input, output or World.txt failed, or memory ran out
inline constexpr int kNoWorld = -1;    ///< World.txt is missing, unreadable or no regular file

/// What one run of the game works on. The entry owns all of it.
struct Game {
  WorldFile& world;
  Room& room;
  TextReader& keyboard;  ///< standard input: command lines, object names and keys
  Screen& out;           ///< standard output
};

/// The whole run, as the entry makes it: when `world` is null (World.txt could not be opened),
/// writes "Unable to find World.txt" and returns kNoWorld; else plays the world with a fresh
/// record and the keys from `keyboard`, and returns play()'s status. Throws as play() does.
int run_game(std::unique_ptr<ByteSource> world, std::unique_ptr<ByteSource> keyboard, Screen& out);

/// Reads the header (its second word names the starting room), loads and describes that room,
/// then runs turns until the game ends. Returns the exit status: kQuitStatus after quit,
/// kInputEnded at the end of input, or no_world()'s when reading the world file failed before
/// anything was shown. Throws StreamFailed when a standard stream fails, or when a later read of
/// the world file does: the lookup that failed may have missed its block.
int play(Game& game);

/// Writes "Unable to find World.txt" and a line end to `out`; returns kNoWorld.
int no_world(std::FILE* out);

/// Plays one turn. Returns nothing while the game goes on, or the exit status it ends with.
std::optional<int> run_command(Game& game);

/// Walks through the exit `exit_id`, which may be one of the room's own exits: "None" says
/// "You can't go that way!"; otherwise the room is loaded and described. When the world has no
/// block for it the player stays where they were and the current room is described again.
void move_through(Game& game, std::string_view exit_id);

/// Writes a line end, `text`, and a line end.
void show_text(Screen& out, std::string_view text);

}  // namespace wander

#endif  // WANDER_GAME_GAME_H_
