// One object through the emulated host: what is written, in which order, with
// which undo records, and the size computed from the points.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <limits>
#include <memory>

#include "bit_exact.h"
#include "console.h"
#include "core_binding.h"
#include "document.h"
#include "kernel.h"
#include "rounding.h"

namespace {

using bit_exact::SameBits;
using hostemu::ObjectKind;
using kwantel::RoundSettings;
using kwantel::Vector;

constexpr double kInf = std::numeric_limits<double>::infinity();
constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();

class RoundObjectTest : public ::testing::Test {
 protected:
  RoundObjectTest() {
    auto document = std::make_unique<hostemu::Document>();
    document_ = document.get();
    host_.setActiveDocument(std::move(document));
    std::memset(&settings_, 0, sizeof settings_);
    kwantel::SetDefaults(settings_);
    kwantel::DeriveFactors(settings_);
  }

  HostObject &AddPolygon(const char *name, std::vector<HostVector> points) {
    HostObject &object = document_->addObject(nullptr, name, ObjectKind::pointObject);
    object.points = std::move(points);
    return object;
  }

  void Round(HostObject *object) {
    host_.journal().setEnabled(true);
    kwantel::RoundObject(settings_, document_, object);
    host_.journal().setEnabled(false);
  }

  std::vector<std::string> Calls() {
    return JournalServices(host_.journal(), {"Bo.getRel", "Bo.setRel", "Bd.addUndo", "Bo.message"});
  }

