// Faulty input to hostemu: one line on stderr that names the file and the
// place, exit status 2, and no output file written or changed.
#include "hostemu_process.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

using hostemu_test::Lines;
using hostemu_test::ProgramRun;
using hostemu_test::ReadFile;
using hostemu_test::RunHostemu;
using hostemu_test::ScratchFolder;
using hostemu_test::WriteFile;

struct SceneCase {
  const char *name;
  const char *text;
  const char *place;  // as the line on stderr must give it
};

const SceneCase kSceneCases[] = {
    {"NotJson", "{\"objects\": [\n  {\"name\": \"A\",}\n]}", "line 2, column 16"},
    {"Truncated", "{\"objects\": [{\"name\": \"A\"}", "line 1, column 27"},
    {"UnknownType", "{\"objects\": [{}, {}, {\"type\": \"sphere\"}]}", "objects[2].type"},
    {"PointOfTwoNumbers",
     "{\"objects\": [{}, {}, {\"children\": [{\"type\": \"polygon\", \"points\": [[0,0,0],[0,0,0],[0,0,0],[0,0,0],"
     "[0,0,0],[1,2]]}]}]}",
     "objects[2].children[0].points[5]"},
    {"PointWithText", "{\"objects\": [{\"type\": \"polygon\", \"points\": [[0, \"one\", 0]]}]}",
     "objects[0].points[0]"},
    {"PositionNotAVector", "{\"objects\": [{\"position\": 1}]}", "objects[0].position"},
    {"NameNotAString", "{\"objects\": [{\"name\": [\"A\"]}]}", "objects[0].name"},
    {"SelectedNotABool", "{\"objects\": [{\"selected\": \"yes\"}]}", "objects[0].selected"},
    {"ChildrenNotAnArray", "{\"objects\": [{\"children\": {\"name\": \"B\"}}]}", "objects[0].children"},
    {"ObjectsNotAnArray", "{\"objects\": {}}", "objects"},
    {"TopLevelNotAnObject", "[]", "top level"},
    {"DuplicateField", "{\"objects\": [{\"scale\": [1, 1, 1], \"scale\": [2, 2, 2]}]}", "objects[0].scale"},
    {"PointsOnANull", "{\"objects\": [{\"type\": \"null\", \"points\": [[0, 0, 0]]}]}", "objects[0]"},
};

enum class Command { round, run };

class BadScenes : public testing::TestWithParam<std::tuple<Command, SceneCase>> {};

TEST_P(BadScenes, AreNamedWithThePlaceAndWriteNothing) {
  const auto &[command, c] = GetParam();
  ScratchFolder scratch;
  std::filesystem::path scene = scratch / "scene.json";
  WriteFile(scene, c.text);
  std::filesystem::path existing = scratch / "existing.json";
  WriteFile(existing, "keep me");
  std::filesystem::path fresh = scratch / "fresh.json";

  for (const std::filesystem::path &out : {existing, fresh}) {
    std::vector<std::string> arguments =
        command == Command::round
            ? std::vector<std::string>{"round", scene.string(), "-o", out.string(), "--module", KWANTEL_WINDOWS_MODULE}
            : std::vector<std::string>{"run",   "--module",  KWANTEL_WINDOWS_MODULE, "--scene", scene.string(),
                                       "--out", out.string()};
    ProgramRun run = RunHostemu(scratch, arguments);
    EXPECT_EQ(run.status, 2);
    std::vector<std::string> err = Lines(run.err);
    ASSERT_EQ(err.size(), 1u) << run.err;
    EXPECT_NE(err[0].find(scene.string()), std::string::npos) << err[0];
    EXPECT_NE(err[0].find(c.place), std::string::npos) << err[0];
    EXPECT_EQ(run.out, "") << "the module is not even loaded";
  }
  EXPECT_EQ(ReadFile(existing), "keep me");
  EXPECT_FALSE(std::filesystem::exists(fresh));
  for (const auto &entry : std::filesystem::directory_iterator(scratch.path())) {
    EXPECT_EQ(entry.path().filename().string().find(".saving"), std::string::npos) << "no temporary file is left";
  }
}

std::string BadSceneName(const testing::TestParamInfo<std::tuple<Command, SceneCase>> &info) {
  return std::string(std::get<0>(info.param) == Command::round ? "round_" : "run_") + std::get<1>(info.param).name;
}

