// hostemu run, end to end: undo and redo through the document, settings kept
// from one run to the next, a restart inside a run, the console of a module
// without its resources, the console and journal files, refused actions.
#include "hostemu_process.h"
#include "scene_file.h"

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include <string>
#include <vector>

namespace {

using hostemu_test::Flavour;
using hostemu_test::Lines;
using hostemu_test::ProgramRun;
using hostemu_test::ReadFile;
using hostemu_test::RunHostemu;
using hostemu_test::ScratchFolder;
using hostemu_test::WriteFile;

const std::string kData = KWANTEL_TEST_DATA;
const std::string kDemo = std::string(KWANTEL_SOURCE_DIR) + "/examples/demo.json";

// The scene as the program writes it: equal texts mean equal bits.
std::string Canonical(const std::filesystem::path &file) {
  hostemu::SceneRead read = hostemu::readSceneFile(file);
  EXPECT_FALSE(read.error) << read.error->message;
  return hostemu::formatScene(read.scene);
}

std::vector<nlohmann::json> JsonLines(const std::filesystem::path &file) {
  std::vector<nlohmann::json> lines;
  for (const std::string &line : Lines(ReadFile(file))) {
    nlohmann::json value = nlohmann::json::parse(line, nullptr, false);
    EXPECT_TRUE(value.is_object()) << "not a JSON object: " << line;
    lines.push_back(value);
  }
  return lines;
}

class Run : public testing::TestWithParam<Flavour> {
 protected:
  ProgramRun Hostemu(std::vector<std::string> arguments) {
    arguments.insert(arguments.begin() + 1, {"--module", GetParam().module});
    return RunHostemu(scratch, arguments);
  }
  std::string Path(const std::string &name) const { return (scratch / name).string(); }

