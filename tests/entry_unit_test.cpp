// The entry point and the resources in-process: actions and their answers,
// the resource directory's two branches, the host asked at most once, and
// nothing left alive after the end.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "console.h"
#include "core_binding.h"
#include "dialogs.h"
#include "entry.h"
#include "filename.h"
#include "host_api.h"
#include "ids.h"
#include "kernel.h"
#include "plugins.h"
#include "resource.h"

namespace {

namespace fs = std::filesystem;

const fs::path kModuleDirectory = fs::path(KWANTEL_SOURCE_DIR);  // res/ beside it holds strings.json

void *Message(int32_t id) {
  return reinterpret_cast<void *>(static_cast<uintptr_t>(static_cast<uint32_t>(id)));
}

class EntryTest : public ::testing::Test {
 protected:
  explicit EntryTest(hostemu::HostOptions options = {}) : host_(std::move(options)) {
    g_maxon.kernel = hostemu::kernelInterface();
    host_.journal().setEnabled(true);
  }

  ~EntryTest() override {
    // Back to the state of a freshly loaded module for the next test.
    while (kwantel::g_initCount > 0) {
      c4d_main(HOST_ACTION_END, nullptr, nullptr, nullptr);
    }
    kwantel::g_initCount = 0;
    kwantel::g_moduleResource = {nullptr, false, nullptr};
    UnbindCore();
  }

  int32_t Bind(const fs::path &module = kModuleDirectory / "kwantel.so") {
    modulePath_.path = module;
    return c4d_main(HOST_ACTION_BIND, host_.record(), nullptr, &modulePath_);
  }

  size_t Count(const std::string &service) { return JournalServices(host_.journal(), {service}).size(); }

  std::vector<std::string> ConsoleTexts() {
    std::vector<std::string> texts;
    for (const hostemu::ConsoleLine &line : host_.console().lines()) {
      texts.push_back(line.text);
    }
    return texts;
  }