INSTANTIATE_TEST_SUITE_P(Hostemu, BadScenes,
                         testing::Combine(testing::Values(Command::round, Command::run),
                                          testing::ValuesIn(kSceneCases)),
                         BadSceneName);

struct CommandLineCase {
  const char *name;
  std::vector<std::string> arguments;  // after "hostemu"; {demo} and {out} are filled in
  const char *named;
};

const std::vector<CommandLineCase> kCommandLineCases = {
    {"UnknownCommand", {"polish"}, "polish"},
    {"RoundWithoutOutput", {"round", "{demo}"}, "--output"},
    {"UnknownMode", {"round", "{demo}", "-o", "{out}", "--size-mode", "sideways"}, "sideways"},
    {"UnknownScope", {"round", "{demo}", "-o", "{out}", "--scope", "some"}, "some"},
    {"StepNotANumber", {"round", "{demo}", "-o", "{out}", "--position-step", "half"}, "half"},
    {"StepZero", {"round", "{demo}", "-o", "{out}", "--size-step", "0"}, "--size-step 0"},
    {"MissingScene", {"round", "{missing}", "-o", "{out}"}, "missing.json"},
    {"MissingModule", {"round", "{demo}", "-o", "{out}", "--module", "{missing}"}, "missing.json"},
    {"OutputFolderMissing", {"round", "{demo}", "-o", "{nofolder}"}, "does not exist"},
    {"ScriptAndDo", {"run", "--script", "{demo}", "--do", "invoke"}, "--do"},
    {"MissingScript", {"run", "--script", "{missing}"}, "missing.json"},
    {"DamagedPrefs", {"round", "{demo}", "-o", "{out}", "--prefs", "{demo}"}, "demo.json"},
};

class BadCommandLines : public testing::TestWithParam<CommandLineCase> {};

TEST_P(BadCommandLines, StopWithOneLineAndStatusTwo) {
  ScratchFolder scratch;
  std::filesystem::path out = scratch / "out.json";
  std::vector<std::string> arguments;
  for (std::string argument : GetParam().arguments) {
    if (argument == "{demo}")
      argument = std::string(KWANTEL_SOURCE_DIR) + "/examples/demo.json";
    if (argument == "{out}")
      argument = out.string();
    if (argument == "{missing}")
      argument = (scratch / "missing.json").string();
    if (argument == "{nofolder}")
      argument = (scratch / "no" / "out.json").string();
    arguments.push_back(argument);
  }
  if (arguments[0] == "round" && GetParam().name != std::string("MissingModule")) {
    arguments.insert(arguments.end(), {"--module", KWANTEL_WINDOWS_MODULE});
  }
  ProgramRun run = RunHostemu(scratch, arguments);
  EXPECT_EQ(run.status, 2);
  std::vector<std::string> err = Lines(run.err);
  ASSERT_EQ(err.size(), 1u) << run.err;
  EXPECT_NE(err[0].find(GetParam().named), std::string::npos) << err[0];
  EXPECT_FALSE(std::filesystem::exists(out));
}

INSTANTIATE_TEST_SUITE_P(Hostemu, BadCommandLines, testing::ValuesIn(kCommandLineCases),
                         [](const testing::TestParamInfo<CommandLineCase> &info) { return info.param.name; });

TEST(Usage, WithoutArgumentsTheProgramPrintsItsUsage) {
  ScratchFolder scratch;
  ProgramRun run = RunHostemu(scratch, {});
  EXPECT_EQ(run.status, 0);
  EXPECT_NE(run.out.find("Usage:"), std::string::npos);
  EXPECT_NE(run.out.find("run"), std::string::npos);
  EXPECT_NE(run.out.find("round"), std::string::npos);
}

TEST(ModuleRefused, AnOlderHostIsRefusedWithStatusOne) {
  ScratchFolder scratch;
  ProgramRun run = RunHostemu(scratch, {"run", "--module", KWANTEL_MACOS_MODULE, "--host-version", "2025000", "--out",
                                        (scratch / "out.json").string()});
  EXPECT_EQ(run.status, 1);
  EXPECT_NE(run.err.find("2025000"), std::string::npos) << run.err;
  EXPECT_FALSE(std::filesystem::exists(scratch / "out.json"));
}

}  // namespace
