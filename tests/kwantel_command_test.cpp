// The module's command, loaded from disk in both flavours: the one window it
// opens, what closing the window keeps, the about box and the help document.
#include <gtest/gtest.h>

#include <nlohmann/json.hpp>

#include <filesystem>
#include <fstream>
#include <map>
#include <ostream>
#include <string>
#include <tuple>
#include <vector>

#include "console.h"
#include "journal.h"
#include "module_session.h"
#include "temp_dir.h"

namespace {

using module_session::Action;
using module_session::Flavour;
using module_session::kNothingLive;
using module_session::kPluginId;
using module_session::ModuleSession;
using module_session::Press;
using module_session::Set;
using nlohmann::json;

class SessionTest : public testing::Test {
 protected:
  void TearDown() override { EXPECT_EQ(session.EndAndAccount(), kNothingLive); }

  std::vector<json> JournalArgs(const std::string &service) {
    std::vector<json> args;
    for (const hostemu::JournalEntry &entry : session.host.journal().entries()) {
      if (entry.service == service)
        args.push_back(entry.args);
    }
    return args;
  }

  ModuleSession session;
};

class CommandTest : public SessionTest, public testing::WithParamInterface<Flavour> {};

INSTANTIATE_TEST_SUITE_P(Flavours, CommandTest, testing::ValuesIn(module_session::kFlavours),
                         module_session::FlavourName);

TEST_P(CommandTest, InvokingTwiceOpensOneNonModalWindowAndLeavesItAsItIs) {
  ASSERT_TRUE(session.Start(GetParam().file));
  session.host.journal().setEnabled(true);
  EXPECT_EQ(session.host.plugins().state(kPluginId), 0x40000000);
  ASSERT_TRUE(session.Invoke());
  ASSERT_TRUE(session.Do(Set(1101, "2.5")));
  ASSERT_TRUE(session.Invoke());

  EXPECT_EQ(JournalArgs("Gd.open"), std::vector<json>{json::parse("[20, 1061771, -1, -1, 0, 0, 0, 0]")});
  EXPECT_EQ(session.host.dialogs().openWindow()->builds, 1u);
  EXPECT_EQ(session.Gadget(1101)["value"], 2.5) << "the typed value stays";
  EXPECT_EQ(session.host.plugins().state(kPluginId), 0x40000000);
}

// Ways the user closes the window: Cancel, or the window's own close.
struct CloseCase {
  const char *name;
  bool cancel;
};

void PrintTo(const CloseCase &c, std::ostream *out) {
  *out << c.name;
}

class ClosingTest : public SessionTest, public testing::WithParamInterface<std::tuple<Flavour, CloseCase>> {};

TEST_P(ClosingTest, UncommittedValuesAreGoneAndNothingIsSaved) {
  const auto &[flavour, c] = GetParam();
  ASSERT_TRUE(session.Start(flavour.file));
  session.host.journal().setEnabled(true);
  ASSERT_TRUE(session.Invoke());
  const std::map<int32_t, json> record = session.Shown();
  ASSERT_TRUE(session.Do({Set(1101, "2.5"), Set(1104, "90"), Set(1110, "1"), Set(1004, "1"), Set(1103, "0")}));

  if (c.cancel)
    ASSERT_TRUE(session.Do(Press(1002)));
  else
    ASSERT_TRUE(session.host.dialogs().close().ok());
  EXPECT_EQ(session.host.dialogs().openWindow(), nullptr);
  EXPECT_EQ(session.Saved(), nullptr);
  EXPECT_TRUE(JournalArgs("Ge.setWorldPluginData").empty());

  ASSERT_TRUE(session.Invoke());
  EXPECT_EQ(session.Shown(), record);
}

INSTANTIATE_TEST_SUITE_P(Cases, ClosingTest,
                         testing::Combine(testing::ValuesIn(module_session::kFlavours),
                                          testing::Values(CloseCase{"Cancel", true}, CloseCase{"Close", false})),
                         [](const auto &info) {
                           return std::string(std::get<0>(info.param).name) + "_" + std::get<1>(info.param).name;
                         });

TEST_P(CommandTest, RoundCommitsTheValuesToTheRecordWithoutSavingThem) {
  ASSERT_TRUE(session.Start(GetParam().file));
  ASSERT_TRUE(session.Invoke());
  ASSERT_TRUE(session.Do({Set(1101, "2.5"), Press(1001)}));
  ASSERT_TRUE(session.host.dialogs().close().ok());
  ASSERT_TRUE(session.Invoke());
  EXPECT_EQ(session.Gadget(1101)["value"], 2.5);
  EXPECT_EQ(session.Saved(), nullptr);
}

TEST_P(CommandTest, AboutShowsTheShippedTextWithTheExclamationStyle) {
  const std::filesystem::path module = GetParam().file;
  std::ifstream strings(module.parent_path() / "res" / "strings.json", std::ios::binary);
  ASSERT_TRUE(strings.is_open());
  const std::string about = json::parse(strings)["strings"]["10001"].get<std::string>();

  ASSERT_TRUE(session.Start(module));
  ASSERT_TRUE(session.Invoke());
  const size_t lines = session.host.console().lines().size();
  ASSERT_TRUE(session.Do(Press(5001)));
  ASSERT_EQ(session.host.messageBoxes.size(), 1u);
  EXPECT_EQ(session.host.messageBoxes[0].style, 48);
  EXPECT_EQ(session.host.messageBoxes[0].text, about);
  EXPECT_EQ(session.host.console().lines().size(), lines);
}

TEST_P(CommandTest, TheHelpDocumentIsAskedForBesideTheModuleAndAMissingOneSaysNothing) {
  // The module with its resources but without Kwantel.pdf.
  TempDir dir;
  const std::filesystem::path built = GetParam().file;
  const std::filesystem::path module = dir / built.filename().string();
  std::filesystem::copy_file(built, module);
  std::filesystem::copy(built.parent_path() / "res", dir / "res", std::filesystem::copy_options::recursive);
  ASSERT_FALSE(std::filesystem::exists(dir / "Kwantel.pdf"));

  ASSERT_TRUE(session.Start(module));
  ASSERT_TRUE(session.Invoke());
  const size_t lines = session.host.console().lines().size();
  ASSERT_TRUE(session.Do(Press(5002)));
  ASSERT_EQ(session.host.openedFiles.size(), 1u);
  EXPECT_TRUE(hostemu::sameFilename(session.host.openedFiles[0], dir / "Kwantel.pdf")) << session.host.openedFiles[0];
  EXPECT_EQ(session.host.console().lines().size(), lines);
  EXPECT_TRUE(session.host.messageBoxes.empty());
  EXPECT_NE(session.host.dialogs().openWindow(), nullptr);
}

}  // namespace
