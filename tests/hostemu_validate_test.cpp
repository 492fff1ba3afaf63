// hostemu validate, end to end: each module built to misbehave fails the
// check that looks for its fault; a seed repeats a run; bad command lines
// are refused. (The real modules are validated at the default level by the
// ctest entries hostemu_validate_kwantel and hostemu_validate_KwantelR2025.)
#include "hostemu_process.h"

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include <string>
#include <vector>

namespace {

using hostemu_test::ProgramRun;
using hostemu_test::ReadFile;
using hostemu_test::RunHostemu;
using hostemu_test::ScratchFolder;

nlohmann::json CheckNamed(const nlohmann::json &report, const std::string &name) {
  for (const nlohmann::json &check : report["checks"]) {
    if (check["name"] == name)
      return check;
  }
  ADD_FAILURE() << "no check " << name << " in the report";
  return {};
}

struct Validation {
  ProgramRun run;
  nlohmann::json report;
};

Validation Validate(const ScratchFolder &scratch, std::vector<std::string> arguments) {
  const std::string json = (scratch / "report.json").string();
  arguments.insert(arguments.begin(), {"validate", "--json", json});
  Validation v;
  v.run = RunHostemu(scratch, arguments);
  v.report = nlohmann::json::parse(ReadFile(json), nullptr, false);
  return v;
}

#ifdef MISBEHAVING_LEAK
struct Misbehaviour {
  const char *name;
  const char *module;
  const char *check;
  const char *verdict;
  const char *detail;  // part of the check's detail
};

const Misbehaviour kMisbehaviours[] = {
    {"Leak", MISBEHAVING_LEAK, "load-cycles", "FAILED", "1 memory blocks still alive"},
    {"NaN", MISBEHAVING_NAN, "scenes", "FAILED", "position.x became nan"},
    {"WrongCode", MISBEHAVING_WRONG_CODE, "unknown-actions", "FAILED", "action 4 (protocol) answered 1, expected 5"},
#ifdef _WIN32
    {"CrashOnRound", MISBEHAVING_CRASH_ON_ROUND, "scenes", "CRASHED", "exception 0xC000001D (illegal instruction)"},
#else
    {"CrashOnRound", MISBEHAVING_CRASH_ON_ROUND, "scenes", "CRASHED", "signal"},
#endif
};

class Misbehaving : public testing::TestWithParam<Misbehaviour> {};

TEST_P(Misbehaving, FailsTheCheckForItsFault) {
  ScratchFolder scratch;
  const Misbehaviour &m = GetParam();
  // exports shows the module loads as any other, so the fault is caught
  // where it lies.
  Validation v = Validate(scratch, {"--module", m.module, "--check", "exports", "--check", m.check});
  EXPECT_EQ(v.run.status, 1) << v.run.out << v.run.err;
  ASSERT_TRUE(v.report.is_object()) << v.run.out << v.run.err;
  EXPECT_EQ(v.report["result"], "FAILED");
  EXPECT_EQ(CheckNamed(v.report, "exports")["result"], "PASSED");
  const nlohmann::json check = CheckNamed(v.report, m.check);
  EXPECT_EQ(check["result"], m.verdict) << check.dump();
  EXPECT_NE(check["detail"].get<std::string>().find(m.detail), std::string::npos) << check.dump();
}

INSTANTIATE_TEST_SUITE_P(Validate, Misbehaving, testing::ValuesIn(kMisbehaviours),
                         [](const testing::TestParamInfo<Misbehaviour> &info) { return std::string(info.param.name); });
#endif

TEST(Validate, TheSeedRepeatsARun) {
  ScratchFolder scratch;
  const std::vector<std::string> arguments = {"--module", KWANTEL_WINDOWS_MODULE, "--seed",  "20250101",
                                              "--check",  "gadget-values",        "--check", "random-session"};
  Validation first = Validate(scratch, arguments);
  ASSERT_EQ(first.run.status, 0) << first.run.out << first.run.err;
  Validation second = Validate(scratch, arguments);
  ASSERT_EQ(second.run.status, 0) << second.run.out << second.run.err;
  EXPECT_EQ(first.report["seed"], 20250101u);
  for (const char *name : {"gadget-values", "random-session"})
    EXPECT_EQ(CheckNamed(first.report, name)["detail"], CheckNamed(second.report, name)["detail"]) << name;
  EXPECT_NE(first.run.out.find("seed 20250101"), std::string::npos) << first.run.out;
}

TEST(Validate, ChecksAboveTheLevelAreSkipped) {
  ScratchFolder scratch;
  Validation v = Validate(
      scratch, {"--module", KWANTEL_WINDOWS_MODULE, "--level", "1", "--check", "exports", "--check", "load-cycles"});
  ASSERT_EQ(v.run.status, 0) << v.run.out << v.run.err;
  EXPECT_EQ(CheckNamed(v.report, "exports")["result"], "PASSED");
  EXPECT_EQ(CheckNamed(v.report, "load-cycles")["result"], "SKIPPED");
  EXPECT_EQ(v.report["result"], "PASSED");
}

TEST(Validate, BadCommandLinesAreRefusedWithOneLine) {
  ScratchFolder scratch;
  const std::vector<std::vector<std::string>> cases = {
      {"validate", "--module", (scratch / "missing.so").string()},
      {"validate", "--module", KWANTEL_WINDOWS_MODULE, "--check", "no-such-check"},
      {"validate", "--module", KWANTEL_WINDOWS_MODULE, "--level", "11"},
      {"validate", "--module", KWANTEL_WINDOWS_MODULE, "--json", (scratch / "no/folder/r.json").string()},
  };
  for (const std::vector<std::string> &arguments : cases) {
    ProgramRun run = RunHostemu(scratch, arguments);
    EXPECT_EQ(run.status, 2) << arguments.back() << ": " << run.err;
    EXPECT_EQ(hostemu_test::Lines(run.err).size(), 1u) << run.err;
  }
}

}  // namespace
