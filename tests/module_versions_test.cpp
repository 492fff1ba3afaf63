// The versions each flavour announces and the lowest host version it accepts,
// proved by loading the built module as the application does: on Linux the
// shared objects of both flavours, under Wine the real kwantel.xdl64.
#include <gtest/gtest.h>

#include "host.h"
#include "module_loader.h"

namespace {

struct Flavour {
  const char *name;
  const char *file;
  int32_t lowestHostVersion;
  int64_t announced[2];  // the versions at the start of g_maxon
};

const Flavour kFlavours[] = {
    {"Windows", KWANTEL_WINDOWS_MODULE, 2024900, {2025000, 2025000}},
    {"Macos", KWANTEL_MACOS_MODULE, 2025200, {2025000, 2025200}},
};

void PrintTo(const Flavour &flavour, std::ostream *out) {
  *out << flavour.name;
}

class ModuleVersionsTest : public ::testing::TestWithParam<Flavour> {};

TEST_P(ModuleVersionsTest, AnnouncesItsVersionsBeforeItIsCalled) {
  hostemu::Host host;
  hostemu::ModuleLoader loader(host);
  hostemu::LoadResult opened = loader.open(GetParam().file);
  ASSERT_TRUE(opened.ok()) << opened.message;
  EXPECT_EQ(loader.info()->versions[0], GetParam().announced[0]);
  EXPECT_EQ(loader.info()->versions[1], GetParam().announced[1]);
}

TEST_P(ModuleVersionsTest, RefusesAHostBelowItsLowestVersionAndAcceptsThatVersion) {
  const struct {
    int32_t hostVersion;
    hostemu::LoadError expected;
  } cases[] = {
      {GetParam().lowestHostVersion - 1, hostemu::LoadError::refusedHost},
      {GetParam().lowestHostVersion, hostemu::LoadError::none},
      {GetParam().lowestHostVersion + 1, hostemu::LoadError::none},
  };
  for (const auto &c : cases) {
    hostemu::HostOptions options;
    options.version = c.hostVersion;
    hostemu::Host host(options);
    hostemu::ModuleLoader loader(host);
    hostemu::LoadResult result = loader.load(GetParam().file);
    EXPECT_EQ(result.error, c.expected) << "host version " << c.hostVersion << ": " << result.message;
    EXPECT_EQ(loader.report().bind, c.expected == hostemu::LoadError::none ? HOST_RESULT_DONE : HOST_RESULT_REFUSED)
        << "host version " << c.hostVersion;
  }
}

INSTANTIATE_TEST_SUITE_P(Flavours, ModuleVersionsTest, ::testing::ValuesIn(kFlavours),
                         [](const auto &info) { return std::string(info.param.name); });

}  // namespace
