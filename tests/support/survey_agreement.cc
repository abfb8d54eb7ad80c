#include "tests/support/survey_agreement.h"

#include <cstdio>
#include <deque>
#include <set>

#include "game/game.h"
#include "tests/support/captured.h"
#include "tools/checks/world_checks.h"
#include "tools/diagnostics/json_printer.h"
#include "tools/diagnostics/sarif_printer.h"
#include "tools/map/world_map.h"
#include "tools/names/printable.h"
#include "tools/survey/world_survey.h"
#ifdef WANDER_STRICT_JSON
#include "tests/support/strict_json.h"
#endif

namespace wander::testing {
namespace {

constexpr int kMostReported = 8;

// The game's side: a world file, a record and a keyboard with nothing to type, as the game's
// entry sets them up, with the output thrown away.
struct GameSide {
  GameSide(const std::string& bytes, std::size_t capacity)
      : world(make_string_source(bytes), capacity),
        keyboard(make_string_source(std::string())),
        sink{std::tmpfile(), {}},
        game{world, room, keyboard, sink} {}
  ~GameSide() { std::fclose(sink.out); }
  GameSide(const GameSide&) = delete;
  GameSide& operator=(const GameSide&) = delete;

  // The room `id` as the game reads it into an empty record.
  Room load(const std::string& id) {
    Room fresh;
    load_room(world, fresh, id);
    return fresh;
  }

  WorldFile world;
  Room room;
  TextReader keyboard;
  Screen sink;
  Game game;
};

class Comparison {
 public:
  Comparison(const std::string& bytes, std::size_t capacity)
      : bytes_(bytes), reader_(make_string_source(bytes), capacity), game_(bytes, capacity) {
    survey_ = survey_world(reader_);
  }

  std::string run() {
    compare_lookups();
    compare_start();
    for (const SurveyedRoom& room : survey_.rooms) compare_room(room);
    compare_reachable();
    // The checks and the map read the same survey; they must get through any world.
    const std::vector<Diagnostic> diagnostics = check_world(reader_, survey_);
    written([&](std::FILE* out) { write_map(survey_, out); });
    for (const Diagnostic& d : diagnostics) {
      if (d.range.place.line < 1 || d.range.place.line > survey_.end.line || d.message.empty()) {
        differ("a diagnostic at line " + std::to_string(d.range.place.line) + ": " + d.message);
      }
    }
#ifdef WANDER_STRICT_JSON
    // JSON and SARIF come out as strict JSON in valid UTF-8, whatever the world.
    compare_json("JSON", [&](std::FILE* out) { write_json(out, "World.txt", diagnostics); });
    compare_json("SARIF", [&](std::FILE* out) {
      write_sarif(out, "World.txt", diagnostics, reader_, {"wander-world", "0", {}});
    });
#endif
    return report_;
  }

 private:
#ifdef WANDER_STRICT_JSON
  template <typename Write>
  void compare_json(const std::string& format, const Write& write) {
    try {
      read_json(written(write));
    } catch (const std::exception& error) {
      differ(format + " that is not JSON: " + error.what());
    }
  }
#endif

  void differ(const std::string& what) {
    if (++differences_ <= kMostReported) report_ += printable(what) + "\n";
  }

  std::string claimed_exit(std::uint32_t exit) const {
    if (exit == kNoName) return "";
    if (exit == kNoExitName) return std::string(kNoExit);
    return std::string(survey_.room_id(exit));
  }

  std::string claimed_object(const SurveyedRoom& room, std::uint32_t object) const {
    if (object == kNoName) return "";
    const std::string_view marker = survey_.names[object];
    const std::size_t id = survey_.room_id(room.marker).size();
    return std::string(marker.substr(id + 2, marker.size() - id - 3));
  }

  // Every marker the survey knows: the game's lookup finds its line exactly when the survey says
  // it has a block, and stands just past that line.
  void compare_lookups() {
    for (std::uint32_t id = 0; id < survey_.names.size(); ++id) {
      const std::string marker(survey_.names[id]);
      const bool found = find_block(game_.world, marker);
      if (found != survey_.markers[id].has_block()) {
        differ(marker + ": the game " + (found ? "finds" : "does not find") + " its block");
      } else if (found && game_.world.offset() != survey_.text_begin(id)) {
        differ(marker + ": the game's lookup stops at byte " +
               std::to_string(game_.world.offset()) + ", the survey says " +
               std::to_string(survey_.text_begin(id)));
      }
    }
  }

