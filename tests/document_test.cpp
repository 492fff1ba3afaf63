// The emulator's documents: trees, selection, the bounding-box centre and
// the points the host hands out, mostly through the Bo, Bd and At tables.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <string>
#include <vector>

#include "bit_exact.h"
#include "document.h"
#include "host.h"
#include "journal.h"
#include "kernel.h"
#include "tables.h"
#include "utf8.h"

namespace {

using bit_exact::SameBits;
using hostemu::Document;
using hostemu::ObjectKind;

const HostObjectTable &Bo() {
  return *hostemu::objectTable();
}
const HostDocumentTable &Bd() {
  return *hostemu::documentTable();
}
const HostObjectArrayTable &At() {
  return *hostemu::objectArrayTable();
}

std::string Names(const std::vector<HostObject *> &objects) {
  std::string names;
  for (const HostObject *o : objects)
    names += (names.empty() ? "" : " ") + o->name;
  return names;
}

// Tree used by the selection cases:
//   P
//     C1
//       G
//     C2
//     Q
//   R
class SelectionTest : public ::testing::Test {
 protected:
  SelectionTest() {
    HostObject &c1 = doc.addObject(&p, "C1", ObjectKind::nullObject);
    doc.addObject(&c1, "G", ObjectKind::pointObject);
    doc.addObject(&p, "C2", ObjectKind::nullObject);
    doc.addObject(&p, "Q", ObjectKind::nullObject);
    doc.addObject(nullptr, "R", ObjectKind::nullObject);
  }

  // The selection as the module sees it, through the tables.
  std::string Active(int32_t flags) {
    HostObjectArray *array = At().create();
    Bd().getActiveObjects(&doc, array, flags);
    std::vector<HostObject *> listed;
    for (int32_t i = 0; i < At().getCount(array); ++i)
      listed.push_back(At().getIndex(array, i));
    EXPECT_EQ(At().getIndex(array, At().getCount(array)), nullptr);
    EXPECT_EQ(At().getIndex(array, -1), nullptr);
    At().destroy(array);
    return Names(listed);
  }

