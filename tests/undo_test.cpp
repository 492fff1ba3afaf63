// Undo groups of the emulator's documents, driven through the Bd and Bo
// tables as the module drives them.
#include <gtest/gtest.h>

#include <bit>
#include <cstdint>
#include <limits>
#include <vector>

#include "bit_exact.h"
#include "document.h"
#include "host.h"
#include "tables.h"

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

// Values whose bits a careless copy would lose.
const double kPayloadNaN = std::bit_cast<double>(uint64_t{0x7ff8000000000123});
const double kNegativeNaN = std::bit_cast<double>(uint64_t{0xfff8000000000000});
constexpr double kSubnormal = 4.9406564584124654e-324;

struct Snapshot {
  HostVector position, rotation, scale;
  std::vector<HostVector> points;
};

Snapshot Take(const HostObject &o) {
  return {o.position, o.rotation, o.scale, o.points};
}

::testing::AssertionResult Holds(const HostObject &o, const Snapshot &want) {
  if (auto r = SameBits(o.position, want.position); !r)
    return r << " (position)";
  if (auto r = SameBits(o.rotation, want.rotation); !r)
    return r << " (rotation)";
  if (auto r = SameBits(o.scale, want.scale); !r)
    return r << " (scale)";
  if (o.points.size() != want.points.size()) {
    return ::testing::AssertionFailure() << o.points.size() << " points, want " << want.points.size();
  }
  for (size_t i = 0; i < o.points.size(); ++i) {
    if (auto r = SameBits(o.points[i], want.points[i]); !r)
      return r << " (point " << i << ")";
  }
  return ::testing::AssertionSuccess();
}

class UndoTest : public ::testing::Test {
 protected:
  UndoTest() {
    cube.position = {-0.0, kPayloadNaN, kSubnormal};
    cube.rotation = {0.5, -0.1, 3.0};
    cube.scale = {1.0, kNegativeNaN, -0.0};
    cube.points = {{-1.6, -0.4, -1.0}, {1.6, 0.4, 1.0}, {-0.0, kPayloadNaN, kSubnormal}};
  }

  // What a rounding pass does to one object: a record before each write.
  void ChangeEverything(HostObject &o, double by) {
    const HostVector moved{by, -by, 0.0};
    Bd().addUndo(&doc, UNDOTYPE_CHANGE, &o, false);
    Bo().setRelPos(&o, &moved);
    Bd().addUndo(&doc, UNDOTYPE_CHANGE, &o, false);
    Bo().setRelRot(&o, &moved);
    Bd().addUndo(&doc, UNDOTYPE_CHANGE, &o, false);
    Bo().setRelScale(&o, &moved);
    auto *points = static_cast<HostVector *>(Bo().getTagDataW(&o, POINT_TAG_TYPE, 0));
    if (points != nullptr) {
      for (int32_t i = 0; i < Bo().getTagDataCount(&o, POINT_TAG_TYPE); ++i)
        points[i].y = by;
    }
  }

  hostemu::Host host;
  Document doc;
  HostObject &cube = doc.addObject(nullptr, "Cube", ObjectKind::pointObject);
  HostObject &plate = doc.addObject(nullptr, "Plate", ObjectKind::pointObject);
};

TEST_F(UndoTest, OneStepRestoresEveryValueAndPointBitForBitAndRedoReappliesIt) {
  plate.points = {{2.0, 0.0, 2.0}, {-2.0, 0.0, -2.0}};
  const Snapshot cubeBefore = Take(cube);
  const Snapshot plateBefore = Take(plate);

  Bd().startUndo(&doc);
  ChangeEverything(cube, 0.25);
  ChangeEverything(plate, -7.5);
  Bd().endUndo(&doc);
  const Snapshot cubeAfter = Take(cube);
  const Snapshot plateAfter = Take(plate);

  for (int round = 0; round < 2; ++round) {
    ASSERT_TRUE(doc.undo());
    EXPECT_TRUE(Holds(cube, cubeBefore));
    EXPECT_TRUE(Holds(plate, plateBefore));
    EXPECT_FALSE(doc.canUndo());
    ASSERT_TRUE(doc.redo());
    EXPECT_TRUE(Holds(cube, cubeAfter));
    EXPECT_TRUE(Holds(plate, plateAfter));
    EXPECT_FALSE(doc.canRedo());
  }
}

TEST_F(UndoTest, ARecordHoldsTheStateAtTheMomentItWasAdded) {
  const HostVector early{1.0, 2.0, 3.0};
  const HostVector late{4.0, 5.0, 6.0};
  Bo().setRelPos(&cube, &early);  // outside any undo record
  Bd().startUndo(&doc);
  Bd().addUndo(&doc, UNDOTYPE_CHANGE, &cube, false);
  Bo().setRelPos(&cube, &late);
  Bd().endUndo(&doc);
  ASSERT_TRUE(doc.undo());
  EXPECT_TRUE(SameBits(cube.position, early));
}

TEST_F(UndoTest, PointsAreCopiedOncePerObjectPerGroup) {
  plate.points = {{1.0, 1.0, 1.0}};
  HostObject &marker = doc.addObject(nullptr, "Null", ObjectKind::nullObject);
  for (int group = 1; group <= 2; ++group) {
    Bd().startUndo(&doc);
    ChangeEverything(cube, group);
    ChangeEverything(plate, group);
    ChangeEverything(marker, group);
    ChangeEverything(cube, group);  // the same object again in the same group
    Bd().endUndo(&doc);
    EXPECT_EQ(doc.pointArrayCopies(), 2u * group);
  }
  EXPECT_EQ(doc.undoStepCount(), 2u);
}

