// The validator's child processes: a check that returns, crashes, hangs or
// exits without a word is told apart, and a small-stack thread runs. Where
// there is no fork, the child is this test program started again with
// --child-case NAME (see main below).
#include "child_process.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <thread>

#ifndef _WIN32
#include <unistd.h>
#endif

namespace {

using hostemu::validate::ChildEnd;
using hostemu::validate::ChildOutcome;
using hostemu::validate::ChildTask;
using hostemu::validate::runInChild;

struct ChildCase {
  const char *name;
  std::string (*body)();
  ChildEnd end;
  const char *said;  // in the result or in the reason
};

const ChildCase kCases[] = {
    {"Returns", [] { return std::string("PASSED\tall well"); }, ChildEnd::finished, "all well"},
    {"Aborts",
     []() -> std::string {
       std::fputs("hostemu: a block released twice\n", stderr);
       std::abort();
     },
     ChildEnd::crashed, "a block released twice"},
    {"ExitsWithoutResult",
     []() -> std::string {
#ifdef _WIN32
       std::_Exit(0);
#else
       ::_exit(0);
#endif
     },
     ChildEnd::crashed, "exit status 0"},
    {"Hangs",
     []() -> std::string {
       while (true)
         std::this_thread::sleep_for(std::chrono::milliseconds(10));
     },
     ChildEnd::timedOut, "killed"},
};

class Child : public testing::TestWithParam<ChildCase> {};

TEST_P(Child, EndIsToldApart) {
  const ChildCase &c = GetParam();
#ifdef _WIN32
  // A child started anew (under Wine, as the tests run) takes a while to come up.
  const std::chrono::milliseconds limit(8000);
#else
  const std::chrono::milliseconds limit(1500);
#endif
  ChildOutcome outcome = runInChild(ChildTask{c.body, {"--child-case", c.name}}, limit);
  EXPECT_EQ(int(outcome.end), int(c.end)) << outcome.why;
  EXPECT_NE((outcome.result + outcome.why).find(c.said), std::string::npos) << outcome.result << outcome.why;
}

INSTANTIATE_TEST_SUITE_P(Validate, Child, testing::ValuesIn(kCases),
                         [](const testing::TestParamInfo<ChildCase> &info) { return std::string(info.param.name); });

TEST(SmallStack, RunsTheBodyOnItsOwnThread) {
  std::thread::id ran;
  ASSERT_TRUE(hostemu::validate::runOnSmallStack([&] { ran = std::this_thread::get_id(); }, 256 * 1024));
  EXPECT_NE(ran, std::thread::id());
  EXPECT_NE(ran, std::this_thread::get_id());
}

}  // namespace

int main(int argc, char **argv) {
  if (argc == 3 && std::string(argv[1]) == "--child-case") {
    hostemu::validate::prepareChild();
    for (const ChildCase &c : kCases) {
      if (c.name == std::string(argv[2]))
        return hostemu::validate::returnToParent(c.body()) ? 0 : 2;
    }
    return 2;
  }
  testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