  hostemu::Host host_;
  CoreBinding binding_{host_};
  hostemu::Document *document_ = nullptr;
  RoundSettings settings_;
};

TEST_F(RoundObjectTest, EachWriteFollowsItsOwnUndoRecordThenTheUpdateMessage) {
  HostObject &cube = document_->addObject(nullptr, "Cube", ObjectKind::nullObject);
  cube.position = {1.26, -0.75, 2.5};
  cube.rotation = {0.5, -0.1, 3.0};
  cube.scale = {1.04, 0.96, 2.0};
  settings_.positionStep = 0.5;
  settings_.rotationStep = 5 * kwantel::RADIANS_PER_DEGREE;
  settings_.target = kwantel::SCALE;
  kwantel::DeriveFactors(settings_);

  Round(&cube);

  EXPECT_EQ(Calls(),
            (std::vector<std::string>{"Bo.getRelPos", "Bd.addUndo", "Bo.setRelPos", "Bo.getRelRot", "Bd.addUndo",
                                      "Bo.setRelRot", "Bo.getRelScale", "Bd.addUndo", "Bo.setRelScale", "Bo.message"}));
  for (const hostemu::JournalEntry &entry : host_.journal().entries()) {
    if (entry.service == "Bd.addUndo") {
      EXPECT_EQ(entry.args[1], UNDOTYPE_CHANGE);
      EXPECT_EQ(entry.args[3], false);
    }
    if (entry.service == "Bo.message") {
      EXPECT_EQ(entry.args[1], MSG_UPDATE_CODE);
      EXPECT_TRUE(entry.args[2].is_null());
    }
  }
  EXPECT_TRUE(SameBits(cube.position, Vector{1.5, -1.0, 2.5}));
  EXPECT_TRUE(SameBits(cube.rotation, Vector{30.0 * kwantel::RADIANS_PER_DEGREE, -5.0 * kwantel::RADIANS_PER_DEGREE,
                                             170.0 * kwantel::RADIANS_PER_DEGREE}));
  EXPECT_TRUE(SameBits(cube.scale, Vector{10.0 * 0.1, 10.0 * 0.1, 20.0 * 0.1}));
  EXPECT_EQ(cube.updateMessages, 1u);
}

struct FlagCase {
  const char *name;
  bool position;
  bool rotation;
  bool scale;
  int32_t target;
  size_t undoRecords;
};

void PrintTo(const FlagCase &c, std::ostream *out) {
  *out << c.name;
}

class RoundObjectFlagsTest : public RoundObjectTest, public ::testing::WithParamInterface<FlagCase> {};

TEST_P(RoundObjectFlagsTest, OneUndoRecordPerRoundedQuantityAndAlwaysTheMessage) {
  const FlagCase &c = GetParam();
  // A null object: with target size it cannot be sized and gets no record.
  HostObject &object = document_->addObject(nullptr, "Null", ObjectKind::nullObject);
  settings_.roundPosition = c.position;
  settings_.roundRotation = c.rotation;
  settings_.roundScale = c.scale;
  settings_.target = c.target;

  Round(&object);

  EXPECT_EQ(JournalServices(host_.journal(), {"Bd.addUndo"}).size(), c.undoRecords);
  EXPECT_EQ(JournalServices(host_.journal(), {"Bo.message"}).size(), 1u);
  EXPECT_EQ(object.updateMessages, 1u);
}

INSTANTIATE_TEST_SUITE_P(Flags, RoundObjectFlagsTest,
                         ::testing::Values(FlagCase{"position_only", true, false, false, kwantel::SIZE, 1},
                                           FlagCase{"all_with_scale", true, true, true, kwantel::SCALE, 3},
                                           FlagCase{"all_with_size_of_null", true, true, true, kwantel::SIZE, 2},
                                           FlagCase{"none", false, false, false, kwantel::SCALE, 0},
                                           FlagCase{"target_other_than_one_sizes", false, false, true, 7, 0}),
                         [](const auto &info) { return std::string(info.param.name); });

TEST_F(RoundObjectTest, NullObjectCallsNothing) {
  Round(nullptr);
  EXPECT_TRUE(host_.journal().entries().empty());
}

std::vector<HostVector> Corners(double x, double y, double z) {
  std::vector<HostVector> corners;
  for (double sx : {-1.0, 1.0}) {
    for (double sy : {-1.0, 1.0}) {
      for (double sz : {-1.0, 1.0}) {
        corners.push_back({sx * x, sy * y, sz * z});
      }
    }
  }
  return corners;
}

struct SizeCase {
  const char *name;
  HostVector half;
  int32_t mode;
  HostVector expectedHalf;
};

void PrintTo(const SizeCase &c, std::ostream *out) {
  *out << c.name;
}

class RoundSizeTest : public RoundObjectTest, public ::testing::WithParamInterface<SizeCase> {};

TEST_P(RoundSizeTest, MovesTheCornersToTheRoundedSize) {
  const SizeCase &c = GetParam();
  HostObject &box = AddPolygon("Box", Corners(c.half.x, c.half.y, c.half.z));
  settings_.sizeMode = c.mode;
  host_.journal().setEnabled(true);
  EXPECT_TRUE(kwantel::RoundSizeByPoints(settings_, document_, &box));
  std::vector<HostVector> expected = Corners(c.expectedHalf.x, c.expectedHalf.y, c.expectedHalf.z);
  ASSERT_EQ(box.points.size(), expected.size());
  for (size_t i = 0; i < expected.size(); ++i) {
    // A flattened axis lands on the centre plus 0.0, never on -0.0.
    expected[i].y += 0.0;
    EXPECT_TRUE(SameBits(box.points[i], expected[i])) << "corner " << i;
  }
  EXPECT_EQ(JournalServices(host_.journal(), {"Bd.addUndo"}).size(), 1u);
}

INSTANTIATE_TEST_SUITE_P(Corners, RoundSizeTest,
                         ::testing::Values(SizeCase{"nearest", {1.6, 0.4, 1.0}, kwantel::NEAREST, {1.5, 0.5, 1.0}},
                                           // The y extent 0.8 rounds down to nothing: the box is flattened.
                                           SizeCase{
                                               "lowest_flattens", {1.6, 0.4, 1.0}, kwantel::LOWEST, {1.5, 0.0, 1.0}},
                                           SizeCase{"highest", {1.6, 0.4, 1.0}, kwantel::HIGHEST, {2.0, 0.5, 1.0}},
                                           // Each axis is guarded only by its own half extent.
                                           SizeCase{"flat_in_y", {1.6, 0.0, 1.3}, kwantel::NEAREST, {1.5, 0.0, 1.5}}),
                         [](const auto &info) { return std::string(info.param.name); });

TEST_F(RoundObjectTest, SizeIsMeasuredAboutTheCentreAwayFromTheOrigin) {
  HostObject &box = AddPolygon("Box", {{9.0, 9.0, 9.0}, {11.5, 9.0, 9.0}});
  settings_.roundPosition = false;
  settings_.roundRotation = false;

  Round(&box);

  // Centre (10.25, 9, 9): the x extent 2.5 rounds to 3 about it; y and z are
  // flat and stay at the centre.
  EXPECT_TRUE(SameBits(box.points[0], Vector{8.75, 9.0, 9.0}));
  EXPECT_TRUE(SameBits(box.points[1], Vector{11.75, 9.0, 9.0}));
}

struct UnsizableCase {
  const char *name;
  bool pointObject;
  bool locked;
  bool warnings;
  const char *line;  // null: nothing is written
};

void PrintTo(const UnsizableCase &c, std::ostream *out) {
  *out << c.name;
}

class UnsizableTest : public RoundObjectTest, public ::testing::WithParamInterface<UnsizableCase> {};

TEST_P(UnsizableTest, KeepsThePointsWarnsOnlyWhenAskedAndStillSendsTheMessage) {
  const UnsizableCase &c = GetParam();
  HostObject &object =
      document_->addObject(nullptr, "Odd Name", c.pointObject ? ObjectKind::pointObject : ObjectKind::nullObject);
  if (c.pointObject) {
    object.points = {{-1.6, 0.0, 0.0}, {1.6, 0.0, 0.0}};
  }
  object.pointsLocked = c.locked;
  const std::vector<HostVector> before = object.points;
  settings_.roundPosition = false;
  settings_.roundRotation = false;
  settings_.warnings = c.warnings;

  Round(&object);

  EXPECT_EQ(JournalServices(host_.journal(), {"Bd.addUndo"}).size(), 0u);
  EXPECT_EQ(object.updateMessages, 1u);
  ASSERT_EQ(object.points.size(), before.size());
  for (size_t i = 0; i < before.size(); ++i) {
    EXPECT_TRUE(SameBits(object.points[i], before[i]));
  }
  const auto &lines = host_.console().lines();
  if (c.line == nullptr) {
    EXPECT_TRUE(lines.empty());
    EXPECT_TRUE(JournalServices(host_.journal(), {"Bo.getName"}).empty());
  } else {
    ASSERT_EQ(lines.size(), 1u);
    EXPECT_EQ(lines[0].text, c.line);
    EXPECT_EQ(lines[0].file, "source/rounding.cpp");
    EXPECT_GT(lines[0].line, 0);
    EXPECT_EQ(lines[0].audience, TARGETAUDIENCE_ALL);
    EXPECT_EQ(lines[0].meta, WRITEMETA_DEFAULT);
  }
  EXPECT_EQ(host_.kernel().liveStrings(), 0u);
}

INSTANTIATE_TEST_SUITE_P(Objects, UnsizableTest,
                         ::testing::Values(UnsizableCase{"null_quiet", false, false, false, nullptr},
                                           UnsizableCase{"null_warns", false, false, true,
                                                         "Object Odd Name is not a point object"},
                                           UnsizableCase{"locked_quiet", true, true, false, nullptr},
                                           UnsizableCase{"locked_warns", true, true, true,
                                                         "Object Odd Name has points but the points not accessible"}),
                         [](const auto &info) { return std::string(info.param.name); });

TEST_F(RoundObjectTest, PolygonWithScaleTargetKeepsItsPoints) {
  HostObject &box = AddPolygon("Box", Corners(1.6, 0.4, 1.0));
  box.scale = {1.04, 1.0, 1.0};
  settings_.target = kwantel::SCALE;
  Round(&box);
  EXPECT_TRUE(SameBits(box.points[0], Vector{-1.6, -0.4, -1.0}));
  EXPECT_TRUE(SameBits(box.scale.x, 10.0 * 0.1));
}

TEST_F(RoundObjectTest, PointObjectWithoutPointsStaysEmpty) {
  HostObject &empty = AddPolygon("Empty", {});
  settings_.roundPosition = false;
  settings_.roundRotation = false;
  Round(&empty);
  EXPECT_TRUE(empty.points.empty());
  EXPECT_EQ(empty.updateMessages, 1u);
}

// A factor that is not finite and positive would write NaN or round the wrong
// way: that quantity is left alone, the others are rounded as usual.
enum class Quantity { POSITION, ROTATION, SCALE, SIZE };

struct BadFactorCase {
  const char *name;
  double RoundSettings::*factor;
  double value;
  Quantity skipped;
};

void PrintTo(const BadFactorCase &c, std::ostream *out) {
  *out << c.name;
}

class BadFactorTest : public RoundObjectTest, public ::testing::WithParamInterface<BadFactorCase> {};

TEST_P(BadFactorTest, LeavesOnlyThatQuantityUntouched) {
  const BadFactorCase &c = GetParam();
  HostObject &box = AddPolygon("Box", Corners(1.6, 0.4, 1.0));
  box.position = {0.3, 0.6, 0.0};
  box.rotation = {0.5, 0.0, 0.0};
  box.scale = {1.04, 1.0, 1.0};
  const HostObject before = box;
  const bool scaleTarget = c.skipped == Quantity::SCALE;
  settings_.target = scaleTarget ? kwantel::SCALE : kwantel::SIZE;
  settings_.*c.factor = c.value;

  Round(&box);

  // Sizing writes the points directly: an undo record without a setter.
  std::vector<std::string> expected;
  const std::pair<Quantity, const char *> quantities[] = {{Quantity::POSITION, "Bo.setRelPos"},
                                                          {Quantity::ROTATION, "Bo.setRelRot"},
                                                          {Quantity::SCALE, "Bo.setRelScale"},
                                                          {Quantity::SIZE, nullptr}};
  for (const auto &[quantity, setter] : quantities) {
    const bool rounded = quantity == Quantity::SCALE ? scaleTarget : quantity == Quantity::SIZE ? !scaleTarget : true;
    if (!rounded || quantity == c.skipped) {
      continue;
    }
    expected.push_back("Bd.addUndo");
    if (setter != nullptr) {
      expected.push_back(setter);
    }
  }
  EXPECT_EQ(JournalServices(host_.journal(), {"Bo.setRel", "Bd.addUndo"}), expected);
  EXPECT_EQ(SameBits(box.position, before.position), c.skipped == Quantity::POSITION);
  EXPECT_EQ(SameBits(box.rotation, before.rotation), c.skipped == Quantity::ROTATION);
  EXPECT_EQ(SameBits(box.scale, before.scale), !scaleTarget || c.skipped == Quantity::SCALE);
  EXPECT_EQ(SameBits(box.points[0], before.points[0]), scaleTarget || c.skipped == Quantity::SIZE);
  for (const HostVector &p : box.points) {
    EXPECT_FALSE(std::isnan(p.x) || std::isnan(p.y) || std::isnan(p.z));
  }
  EXPECT_EQ(box.updateMessages, 1u);
}

INSTANTIATE_TEST_SUITE_P(
    Factors, BadFactorTest,
    ::testing::Values(BadFactorCase{"position_infinite", &RoundSettings::positionFactor, kInf, Quantity::POSITION},
                      BadFactorCase{"position_nan", &RoundSettings::positionFactor, kNaN, Quantity::POSITION},
                      BadFactorCase{"rotation_zero", &RoundSettings::rotationFactor, 0.0, Quantity::ROTATION},
                      BadFactorCase{"rotation_negative", &RoundSettings::rotationFactor, -1.0, Quantity::ROTATION},
                      BadFactorCase{"scale_infinite", &RoundSettings::scaleFactor, kInf, Quantity::SCALE},
                      BadFactorCase{"scale_negative_zero", &RoundSettings::scaleFactor, -0.0, Quantity::SCALE},
                      BadFactorCase{"size_infinite", &RoundSettings::sizeFactor, kInf, Quantity::SIZE},
                      BadFactorCase{"size_nan", &RoundSettings::sizeFactor, kNaN, Quantity::SIZE},
                      BadFactorCase{"size_negative", &RoundSettings::sizeFactor, -2.0, Quantity::SIZE}),
    [](const auto &info) { return std::string(info.param.name); });

}  // namespace

