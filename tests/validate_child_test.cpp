// The validator's child processes: a check that returns, crashes, hangs or
// exits without a word is told apart, and a small-stack thread runs.
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
#ifndef _WIN32
       ::_exit(0);
#endif
       return {};
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
#ifdef _WIN32
  GTEST_SKIP() << "checks run in the validator's own process on Windows";
#endif
  const ChildCase &c = GetParam();
  ChildOutcome outcome = runInChild(c.body, std::chrono::milliseconds(1500));
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