  // The game starts where the header says, in the room the survey names.
  void compare_start() {
    game_.room = Room();
    game_.world.rewind();
    play(game_.game);
    if (survey_.header_words > 0 && game_.room.id != survey_.start) {
      differ("the game starts in '" + game_.room.id + "', the survey says '" +
             std::string(survey_.start) + "'");
    }
  }

  void compare_room(const SurveyedRoom& surveyed) {
    const std::string id(survey_.room_id(surveyed.marker));
    const Room room = game_.load(id);
    for (int direction = 0; direction < 4; ++direction) {
      if (exit_of(room, direction) != claimed_exit(surveyed.exits[direction])) {
        differ(id + ": the " + kDirections[direction] + " exit is '" + exit_of(room, direction) +
               "', the survey says '" + claimed_exit(surveyed.exits[direction]) + "'");
      }
      // An exit the block ends before is the one the record held: no claim is made for it.
      if (surveyed.exits[direction] != kNoName) walk(room, direction);
    }
    for (int i = 0; i < kObjectSlots; ++i) {
      if (room.objects[i] != claimed_object(surveyed, surveyed.objects[i])) {
        differ(id + ": object " + std::to_string(i + 1) + " is '" + room.objects[i] +
               "', the survey says '" + claimed_object(surveyed, surveyed.objects[i]) + "'");
      }
      if (!room.objects[i].empty()) examine(room, room.objects[i]);
    }
  }

  // Walks one exit as the game does, from the room as loaded, and sees where the player is.
  void walk(const Room& from, int direction) {
    game_.room = from;
    move_through(game_.game, std::string(exit_of(from, direction)));
    const std::string& exit = exit_of(from, direction);
    const bool leads = !exit.empty() && exit != kNoExit && survey_.find_room(exit) != nullptr;
    const std::string& claimed = leads ? exit : from.id;
    if (game_.room.id != claimed) {
      differ(from.id + ": going " + kDirections[direction] + " the game goes to '" + game_.room.id +
             "', the survey says '" + claimed + "'");
    }
  }

  // What the game shows for the object against the bytes the survey says its text is.
  void examine(const Room& in, const std::string& name) {
    game_.room = in;
    load_object_text(game_.world, game_.room, name);
    const TextClaim claim = object_text_claim(survey_, in.id, name);
    std::string text;
    if (claim.found) {
      for (std::uint64_t at = claim.begin; at < claim.end; ++at) {
        if (bytes_[at] == '\r' && at + 1 < claim.end && bytes_[at + 1] == '\n') continue;
        text += bytes_[at];
      }
    }
    if (game_.room.object_text != text) {
      differ(in.id + ": examining '" + name + "' shows " +
             std::to_string(game_.room.object_text.size()) + " bytes, the survey says " +
             std::to_string(text.size()));
    }
  }

  // From the start, through the game's moves, every room there is a way to.
  void compare_reachable() {
    if (survey_.header_words == 0 || survey_.find_room(survey_.start) == nullptr) return;
    std::set<std::string> seen = {std::string(survey_.start)};
    std::deque<std::string> to_visit = {std::string(survey_.start)};
    while (!to_visit.empty()) {
      const Room here = game_.load(to_visit.front());
      to_visit.pop_front();
      for (int direction = 0; direction < 4; ++direction) {
        if (exit_of(here, direction).empty()) continue;
        game_.room = here;
        move_through(game_.game, std::string(exit_of(here, direction)));
        if (seen.insert(game_.room.id).second) to_visit.push_back(game_.room.id);
      }
    }
    for (const SurveyedRoom& room : survey_.rooms) {
      const std::string id(survey_.room_id(room.marker));
      if (survey_.reachable(room) != (seen.count(id) != 0)) {
        differ(id + ": the game " + (survey_.reachable(room) ? "cannot reach" : "reaches") +
               " it, the survey says otherwise");
      }
    }
  }

  const std::string& bytes_;
  WorldFile reader_;
  GameSide game_;
  Survey survey_;
  std::string report_;
  int differences_ = 0;
};

}  // namespace

std::string disagreements(const std::string& world, std::size_t capacity) {
  return Comparison(world, capacity).run();
}

}  // namespace wander::testing