namespace {

// Values near the largest double overflow when a step's factor scales them:
// that quantity keeps its value instead of turning infinite, the rest of the
// object is rounded as usual.
struct OverflowCase {
  const char *name;
  Quantity skipped;
};

void PrintTo(const OverflowCase &c, std::ostream *out) {
  *out << c.name;
}

class OverflowTest : public RoundObjectTest, public ::testing::WithParamInterface<OverflowCase> {};

bool Finite(const HostVector &v) {
  return std::isfinite(v.x) && std::isfinite(v.y) && std::isfinite(v.z);
}

TEST_P(OverflowTest, LeavesTheOverflowingQuantityAsItWas) {
  const Quantity skipped = GetParam().skipped;
  HostObject &box = AddPolygon("Box", Corners(1.6, 0.4, 1.0));
  box.position = {0.3, 0.6, 0.0};
  box.rotation = {0.5, 0.0, 0.0};
  box.scale = {1.04, 1.0, 1.0};
  switch (skipped) {
    case Quantity::POSITION:
      box.position.x = 1.7e308;
      break;
    case Quantity::ROTATION:
      box.rotation.y = 2.76e307;  // beyond the largest double once in degrees
      break;
    case Quantity::SCALE:
      box.scale.z = 1.7e308;
      break;
    case Quantity::SIZE:
      box.points = Corners(1.7e308, 0.4, 1.0);  // twice the half extent overflows
      break;
  }
  const bool scaleTarget = skipped == Quantity::SCALE;
  settings_.target = scaleTarget ? kwantel::SCALE : kwantel::SIZE;
  settings_.positionFactor = 10.0;
  settings_.scaleFactor = 10.0;
  const HostObject before = box;

  Round(&box);

  EXPECT_EQ(SameBits(box.position, before.position), skipped == Quantity::POSITION);
  EXPECT_EQ(SameBits(box.rotation, before.rotation), skipped == Quantity::ROTATION);
  EXPECT_EQ(SameBits(box.scale, before.scale), !scaleTarget || skipped == Quantity::SCALE);
  EXPECT_EQ(SameBits(box.points[0], before.points[0]), scaleTarget || skipped == Quantity::SIZE);
  EXPECT_TRUE(Finite(box.position) && Finite(box.rotation) && Finite(box.scale));
  for (const HostVector &p : box.points) {
    EXPECT_TRUE(Finite(p));
  }
  EXPECT_EQ(box.updateMessages, 1u);
}

INSTANTIATE_TEST_SUITE_P(Values, OverflowTest,
                         ::testing::Values(OverflowCase{"position", Quantity::POSITION},
                                           OverflowCase{"rotation", Quantity::ROTATION},
                                           OverflowCase{"scale", Quantity::SCALE},
                                           OverflowCase{"size", Quantity::SIZE}),
                         [](const auto &info) { return std::string(info.param.name); });

}  // namespace