  ScratchFolder scratch;
};

TEST_P(Run, UndoAndRedoRestoreTheSceneBitForBit) {
  ProgramRun rounded = Hostemu({"run", "--scene", kDemo, "--out", Path("rounded.json"), "--do", "invoke; press 1001"});
  ASSERT_EQ(rounded.status, 0) << rounded.err;
  ProgramRun undone = Hostemu(
      {"run", "--scene", kDemo, "--out", Path("undone.json"), "--do", "invoke; set 1101 0.25; press 1001; undo"});
  ASSERT_EQ(undone.status, 0) << undone.err;
  ProgramRun redone =
      Hostemu({"run", "--scene", kDemo, "--out", Path("redone.json"), "--do", "invoke; press 1001; undo; redo"});
  ASSERT_EQ(redone.status, 0) << redone.err;

  EXPECT_NE(Canonical(Path("rounded.json")), Canonical(kDemo)) << "the demo has values off the grid";
  EXPECT_EQ(Canonical(Path("undone.json")), Canonical(kDemo));
  EXPECT_EQ(Canonical(Path("redone.json")), Canonical(Path("rounded.json")));
}

TEST_P(Run, SettingsSavedInOneRunAreLoadedByTheNext) {
  ProgramRun save = Hostemu({"run", "--scene", kDemo, "--prefs", Path("prefs.json"), "--out", Path("undone.json"),
                             "--script", kData + "/save_and_undo.txt"});
  ASSERT_EQ(save.status, 0) << save.err;
  nlohmann::json prefs = nlohmann::json::parse(ReadFile(Path("prefs.json")));
  EXPECT_EQ(prefs["plugins"]["1061771"]["1101"], nlohmann::json({{"float", 0.5}}));
  EXPECT_EQ(Canonical(Path("undone.json")), Canonical(kDemo));

  ProgramRun round = Hostemu({"round", kData + "/worked.json", "-o", Path("out.json"), "--prefs", Path("prefs.json"),
                              "--scope", "all", "--no-rotation", "--no-scale"});
  ASSERT_EQ(round.status, 0) << round.err;
  hostemu::SceneRead out = hostemu::readSceneFile(Path("out.json"));
  ASSERT_FALSE(out.error);
  const HostVector &position = out.scene.objects[0].position;  // Box, at (1.26, -0.75, 2.5)
  EXPECT_EQ(position.x, 1.5);
  EXPECT_EQ(position.y, -1.0);
  EXPECT_EQ(position.z, 2.5);
}

TEST_P(Run, ARestartKeepsTheSavedSettingsAndTheDocument) {
  ProgramRun run =
      Hostemu({"run", "--scene", kData + "/scopes.json", "--prefs", Path("prefs.json"), "--out", Path("out.json"),
               "--do", "invoke; set 1101 0.5; press 5004; restart; invoke; dialog; press 1001; undo"});
  ASSERT_EQ(run.status, 0) << run.err;
  std::vector<std::string> out = Lines(run.out);
  size_t loaded = 0;
  bool stepShown = false;
  for (const std::string &line : out) {
    if (line == "Orvanel Software: Kwantel successfully loaded.")
      ++loaded;
    if (line.rfind("{", 0) == 0) {
      nlohmann::json gadget = nlohmann::json::parse(line);
      if (gadget["id"] == 1101)
        stepShown = gadget["value"] == 0.5;
    }
  }
  EXPECT_EQ(loaded, 2u) << run.out;
  EXPECT_TRUE(stepShown) << run.out;
  EXPECT_EQ(Canonical(Path("out.json")), Canonical(kData + "/scopes.json")) << "undo after a restart";
}

TEST_P(Run, AModuleWithoutItsResourcesSaysSoAndStillStarts) {
  std::filesystem::path folder = scratch / "bare";
  std::filesystem::create_directories(folder);
  std::filesystem::path module = folder / std::filesystem::path(GetParam().module).filename();
  std::filesystem::copy_file(GetParam().module, module);

  ProgramRun run = RunHostemu(scratch, {"run", "--module", module.string(), "--console", Path("console.jsonl")});
  ASSERT_EQ(run.status, 0) << run.err;
  std::vector<nlohmann::json> lines = JsonLines(Path("console.jsonl"));
  ASSERT_EQ(lines.size(), 2u);
  EXPECT_EQ(lines[0]["text"], "Kwantel: failed to load resource file.");
  EXPECT_EQ(lines[1]["text"], "Orvanel Software: Kwantel successfully loaded.");
  const char *source = std::string(GetParam().name) == "kwantel" ? "source/main.cpp" : "main.cpp";
  for (const nlohmann::json &line : lines) {
    EXPECT_EQ(line["file"], source);
    EXPECT_EQ(line["audience"], 14);
    EXPECT_EQ(line["meta"], 1);
    EXPECT_TRUE(line["line"].is_number_integer() && line["line"] > 0);
  }
  EXPECT_EQ(Lines(run.out), (std::vector<std::string>{"Kwantel: failed to load resource file.",
                                                      "Orvanel Software: Kwantel successfully loaded."}));
}

TEST_P(Run, TheJournalListsEveryServiceCallAsJsonLines) {
  ProgramRun run = Hostemu({"run", "--scene", kData + "/scopes.json", "--journal", Path("journal.jsonl"), "--console",
                            Path("console.jsonl"), "--do", "invoke; set 1003 2; press 1001"});
  ASSERT_EQ(run.status, 0) << run.err;
  std::vector<nlohmann::json> journal = JsonLines(Path("journal.jsonl"));
  ASSERT_FALSE(journal.empty());
  size_t positionsWritten = 0;
  for (const nlohmann::json &entry : journal) {
    ASSERT_TRUE(entry["service"].is_string()) << entry;
    ASSERT_TRUE(entry["args"].is_array()) << entry;
    if (entry["service"] == "Bo.setRelPos")
      ++positionsWritten;
  }
  EXPECT_EQ(positionsWritten, 8u) << "one for each object of the scene";
  EXPECT_EQ(JsonLines(Path("console.jsonl")).size(), 1u);
}

TEST_P(Run, MessageBoxesAndOpenedDocumentsArePrinted) {
  ProgramRun run = Hostemu({"run", "--prefs", Path("none.json"), "--do", "invoke; press 5003; press 5002"});
  ASSERT_EQ(run.status, 0) << run.err;
  std::vector<std::string> out = Lines(run.out);
  ASSERT_EQ(out.size(), 3u) << run.out;
  EXPECT_EQ(out[1], "message box (48): No saved settings available to load.");
  // The module names its folder as the host gave it its path: made absolute
  // (on Windows with the drive, Z: under Wine).
  std::filesystem::path help = std::filesystem::absolute(GetParam().module).parent_path() / "Kwantel.pdf";
  EXPECT_EQ(out[2], "open: " + help.string());
}

INSTANTIATE_TEST_SUITE_P(Flavours, Run, testing::ValuesIn(hostemu_test::kFlavours), hostemu_test::FlavourName);

struct RefusedCase {
  const char *name;
  const char *actions;
  const char *named;  // what the one line on stderr must name
};

const RefusedCase kRefusedCases[] = {
    {"SetWithoutWindow", "set 1101 0.5", "\"set 1101 0.5\""},
    {"UnknownGadget", "invoke; set 4242 1", "\"set 4242 1\""},
    {"DisabledGadget", "invoke; set 1107 0.5", "\"set 1107 0.5\""},
    {"NotAButton", "invoke; press 1100", "\"press 1100\""},
    {"UnknownObject", "select Nobody", "\"select Nobody\""},
    {"DuplicateBareName", "select Box", "Rig/Box"},
    {"NothingToUndo", "undo", "\"undo\""},
    {"NothingToRedo", "invoke; press 1001; redo", "\"redo\""},
    {"CloseWithoutWindow", "close", "\"close\""},
    {"UnknownAction", "invoke; frobnicate", "\"frobnicate\""},
    {"SetWithoutValue", "invoke; set 1101", "\"set 1101\""},
    {"ValueNotANumber", "invoke; set 1101 half", "\"set 1101 half\""},
    {"UnclosedQuote", "select \"Rig", "quote"},
};

class RefusedActions : public testing::TestWithParam<RefusedCase> {};

TEST_P(RefusedActions, StopTheRunWithStatusTwoAndNameTheAction) {
  ScratchFolder scratch;
  std::filesystem::path out = scratch / "out.json";
  ProgramRun run = RunHostemu(scratch, {"run", "--module", KWANTEL_WINDOWS_MODULE, "--scene",
                                        kData + "/duplicates.json", "--out", out.string(), "--do", GetParam().actions});
  EXPECT_EQ(run.status, 2);
  std::vector<std::string> err = Lines(run.err);
  ASSERT_EQ(err.size(), 1u) << run.err;
  EXPECT_NE(err[0].find(GetParam().named), std::string::npos) << err[0];
  EXPECT_FALSE(std::filesystem::exists(out));
}

TEST(RefusedActions, ASelectionByPathTellsDuplicatesApart) {
  ScratchFolder scratch;
  std::filesystem::path out = scratch / "out.json";
  ProgramRun run =
      RunHostemu(scratch, {"run", "--module", KWANTEL_WINDOWS_MODULE, "--scene", kData + "/duplicates.json", "--out",
                           out.string(), "--do", "select Rig/Box; invoke; set 1003 1; press 1001"});
  ASSERT_EQ(run.status, 0) << run.err;
  hostemu::SceneRead read = hostemu::readSceneFile(out);
  ASSERT_FALSE(read.error);
  EXPECT_EQ(read.scene.objects[1].position.x, 0.0) << "Rig/Box is rounded";
  EXPECT_EQ(read.scene.objects[2].position.x, 0.4) << "the top-level Box is not";
  EXPECT_TRUE(read.scene.objects[1].selected);
}

INSTANTIATE_TEST_SUITE_P(Run, RefusedActions, testing::ValuesIn(kRefusedCases),
                         [](const testing::TestParamInfo<RefusedCase> &info) { return info.param.name; });

}  // namespace
