#include "game/game.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <string>
#include <string_view>

#include "console/console.h"

namespace wander {
namespace {

enum class Command { kNone, kLook, kExamine, kMove, kQuit };

struct Spelling {
  std::string_view words;
  Command command;
  int direction = 0;  // for kMove: 0 north, 1 east, 2 south, 3 west, as exit_of counts them
};

// In the order they are tried; the first whole-line match wins.
constexpr std::array<Spelling, 20> kSpellings{{
    {"look", Command::kLook},     {"look at", Command::kExamine}, {"view", Command::kExamine},
    {"exa", Command::kExamine},   {"examine", Command::kExamine}, {"move north", Command::kMove, 0},
    {"north", Command::kMove, 0}, {"n", Command::kMove, 0},       {"move east", Command::kMove, 1},
    {"east", Command::kMove, 1},  {"e", Command::kMove, 1},       {"move south", Command::kMove, 2},
    {"south", Command::kMove, 2}, {"s", Command::kMove, 2},       {"move west", Command::kMove, 3},
    {"west", Command::kMove, 3},  {"w", Command::kMove, 3},       {"terminate", Command::kQuit},
    {"quit", Command::kQuit},     {"exit", Command::kQuit},
}};

// A longer command line cannot match, so it is read through without being kept.
constexpr std::size_t longest_command() {
  std::size_t longest = 0;
  for (const Spelling& spelling : kSpellings) longest = std::max(longest, spelling.words.size());
  return longest;
}

Spelling parse_command(std::string_view line) {
  for (const Spelling& spelling : kSpellings) {
    if (spelling.words == line) return spelling;
  }
  return {line, Command::kNone};
}

// The game ends here when input runs out, leaving the shell's prompt on a fresh line; input that
// failed instead ends the run (check_input throws).
int input_ended(Game& game) {
  check_input(game.keyboard);
  line_end(game.out);
  return kInputEnded;
}

// The longest name the room lists: a longer answer names nothing there.
std::size_t longest_name(const Room& room) {
  std::size_t longest = 0;
  for (const std::string& name : room.objects) longest = std::max(longest, name.size());
  return longest;
}

// A lookup that could not read the world file found nothing, truly or not: the game cannot tell
// what the player should see, so the run ends.
void check_world_read(const Game& game) {
  if (const int error = game.world.read_error(); error != 0) {
    throw StreamFailed(std::string("cannot read ") + kWorldFileName + ": " + std::strerror(error));
  }
}

std::optional<int> examine(Game& game) {
  prompt(game.out, "What do you want to look at? ");
  tell_host_waiting(Waiting::kObject);
  // Only the word is taken: the byte after it, and the rest of its line, start the next command.
  std::string name;
  bool longer = false;
  if (!game.keyboard.read_word(name, longest_name(game.room), longer)) return input_ended(game);
  if (longer || !object_in_room(game.room, name)) {
    clear_screen(game.out);
    write_text(game.out, "That is not a valid object!");
    line_end(game.out);
    return std::nullopt;
  }
  clear_screen(game.out);
  load_object_text(game.world, game.room, name);
  check_world_read(game);
  show_text(game.out, game.room.object_text);
  wait_key(game.keyboard, game.out);
  clear_screen(game.out);
  describe_room(game.room, game.out);
  return std::nullopt;
}

int quit(Game& game) {
  write_text(game.out, "Terminated");
  line_end(game.out);
  wait_key(game.keyboard, game.out);
  return kQuitStatus;
}

}  // namespace

int no_world(std::FILE* out) {
  write_text(out, "Unable to find World.txt");
  line_end(out);
  return kNoWorld;
}

void show_text(Screen& out, std::string_view text) {
  line_end(out);
  write_text(out, text);
  line_end(out);
}

void move_through(Game& game, std::string_view exit_id) {
  if (exit_id == kNoExit) {
    write_text(game.out, "You can't go that way!");
    line_end(game.out);
    return;
  }
  load_room(game.world, game.room, exit_id);
  check_world_read(game);
  describe_room(game.room, game.out);
}

std::optional<int> run_command(Game& game) {
  line_end(game.out);
  prompt(game.out, "> ");
  tell_host_waiting(Waiting::kCommand);
  std::string line;
  bool longer = false;
  if (!game.keyboard.read_line(line, longest_command(), longer)) return input_ended(game);
  const Spelling command = longer ? Spelling{line, Command::kNone} : parse_command(line);
  switch (command.command) {
    case Command::kNone:
      break;
    case Command::kLook:
      describe_room(game.room, game.out);
      break;
    case Command::kExamine:
      return examine(game);
    case Command::kMove:
      move_through(game, exit_of(game.room, command.direction));
      break;
    case Command::kQuit:
      return quit(game);
  }
  return std::nullopt;
}

int run_game(std::unique_ptr<ByteSource> world, std::unique_ptr<ByteSource> keyboard, Screen& out) {
  if (!world) return no_world(out.out);
  WorldFile world_file(std::move(world));
  Room room;
  // Typed lines are short, and a longer one is read in pieces: the world's large buffer would
  // only cost the start-up a mapping of its own.
  constexpr std::size_t kKeyboardBuffer = 4096;
  TextReader keys(std::move(keyboard), kKeyboardBuffer);
  Game game{world_file, room, keys, out};
  return play(game);
}

int play(Game& game) {
  read_header(game.world, game.room.id);
  load_room(game.world, game.room, game.room.id);
  // A world file that opens but cannot be read is no world to play: the start-up says so as it
  // does for one that cannot be opened.
  if (game.world.read_error() != 0) return no_world(game.out.out);
  describe_room(game.room, game.out);
  for (;;) {
    if (const std::optional<int> status = run_command(game)) return *status;
  }
}

}  // namespace wander
