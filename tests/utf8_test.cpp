// Module text on its way into JSON: only ill-formed bytes are replaced.
#include <gtest/gtest.h>

#include <string>

#include "utf8.h"

namespace {

TEST(ValidUtf8, ReplacesEachIllFormedByteAndKeepsTheRest) {
  const std::string replacement = "\xEF\xBF\xBD";
  struct {
    const char *what;
    std::string text;
    std::string expected;
  } const cases[] = {
      {"ascii", "Cube 1", "Cube 1"},
      {"two, three and four bytes", "W\xC3\xBCrfel \xE2\x82\xAC \xF0\x9F\x8E\xB2",
       "W\xC3\xBCrfel \xE2\x82\xAC \xF0\x9F\x8E\xB2"},
      {"a zero byte is text too", std::string("a\0b", 3), std::string("a\0b", 3)},
      {"stray continuation byte", "a\x80z", "a" + replacement + "z"},
      {"sequence cut at the end", "ab\xE2\x82", "ab" + replacement + replacement},
      {"overlong slash", "\xC0\xAF", replacement + replacement},
      {"overlong three bytes", "\xE0\x80\xAF", replacement + replacement + replacement},
      {"surrogate", "\xED\xA0\x80", replacement + replacement + replacement},
      {"beyond U+10FFFF", "\xF4\x90\x80\x80", replacement + replacement + replacement + replacement},
      {"latin-1 byte", "caf\xE9!", "caf" + replacement + "!"},
  };
  for (const auto &c : cases)
    EXPECT_EQ(hostemu::validUtf8(c.text), c.expected) << c.what;
}

}  // namespace
