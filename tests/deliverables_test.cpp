// The two deliverables as files: kwantel.xdl64 (Windows x86-64) and
// KwantelR2025.xlib (macOS arm64), read with the build machine's llvm tools and
// byte by byte. Neither can run here as a whole: the DLL's behaviour is what
// the suite proves under Wine, the bundle's what the Linux build of the macOS
// flavour proves.
#include <gtest/gtest.h>

#ifdef _WIN32

TEST(Deliverables, AreReadOnTheBuildMachine) {
  GTEST_SKIP() << "the deliverables are read with the Linux build machine's llvm tools";
}

#else

#include <algorithm>
#include <cctype>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <set>
#include <string>
#include <vector>

#include "binary_tools.h"
#include "sha256.h"

namespace {

using kwantel_test::FindTool;
using kwantel_test::ReadobjBlock;
using kwantel_test::ReadobjBlocks;
using kwantel_test::RunTool;
using kwantel_test::ShellQuoted;
using Names = std::set<std::string>;

enum class Format { pe, macho };

struct Deliverable {
  const char *name;
  Format format;
  const char *variable;              // environment variable that may name another file
  const char *built;                 // where the cross build leaves it, from the project directory
  std::vector<std::string> headers;  // lines of llvm-readobj --file-headers
  Names exports;
  int64_t versions[2];  // at the start of g_maxon
};

const Deliverable kWindows{
    "kwantel.xdl64",
    Format::pe,
    "KWANTEL_WINDOWS_DELIVERABLE",
    "build/windows/modules/kwantel/kwantel.xdl64",
    {"Format: COFF-x86-64", "Machine: IMAGE_FILE_MACHINE_AMD64", "IMAGE_FILE_DLL (0x2000)", "Magic: 0x20B"},
    {"c4d_main", "g_maxon", "g_CpuYieldDelegate"},
    {2025000, 2025000}};

const Deliverable kMacos{"KwantelR2025.xlib",
                         Format::macho,
                         "KWANTEL_MACOS_DELIVERABLE",
                         "build/macos/modules/KwantelR2025/KwantelR2025.xlib",
                         {"Format: Mach-O arm64", "CpuType: Arm64 (0x100000C)", "FileType: Bundle (0x8)"},
                         {"_c4d_main", "_g_maxon", "_g_CpuYieldDelegate"},
                         {2025000, 2025200}};

// DLLs that come with every Windows: the module may import nothing else.
const Names kSystemDlls{"kernel32.dll", "msvcrt.dll", "ntdll.dll", "advapi32.dll", "ucrtbase.dll"};

// What a macOS process provides to a bundle linked with dynamic lookup:
// libSystem's C and stack-guard symbols, the C++ ABI runtime's static
// initialisation and destructor hooks, and operator delete (virtual destructors).
const Names kMacosLoaderBound{"___cxa_atexit",
                              "___cxa_guard_acquire",
                              "___cxa_guard_release",
                              "___cxa_guard_abort",
                              "___cxa_pure_virtual",
                              "___stack_chk_fail",
                              "___stack_chk_guard",
                              "__ZdlPv",
                              "__ZdlPvm",
                              "_memcpy",
                              "_memmove",
                              "_memset",
                              "_bzero",
                              "dyld_stub_binder"};

void PrintTo(const Deliverable &deliverable, std::ostream *out) {
  *out << deliverable.name;
}

std::filesystem::path FileOf(const Deliverable &deliverable) {
  const char *chosen = std::getenv(deliverable.variable);
  return chosen != nullptr && *chosen != '\0' ? std::filesystem::path(chosen)
                                              : std::filesystem::path(KWANTEL_SOURCE_DIR) / deliverable.built;
}

std::string Tool(std::initializer_list<const char *> names) {
  std::string tool = FindTool(names);
  EXPECT_FALSE(tool.empty()) << *names.begin() << " not found: install llvm (make deps)";
  return tool;
}

std::string Readobj(const std::string &options, const std::filesystem::path &file) {
  const std::string tool = Tool({"llvm-readobj", "llvm-readobj-14"});
  kwantel_test::ToolRun run = RunTool(tool + " " + options + " " + ShellQuoted(file.string()));
  EXPECT_EQ(run.status, 0) << tool << " " << options << " failed on " << file;
  return run.out;
}

std::vector<std::string> Nm(const std::string &options, const std::filesystem::path &file) {
  const std::string tool = Tool({"llvm-nm", "llvm-nm-14"});
  kwantel_test::ToolRun run = RunTool(tool + " " + options + " " + ShellQuoted(file.string()));
  EXPECT_EQ(run.status, 0) << tool << " " << options << " failed on " << file;
  std::vector<std::string> lines;
  std::istringstream in(run.out);
  for (std::string line; std::getline(in, line);) {
    if (!line.empty())
      lines.push_back(line);
  }
  return lines;
}

uint64_t Number(const std::string &text) {
  return text.empty() ? 0 : std::stoull(text, nullptr, 0);
}

std::string FileBytes(const std::filesystem::path &file) {
  std::ifstream in(file, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

Names ExportedNames(const Deliverable &deliverable, const std::filesystem::path &file) {
  Names names;
  if (deliverable.format == Format::pe) {
    for (const ReadobjBlock &entry : ReadobjBlocks(Readobj("--coff-exports", file), "Export"))
      names.insert(entry["Name"]);
  } else {
    for (const std::string &name : Nm("--extern-only --defined-only -j", file))
      names.insert(name);
  }
  return names;
}

// Where in the file the bytes at address (an RVA in a DLL, a virtual address
// in a Mach-O image) lie; 0 when no section holds them.
uint64_t FileOffset(const Deliverable &deliverable, const std::filesystem::path &file, uint64_t address) {
  const bool pe = deliverable.format == Format::pe;
  for (const ReadobjBlock &section : ReadobjBlocks(Readobj("--sections", file), "Section")) {
    const uint64_t start = Number(section[pe ? "VirtualAddress" : "Address"]);
    const uint64_t size = Number(section[pe ? "RawDataSize" : "Size"]);
    const uint64_t offset = Number(section[pe ? "PointerToRawData" : "Offset"]);
    if (address >= start && address < start + size && offset != 0)
      return offset + (address - start);
  }
  return 0;
}

uint64_t AddressOfGMaxon(const Deliverable &deliverable, const std::filesystem::path &file) {
  if (deliverable.format == Format::pe) {
    for (const ReadobjBlock &entry : ReadobjBlocks(Readobj("--coff-exports", file), "Export")) {
      if (entry["Name"] == "g_maxon")
        return Number(entry["RVA"]);
    }
    return 0;
  }
  for (const std::string &line : Nm("--extern-only --defined-only", file)) {
    if (line.size() > 9 && line.substr(line.size() - 9) == " _g_maxon")
      return std::stoull(line.substr(0, line.find(' ')), nullptr, 16);
  }
  return 0;
}

class DeliverableTest : public ::testing::TestWithParam<Deliverable> {
 protected:
  void SetUp() override {
    file = FileOf(GetParam());
    if (std::filesystem::is_regular_file(file))
      return;
    // make test builds them first and insists on them; a plain test run of
    // the Linux build does not need the cross toolchains.
    if (std::getenv("KWANTEL_REQUIRE_DELIVERABLES") != nullptr)
      FAIL() << file << " is missing: build it with make cross";
    GTEST_SKIP() << file << " is not built (make cross)";
  }

  std::filesystem::path file;
};

TEST_P(DeliverableTest, IsBuiltForItsPlatform) {
  const std::string headers = Readobj("--file-headers", file);
  for (const std::string &line : GetParam().headers)
    EXPECT_NE(headers.find(line), std::string::npos) << "no \"" << line << "\" in\n" << headers;
}

TEST_P(DeliverableTest, ExportsExactlyTheThreeSymbolsTheHostReads) {
  EXPECT_EQ(ExportedNames(GetParam(), file), GetParam().exports);
}

TEST_P(DeliverableTest, AnnouncesItsVersionsAtTheStartOfGMaxon) {
  const uint64_t address = AddressOfGMaxon(GetParam(), file);
  ASSERT_NE(address, 0u) << "g_maxon not found";
  const uint64_t offset = FileOffset(GetParam(), file, address);
  const std::string bytes = FileBytes(file);
  ASSERT_NE(offset, 0u) << "g_maxon lies in no section with file data";
  ASSERT_LE(offset + 16, bytes.size());
  for (int i = 0; i < 2; ++i) {
    // Both targets are little-endian.
    uint64_t value = 0;
    for (int byte = 7; byte >= 0; --byte)
      value = value << 8 | static_cast<uint8_t>(bytes[offset + 8 * i + byte]);
    EXPECT_EQ(static_cast<int64_t>(value), GetParam().versions[i]) << "version " << i;
  }
}

INSTANTIATE_TEST_SUITE_P(Both, DeliverableTest, ::testing::Values(kWindows, kMacos), [](const auto &info) {
  return std::string(info.param.format == Format::pe ? "Windows" : "Macos");
});

class WindowsDeliverableTest : public DeliverableTest {};

TEST_P(WindowsDeliverableTest, ImportsOnlySystemDlls) {
  const std::vector<ReadobjBlock> imports = ReadobjBlocks(Readobj("--coff-imports", file), "Import");
  EXPECT_FALSE(imports.empty());
  for (const ReadobjBlock &import : imports) {
    std::string dll = import["Name"];
    std::transform(dll.begin(), dll.end(), dll.begin(), [](unsigned char c) { return std::tolower(c); });
    EXPECT_TRUE(kSystemDlls.count(dll)) << import["Name"] << " is not a system DLL";
  }
}

INSTANTIATE_TEST_SUITE_P(Windows, WindowsDeliverableTest, ::testing::Values(kWindows),
                         [](const auto &) { return std::string("Dll"); });

class MacosDeliverableTest : public DeliverableTest {};

TEST_P(MacosDeliverableTest, LeavesOnlyWhatTheLoaderBindsUndefined) {
  for (const std::string &name : Nm("--undefined-only -j", file))
    EXPECT_TRUE(kMacosLoaderBound.count(name)) << name << " is not on the list of symbols the loader binds";
  const std::vector<ReadobjBlock> top = ReadobjBlocks(Readobj("--needed-libs", file), "");
  EXPECT_NE(top[0].text.find("NeededLibraries [\n]"), std::string::npos) << "the bundle names no library:\n"
                                                                         << top[0].text;
}

TEST_P(MacosDeliverableTest, CarriesItsBuildVersion) {
  const std::vector<ReadobjBlock> versions = ReadobjBlocks(Readobj("--macho-version-min", file), "MinVersion");
  ASSERT_EQ(versions.size(), 1u);
  EXPECT_EQ(versions[0]["Cmd"], "LC_BUILD_VERSION");
  EXPECT_EQ(versions[0]["Platform"], "macos");
  EXPECT_EQ(versions[0]["Version"], "11.0");
}

uint32_t Little32(const std::string &bytes, size_t at) {
  uint32_t value = 0;
  for (int i = 3; i >= 0; --i)
    value = value << 8 | static_cast<uint8_t>(bytes.at(at + i));
  return value;
}

uint32_t Big32(const std::string &bytes, size_t at) {
  uint32_t value = 0;
  for (int i = 0; i < 4; ++i)
    value = value << 8 | static_cast<uint8_t>(bytes.at(at + i));
  return value;
}

// macOS on arm64 runs no code without a valid signature; ld64.lld signs ad hoc.
// Every page up to the signature must hash to what the code directory says.
TEST_P(MacosDeliverableTest, HasAnAdHocSignatureThatCoversEveryPage) {
  constexpr uint32_t kCodeSignatureCommand = 0x1d, kSuperBlob = 0xfade0cc0, kCodeDirectory = 0xfade0c02;
  constexpr uint32_t kAdHoc = 0x2, kSha256 = 2;
  const std::string bytes = FileBytes(file);
  ASSERT_GE(bytes.size(), 32u);
  uint32_t signatureOffset = 0, signatureSize = 0;
  size_t command = 32;  // after the 64-bit Mach-O header
  for (uint32_t i = 0, count = Little32(bytes, 16); i < count; ++i) {
    if (Little32(bytes, command) == kCodeSignatureCommand) {
      signatureOffset = Little32(bytes, command + 8);
      signatureSize = Little32(bytes, command + 12);
    }
    command += Little32(bytes, command + 4);
  }
  ASSERT_NE(signatureOffset, 0u) << "no LC_CODE_SIGNATURE";
  ASSERT_LE(uint64_t(signatureOffset) + signatureSize, bytes.size());
  ASSERT_EQ(Big32(bytes, signatureOffset), kSuperBlob);

  size_t directory = 0;
  for (uint32_t i = 0, count = Big32(bytes, signatureOffset + 8); i < count; ++i) {
    const size_t blob = signatureOffset + Big32(bytes, signatureOffset + 12 + 8 * i + 4);
    if (Big32(bytes, blob) == kCodeDirectory)
      directory = blob;
  }
  ASSERT_NE(directory, 0u) << "no code directory";
  EXPECT_TRUE(Big32(bytes, directory + 12) & kAdHoc) << "not signed ad hoc";
  const uint32_t hashOffset = Big32(bytes, directory + 16);
  const uint32_t codeSlots = Big32(bytes, directory + 28);
  const uint32_t codeLimit = Big32(bytes, directory + 32);
  const uint8_t hashSize = static_cast<uint8_t>(bytes.at(directory + 36));
  const uint8_t hashType = static_cast<uint8_t>(bytes.at(directory + 37));
  const uint32_t pageSize = 1u << static_cast<uint8_t>(bytes.at(directory + 39));
  ASSERT_EQ(hashType, kSha256);
  ASSERT_EQ(hashSize, 32u);
  EXPECT_EQ(codeLimit, signatureOffset) << "the signature covers the file up to itself";
  ASSERT_EQ(codeSlots, (codeLimit + pageSize - 1) / pageSize);
  for (uint32_t slot = 0; slot < codeSlots; ++slot) {
    const size_t start = size_t(slot) * pageSize;
    const auto digest =
        kwantel_test::Sha256(std::string_view(bytes).substr(start, std::min<size_t>(pageSize, codeLimit - start)));
    EXPECT_EQ(bytes.compare(directory + hashOffset + size_t(slot) * hashSize, hashSize,
                            reinterpret_cast<const char *>(digest.data()), digest.size()),
              0)
        << "page " << slot << " does not match its hash";
  }
}

INSTANTIATE_TEST_SUITE_P(Macos, MacosDeliverableTest, ::testing::Values(kMacos),
                         [](const auto &) { return std::string("Bundle"); });

}  // namespace

#endif
