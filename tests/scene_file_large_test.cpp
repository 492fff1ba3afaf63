// Large scenes are formatted and read in parts on all cores: the parts must
// join to the text and the values one pass gives, wherever the parts fall
// and whatever a part runs into.
#include "scene_file.h"

#include "bit_exact.h"
#include "temp_dir.h"

#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <limits>
#include <string>

namespace {

using hostemu::formatScene;
using hostemu::parseScene;
using hostemu::parseSceneInParts;
using hostemu::Scene;
using hostemu::SceneField;
using hostemu::SceneObject;
using hostemu::SceneObjectType;
using hostemu::SceneRead;

// Off-grid values of every length of text, some negative, some -0.0.
double ValueFor(size_t i, int component) {
  const double base = static_cast<double>(i % 9973) * 0.137 + component / 7.0;
  if (i % 1000 == 3)
    return -0.0;
  return i % 3 == 0 ? -base : base;
}

SceneObject NullObject(size_t i, size_t parent) {
  SceneObject object;
  object.name = "Null " + std::to_string(i);
  object.parent = parent;
  object.position = {ValueFor(i, 0), ValueFor(i, 1), ValueFor(i, 2)};
  object.rotation = {ValueFor(i + 1, 0), 0.0, ValueFor(i + 2, 2)};
  for (SceneField field : {SceneField::name, SceneField::type, SceneField::position, SceneField::rotation})
    object.addField(field);
  return object;
}

SceneObject PointObject(size_t count, size_t parent) {
  SceneObject object;
  object.name = "Cloud";
  object.type = SceneObjectType::polygon;
  object.parent = parent;
  for (size_t i = 0; i < count; ++i)
    object.points.push_back(HostVector{ValueFor(i, 0), ValueFor(i, 1), ValueFor(i, 2)});
  for (SceneField field : {SceneField::name, SceneField::type, SceneField::points})
    object.addField(field);
  return object;
}

void ExpectSameScene(const Scene &got, const Scene &want) {
  ASSERT_EQ(got.objects.size(), want.objects.size());
  for (size_t i = 0; i < want.objects.size(); ++i) {
    const SceneObject &a = got.objects[i];
    const SceneObject &b = want.objects[i];
    ASSERT_EQ(a.name, b.name) << i;
    ASSERT_EQ(a.parent, b.parent) << i;
    ASSERT_TRUE(bit_exact::SameBits(a.position, b.position)) << i;
    ASSERT_TRUE(bit_exact::SameBits(a.rotation, b.rotation)) << i;
    ASSERT_EQ(a.points.size(), b.points.size()) << i;
    for (size_t p = 0; p < b.points.size(); ++p)
      ASSERT_TRUE(bit_exact::SameBits(a.points[p], b.points[p])) << "object " << i << " point " << p;
  }
}

Scene MustParse(const std::string &text) {
  SceneRead read = parseScene(text, "large.json");
  EXPECT_FALSE(read.error) << read.error->message;
  return std::move(read.scene);
}

TEST(LargeScenes, PartsFormattedOnAllCoresJoinToOneText) {
  // Runs of top-level objects, a subtree with a point object too large for
  // one part, and an unknown field at the end.
  Scene scene;
  scene.hasObjectsKey = true;
  for (size_t i = 0; i < 150'000; ++i)
    scene.objects.push_back(NullObject(i, hostemu::kNoParent));
  const size_t group = scene.objects.size();
  scene.objects.push_back(NullObject(group, hostemu::kNoParent));
  scene.objects.back().addField(SceneField::children);
  scene.objects.push_back(NullObject(group + 1, group));
  scene.objects.push_back(PointObject(200'000, group));
  for (size_t i = 0; i < 70'000; ++i)
    scene.objects.push_back(NullObject(i, i % 2 == 0 ? hostemu::kNoParent : scene.objects.size() - 1));
  scene.extras.push_back({"comment", "after the objects", 1});

  const std::string text = formatScene(scene);
  const Scene back = MustParse(text);
  ExpectSameScene(back, scene);
  EXPECT_EQ(formatScene(back), text);

  // One object or point a line, and each point line indented alike.
  size_t lines = 0;
  size_t pointLines = 0;
  const std::string pointIndent = "\n        [";
  for (size_t at = text.find('\n'); at != std::string::npos; at = text.find('\n', at + 1)) {
    ++lines;
    pointLines += text.compare(at, pointIndent.size(), pointIndent) == 0;
  }
  size_t parents = 0;
  for (size_t i = 1; i < scene.objects.size(); ++i)
    parents += scene.objects[i].parent == i - 1;
  EXPECT_EQ(pointLines, 200'000u);
  // Besides: the objects array's line, the lines that close each children
  // array, the points array, the objects array, the unknown field, and "}".
  EXPECT_EQ(lines, scene.objects.size() + 200'000u + 1 + parents + 1 + 1 + 1 + 2);
}

TEST(LargeScenes, TextIsHandedOverInOrderAsItIsFormattedAndStopsWhenWritingFails) {
  // Points of one object and runs of objects, each in many pieces.
  Scene scene;
  scene.hasObjectsKey = true;
  scene.objects.push_back(PointObject(300'000, hostemu::kNoParent));
  for (size_t i = 0; i < 100'000; ++i)
    scene.objects.push_back(NullObject(i, hostemu::kNoParent));
  const std::string whole = formatScene(scene);

  std::string joined;
  size_t pieces = 0;
  hostemu::formatScene(scene, [&](std::string_view piece) {
    joined += piece;
    ++pieces;
    return true;
  });
  EXPECT_EQ(joined, whole);
  EXPECT_GT(pieces, 20u);

  // A failed write ends the formatting: nothing more is handed over, and
  // the threads still formatting ahead are not waited for forever.
  for (size_t failAt : {size_t{0}, size_t{3}, pieces / 2}) {
    size_t calls = 0;
    hostemu::formatScene(scene, [&](std::string_view) { return calls++ != failAt; });
    EXPECT_EQ(calls, failAt + 1);
  }
}

TEST(LargeScenes, ALargeFileIsReadInPartsAsOneText) {
  // Some 75 MB of points: the file is read a part per core.
  Scene scene;
  scene.hasObjectsKey = true;
  scene.objects.push_back(PointObject(1'200'000, hostemu::kNoParent));
  TempDir folder;
  const std::filesystem::path file = folder / "large.json";
  ASSERT_EQ(hostemu::writeSceneFile(file, scene), "");
  ASSERT_GT(std::filesystem::file_size(file), size_t{64} << 20);
  const SceneRead read = hostemu::readSceneFile(file);
  ASSERT_FALSE(read.error) << read.error->message;
  ExpectSameScene(read.scene, scene);
}

struct ReadCase {
  const char *name;
  size_t first;    // points of a first point object, before the long one
  size_t second;   // points of the long one
  size_t faultAt;  // a point of the long one written as two numbers; or none
  size_t nanAt;    // a point of the long one that is NaN, written as strings; or none
};

constexpr size_t kNone = static_cast<size_t>(-1);

// 400,000 points make some 24 MB of text: enough to be read in parts.
const ReadCase kReadCases[] = {
    {"OneLongArray", 0, 400'000, kNone, kNone},
    {"AStringNumberLateInTheArray", 0, 400'000, kNone, 390'000},
    {"AFaultLateInTheArray", 0, 400'000, 390'000, kNone},
    // The first array is long enough to be split, but the parts land in
    // the next array: they are dropped and that array is read in its turn.
    {"PartsLandInTheNextArray", 70'000, 400'000, kNone, kNone},
};

class LongPointArrays : public testing::TestWithParam<ReadCase> {};

TEST_P(LongPointArrays, ReadAlikeInParts) {
  const ReadCase &c = GetParam();
  Scene scene;
  scene.hasObjectsKey = true;
  if (c.first > 0)
    scene.objects.push_back(PointObject(c.first, hostemu::kNoParent));
  scene.objects.push_back(PointObject(c.second, hostemu::kNoParent));
  std::vector<HostVector> &points = scene.objects.back().points;
  constexpr double kMarked = 4096.25;
  if (c.faultAt != kNone)
    points[c.faultAt] = HostVector{kMarked, kMarked, kMarked};
  if (c.nanAt != kNone)
    points[c.nanAt].y = std::numeric_limits<double>::quiet_NaN();
  std::string text = formatScene(scene);

  if (c.faultAt != kNone) {
    const std::string marked = "[4096.25, 4096.25, 4096.25]";
    const size_t at = text.find(marked);
    ASSERT_NE(at, std::string::npos);
    text.replace(at, marked.size(), "[4096.25, 4096.25]");
    SceneRead read = parseScene(text, "large.json");
    ASSERT_TRUE(read.error);
    const std::string where =
        "objects[" + std::to_string(scene.objects.size() - 1) + "].points[" + std::to_string(c.faultAt) + "]";
    EXPECT_EQ(read.error->path, where) << read.error->message;
    return;
  }
  ExpectSameScene(MustParse(text), scene);
}

INSTANTIATE_TEST_SUITE_P(LargeScenes, LongPointArrays, testing::ValuesIn(kReadCases),
                         [](const testing::TestParamInfo<ReadCase> &info) { return std::string(info.param.name); });

// A text read in parts must read as in one part, wherever the cuts land:
// between top-level objects, inside a children array, a name, an unknown
// field, or before a fault.
void ExpectSameInParts(const std::string &text) {
  const SceneRead whole = parseScene(text, "s.json");
  for (size_t parts : {2, 3, 5, 9}) {
    const SceneRead split = parseSceneInParts(text, "s.json", parts);
    ASSERT_EQ(split.error.has_value(), whole.error.has_value()) << parts << " parts:\n" << text;
    if (whole.error) {
      EXPECT_EQ(split.error->message, whole.error->message) << parts << " parts";
      EXPECT_EQ(split.error->path, whole.error->path) << parts << " parts";
      continue;
    }
    EXPECT_EQ(formatScene(split.scene), formatScene(whole.scene)) << parts << " parts";
    ExpectSameScene(split.scene, whole.scene);
    EXPECT_EQ(split.unknownFields, whole.unknownFields) << parts << " parts";
    EXPECT_EQ(split.firstUnknownField, whole.firstUnknownField) << parts << " parts";
  }
}

std::string Objects(size_t count, const std::string &each) {
  std::string text;
  for (size_t i = 0; i < count; ++i)
    text += (i == 0 ? "\n    " : ",\n    ") + each;
  return text;
}

TEST(LargeScenes, ATextReadInPartsReadsAsInOne) {
  const std::string plain = R"({"name": "A", "position": [1.5, -0.0, 3], "scale": [1, 2, 1e-300]})";
  const std::string nested = R"({"name": "P", "children": [{"name": "C"}, {"name": "D", "children": [{}, {}]}]})";
  const std::string cases[] = {
      // Top-level objects only, in this program's layout and minified.
      "{\"objects\": [" + Objects(200, plain) + "\n  ]\n}\n",
      "{\"objects\":[" + Objects(60, nested) + "]}",
      // Unknown fields around the objects and in later ones, and a key given
      // before and after the objects.
      "{\"before\": [{\"a\": 1}, {\"b\": 2}], \"objects\": [" + Objects(50, plain) + ", {\"x\": 1}," +
          Objects(50, nested) + "], \"after\": [{\"c\": 3}, {\"d\": 4}, {\"e\": 5}]}",
      "{\"k\": 1, \"objects\": [" + Objects(80, plain) + "], \"k\": 2}",
      // "}, {" inside names and inside an unknown field after the objects.
      "{\"objects\": [" + Objects(40, R"({"name": "}, {"})") + "], \"tail\": [" + Objects(200, "{}") + "]}",
      // Faults late in the text.
      "{\"objects\": [" + Objects(100, plain) + ", {\"type\": \"cube\"}" + Objects(20, plain) + "]}",
      "{\"objects\": [" + Objects(100, plain) + ", {\"name\": \"A\",}]}",
      "{\"objects\": [" + Objects(100, plain) + "]",
      "{\"objects\": [" + Objects(100, plain) + "], \"objects\": []}",
  };
  for (const std::string &text : cases)
    ExpectSameInParts(text);
}

}  // namespace
