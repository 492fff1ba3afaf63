// The emulator's kernel through its C interface: the accounts of blocks and
// strings, the logger, and the faults a module can make.
#include <gtest/gtest.h>

#include <cstring>
#include <sstream>
#include <string>
#include <vector>

#include "console.h"
#include "filename.h"
#include "host.h"
#include "journal.h"
#include "kernel.h"
#include "tables.h"

namespace {

using hostemu::Host;

class KernelTest : public ::testing::Test {
 protected:
  Host host;
  const KernelInterface &k = *hostemu::kernelInterface();
  hostemu::Kernel &accounts = host.kernel();
};

// The destructor sees the block still intact, and the block is gone from the
// account once the call returns.
std::vector<std::string> g_events;
void RecordingDestructor(void *block) {
  g_events.push_back("destructor sees " + std::to_string(*static_cast<int *>(block)));
}

TEST_F(KernelTest, AllocationIsZeroedAndAccounted) {
  auto *block = static_cast<unsigned char *>(k.allocClear(64));
  ASSERT_NE(block, nullptr);
  for (int i = 0; i < 64; ++i)
    ASSERT_EQ(block[i], 0) << "byte " << i;
  void *empty = k.allocClear(0);
  ASSERT_NE(empty, nullptr);
  EXPECT_NE(empty, static_cast<void *>(block));
  EXPECT_EQ(accounts.liveBlocks(), 2u);
  EXPECT_EQ(accounts.liveBytes(), 64u);

  k.privateFreeWithDestructor(block, nullptr);
  k.privateFreeWithDestructor(empty, nullptr);
  k.privateFreeWithDestructor(nullptr, nullptr);
  EXPECT_EQ(accounts.liveBlocks(), 0u);
  EXPECT_EQ(accounts.liveBytes(), 0u);
}

TEST_F(KernelTest, DestructorRunsOnTheBlockBeforeItIsReleased) {
  g_events.clear();
  auto *value = static_cast<int *>(k.allocClear(sizeof(int)));
  *value = 42;
  k.privateFreeWithDestructor(value, RecordingDestructor);
  g_events.push_back("returned with " + std::to_string(accounts.liveBlocks()) + " live");
  EXPECT_EQ(g_events, (std::vector<std::string>{"destructor sees 42", "returned with 0 live"}));
}

using KernelDeathTest = KernelTest;

TEST_F(KernelDeathTest, ReleasingWhatIsNotLiveStopsWithTheReason) {
  GTEST_FLAG_SET(death_test_style, "threadsafe");
  EXPECT_DEATH(
      {
        void *block = k.allocClear(8);
        k.privateFreeWithDestructor(block, nullptr);
        k.privateFreeWithDestructor(block, nullptr);
      },
      "privateFreeWithDestructor: the block is not live");
  int onTheStack = 0;
  EXPECT_DEATH(k.privateFreeWithDestructor(&onTheStack, nullptr), "the block is not live");
  EXPECT_DEATH(
      {
        HostString *text = k.setCString("once", 4);
        k.free(text);
        k.free(text);
      },
      "kernel.free: the string is not live");
}

TEST_F(KernelTest, StringsLiveUntilTheirLastReference) {
  HostString *text = k.setCString("Cube and more", 4);  // need not be terminated: only 4 bytes count
  EXPECT_EQ(hostemu::textOf(text), "Cube");
  EXPECT_EQ(accounts.liveStrings(), 1u);
  k.addReference(text);
  k.free(text);
  EXPECT_EQ(accounts.liveStrings(), 1u) << "one reference is left";
  HostString *joined = k.concat(text, k.getAndCacheConstString(" 2"));
  EXPECT_EQ(hostemu::textOf(joined), "Cube 2");
  k.free(text);
  k.free(joined);
  EXPECT_EQ(accounts.liveStrings(), 0u);
}

TEST_F(KernelTest, CachedStringsAreSharedAndNotCountedLive) {
  const HostString *first = k.getAndCacheConstString("net.maxon.c4d.cinema.framework");
  const HostString *again = k.getAndCacheConstString("net.maxon.c4d.cinema.framework");
  EXPECT_EQ(first, again);
  EXPECT_EQ(hostemu::textOf(first), "net.maxon.c4d.cinema.framework");
  // A framework may copy and drop a cached string like any other.
  k.addReference(first);
  k.free(first);
  k.free(first);
  EXPECT_EQ(hostemu::textOf(first), "net.maxon.c4d.cinema.framework");
  EXPECT_EQ(accounts.liveStrings(), 0u);

  const HostString *empty = hostemu::stringTable()->getEmpty();
  EXPECT_EQ(empty, hostemu::stringTable()->getEmpty());
  EXPECT_EQ(hostemu::textOf(empty), "");
  EXPECT_EQ(accounts.liveStrings(), 0u);
}

TEST_F(KernelTest, MakeStringIsCountedLikeTheModulesStrings) {
  HostString *made = hostemu::makeString("from a service");
  EXPECT_EQ(accounts.liveStrings(), 1u);
  k.free(made);
  EXPECT_EQ(accounts.liveStrings(), 0u);
}

struct Utf8Case {
  const char *name;
  const char *text;
  uint64_t capacity;
  const char *copied;
};

void PrintTo(const Utf8Case &c, std::ostream *out) {
  *out << c.name;
}

class GetUtf8Test : public KernelTest, public ::testing::WithParamInterface<Utf8Case> {};

TEST_P(GetUtf8Test, CopiesWhatFitsWithATerminatorAndAnswersTheFullLength) {
  const Utf8Case &c = GetParam();
  HostString *text = k.setCString(c.text, std::strlen(c.text));
  char buffer[16];
  std::memset(buffer, 'x', sizeof buffer);
  EXPECT_EQ(k.getUtf8(text, buffer, c.capacity), std::strlen(c.text));
  EXPECT_STREQ(buffer, c.copied);
  k.free(text);
}

INSTANTIATE_TEST_SUITE_P(Capacities, GetUtf8Test,
                         ::testing::Values(Utf8Case{"fits", "Cube", 16, "Cube"}, Utf8Case{"exactly", "Cube", 5, "Cube"},
                                           Utf8Case{"cut", "Cube", 3, "Cu"},
                                           Utf8Case{"only the terminator", "Cube", 1, ""},
                                           // "Würfel": the ü is two bytes and is not cut in half
                                           Utf8Case{"never half a character", "W\xc3\xbcrfel", 3, "W"},
                                           Utf8Case{"whole character", "W\xc3\xbcrfel", 4, "W\xc3\xbc"}),
                         [](const auto &info) {
                           std::string name = info.param.name;
                           for (char &c : name)
                             c = std::isalnum(static_cast<unsigned char>(c)) ? c : '_';
                           return name;
                         });

TEST_F(KernelTest, DefaultLoggerWritesConsoleLines) {
  EXPECT_EQ(k.findLogger("net.maxon.core.logger.other"), nullptr);
  HostLogger *logger = k.findLogger("net.maxon.core.logger.default");
  ASSERT_NE(logger, nullptr);
  HostString *text = k.setCString("Orvanel Software: Kwantel successfully loaded.", 46);
  k.write(logger, TARGETAUDIENCE_ALL, text, "source/main.cpp", 27, WRITEMETA_DEFAULT);
  k.write(nullptr, TARGETAUDIENCE_ALL, text, "source/main.cpp", 28, WRITEMETA_DEFAULT);  // no logger, no output
  k.assertion("Assertion failed: t_C4DOS_Ge", "entry.cpp", 12);
  k.free(text);

  const std::vector<hostemu::ConsoleLine> &lines = host.console().lines();
  ASSERT_EQ(lines.size(), 2u);
  EXPECT_EQ(lines[0].text, "Orvanel Software: Kwantel successfully loaded.");
  EXPECT_EQ(lines[0].file, "source/main.cpp");
  EXPECT_EQ(lines[0].line, 27);
  EXPECT_EQ(lines[0].audience, TARGETAUDIENCE_ALL);
  EXPECT_EQ(lines[0].meta, WRITEMETA_DEFAULT);
  EXPECT_EQ(lines[1].text, "Assertion failed: t_C4DOS_Ge");
  EXPECT_EQ(lines[1].file, "entry.cpp");
  EXPECT_EQ(lines[1].line, 12);
  EXPECT_EQ(lines[1].audience, 0);
  EXPECT_EQ(lines[1].meta, 0);
}

TEST_F(KernelTest, BytesThatAreNotUtf8ReachTheConsoleAndJournalAsReplacements) {
  host.journal().setEnabled(true);
  HostString *text = k.setCString("caf\xE9", 4);
  k.write(k.findLogger("net.maxon.core.logger.default"), TARGETAUDIENCE_ALL, text, "main.cpp", 1, WRITEMETA_DEFAULT);
  char back[8];
  EXPECT_EQ(k.getUtf8(text, back, sizeof back), 4u);
  EXPECT_STREQ(back, "caf\xE9") << "the string keeps the bytes it was given";
  k.free(text);

  EXPECT_EQ(host.console().lines().at(0).text, "caf\xEF\xBF\xBD");
  std::ostringstream console;
  std::ostringstream journal;
  EXPECT_NO_THROW(host.console().writeJsonLines(console));
  EXPECT_NO_THROW(host.journal().writeJsonLines(journal));
  EXPECT_NE(journal.str().find("caf\xEF\xBF\xBD"), std::string::npos);
}

TEST(KernelLocations, CoreLibrariesDirectoryComesFromTheOptions) {
  hostemu::HostOptions options;
  options.coreLibrariesDirectory = "/opt/host/corelibs";
  Host host(options);
  const KernelInterface &k = *hostemu::kernelInterface();
  HostFilename location;
  EXPECT_TRUE(k.privateGetUrl(APPLICATION_URLTYPE_CORELIBS_DIR, "net.maxon.c4d.cinema.framework", nullptr, &location));
  EXPECT_EQ(location.path, "/opt/host/corelibs");
  HostFilename other;
  EXPECT_FALSE(
      k.privateGetUrl(APPLICATION_URLTYPE_CORELIBS_DIR + 1, "net.maxon.c4d.cinema.framework", nullptr, &other));
  EXPECT_TRUE(other.path.empty());
}

TEST_F(KernelTest, JournalNamesEveryKernelCallWithItsArguments) {
  host.journal().setEnabled(true);
  void *block = k.allocClear(24);
  k.privateFreeWithDestructor(block, RecordingDestructor);
  HostString *text = k.setCString("Cube", 4);
  k.free(text);
  HostLogger *logger = k.findLogger("net.maxon.core.logger.default");
  const HostString *line = k.getAndCacheConstString("line");
  k.write(logger, 14, line, "f.cpp", 3, 1);

  std::vector<std::string> seen;
  for (const hostemu::JournalEntry &entry : host.journal().entries())
    seen.push_back(entry.service + entry.args.dump());
  EXPECT_EQ(seen, (std::vector<std::string>{
                      "kernel.allocClear[24]",
                      "kernel.privateFreeWithDestructor[\"block#1\",true]",
                      "kernel.setCString[\"Cube\"]",
                      "kernel.free[\"Cube\"]",
                      "kernel.findLogger[\"net.maxon.core.logger.default\"]",
                      "kernel.getAndCacheConstString[\"line\"]",
                      "kernel.write[14,\"line\",\"f.cpp\",3,1]",
                  }));
}

}  // namespace