TEST_F(UndoTest, NestedGroupsFormOneStep) {
  const Snapshot before = Take(cube);
  Bd().startUndo(&doc);
  ChangeEverything(cube, 1.0);
  Bd().startUndo(&doc);
  ChangeEverything(plate, 2.0);
  Bd().endUndo(&doc);
  EXPECT_FALSE(doc.undo()) << "the outer group is still open";
  ChangeEverything(cube, 3.0);
  Bd().endUndo(&doc);
  EXPECT_FALSE(Bd().endUndo(&doc)) << "no group left to end";

  EXPECT_EQ(doc.undoStepCount(), 1u);
  ASSERT_TRUE(doc.undo());
  EXPECT_TRUE(Holds(cube, before));
}

TEST_F(UndoTest, ARecordOutsideAGroupIsAStepOfItsOwn) {
  const Snapshot before = Take(cube);
  ChangeEverything(cube, 1.0);  // three records, no group
  EXPECT_EQ(doc.undoStepCount(), 3u);
  ASSERT_TRUE(doc.undo());
  ASSERT_TRUE(doc.undo());
  ASSERT_TRUE(doc.undo());
  EXPECT_TRUE(Holds(cube, before));
}

TEST_F(UndoTest, AChangeAfterAnUndoDropsTheRedoList) {
  Bd().startUndo(&doc);
  ChangeEverything(cube, 1.0);
  Bd().endUndo(&doc);
  ASSERT_TRUE(doc.undo());

  // An empty group changes nothing, so what was undone can still be redone.
  Bd().startUndo(&doc);
  Bd().endUndo(&doc);
  EXPECT_TRUE(doc.canRedo());
  EXPECT_EQ(doc.undoStepCount(), 0u);

  Bd().startUndo(&doc);
  ChangeEverything(plate, 2.0);
  Bd().endUndo(&doc);
  EXPECT_FALSE(doc.canRedo());
  EXPECT_FALSE(doc.redo());
}

TEST_F(UndoTest, RefusesWhatItCannotRecord) {
  Document other;
  HostObject &stranger = other.addObject(nullptr, "Stranger", ObjectKind::nullObject);
  Bd().startUndo(&doc);
  EXPECT_FALSE(Bd().addUndo(&doc, UNDOTYPE_CHANGE + 1, &cube, false)) << "unknown undo type";
  EXPECT_FALSE(Bd().addUndo(&doc, UNDOTYPE_CHANGE, nullptr, false));
  EXPECT_FALSE(Bd().addUndo(&doc, UNDOTYPE_CHANGE, &stranger, false)) << "object of another document";
  Bd().endUndo(&doc);
  EXPECT_FALSE(doc.canUndo());
  EXPECT_FALSE(doc.undo());
  EXPECT_FALSE(doc.redo());
}

// A large undo copy goes into the memory of one released before when that
// fits: what stood there before must never show through.
TEST_F(UndoTest, ACopyInReleasedMemoryRestoresEveryPoint) {
  constexpr size_t kLarge = size_t{1} << 20;  // 24 MB of points: a large copy
  HostObject &big = doc.addObject(nullptr, "Big", ObjectKind::pointObject);
  big.points.resize(kLarge);
  for (size_t i = 0; i < kLarge; ++i)
    big.points[i] = {double(i), -0.0, i % 3 == 0 ? kPayloadNaN : kSubnormal * double(i)};
  HostObject &smaller = doc.addObject(nullptr, "Smaller", ObjectKind::pointObject);
  smaller.points.assign(kLarge * 4 / 5, HostVector{kNegativeNaN, 1.0, -2.0});
  const HostVector *original = big.points.data();

  Bd().startUndo(&doc);
  ChangeEverything(big, 1.0);
  Bd().endUndo(&doc);
  ASSERT_TRUE(doc.undo());
  const Snapshot before = Take(big);

  // The change drops the step that holds the original array, whose memory is
  // then the right size for the copy of the points from before.
  for (int round = 0; round < 2; ++round) {
    Bd().startUndo(&doc);
    ChangeEverything(big, 2.0);
    ChangeEverything(smaller, 3.0);
    Bd().endUndo(&doc);
    const Snapshot bigAfter = Take(big);
    const Snapshot smallerAfter = Take(smaller);
    ASSERT_TRUE(doc.undo());
    EXPECT_TRUE(Holds(big, before));
    if (round == 0) {
      EXPECT_EQ(big.points.data(), original) << "the released array was not reused";
    }
    ASSERT_TRUE(doc.redo());
    EXPECT_TRUE(Holds(big, bigAfter));
    EXPECT_TRUE(Holds(smaller, smallerAfter));
    ASSERT_TRUE(doc.undo());
  }
}

TEST_F(UndoTest, LockedPointsAreRestoredToo) {
  cube.pointsLocked = true;
  const Snapshot before = Take(cube);
  Bd().startUndo(&doc);
  Bd().addUndo(&doc, UNDOTYPE_CHANGE, &cube, false);
  cube.points.clear();  // the host itself may change what it does not hand out
  Bd().endUndo(&doc);
  ASSERT_TRUE(doc.undo());
  EXPECT_TRUE(Holds(cube, before));
}

}  // namespace
