// The preference store: typed containers per plug-in id, kept in a JSON file
// that is read at start, replaced atomically on each store, and never used or
// overwritten when it is damaged.
#include <gtest/gtest.h>

#include <nlohmann/json.hpp>

#include <fstream>
#include <limits>
#include <sstream>
#include <string>

#include "bit_exact.h"
#include "container.h"
#include "file_replace.h"
#include "host.h"
#include "preferences.h"
#include "tables.h"
#include "temp_dir.h"

namespace {

using hostemu::Host;
using hostemu::HostOptions;
using hostemu::PreferencesState;

constexpr int32_t kPluginId = 1061771;

std::string ReadFile(const std::filesystem::path &path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream text;
  text << in.rdbuf();
  return text.str();
}

void WriteFile(const std::filesystem::path &path, const std::string &text) {
  std::ofstream(path, std::ios::binary) << text;
}

class PreferencesTest : public ::testing::Test {
 protected:
  HostOptions Options() const {
    HostOptions options;
    options.preferencesFile = file;
    return options;
  }

  // Stores container through the general table, as a module does.
  static bool Store(const HostContainer &container, int32_t add = 0) {
    return hostemu::generalTable()->setWorldPluginData(kPluginId, &container, add);
  }

  TempDir dir;
  std::filesystem::path file = dir / "prefs.json";
  const HostContainerTable &bc = *hostemu::containerTable();
};

TEST_F(PreferencesTest, FloatsReadBackBitForBitAfterARestart) {
  const double values[] = {-0.0,
                           0.1,
                           1.0 / 3.0,
                           std::numeric_limits<double>::denorm_min(),
                           -std::numeric_limits<double>::denorm_min() * 3,
                           std::numeric_limits<double>::max(),
                           std::numeric_limits<double>::infinity(),
                           -std::numeric_limits<double>::infinity(),
                           std::numeric_limits<double>::quiet_NaN()};
  {
    Host host(Options());
    HostContainer saved;
    for (int i = 0; i < int(std::size(values)); ++i)
      saved.values[2000 + i] = values[i];
    saved.values[1100] = true;
    saved.values[1102] = int32_t{-2147483647 - 1};
    ASSERT_TRUE(Store(saved));
  }
  Host host(Options());
  ASSERT_EQ(host.preferences().state(), PreferencesState::ready) << host.preferences().problem();
  const HostContainer *loaded = hostemu::generalTable()->getWorldPluginData(kPluginId);
  ASSERT_NE(loaded, nullptr);
  for (int i = 0; i < int(std::size(values)); ++i) {
    EXPECT_TRUE(bit_exact::SameBits(bc.getFloat(loaded, 2000 + i, 42.0), values[i])) << "key " << 2000 + i;
  }
  EXPECT_TRUE(bc.getBool(loaded, 1100, false));
  EXPECT_EQ(bc.getInt32(loaded, 1102, 0), -2147483647 - 1);
}

TEST_F(PreferencesTest, TheFileHasTheDocumentedForm) {
  Host host(Options());
  HostContainer saved;
  saved.values[1100] = true;
  saved.values[1101] = 1.0;
  saved.values[1102] = int32_t{0};
  ASSERT_TRUE(Store(saved));
  EXPECT_EQ(nlohmann::json::parse(ReadFile(file)),
            nlohmann::json::parse(R"({"version": 1, "plugins": {"1061771": {"1100": {"bool": true},
                                     "1101": {"float": 1.0}, "1102": {"int": 0}}}})"));
}

TEST_F(PreferencesTest, AMissingFileIsAnEmptyStoreAndAStoreReplacesOrMerges) {
  Host host(Options());
  EXPECT_EQ(host.preferences().state(), PreferencesState::ready);
  EXPECT_EQ(hostemu::generalTable()->getWorldPluginData(kPluginId), nullptr);
  EXPECT_FALSE(std::filesystem::exists(file));

  HostContainer first;
  first.values[1] = 1.5;
  first.values[2] = true;
  ASSERT_TRUE(Store(first));
  const HostContainer *saved = hostemu::generalTable()->getWorldPluginData(kPluginId);

  HostContainer second;
  second.values[3] = int32_t{7};
  ASSERT_TRUE(Store(second, 1));
  EXPECT_EQ(saved->values.size(), 3u);
  ASSERT_TRUE(Store(second, 0));
  EXPECT_EQ(hostemu::generalTable()->getWorldPluginData(kPluginId), saved);
  EXPECT_EQ(saved->values.size(), 1u);
  EXPECT_EQ(bc.getFloat(saved, 1, -1.0), -1.0);
}

struct DamagedCase {
  const char *name;
  const char *text;
  const char *place;  // what the error must name besides the file
};

class DamagedFileTest : public PreferencesTest, public ::testing::WithParamInterface<DamagedCase> {};

