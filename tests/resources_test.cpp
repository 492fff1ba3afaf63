// The resource service (string resources in a directory), the bitmap service
// with the shipped icon, and file names.
#include <gtest/gtest.h>

#include <fstream>
#include <string>

#include "bitmap.h"
#include "filename.h"
#include "host.h"
#include "kernel.h"
#include "resources.h"
#include "strings.h"
#include "tables.h"
#include "temp_dir.h"

namespace {

using hostemu::Host;

const std::filesystem::path kShippedResources = std::filesystem::path(KWANTEL_SOURCE_DIR) / "res";

void WriteFile(const std::filesystem::path &path, const std::string &text) {
  std::ofstream(path, std::ios::binary) << text;
}

class ResourcesTest : public ::testing::Test {
 protected:
  HostResource *Load(const std::filesystem::path &directory) {
    HostFilename name{directory};
    return lr.load(&name);
  }

  Host host;
  const HostResourceTable &lr = *hostemu::resourceTable();
  const HostBitmapTable &bm = *hostemu::bitmapTable();
  TempDir dir;
};

TEST_F(ResourcesTest, TheShippedResourceNamesTheCommandAndItsHelpAndAbout) {
  HostResource *resource = Load(kShippedResources);
  ASSERT_NE(resource, nullptr);
  EXPECT_EQ(hostemu::textOf(lr.getString(resource, 10000)), "Kwantel");
  EXPECT_FALSE(hostemu::textOf(lr.getString(resource, 10001)).empty());
  EXPECT_FALSE(hostemu::textOf(lr.getString(resource, 10002)).empty());
  EXPECT_EQ(hostemu::textOf(lr.getString(resource, 10001)).find('\n'), std::string_view::npos)
      << "the about text is one line";
  EXPECT_EQ(lr.getString(resource, 4711), host.kernel().emptyString()) << "an unknown id";

  const uint64_t strings = host.kernel().liveStrings();
  lr.release(resource, true);
  EXPECT_EQ(host.kernel().liveStrings(), strings - 3);
  EXPECT_EQ(host.resources().liveResources(), 0u);
}

struct BadDirectoryCase {
  const char *name;
  const char *strings;  // content of strings.json; null: no such file
};

class BadResourceTest : public ResourcesTest, public ::testing::WithParamInterface<BadDirectoryCase> {};

TEST_P(BadResourceTest, GivesNoResource) {
  if (GetParam().strings != nullptr)
    WriteFile(dir / "strings.json", GetParam().strings);
  EXPECT_EQ(Load(dir.path()), nullptr);
  EXPECT_EQ(Load(dir / "missing"), nullptr);
  EXPECT_NE(host.resources().problem().find("strings.json"), std::string::npos);
  EXPECT_EQ(host.kernel().liveStrings(), 0u);
}

INSTANTIATE_TEST_SUITE_P(Cases, BadResourceTest,
                         ::testing::Values(BadDirectoryCase{"NoFile", nullptr},
                                           BadDirectoryCase{"NotJson", "{\"version\": 1, \"strings\": {"},
                                           BadDirectoryCase{"NumberBeyondDouble", "{\"version\": 1e999}"},
                                           BadDirectoryCase{"NoVersion", "{\"strings\": {}}"},
                                           BadDirectoryCase{"IdNotANumber", R"({"version": 1, "strings": {"x": "a"}})"},
                                           BadDirectoryCase{"TextNotAString",
                                                            R"({"version": 1, "strings": {"10000": 5}})"}),
                         [](const auto &info) { return std::string(info.param.name); });

TEST_F(ResourcesTest, TheShippedIconDecodesWithItsPixelRatio) {
  HostBitmap *icon = bm.create();
  HostFilename file{kShippedResources / "kwantel.tif"};
  ASSERT_EQ(bm.loadFile(icon, &file, -1, nullptr), IMAGERESULT_OK);
  EXPECT_EQ(icon->width, 32);
  EXPECT_EQ(icon->height, 32);
  bool transparent = false, opaque = false;
  for (size_t i = 3; i < icon->rgba.size(); i += 4) {
    transparent = transparent || icon->rgba[i] == 0;
    opaque = opaque || icon->rgba[i] == 255;
  }
  EXPECT_TRUE(transparent && opaque) << "an icon with a shape on a clear ground";

  const double ratio = 2.0;
  EXPECT_TRUE(bm.setData(icon, BITMAP_PROPERTY_PIXEL_RATIO, HOST_DATATYPE_FLOAT, &ratio));
  EXPECT_EQ(icon->pixelRatio, 2.0);
  EXPECT_FALSE(bm.setData(icon, 4711, HOST_DATATYPE_FLOAT, &ratio));
  bm.destroy(icon);
  EXPECT_EQ(hostemu::liveBitmaps(), 0u);
}

struct ImageCase {
  const char *name;
  bool exists;
  std::string_view content;
  int32_t result;
};

class BadImageTest : public ResourcesTest, public ::testing::WithParamInterface<ImageCase> {};

TEST_P(BadImageTest, IsRefusedWithItsReason) {
  const std::filesystem::path path = dir / "icon.tif";
  if (GetParam().exists)
    WriteFile(path, std::string(GetParam().content));
  HostBitmap *bitmap = bm.create();
  HostFilename file{path};
  EXPECT_EQ(bm.loadFile(bitmap, &file, -1, nullptr), GetParam().result);
  EXPECT_EQ(bitmap->width, 0);
  bm.destroy(bitmap);
}

INSTANTIATE_TEST_SUITE_P(Cases, BadImageTest,
                         ::testing::Values(ImageCase{"Missing", false, "", IMAGERESULT_NOTEXISTING},
                                           ImageCase{"NotATiff", true, "GIF89a", IMAGERESULT_WRONGTYPE},
                                           ImageCase{"TruncatedTiff", true, std::string_view("II*\0\x08\0\0", 7),
                                                     IMAGERESULT_FILEERROR}),
                         [](const auto &info) { return std::string(info.param.name); });

struct JoinCase {
  const char *directory;
  const char *component;
  const char *joined;
};

class FilenameTest : public ::testing::Test {
 protected:
  Host host;
  const HostFilenameTable &fn = *hostemu::filenameTable();
};

TEST_F(FilenameTest, JoinDirectoryNameAndComparison) {
  const JoinCase joins[] = {{"/plugins/kwantel", "res", "/plugins/kwantel/res"}, {"", "res", "res"}};
  for (const JoinCase &c : joins) {
    HostFilename *name = fn.create();
    name->path = c.directory;
    HostString *component = hostemu::makeString(c.component);
    fn.join(name, component, name);
    host.kernel().release(component);
    EXPECT_EQ(name->path, c.joined) << c.directory << " + " << c.component;
    fn.destroy(name);
  }

  HostFilename module{"/plugins/kwantel/kwantel.so"}, directory;
  fn.getDirectory(&module, &directory);
  EXPECT_EQ(directory.path, "/plugins/kwantel");
  HostString *stem = fn.getFileName(&module, true);
  EXPECT_EQ(hostemu::textOf(stem), "kwantel");
  host.kernel().release(stem);

  HostFilename same{"/plugins/./kwantel/"}, other{"/plugins/other"};
  EXPECT_TRUE(fn.equals(&directory, &same));
  EXPECT_FALSE(fn.equals(&directory, &other));
  EXPECT_EQ(hostemu::liveFilenames(), 0u);
}

}  // namespace
