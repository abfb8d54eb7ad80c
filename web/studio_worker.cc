// The studio's worker: `wander-world lsp`'s server and the map's layout in WebAssembly, for
// studio.js, which runs this in a Web Worker (studio_worker.js). Nothing is kept here between
// calls but what the worker's script holds by its pointer: the server it made.
#include <emscripten.h>

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <nlohmann/json.hpp>
#include <string>
#include <string_view>
#include <vector>

#include "text/text_reader.h"
#include "tools/lsp/message_reader.h"
#include "tools/lsp/server.h"
#include "tools/map/world_map.h"
#include "tools/names/printable.h"
#include "tools/publish/world_publish.h"
#include "tools/survey/world_survey.h"

// Hands one message of the server's to the worker's script (Module.serverSaid).
EM_JS(void, studio_server_said, (const char* text, std::size_t size),
      { Module["serverSaid"](UTF8ToString(text, size)); });

namespace {

struct Studio {
  wander::lsp::Server server;
  std::string said;  // what the last studio_map or studio_publish returned
};

}  // namespace

extern "C" {

/// A new server, named as `version`: to be given to every other call, and never freed (the
/// worker lives as long as the page).
EMSCRIPTEN_KEEPALIVE Studio* studio_new(const char* version) {
  return new Studio{
      wander::lsp::Server(
          [](const std::string& message) { studio_server_said(message.data(), message.size()); },
          version),
      {}};
}

/// Hands the server one message of `size` bytes of JSON text; its answers go out through
/// Module.serverSaid before this returns. The message is read as the native server reads it
/// from its input, framed, so that one that is no JSON is answered alike. True once the server
/// has exited.
EMSCRIPTEN_KEEPALIVE bool studio_message(Studio* studio, const char* text, std::size_t size) {
  const std::string framed = wander::lsp::frame_header(size) + std::string(text, size);
  std::size_t at = 0;
  wander::lsp::MessageReader reader([&](char* buffer, std::size_t most) {
    const std::size_t taken = std::min(most, framed.size() - at);
    std::copy_n(framed.data() + at, taken, buffer);
    at += taken;
    return static_cast<std::ptrdiff_t>(taken);
  });
  nlohmann::json message;
  std::string why;
  switch (reader.next(message, why)) {
    case wander::lsp::MessageReader::Got::kMessage:
      studio->server.handle(std::move(message));
      break;
    case wander::lsp::MessageReader::Got::kUnreadable:
      studio->server.handle_unreadable(why);
      break;
    case wander::lsp::MessageReader::Got::kEnd:
      break;
  }
  return studio->server.exited();
}

/// Publishes the diagnostics of the documents changed since: called once no message waits, so
/// that a burst of changes is checked once, after its last.
EMSCRIPTEN_KEEPALIVE void studio_idle(Studio* studio) { studio->server.publish_changed(); }

/// The map of the world `text` as JSON, as the map command lays it out (lay_out): {"rooms":
/// [{"name", "x", "y", "line", "start", "unreachable", "exits": [{"direction", "to",
/// "oneWay"}]}], "missing": [{"name", "x", "y", "start"}]}, an exit's "to" being "r" and a
/// room's place, or "m" and a missing room's; only {"places": N} when the rooms and the missing
/// rooms are more than `most`. The text is valid until the next call.
EMSCRIPTEN_KEEPALIVE const char* studio_map(Studio* studio, const char* text, std::size_t size,
                                            std::size_t most) {
  using nlohmann::json;
  using namespace wander;
  const std::string_view bytes(text, size);
  WorldFile reader(make_view_source(bytes));
  const Survey survey = survey_world(reader);
  const MapLayout layout = lay_out(survey);
  const std::size_t places = survey.rooms.size() + layout.missing.size();
  if (places > most) {
    studio->said = json{{"places", places}}.dump();
    return studio->said.c_str();
  }
  const SurveyedRoom* start = survey.header_words > 0 ? survey.find_room(survey.start) : nullptr;
  json missing = json::array();
  std::unordered_map<std::uint32_t, std::size_t> missing_place;
  for (std::size_t i = 0; i < layout.missing.size(); ++i) {
    const std::uint32_t marker = layout.missing[i];
    missing_place.emplace(marker, i);
    missing.push_back({{"name", printable(survey.room_id(marker))},
                       {"x", layout.missing_cells[i].x},
                       {"y", layout.missing_cells[i].y},
                       {"start", marker == survey.start_marker}});
  }
  json rooms = json::array();
  for (std::uint32_t i = 0; i < survey.rooms.size(); ++i) {
    const SurveyedRoom& room = survey.rooms[i];
    json exits = json::array();
    for (int direction = 0; direction < 4; ++direction) {
      const std::uint32_t exit = room.exits[direction];
      if (exit >= kNoExitName) continue;
      const std::uint32_t to = survey.markers[exit].room;
      if (to == kNoName) {
        exits.push_back({{"direction", direction},
                         {"to", "m" + std::to_string(missing_place.at(exit))},
                         {"oneWay", true}});
      } else {
        exits.push_back({{"direction", direction},
                         {"to", "r" + std::to_string(to)},
                         {"oneWay", !leads_back(survey, i, direction, to)}});
      }
    }
    rooms.push_back({{"name", printable(survey.room_id(room.marker))},
                     {"x", layout.rooms[i].x},
                     {"y", layout.rooms[i].y},
                     {"line", survey.markers[room.marker].line},
                     {"start", &room == start},
                     {"unreachable", start != nullptr && !survey.reachable(room)},
                     {"exits", exits}});
  }
  studio->said = json{{"rooms", rooms}, {"missing", missing}}.dump(-1, ' ', false,
                                                                   json::error_handler_t::replace);
  return studio->said.c_str();
}

/// The world of `request`, JSON {"files": {NAME: TEXT}, "name", "world", "title", "byline"},
/// published as one HTML file (single_file_page) from the play page's files it holds, its
/// NAME-LICENSE.txt the notices: "P" and
/// the page, or "E" and why it cannot be. Valid until the next call.
EMSCRIPTEN_KEEPALIVE const char* studio_publish(Studio* studio, const char* request,
                                                std::size_t size) {
  const nlohmann::json asked = nlohmann::json::parse(request, request + size, nullptr, false);
  std::string error = "the request is no JSON object";
  if (asked.is_object()) {
    const nlohmann::json files = asked.value("files", nlohmann::json::object());
    const wander::PageFile page_file = [&](const std::string& name, std::string& text,
                                           std::string& why) {
      const auto file = files.find(name);
      if (file == files.end() || !file->is_string()) {
        why = "the page has no file " + wander::in_quotes(name);
        return false;
      }
      text = file->get<std::string>();
      return true;
    };
    const wander::PageTitle title{asked.value("title", ""), asked.value("byline", "")};
    // The notices of what the page carries (NAME-LICENSE.txt) go wherever it goes.
    std::vector<std::string> notices;
    for (const auto& [name, text] : files.items()) {
      if (name.ends_with("-LICENSE.txt")) notices.push_back(name);
    }
    if (wander::single_file_page(page_file, asked.value("name", ""), asked.value("world", ""),
                                 title, notices, studio->said, error)) {
      studio->said.insert(0, 1, 'P');
      return studio->said.c_str();
    }
  }
  studio->said = "E" + error;
  return studio->said.c_str();
}

}  // extern "C"