TEST_P(DamagedFileTest, IsReportedWithItsPlaceNeitherUsedNorOverwritten) {
  const DamagedCase &c = GetParam();
  WriteFile(file, c.text);
  Host host(Options());
  EXPECT_EQ(host.preferences().state(), PreferencesState::damaged);
  const std::string &problem = host.preferences().problem();
  EXPECT_NE(problem.find(file.string()), std::string::npos) << problem;
  EXPECT_NE(problem.find(c.place), std::string::npos) << problem;
  EXPECT_EQ(problem.find('\n'), std::string::npos) << problem;
  EXPECT_EQ(hostemu::generalTable()->getWorldPluginData(kPluginId), nullptr);

  HostContainer saved;
  saved.values[1100] = true;
  EXPECT_FALSE(Store(saved));
  EXPECT_EQ(ReadFile(file), c.text);
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.path()), {}), 1) << "a file was left beside";
}

INSTANTIATE_TEST_SUITE_P(
    Kinds, DamagedFileTest,
    ::testing::Values(
        DamagedCase{"Empty", "", "line 1, column 1"},
        DamagedCase{"Truncated", "{\"version\": 1,\n \"plugins\": {\"1061771\": {\"1100\": {\"bo", "line 2"},
        DamagedCase{"NotAnObject", "[1, 2]", "top level"},
        DamagedCase{"NoVersion", "{\"plugins\": {}}", "\"version\" is missing"},
        DamagedCase{"NewerVersion", "{\"version\": 2, \"plugins\": {}}", "/version"},
        DamagedCase{"PluginIdNotANumber", "{\"version\": 1, \"plugins\": {\"kwantel\": {}}}", "/plugins/kwantel"},
        DamagedCase{"KeyWithLeadingZero", "{\"version\": 1, \"plugins\": {\"1\": {\"01100\": {\"bool\": true}}}}",
                    "/plugins/1/01100"},
        DamagedCase{"TwoTypes", "{\"version\": 1, \"plugins\": {\"1\": {\"5\": {\"bool\": true, \"int\": 1}}}}",
                    "/plugins/1/5"},
        DamagedCase{"BoolAsNumber", "{\"version\": 1, \"plugins\": {\"1\": {\"5\": {\"bool\": 1}}}}",
                    "/plugins/1/5/bool"},
        DamagedCase{"IntOutOfRange", "{\"version\": 1, \"plugins\": {\"1\": {\"5\": {\"int\": 2147483648}}}}",
                    "/plugins/1/5/int"},
        DamagedCase{"FloatAsWord", "{\"version\": 1, \"plugins\": {\"1\": {\"5\": {\"float\": \"nan\"}}}}",
                    "/plugins/1/5/float"},
        DamagedCase{"NumberBeyondDouble", "{\"version\": 1, \"plugins\": {\"1\": {\"5\": {\"float\": 4e4444}}}}",
                    "number overflow parsing '4e4444'"},
        DamagedCase{"UnknownMember", "{\"version\": 1, \"plugins\": {}, \"comment\": \"x\"}", "/comment"}),
    [](const ::testing::TestParamInfo<DamagedCase> &info) { return std::string(info.param.name); });

TEST_F(PreferencesTest, AFileThatCannotBeReadIsReportedAndLeftAlone) {
  std::filesystem::create_directory(file);
  Host host(Options());
  EXPECT_EQ(host.preferences().state(), PreferencesState::unreadable);
  EXPECT_NE(host.preferences().problem().find(file.string()), std::string::npos);
  HostContainer saved;
  EXPECT_FALSE(Store(saved));
  EXPECT_TRUE(std::filesystem::is_directory(file));
}

class InterruptedSaveTest : public PreferencesTest, public ::testing::WithParamInterface<hostemu::ReplaceStep> {};

TEST_P(InterruptedSaveTest, LeavesTheOldContentAndTheStoreAsTheyWere) {
  Host host(Options());
  HostContainer first;
  first.values[1101] = 0.5;
  ASSERT_TRUE(Store(first));
  const std::string before = ReadFile(file);

  hostemu::failNextReplaceAt(GetParam());
  HostContainer second;
  second.values[1101] = 2.0;
  EXPECT_FALSE(Store(second));
  EXPECT_NE(host.preferences().error().find(file.parent_path().string()), std::string::npos)
      << host.preferences().error();

  EXPECT_EQ(ReadFile(file), before);
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.path()), {}), 1) << "a file was left beside";
  EXPECT_EQ(bc.getFloat(hostemu::generalTable()->getWorldPluginData(kPluginId), 1101, 0.0), 0.5);
}

INSTANTIATE_TEST_SUITE_P(Steps, InterruptedSaveTest,
                         ::testing::Values(hostemu::ReplaceStep::write, hostemu::ReplaceStep::flush,
                                           hostemu::ReplaceStep::rename));

TEST_F(PreferencesTest, ARenameTheSystemRefusesLeavesTheTargetAlone) {
  Host host(Options());
  ASSERT_EQ(host.preferences().state(), PreferencesState::ready);
  // A non-empty directory appears where the file should go: the rename fails
  // for real.
  std::filesystem::create_directory(file);
  WriteFile(file / "keep.txt", "kept");

  HostContainer saved;
  saved.values[1100] = true;
  EXPECT_FALSE(Store(saved));
  EXPECT_EQ(ReadFile(file / "keep.txt"), "kept");
  EXPECT_EQ(hostemu::generalTable()->getWorldPluginData(kPluginId), nullptr);
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.path()), {}), 1) << "a file was left beside";
}

}  // namespace