  hostemu::Host host;
  Document doc;
  HostObject &p = doc.addObject(nullptr, "P", ObjectKind::nullObject);
};

struct SelectionCase {
  std::vector<const char *> selected;
  const char *withNone;
  const char *withChildren;
};

TEST_F(SelectionTest, FlagsDecideWhetherSelectedObjectsBelowOthersAreListed) {
  const SelectionCase cases[] = {
      {{}, "", ""},
      {{"P"}, "P", "P"},
      {{"P", "Q"}, "P", "P Q"},
      {{"G", "P"}, "P", "P G"},
      {{"C1", "G", "R"}, "C1 R", "C1 G R"},
      {{"R", "C2", "G"}, "G C2 R", "G C2 R"},
  };
  for (const SelectionCase &c : cases) {
    doc.clearSelection();
    for (const char *name : c.selected)
      doc.find(name).object->selected = true;
    SCOPED_TRACE(::testing::PrintToString(c.selected));
    EXPECT_EQ(Active(GETACTIVEOBJECTFLAGS_NONE), c.withNone);
    EXPECT_EQ(Active(GETACTIVEOBJECTFLAGS_CHILDREN), c.withChildren);
  }
  EXPECT_EQ(host.kernel().liveObjectArrays(), 0u);
}

TEST_F(SelectionTest, WalksFollowTheLinksTheTablesHandOut) {
  std::vector<HostObject *> whole;
  for (HostObject *o = Bd().getFirstObject(&doc); o != nullptr; o = Document::nextInTree(o))
    whole.push_back(o);
  EXPECT_EQ(Names(whole), "P C1 G C2 Q R");

  HostObject *c1 = doc.find("P/C1").object;
  std::vector<HostObject *> subtree;
  for (HostObject *o = c1; o != nullptr; o = Document::nextInSubtree(o, c1))
    subtree.push_back(o);
  EXPECT_EQ(Names(subtree), "C1 G") << "the subtree never reaches C1's sibling or parent";

  EXPECT_EQ(Bo().getDown(&p), c1);
  EXPECT_EQ(Bo().getNext(c1)->name, "C2");
  EXPECT_EQ(Bo().getUp(c1), &p);
  EXPECT_EQ(Bo().getUp(&p), nullptr);
  EXPECT_EQ(Bo().getDown(doc.find("G").object), nullptr);
  EXPECT_EQ(doc.find("Q").object->previous()->name, "C2");
}

TEST_F(SelectionTest, PathsFindExactlyOneObject) {
  doc.addObject(nullptr, "R", ObjectKind::nullObject);  // a second top-level R
  struct {
    const char *path;
    size_t matches;
    const char *found;
  } const cases[] = {
      {"P/C1/G", 1, "G"}, {"G", 1, "G"}, {"C1/G", 0, "-"}, {"P/X", 0, "-"},
      {"R", 2, "-"},      {"", 0, "-"},  {"P/", 0, "-"},   {"/P", 0, "-"},
  };
  for (const auto &c : cases) {
    hostemu::PathLookup lookup = doc.find(c.path);
    EXPECT_EQ(lookup.matches, c.matches) << c.path;
    EXPECT_EQ(lookup.object ? lookup.object->name : "-", c.found) << c.path;
  }
  EXPECT_EQ(Document::pathOf(doc.find("P/C1/G").object), "P/C1/G");
  EXPECT_EQ(Document::pathOf(doc.firstObject()->next()->next()), "R[1]") << "siblings that share a name";
}

TEST(DocumentCentre, DefaultsToTheMiddleOfThePointsBoxUnlessOverridden) {
  hostemu::Host host;
  Document doc;
  constexpr double nan = std::numeric_limits<double>::quiet_NaN();
  constexpr double largest = std::numeric_limits<double>::max();
  struct {
    const char *name;
    std::vector<HostVector> points;
    HostVector centre;
  } const cases[] = {
      {"no points", {}, {0.0, 0.0, 0.0}},
      {"one point", {{1.0, -2.0, 3.5}}, {1.0, -2.0, 3.5}},
      {"box off the origin", {{-1.5, 0.5, 1.0}, {2.5, 1.5, 1.0}, {0.0, 1.0, 5.0}}, {0.5, 1.0, 3.0}},
      {"NaN coordinates are left out", {{nan, 1.0, 2.0}, {4.0, 3.0, nan}, {2.0, nan, 4.0}}, {3.0, 2.0, 3.0}},
      {"no overflow at the largest numbers", {{largest, 0.0, 0.0}, {largest, 0.0, 0.0}}, {largest, 0.0, 0.0}},
  };
  for (const auto &c : cases) {
    HostObject &o = doc.addObject(nullptr, c.name, ObjectKind::pointObject);
    o.points = c.points;
    HostVector centre;
    Bo().getMp(&o, &centre);
    EXPECT_TRUE(SameBits(centre, c.centre)) << c.name;
    o.centerOverride = HostVector{-0.0, 7.0, nan};
    Bo().getMp(&o, &centre);
    EXPECT_TRUE(SameBits(centre, *o.centerOverride)) << c.name;
  }
}

TEST(DocumentPoints, TheHostHandsOutPointsOnlyOfUnlockedPointObjects) {
  hostemu::Host host;
  Document doc;
  HostObject &plain = doc.addObject(nullptr, "Null", ObjectKind::nullObject);
  HostObject &cube = doc.addObject(nullptr, "Cube", ObjectKind::pointObject);
  cube.points = {{-1.0, -1.0, -1.0}, {1.0, 1.0, 1.0}};
  HostObject &locked = doc.addObject(nullptr, "Locked", ObjectKind::pointObject);
  locked.points = cube.points;
  locked.pointsLocked = true;
  HostObject &empty = doc.addObject(nullptr, "Empty", ObjectKind::pointObject);

  EXPECT_FALSE(Bo().isInstanceOf(&plain, POINT_OBJECT_TYPE));
  EXPECT_TRUE(Bo().isInstanceOf(&cube, POINT_OBJECT_TYPE));

  auto *points = static_cast<HostVector *>(Bo().getTagDataW(&cube, POINT_TAG_TYPE, 0));
  ASSERT_EQ(points, cube.points.data());
  EXPECT_EQ(Bo().getTagDataCount(&cube, POINT_TAG_TYPE), 2);
  points[1].x = 3.0;  // written in place, as the module does
  EXPECT_EQ(cube.points[1].x, 3.0);
  EXPECT_EQ(Bo().getTagDataW(&cube, POINT_TAG_TYPE + 1, 0), nullptr);
  EXPECT_EQ(Bo().getTagDataW(&cube, POINT_TAG_TYPE, 1), nullptr);

  EXPECT_EQ(Bo().getTagDataW(&locked, POINT_TAG_TYPE, 0), nullptr);
  EXPECT_EQ(Bo().getTagDataCount(&locked, POINT_TAG_TYPE), 2) << "the count still answers";

  EXPECT_EQ(Bo().getTagDataW(&plain, POINT_TAG_TYPE, 0), nullptr);
  EXPECT_EQ(Bo().getTagDataCount(&plain, POINT_TAG_TYPE), 0);

  // No points is not "points not accessible".
  EXPECT_NE(Bo().getTagDataW(&empty, POINT_TAG_TYPE, 0), nullptr);
  EXPECT_EQ(Bo().getTagDataCount(&empty, POINT_TAG_TYPE), 0);
}

TEST(DocumentObjects, ValuesNameAndMessagesThroughTheTable) {
  hostemu::Host host;
  Document doc;
  HostObject &o = doc.addObject(nullptr, "Würfel", ObjectKind::pointObject);
  EXPECT_TRUE(SameBits(o.scale, HostVector{1.0, 1.0, 1.0})) << "a new object has scale 1";

  const HostVector value{-0.0, std::numeric_limits<double>::quiet_NaN(), 1e-320};
  using Setter = void (*)(HostObject *, const HostVector *);
  using Getter = void (*)(const HostObject *, HostVector *);
  const std::pair<Setter, Getter> slots[] = {
      {Bo().setRelPos, Bo().getRelPos}, {Bo().setRelRot, Bo().getRelRot}, {Bo().setRelScale, Bo().getRelScale}};
  for (const auto &[set, get] : slots) {
    set(&o, &value);
    HostVector read{};
    get(&o, &read);
    EXPECT_TRUE(SameBits(read, value));
  }

  HostString *name = Bo().getName(&o);
  EXPECT_EQ(hostemu::textOf(name), "Würfel");
  EXPECT_EQ(host.kernel().liveStrings(), 1u) << "the caller owns the name";
  hostemu::kernelInterface()->free(name);

  EXPECT_TRUE(Bo().message(&o, MSG_UPDATE_CODE, nullptr));
  EXPECT_TRUE(Bo().message(&o, MSG_UPDATE_CODE + 1, nullptr));
  EXPECT_EQ(o.updateMessages, 1u);
}

TEST(DocumentJournal, RecordsObjectsByPathAndVectorsAsNumbers) {
  hostemu::Host host;
  Document doc;
  HostObject &parent = doc.addObject(nullptr, "P", ObjectKind::nullObject);
  HostObject &child = doc.addObject(&parent, "Cube", ObjectKind::pointObject);
  HostObjectArray *array = At().create();
  host.journal().setEnabled(true);

  const HostVector value{-0.0, std::numeric_limits<double>::infinity(), 0.1};
  Bd().startUndo(&doc);
  Bd().addUndo(&doc, UNDOTYPE_CHANGE, &child, false);
  Bo().setRelPos(&child, &value);
  Bo().message(&child, MSG_UPDATE_CODE, nullptr);
  Bd().getActiveObjects(&doc, array, GETACTIVEOBJECTFLAGS_CHILDREN);
  Bd().endUndo(&doc);
  At().destroy(array);

  std::vector<std::string> seen;
  for (const hostemu::JournalEntry &entry : host.journal().entries())
    seen.push_back(entry.service + entry.args.dump());
  EXPECT_EQ(seen, (std::vector<std::string>{
                      R"(Bd.startUndo["Untitled"])",
                      R"(Bd.addUndo["Untitled",40,"P/Cube",false])",
                      R"(Bo.setRelPos["P/Cube",[-0.0,"Infinity",0.1]])",
                      R"(Bo.message["P/Cube",5,null])",
                      R"(Bd.getActiveObjects["Untitled","array#1",1])",
                      R"(Bd.endUndo["Untitled"])",
                      R"(At.destroy["array#1"])",
                  }));
}

// The journal keeps the paths it names objects by; they must stay those that
// pathOf works out afresh, also as objects are added between calls.
TEST(DocumentJournal, KeptPathsFollowTheTreeAsItGrows) {
  hostemu::Host host;
  Document doc;
  HostObject &a0 = doc.addObject(nullptr, "A", ObjectKind::nullObject);
  doc.addObject(nullptr, "B", ObjectKind::nullObject);
  HostObject &a1 = doc.addObject(nullptr, "A", ObjectKind::nullObject);
  doc.addObject(&a0, "X", ObjectKind::nullObject);
  HostObject &y = doc.addObject(&a0, "Y", ObjectKind::nullObject);
  doc.addObject(&a0, "X", ObjectKind::nullObject);
  HostObject &z = doc.addObject(&y, "Z", ObjectKind::pointObject);
  doc.addObject(&a1, "caf\xE9", ObjectKind::nullObject);                     // not UTF-8
  HostObject &cut = doc.addObject(&a1, "\xE2\x82", ObjectKind::nullObject);  // a cut sequence
  doc.addObject(&a1, "\xE2\x82", ObjectKind::nullObject);
  HostObject *deep = &z;
  for (int level = 0; level < 50; ++level)
    deep = &doc.addObject(deep, "Link", ObjectKind::nullObject);

  auto expectAllMatch = [&doc] {
    for (HostObject *o = doc.firstObject(); o != nullptr; o = Document::nextInTree(o))
      EXPECT_EQ(Document::journalPathOf(o), hostemu::validUtf8(Document::pathOf(o))) << Document::pathOf(o);
  };
  expectAllMatch();
  EXPECT_EQ(Document::journalPathOf(&z), "A[0]/Y/Z");
  EXPECT_EQ(Document::journalPathOf(&cut), "A[1]/\xEF\xBF\xBD\xEF\xBF\xBD[0]");

  doc.addObject(&a0, "Y", ObjectKind::nullObject);  // Y now has a namesake
  expectAllMatch();
  host.journal().setEnabled(true);
  HostVector position{};
  Bo().getRelPos(&z, &position);
  ASSERT_EQ(host.journal().entries().size(), 1u);
  EXPECT_EQ(host.journal().entries()[0].args.dump(), R"(["A[0]/Y[0]/Z"])");
}

TEST(DocumentDeathTest, NullHandlesAreFaultsOfTheModule) {
  GTEST_FLAG_SET(death_test_style, "threadsafe");
  hostemu::Host host;
  HostVector out;
  EXPECT_DEATH(Bo().getRelPos(nullptr, &out), "Bo.getRelPos: the object is null");
  EXPECT_DEATH(Bd().startUndo(nullptr), "Bd.startUndo: the document is null");
  Document doc;
  HostObjectArray stranger;
  EXPECT_DEATH(Bd().getActiveObjects(&doc, &stranger, 0), "the object array is not live");
}

// A chain deeper than any stack allows for recursion, walked and destroyed.
TEST(DocumentScale, AChainAHundredThousandDeep) {
  hostemu::Host host;
  constexpr int depth = 100000;
  {
    Document doc;
    HostObject *parent = nullptr;
    for (int i = 0; i < depth; ++i)
      parent = &doc.addObject(parent, "L", ObjectKind::nullObject);
    parent->selected = true;
    doc.firstObject()->selected = true;

    int visited = 0;
    for (HostObject *o = doc.firstObject(); o != nullptr; o = Document::nextInTree(o))
      ++visited;
    EXPECT_EQ(visited, depth);
    std::vector<HostObject *> active;
    doc.activeObjects(active, GETACTIVEOBJECTFLAGS_NONE);
    EXPECT_EQ(active.size(), 1u);
    doc.activeObjects(active, GETACTIVEOBJECTFLAGS_CHILDREN);
    EXPECT_EQ(active.size(), 2u);
    EXPECT_EQ(doc.objectCount(), static_cast<size_t>(depth));
  }
}

TEST(DocumentScale, AMillionObjectsAndTenMillionPoints) {
  hostemu::Host host;
  Document doc;
  for (int i = 0; i < 1000; ++i) {
    HostObject &group = doc.addObject(nullptr, "G", ObjectKind::nullObject);
    for (int j = 0; j < 999; ++j)
      doc.addObject(&group, "N", ObjectKind::nullObject);
  }
  HostObject &mesh = doc.addObject(nullptr, "Mesh", ObjectKind::pointObject);
  mesh.points.assign(10000000, HostVector{1.0, 2.0, 3.0});
  mesh.points.back() = HostVector{3.0, 4.0, 5.0};
  EXPECT_EQ(doc.objectCount(), 1000001u);

  size_t visited = 0;
  for (HostObject *o = Bd().getFirstObject(&doc); o != nullptr; o = Document::nextInTree(o))
    ++visited;
  EXPECT_EQ(visited, 1000001u);
  EXPECT_EQ(Bo().getTagDataCount(&mesh, POINT_TAG_TYPE), 10000000);
  HostVector centre;
  Bo().getMp(&mesh, &centre);
  EXPECT_TRUE(SameBits(centre, HostVector{2.0, 3.0, 4.0}));
}

}  // namespace
