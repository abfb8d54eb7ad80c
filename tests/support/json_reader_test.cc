// The tests' JSON reader refuses what is not strict JSON in valid UTF-8, so that a printer that
// writes such a thing fails its tests.
#include "tests/support/json_reader.h"

#include <gtest/gtest.h>

#include <string>

namespace wander::testing {
namespace {

TEST(JsonReaderTest, RefusesWhatIsNotStrictJson) {
  for (const std::string text : {
           "",
           "{",
           "[1,]",
           "{\"a\":1,}",
           "{\"a\" 1}",
           "{a:1}",
           "[1] [2]",
           "01",
           "1.",
           "-",
           "+1",
           ".5",
           "1e",
           "nul",
           "True",
           "'a'",
           "\"\t\"",
           "\"a\nb\"",
           "\"\x1b\"",
           "\"\\x41\"",
           "\"\\u12\"",
           "\"\\ud800\"",
           "\"\\udc00\"",
           "\"\\ud800\\u0041\"",
           "\"\xff\"",
           "\"\xc0\xaf\"",
           "\"\xed\xa0\x80\"",
           "\"\xe2\x82\"",
           "{\"a\":1,\"a\":2}",
       }) {
    EXPECT_THROW(read_json(text), std::runtime_error) << text;
  }
  EXPECT_THROW(read_json(std::string("[1]\0", 4)), std::runtime_error);
}

TEST(JsonReaderTest, ReadsWhatIsStrictJson) {
  const JsonValue v = read_json(
      " {\"a\": [0, -1.5e3, true, false, null], \"s\": \"\\\"\\\\\\/\\b\\f\\n\\r\\t\\u00e9\\ud83d"
      "\\ude00\xe6\x9d\xb1\", \"o\": {}} ");
  EXPECT_EQ(v.keys(), (std::vector<std::string>{"a", "s", "o"}));
  EXPECT_EQ(v["a"][0].as_int(), 0);
  EXPECT_EQ(v["a"][1].text, "-1.5e3");
  EXPECT_THROW(v["a"][1].as_int(), std::runtime_error);
  EXPECT_TRUE(v["a"][2].boolean);
  EXPECT_EQ(v["a"][4].type, JsonValue::Type::kNull);
  EXPECT_EQ(v["s"].as_string(), "\"\\/\b\f\n\r\t\xc3\xa9\xf0\x9f\x98\x80\xe6\x9d\xb1");
  EXPECT_TRUE(v["o"].keys().empty());
  EXPECT_THROW(v["missing"], std::runtime_error);
}

}  // namespace
}  // namespace wander::testing
