// Loading the built module from disk as the application does: its start, its
// command and dialog, its end with nothing left alive; and the files a host
// must refuse.
#include <gtest/gtest.h>

#ifndef _WIN32
#include <dlfcn.h>
#include <tiffio.h>
#endif

#include <fstream>
#include <iterator>
#include <sstream>
#include <string>

#include "bitmap.h"
#include "console.h"
#include "container.h"
#include "dialogs.h"
#include "filename.h"
#include "host.h"
#include "kernel.h"
#include "module_loader.h"
#include "plugins.h"
#include "preferences.h"
#include "resources.h"
#include "tables.h"
#include "temp_dir.h"

namespace {

using hostemu::Host;
using hostemu::HostOptions;
using hostemu::LoadError;
using hostemu::ModuleLoader;

constexpr int32_t kPluginId = 1061771;

struct Flavour {
  const char *name;
  const char *file;
  int32_t lowestVersion;
};

const Flavour kWindows{"Windows", KWANTEL_WINDOWS_MODULE, 2024900};
const Flavour kMacos{"macOS", KWANTEL_MACOS_MODULE, 2025200};

std::string ReadFile(const std::filesystem::path &path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

void WriteFile(const std::filesystem::path &path, const std::string &bytes) {
  std::ofstream(path, std::ios::binary) << bytes;
}

bool HasConsoleLine(Host &host, const std::string &text) {
  for (const hostemu::ConsoleLine &line : host.console().lines()) {
    if (line.text == text)
      return true;
  }
  return false;
}

// Everything a module can hold of the host, in one line for a failure.
std::string LiveAccount(Host &host) {
  std::ostringstream out;
  out << "blocks " << host.kernel().liveBlocks() << ", strings " << host.kernel().liveStrings() << ", arrays "
      << host.kernel().liveObjectArrays() << ", containers " << hostemu::liveContainers() << ", filenames "
      << hostemu::liveFilenames() << ", bitmaps " << hostemu::liveBitmaps() << ", resources "
      << host.resources().liveResources() << ", dialogs " << host.dialogs().liveDialogs() << ", commands "
      << host.plugins().commands().size();
  return out.str();
}

const std::string kNothingLive =
    "blocks 0, strings 0, arrays 0, containers 0, filenames 0, bitmaps 0, resources 0, dialogs 0, commands 0";

class LoaderTest : public ::testing::Test {
 protected:
  HostOptions Options() const {
    HostOptions options;
    options.preferencesFile = dir / "prefs.json";
    return options;
  }

  TempDir dir;
};

TEST_F(LoaderTest, TheModuleStartsServesTheUserAndEndsWithNothingLeftAlive) {
  Host host(Options());
  ModuleLoader loader(host);
  hostemu::LoadResult result = loader.load(kWindows.file);
  ASSERT_TRUE(result.ok()) << result.message;
  EXPECT_EQ(loader.report().bind, HOST_RESULT_DONE);
  EXPECT_EQ(loader.report().message, HOST_RESULT_DONE);
  EXPECT_TRUE(HasConsoleLine(host, "Orvanel Software: Kwantel successfully loaded."));
  EXPECT_STREQ(loader.info()->identifier, "com.orvanel.kwantel");

  const hostemu::RegisteredCommand *command = host.plugins().find(kPluginId);
  ASSERT_NE(command, nullptr);
  EXPECT_EQ(command->name, "Kwantel");
  EXPECT_FALSE(command->help.empty());
  ASSERT_NE(command->icon, nullptr);
  EXPECT_EQ(command->icon->width, 32);
  EXPECT_EQ(command->icon->pixelRatio, 1.0);
  EXPECT_EQ(hostemu::liveBitmaps(), 0u) << "the module released its icon after registering";

  ASSERT_TRUE(host.plugins().invoke().ok());
  ASSERT_TRUE(host.plugins().invoke().ok());
  ASSERT_NE(host.dialogs().openWindow(), nullptr);
  EXPECT_EQ(host.dialogs().openWindow()->builds, 1u) << "a second invoke opens no second window";
  EXPECT_TRUE(host.dialogs().set(1104, "90").ok());
  EXPECT_TRUE(host.dialogs().press(5004).ok());
  EXPECT_TRUE(host.dialogs().press(5001).ok());
  ASSERT_EQ(host.messageBoxes.size(), 1u);
  EXPECT_EQ(host.messageBoxes[0].style, GEMB_ICONEXCLAMATION);
  EXPECT_NE(host.messageBoxes[0].text.find("Kwantel"), std::string::npos);
  EXPECT_TRUE(host.dialogs().press(5002).ok());
  ASSERT_EQ(host.openedFiles.size(), 1u);
  EXPECT_TRUE(hostemu::sameFilename(host.openedFiles[0],
                                    std::filesystem::absolute(kWindows.file).parent_path() / "Kwantel.pdf"));
  EXPECT_TRUE(host.dialogs().close().ok());

  const HostContainer *saved = host.preferences().find(kPluginId);
  ASSERT_NE(saved, nullptr) << "Save Settings stored the settings";
  EXPECT_EQ(std::get<double>(saved->values.at(1104)), 90 * 0.017453292519943295);

  // The host restores the dialog, and the module ends with its window open.
  int secret = 0;
  EXPECT_TRUE(host.plugins().restore(kPluginId, &secret));
  EXPECT_NE(host.dialogs().openWindow(), nullptr);
  EXPECT_EQ(host.plugins().state(kPluginId), CMD_ENABLED);

  loader.end();
  EXPECT_FALSE(loader.isLoaded());
  EXPECT_EQ(host.dialogs().openWindow(), nullptr);
  EXPECT_EQ(LiveAccount(host), kNothingLive);
}

TEST_F(LoaderTest, AnEndedModuleLoadsAndStartsAgain) {
  Host host(Options());
  ModuleLoader loader(host);
  ASSERT_TRUE(loader.load(kWindows.file).ok());
  ASSERT_TRUE(host.plugins().invoke().ok());
  loader.end();
  hostemu::LoadResult again = loader.load(kWindows.file);
  ASSERT_TRUE(again.ok()) << again.message;
  EXPECT_NE(host.plugins().find(kPluginId), nullptr);
  loader.end();
  EXPECT_EQ(LiveAccount(host), kNothingLive);
}

struct VersionCase {
  Flavour flavour;
  int32_t hostVersion;
  LoadError error;
};

class HostVersionTest : public LoaderTest, public ::testing::WithParamInterface<VersionCase> {};

TEST_P(HostVersionTest, AModuleRefusesAHostOlderThanItNeeds) {
  const VersionCase &c = GetParam();
  HostOptions options = Options();
  options.version = c.hostVersion;
  Host host(options);
  ModuleLoader loader(host);
  hostemu::LoadResult result = loader.load(c.flavour.file);
  EXPECT_EQ(result.error, c.error) << result.message;
  if (c.error == LoadError::refusedHost) {
    EXPECT_EQ(loader.report().bind, HOST_RESULT_REFUSED);
    EXPECT_FALSE(loader.isLoaded());
    EXPECT_TRUE(host.console().lines().empty());
  }
  loader.end();
  EXPECT_EQ(LiveAccount(host), kNothingLive);
}

INSTANTIATE_TEST_SUITE_P(Flavours, HostVersionTest,
                         ::testing::Values(VersionCase{kWindows, 2024900, LoadError::none},
                                           VersionCase{kWindows, 2024899, LoadError::refusedHost},
                                           VersionCase{kMacos, 2025200, LoadError::none},
                                           VersionCase{kMacos, 2024900, LoadError::refusedHost}),
                         [](const auto &info) {
                           return std::string(info.param.flavour.name) + std::to_string(info.param.hostVersion);
                         });

TEST_F(LoaderTest, AModuleWithoutItsResourcesStartsWithAnEmptyName) {
  std::filesystem::copy_file(kWindows.file, dir / "kwantel.so");
  Host host(Options());
  ModuleLoader loader(host);
  ASSERT_TRUE(loader.load(dir / "kwantel.so").ok());
  EXPECT_EQ(loader.report().message, HOST_RESULT_NOT_HANDLED);
  EXPECT_TRUE(HasConsoleLine(host, "Kwantel: failed to load resource file."));
  ASSERT_NE(host.plugins().find(kPluginId), nullptr);
  EXPECT_EQ(host.plugins().find(kPluginId)->name, "");
  EXPECT_EQ(host.plugins().find(kPluginId)->icon, nullptr);
  loader.end();
  EXPECT_EQ(LiveAccount(host), kNothingLive);
}

TEST_F(LoaderTest, ARefusedRegistrationFailsTheStart) {
  Host host(Options());
  host.plugins().refuseNextRegistration();
  ModuleLoader loader(host);
  hostemu::LoadResult result = loader.load(kWindows.file);
  EXPECT_EQ(result.error, LoadError::startFailed) << result.message;
  EXPECT_TRUE(HasConsoleLine(host, "Orvanel Software: Failed to load Kwantel"));
  EXPECT_FALSE(loader.isLoaded());
  EXPECT_EQ(LiveAccount(host), kNothingLive) << "a refused command stays the module's to free";
}

// Another library: loadable, but no module.
std::filesystem::path LibraryWithoutModuleSymbols() {
#ifdef _WIN32
  return "C:/windows/system32/kernel32.dll";
#else
  Dl_info info{};
  dladdr(reinterpret_cast<void *>(&TIFFOpen), &info);
  return info.dli_fname ? info.dli_fname : "";
#endif
}

TEST_F(LoaderTest, FilesThatAreNoModuleAreRefusedWithTheirReason) {
  WriteFile(dir / "text.so", "not a library");
  std::string truncated = ReadFile(kWindows.file);
  truncated.resize(truncated.size() / 3);
  WriteFile(dir / "truncated.so", truncated);
  const struct {
    std::filesystem::path file;
    LoadError error;
  } cases[] = {{dir / "missing.so", LoadError::notAModule},
               {dir / "text.so", LoadError::notAModule},
               {dir / "truncated.so", LoadError::notAModule},
               {dir.path(), LoadError::notAModule},
               {LibraryWithoutModuleSymbols(), LoadError::missingSymbol}};
  Host host(Options());
  ModuleLoader loader(host);
  for (const auto &c : cases) {
    hostemu::LoadResult result = loader.load(c.file);
    EXPECT_EQ(result.error, c.error) << c.file << ": " << result.message;
    EXPECT_NE(result.message.find(c.file.filename().string()), std::string::npos) << result.message;
    EXPECT_FALSE(loader.isLoaded());
  }
}

TEST_F(LoaderTest, AModuleNeedingAFrameworkTheHostLacksIsRefusedBeforeItRuns) {
  // The module's record, with one dependency renamed in the file.
  std::string bytes = ReadFile(kWindows.file);
  const std::string provided = "net.maxon.python.framework", lacking = "net.maxon.pythin.framework";
  const size_t at = bytes.find(provided + '\0');
  ASSERT_NE(at, std::string::npos);
  bytes.replace(at, lacking.size(), lacking);
  WriteFile(dir / "needy.so", bytes);

  Host host(Options());
  ModuleLoader loader(host);
  hostemu::LoadResult result = loader.load(dir / "needy.so");
  EXPECT_EQ(result.error, LoadError::missingFramework);
  EXPECT_NE(result.message.find(lacking), std::string::npos) << result.message;
  EXPECT_EQ(loader.report().bind, 0) << "c4d_main was not called";
  EXPECT_FALSE(loader.isLoaded());
}

class RegistryTest : public ::testing::Test {
 protected:
  // A command object from the kernel, as a module registers it.
  CommandRegistration Block() {
    CommandRegistration block{};
    block.object = hostemu::kernelInterface()->allocClear(16);
    block.hooks.getState = [](void *, HostDocument *, void *) -> int32_t { return CMD_ENABLED; };
    block.hooks.execute = [](void *object, HostDocument *, void *) {
      ++*static_cast<int *>(object);
      return true;
    };
    return block;
  }

  bool Register(int32_t id, const CommandRegistration &block, int32_t size = COMMAND_REGISTRATION_SIZE) {
    return hostemu::pluginTable()->registerPlugin(2025200, PLUGINTYPE_COMMAND, id, nullptr, &block, size);
  }

  Host host;
};

TEST_F(RegistryTest, RefusesWhatItCannotKeepAndFreesWhatItKept) {
  CommandRegistration first = Block(), second = Block();
  EXPECT_FALSE(Register(1, first, 383));
  EXPECT_EQ(host.plugins().lastRefusal(), hostemu::RegistrationError::blockSize);
  ASSERT_TRUE(Register(1, first));
  EXPECT_FALSE(Register(1, second));
  EXPECT_EQ(host.plugins().lastRefusal(), hostemu::RegistrationError::duplicateId);
  host.plugins().refuseNextRegistration();
  EXPECT_FALSE(Register(2, second));
  EXPECT_EQ(host.plugins().lastRefusal(), hostemu::RegistrationError::refusedByTest);
  ASSERT_TRUE(Register(2, second));

  EXPECT_TRUE(host.plugins().invoke(2).ok());
  EXPECT_EQ(*static_cast<int *>(second.object), 1);
  EXPECT_EQ(host.plugins().invoke(3).error, hostemu::ActionError::unknownId);
  host.plugins().destroyAll();
  EXPECT_EQ(host.kernel().liveBlocks(), 0u);
}

}  // namespace