  hostemu::Host host_;
  HostFilename modulePath_;
};

struct ActionCase {
  int32_t action;
  void *p1;
  int32_t result;
};

class ActionTest : public EntryTest, public ::testing::WithParamInterface<ActionCase> {};

TEST_P(ActionTest, AnswersAndChangesNothing) {
  ASSERT_EQ(Bind(), HOST_RESULT_DONE);
  EXPECT_EQ(c4d_main(GetParam().action, GetParam().p1, nullptr, nullptr), GetParam().result);
  EXPECT_EQ(kwantel::g_initCount, 1);
  EXPECT_TRUE(host_.console().lines().empty());
}

INSTANTIATE_TEST_SUITE_P(
    Actions, ActionTest,
    ::testing::Values(ActionCase{HOST_ACTION_PROTOCOL, nullptr, 5}, ActionCase{0, nullptr, -1},
                      ActionCase{5, nullptr, -1}, ActionCase{7, nullptr, -1},
                      ActionCase{HOST_ACTION_MESSAGE, Message(0), 1}, ActionCase{HOST_ACTION_MESSAGE, Message(2), -1},
                      // Only the low 32 bits carry the message id.
                      ActionCase{HOST_ACTION_MESSAGE, reinterpret_cast<void *>(uintptr_t{0x700000000}), 1}));

struct RefusalCase {
  int32_t version;
  bool withPath;
  int32_t result;
};

class RefusalTest : public ::testing::WithParamInterface<RefusalCase>, public EntryTest {
 public:
  RefusalTest() : EntryTest(Options(GetParam().version)) {}
  static hostemu::HostOptions Options(int32_t version) {
    hostemu::HostOptions options;
    options.version = version;
    return options;
  }
};

TEST_P(RefusalTest, RefusesAnOlderHostOrAMissingPathSilently) {
  const RefusalCase &c = GetParam();
  const int32_t result = c.withPath ? Bind() : c4d_main(HOST_ACTION_BIND, host_.record(), nullptr, nullptr);
  EXPECT_EQ(result, c.result);
  EXPECT_EQ(kwantel::g_modulePath != nullptr, c.result == HOST_RESULT_DONE);
  EXPECT_TRUE(host_.console().lines().empty());
  EXPECT_EQ(c4d_main(HOST_ACTION_END, nullptr, nullptr, nullptr), HOST_RESULT_DONE);
  EXPECT_EQ(host_.kernel().liveBlocks(), 0u);
}

// The Windows flavour is linked in-process: 2024900 is its lowest version.
INSTANTIATE_TEST_SUITE_P(Versions, RefusalTest,
                         ::testing::Values(RefusalCase{2024899, true, -3}, RefusalCase{2024900, true, 1},
                                           RefusalCase{2025200, true, 1}, RefusalCase{2025200, false, -3}));

TEST_F(EntryTest, BindingAndEndingNest) {
  ASSERT_EQ(Bind(), HOST_RESULT_DONE);
  ASSERT_EQ(Bind(), HOST_RESULT_DONE);
  EXPECT_EQ(Count("Fn.copy"), 1u) << "only the first binding keeps the path";
  EXPECT_EQ(c4d_main(HOST_ACTION_MESSAGE, Message(1), nullptr, nullptr), HOST_RESULT_DONE);

  EXPECT_EQ(c4d_main(HOST_ACTION_END, nullptr, nullptr, nullptr), HOST_RESULT_DONE);
  EXPECT_EQ(Count("Lr.release"), 0u);
  EXPECT_NE(kwantel::g_modulePath, nullptr);

  EXPECT_EQ(c4d_main(HOST_ACTION_END, nullptr, nullptr, nullptr), HOST_RESULT_DONE);
  EXPECT_EQ(Count("Lr.release"), 1u);
  EXPECT_EQ(kwantel::g_modulePath, nullptr);
  EXPECT_EQ(host_.kernel().liveBlocks(), 0u);
  EXPECT_EQ(host_.kernel().liveStrings(), 0u);
  EXPECT_EQ(hostemu::liveFilenames(), 0u);
}

TEST_F(EntryTest, EndWithoutBindingReleasesNothing) {
  EXPECT_EQ(c4d_main(HOST_ACTION_END, nullptr, nullptr, nullptr), HOST_RESULT_DONE);
  EXPECT_EQ(kwantel::g_initCount, -1);
  EXPECT_TRUE(host_.journal().entries().empty());
}

TEST_F(EntryTest, NullTableGetsTheAssertionAndBindingGoesOn) {
  HostRecord record = *host_.record();
  record.tables[HOST_TABLE_Ne] = nullptr;
  std::string expected = "Assertion failed: ";
  for (const char *name : {"Ge", "Sh", "Hf", "Bc", "St", "Bm", "Ms", "Ba", "Fn", "Fl", "Bf", "Cd", "Cu",
                           "Pr", "Lr", "Bl", "Tg", "Bo", "Bd", "Bt", "Mt", "Tx", "Bs", "Bu", "Br", "Bv",
                           "Nb", "Pl", "Fi", "Pa", "Ln", "Gv", "Gd", "At", "CA", "Ne", "FL"}) {
    expected += std::string(name == std::string("Ge") ? "" : " && ") + "t_C4DOS_" + name;
  }
  modulePath_.path = kModuleDirectory / "kwantel.so";

  EXPECT_EQ(c4d_main(HOST_ACTION_BIND, &record, nullptr, &modulePath_), HOST_RESULT_DONE);

  const std::vector<std::string> assertions = JournalFirstArguments(host_.journal(), "kernel.assertion");
  ASSERT_EQ(assertions.size(), 1u);
  EXPECT_EQ(assertions[0], expected);
  EXPECT_NE(t_C4DOS_FL, nullptr) << "the tables after the null one are bound too";
}

TEST_F(EntryTest, ResourceStringsBeforeBindingBeforeLoadingAndAfter) {
  EXPECT_EQ(kwantel::GetResourceString(kwantel::IDS_PLUGIN_NAME).Get(), nullptr);
  ASSERT_EQ(Bind(), HOST_RESULT_DONE);
  EXPECT_EQ(kwantel::GetResourceString(kwantel::IDS_PLUGIN_NAME).Get(), t_C4DOS_St->getEmpty());
  ASSERT_EQ(c4d_main(HOST_ACTION_MESSAGE, Message(1), nullptr, nullptr), HOST_RESULT_DONE);
  EXPECT_EQ(hostemu::textOf(kwantel::GetResourceString(kwantel::IDS_PLUGIN_NAME).Get()), "Kwantel");
}

struct LoadTwiceCase {
  const char *name;
  const char *module;
  int32_t result;
  size_t consoleLines;
};

void PrintTo(const LoadTwiceCase &c, std::ostream *out) {
  *out << c.name;
}

class LoadTwiceTest : public EntryTest, public ::testing::WithParamInterface<LoadTwiceCase> {};

TEST_P(LoadTwiceTest, AsksTheHostOnce) {
  const LoadTwiceCase &c = GetParam();
  ASSERT_EQ(Bind(kModuleDirectory / c.module), HOST_RESULT_DONE);
  EXPECT_EQ(c4d_main(HOST_ACTION_MESSAGE, Message(1), nullptr, nullptr), c.result);
  EXPECT_EQ(c4d_main(HOST_ACTION_MESSAGE, Message(1), nullptr, nullptr), c.result);
  EXPECT_EQ(Count("Lr.load"), 1u);
  EXPECT_EQ(ConsoleTexts(), std::vector<std::string>(c.consoleLines, "Kwantel: failed to load resource file."));
  for (const hostemu::ConsoleLine &line : host_.console().lines()) {
    EXPECT_EQ(line.file, "source/main.cpp");
  }
}

INSTANTIATE_TEST_SUITE_P(Loads, LoadTwiceTest,
                         ::testing::Values(LoadTwiceCase{"found", "kwantel.so", 1, 0},
                                           LoadTwiceCase{"missing", "nowhere/kwantel.so", -1, 2}),
                         [](const auto &info) { return std::string(info.param.name); });

TEST_F(EntryTest, LoadAfterReleaseDoesNotAskAgain) {
  ASSERT_EQ(Bind(), HOST_RESULT_DONE);
  ASSERT_TRUE(kwantel::LoadResource(kwantel::g_moduleResource));
  kwantel::ReleaseResource(kwantel::g_moduleResource);
  EXPECT_FALSE(kwantel::LoadResource(kwantel::g_moduleResource));
  EXPECT_EQ(Count("Lr.load"), 1u);
  kwantel::ReleaseResource(kwantel::g_moduleResource);
  kwantel::ReleaseResource(kwantel::g_moduleResource);
  EXPECT_EQ(Count("Lr.release"), 1u);
}

struct DirectoryCase {
  const char *name;
  bool coreModule;
  fs::path expected;
};

void PrintTo(const DirectoryCase &c, std::ostream *out) {
  *out << c.name;
}

class ResourceDirectoryTest : public ::testing::WithParamInterface<DirectoryCase>, public EntryTest {
 public:
  ResourceDirectoryTest() : EntryTest(Options(GetParam().coreModule)) {}
  static hostemu::HostOptions Options(bool coreModule) {
    hostemu::HostOptions options;
    options.hostDirectory = "/opt/host";
    options.coreLibrariesDirectory = coreModule ? "/opt/host/corelibs" : "/opt/host/elsewhere";
    return options;
  }
};

TEST_P(ResourceDirectoryTest, TakesTheHostsFolderOnlyForACoreModule) {
  ASSERT_EQ(Bind("/opt/host/corelibs/kwantel.xdl64"), HOST_RESULT_DONE);
  const framework::Filename directory = kwantel::GetResourceDirectory();
  ASSERT_NE(directory.Get(), nullptr);
  EXPECT_EQ(directory.Get()->path, GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(Branches, ResourceDirectoryTest,
                         ::testing::Values(DirectoryCase{"core_module", true, "/opt/host/resource/modules/kwantel"},
                                           DirectoryCase{"plug_in", false, "/opt/host/corelibs/res"}),
                         [](const auto &info) { return std::string(info.param.name); });

TEST_F(EntryTest, NoModulePathMeansResBesideNothing) {
  ASSERT_EQ(Bind(), HOST_RESULT_DONE);
  framework::Filename *path = kwantel::g_modulePath;
  kwantel::g_modulePath = nullptr;
  EXPECT_EQ(kwantel::GetResourceDirectory().Get()->path, fs::path("res"));
  kwantel::g_modulePath = path;
}

TEST_F(EntryTest, StartRegistersTheCommandAndSaysSo) {
  ASSERT_EQ(Bind(), HOST_RESULT_DONE);
  ASSERT_EQ(c4d_main(HOST_ACTION_MESSAGE, Message(1), nullptr, nullptr), HOST_RESULT_DONE);
  EXPECT_EQ(c4d_main(HOST_ACTION_START, nullptr, nullptr, nullptr), HOST_RESULT_DONE);

  const hostemu::RegisteredCommand *command = host_.plugins().find(kwantel::PLUGIN_ID);
  ASSERT_NE(command, nullptr);
  EXPECT_EQ(command->apiVersion, kwantel::API_VERSION);
  EXPECT_EQ(command->name, "Kwantel");
  EXPECT_FALSE(command->help.empty());
  EXPECT_NE(command->icon, nullptr);
  EXPECT_EQ(ConsoleTexts(), std::vector<std::string>{"Orvanel Software: Kwantel successfully loaded."});
  EXPECT_EQ(Count("Bm.destroy"), 1u) << "the module releases its icon; the host keeps a copy";

  host_.plugins().destroyAll();
  c4d_main(HOST_ACTION_END, nullptr, nullptr, nullptr);
  EXPECT_EQ(host_.kernel().liveBlocks(), 0u);
  EXPECT_EQ(host_.kernel().liveStrings(), 0u);
  EXPECT_EQ(host_.dialogs().liveDialogs(), 0u);
}

TEST_F(EntryTest, RefusedRegistrationFailsWithoutLeavingTheCommandBehind) {
  ASSERT_EQ(Bind(kModuleDirectory / "nowhere/kwantel.so"), HOST_RESULT_DONE);
  EXPECT_EQ(c4d_main(HOST_ACTION_MESSAGE, Message(1), nullptr, nullptr), HOST_RESULT_NOT_HANDLED);
  const uint64_t blocksBefore = host_.kernel().liveBlocks();
  host_.plugins().refuseNextRegistration();

  EXPECT_EQ(c4d_main(HOST_ACTION_START, nullptr, nullptr, nullptr), HOST_RESULT_FAILED);

  EXPECT_EQ(ConsoleTexts().back(), "Orvanel Software: Failed to load Kwantel");
  EXPECT_EQ(host_.kernel().liveBlocks(), blocksBefore);
  EXPECT_EQ(host_.dialogs().liveDialogs(), 0u);
  // Without a resource the name and help are empty.
  for (const hostemu::JournalEntry &entry : host_.journal().entries()) {
    if (entry.service == "Pl.registerPlugin") {
      EXPECT_EQ(entry.args[3], "");
    }
  }
}

}  // namespace
