// hostemu round, end to end: the module's worked examples through the
// program, each scope, with both flavours of the module.
#include "bit_exact.h"
#include "hostemu_process.h"
#include "scene_file.h"

#include <gtest/gtest.h>

#include <set>
#include <string>
#include <tuple>
#include <vector>

namespace {

using hostemu_test::Flavour;
using hostemu_test::ProgramRun;
using hostemu_test::RunHostemu;
using hostemu_test::ScratchFolder;

constexpr double kRadiansPerDegree = 0.017453292519943295;
const std::string kData = KWANTEL_TEST_DATA;

enum class Field { position, rotation, scale, points };

struct WorkedCase {
  const char *name;
  std::vector<std::string> options;
  const char *object;
  Field field;
  std::vector<HostVector> expected;
};

// The eight corners of the Box in worked.json, with half extents x, y, z.
std::vector<HostVector> Corners(double x, double y, double z) {
  std::vector<HostVector> corners;
  for (double sx : {-1.0, 1.0}) {
    for (double sy : {-1.0, 1.0}) {
      for (double sz : {-1.0, 1.0}) {
        // A flattened axis lands on the centre, +0.0, whatever side it came from.
        corners.push_back(HostVector{x == 0 ? 0.0 : sx * x, y == 0 ? 0.0 : sy * y, z == 0 ? 0.0 : sz * z});
      }
    }
  }
  return corners;
}

const WorkedCase kWorkedCases[] = {
    {"SizeNearest", {}, "Box", Field::points, Corners(1.5, 0.5, 1.0)},
    {"SizeLowestFlattensY", {"--size-mode", "lowest"}, "Box", Field::points, Corners(1.5, 0.0, 1.0)},
    {"SizeHighest", {"--size-mode", "highest"}, "Box", Field::points, Corners(2.0, 0.5, 1.0)},
    {"FlatPlateKeepsItsFlatAxis",
     {},
     "Plate",
     Field::points,
     {{-1.5, 0.0, -1.5}, {-1.5, 0.0, 1.5}, {1.5, 0.0, -1.5}, {1.5, 0.0, 1.5}}},
    {"SizeStepHalf", {"--size-step", "0.5"}, "Box", Field::points, Corners(1.5, 0.5, 1.0)},
    {"PositionHalfNearest", {"--position-step", "0.5"}, "Box", Field::position, {{1.5, -1.0, 2.5}}},
    {"PositionHalfLowest",
     {"--position-step", "0.5", "--position-mode", "lowest"},
     "Box",
     Field::position,
     {{1.0, -1.0, 2.5}}},
    {"PositionHalfHighest",
     {"--position-step", "0.5", "--position-mode", "highest"},
     "Box",
     Field::position,
     {{1.5, -0.5, 2.5}}},
    // The snapped multiple times the reciprocal of the factor: 3 * 0.1 is not 0.3.
    {"PositionTenthNearest", {"--position-step", "0.1"}, "Grid", Field::position, {{4 * 0.1, -4 * 0.1, 11 * 0.1}}},
    {"PositionTenthLowest",
     {"--position-step", "0.1", "--position-mode", "lowest"},
     "Grid",
     Field::position,
     {{3 * 0.1, -4 * 0.1, 10 * 0.1}}},
    {"PositionTenthHighest",
     {"--position-step", "0.1", "--position-mode", "highest"},
     "Grid",
     Field::position,
     {{4 * 0.1, -3 * 0.1, 11 * 0.1}}},
    {"RotationFiveDegrees",
     {"--rotation-step", "5"},
     "Box",
     Field::rotation,
     {{30 * kRadiansPerDegree, -5 * kRadiansPerDegree, 170 * kRadiansPerDegree}}},
    {"NoRotationKeepsIt", {"--no-rotation"}, "Box", Field::rotation, {{0.5, -0.1, 3.0}}},
    {"NoPositionKeepsIt", {"--no-position"}, "Box", Field::position, {{1.26, -0.75, 2.5}}},
    {"ScaleQuarter", {"--target", "scale", "--scale-step", "0.25"}, "Box", Field::scale, {{1.0, 1.0, 1.0}}},
    {"ScaleTargetLeavesPoints",
     {"--target", "scale", "--scale-step", "0.25"},
     "Box",
     Field::points,
     {{-1.6, -0.4, -1.0},
      {-1.6, -0.4, 1.0},
      {-1.6, 0.4, -1.0},
      {-1.6, 0.4, 1.0},
      {1.6, -0.4, -1.0},
      {1.6, -0.4, 1.0},
      {1.6, 0.4, -1.0},
      {1.6, 0.4, 1.0}}},
    // A scale step typed while the dialog shows size is still the one used
    // once the target is switched by the same command line.
    {"ScaleStepBeforeTarget", {"--scale-step", "0.5", "--target", "scale"}, "Box", Field::scale, {{1.0, 1.0, 1.0}}},
    {"LockedPointsStay", {"--warnings"}, "Locked", Field::points, {{-0.7, 0.0, 0.0}, {0.7, 0.0, 0.0}}},
    {"NoPointsNoChange", {}, "Empty", Field::points, {}},
};

const hostemu::SceneObject *Find(const hostemu::Scene &scene, const std::string &name) {
  for (const hostemu::SceneObject &object : scene.objects) {
    if (object.name == name)
      return &object;
  }
  return nullptr;
}

hostemu::Scene ReadOutput(const std::filesystem::path &file) {
  hostemu::SceneRead read = hostemu::readSceneFile(file);
  EXPECT_FALSE(read.error) << read.error->message;
  return std::move(read.scene);
}

class WorkedExamples : public testing::TestWithParam<std::tuple<Flavour, WorkedCase>> {};

TEST_P(WorkedExamples, RoundGivesTheModulesResultBitForBit) {
  const auto &[flavour, c] = GetParam();
  ScratchFolder scratch;
  std::vector<std::string> arguments = {"round",    kData + "/worked.json", "-o",      (scratch / "out.json").string(),
                                        "--module", flavour.module,         "--scope", "all"};
  arguments.insert(arguments.end(), c.options.begin(), c.options.end());
  ProgramRun run = RunHostemu(scratch, arguments);
  ASSERT_EQ(run.status, 0) << run.err;

  hostemu::Scene scene = ReadOutput(scratch / "out.json");
  const hostemu::SceneObject *object = Find(scene, c.object);
  ASSERT_NE(object, nullptr);
  std::vector<HostVector> actual;
  switch (c.field) {
    case Field::position:
      actual = {object->position};
      break;
    case Field::rotation:
      actual = {object->rotation};
      break;
    case Field::scale:
      actual = {object->scale};
      break;
    case Field::points:
      actual = object->points;
      break;
  }
  ASSERT_EQ(actual.size(), c.expected.size());
  for (size_t i = 0; i < actual.size(); ++i)
    EXPECT_TRUE(bit_exact::SameBits(actual[i], c.expected[i])) << i;
}

std::string WorkedName(const testing::TestParamInfo<std::tuple<Flavour, WorkedCase>> &info) {
  return std::string(std::get<0>(info.param).name) + "_" + std::get<1>(info.param).name;
}

INSTANTIATE_TEST_SUITE_P(Round, WorkedExamples,
                         testing::Combine(testing::ValuesIn(hostemu_test::kFlavours), testing::ValuesIn(kWorkedCases)),
                         WorkedName);

struct ScopeCase {
  const char *scope;
  std::set<std::string> visited;
};

const ScopeCase kScopeCases[] = {
    // Below a selected object the host lists no further selected one: U is
    // visited once, as T's child.
    {"selected-and-children", {"P", "C1", "G", "C2", "T", "U"}},
    {"selected", {"P", "T", "U"}},
    {"all", {"P", "C1", "G", "C2", "S", "T", "U", "V"}},
};

class Scopes : public testing::TestWithParam<std::tuple<Flavour, ScopeCase>> {};

TEST_P(Scopes, OnlyTheObjectsInScopeAreRounded) {
  const auto &[flavour, c] = GetParam();
  ScratchFolder scratch;
  ProgramRun run = RunHostemu(scratch, {"round", kData + "/scopes.json", "-o", (scratch / "out.json").string(),
                                        "--module", flavour.module, "--scope", c.scope});
  ASSERT_EQ(run.status, 0) << run.err;
  hostemu::Scene scene = ReadOutput(scratch / "out.json");
  for (const hostemu::SceneObject &object : scene.objects) {
    double expected = c.visited.count(object.name) ? 0.0 : 0.4;
    EXPECT_TRUE(bit_exact::SameBits(object.position, HostVector{expected, expected, expected})) << object.name;
  }
  std::string summary = std::to_string(c.visited.size()) + " of 8 objects visited";
  EXPECT_NE(run.err.find(summary), std::string::npos) << run.err;
}

std::string ScopeName(const testing::TestParamInfo<std::tuple<Flavour, ScopeCase>> &info) {
  std::string name = std::string(std::get<0>(info.param).name) + "_" + std::get<1>(info.param).scope;
  for (char &c : name) {
    if (c == '-')
      c = '_';
  }
  return name;
}

INSTANTIATE_TEST_SUITE_P(Round, Scopes,
                         testing::Combine(testing::ValuesIn(hostemu_test::kFlavours), testing::ValuesIn(kScopeCases)),
                         ScopeName);

TEST(RoundOutput, PrintsTheConsoleTheTableAndASummary) {
  ScratchFolder scratch;
  ProgramRun run = RunHostemu(scratch, {"round", kData + "/worked.json", "-o", (scratch / "out.json").string(),
                                        "--module", KWANTEL_WINDOWS_MODULE, "--scope", "all", "--warnings", "--table"});
  ASSERT_EQ(run.status, 0) << run.err;
  std::vector<std::string> out = hostemu_test::Lines(run.out);
  ASSERT_FALSE(out.empty());
  EXPECT_EQ(out[0], "Orvanel Software: Kwantel successfully loaded.");
  EXPECT_NE(run.out.find("\nObject Grid is not a point object\n"), std::string::npos) << run.out;
  EXPECT_NE(run.out.find("\nObject Locked has points but the points not accessible\n"), std::string::npos);
  EXPECT_NE(run.out.find("Box"), std::string::npos);
  EXPECT_NE(run.out.find("1.26, -0.75, 2.5"), std::string::npos) << "the table shows the values before";

  EXPECT_NE(run.err.find("5 of 5 objects visited"), std::string::npos) << run.err;
  EXPECT_NE(run.err.find("largest change"), std::string::npos) << run.err;
  EXPECT_NE(run.err.find("not point objects: Grid"), std::string::npos) << run.err;
  EXPECT_NE(run.err.find("points not accessible: Locked"), std::string::npos) << run.err;
}

TEST(RoundOutput, AStepOutsideTheFieldsLimitsIsRefusedNotClamped) {
  ScratchFolder scratch;
  ProgramRun run = RunHostemu(scratch, {"round", kData + "/worked.json", "-o", (scratch / "out.json").string(),
                                        "--module", KWANTEL_WINDOWS_MODULE, "--rotation-step", "2000"});
  EXPECT_EQ(run.status, 2);
  EXPECT_NE(run.err.find("--rotation-step 2000"), std::string::npos) << run.err;
  EXPECT_FALSE(std::filesystem::exists(scratch / "out.json"));
}

}  // namespace
