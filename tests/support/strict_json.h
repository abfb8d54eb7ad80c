// JSON read back strictly, for the tests of the printers that write it: nlohmann's parser holds
// to RFC 8259 and refuses bytes that are not UTF-8, control characters left raw in a string and
// escapes of lone surrogates. Two things it lets through are refused here: a NUL byte, which it
// takes for the end of the input, and a member named twice in one object, of which it keeps the
// last. The printers name members in their code alone, so only a mistake there could write one
// twice; JSON.parse in the format tests would let it pass as silently.
// Built only when CMake finds nlohmann_json (WANDER_STRICT_JSON is then defined).
#ifndef WANDER_TESTS_SUPPORT_STRICT_JSON_H_
#define WANDER_TESTS_SUPPORT_STRICT_JSON_H_

#include <nlohmann/json.hpp>
#include <set>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

namespace wander::testing {

/// The JSON document `text`, its members in the order written. Throws at what is not strict JSON.
inline nlohmann::ordered_json read_json(std::string_view text) {
  using Json = nlohmann::ordered_json;
  if (text.find('\0') != std::string_view::npos) throw std::runtime_error("a raw NUL byte");
  std::vector<std::set<std::string>> names;  // of each object open
  return Json::parse(text, [&](int, Json::parse_event_t event, Json& parsed) {
    if (event == Json::parse_event_t::object_start) names.emplace_back();
    if (event == Json::parse_event_t::object_end) names.pop_back();
    if (event == Json::parse_event_t::key &&
        !names.back().insert(parsed.get<std::string>()).second) {
      throw std::runtime_error("a member named twice: " + parsed.get<std::string>());
    }
    return true;
  });
}

}  // namespace wander::testing

#endif  // WANDER_TESTS_SUPPORT_STRICT_JSON_H_
