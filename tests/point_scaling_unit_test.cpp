// The two walks of the size rounding against the plain formula, one
// coordinate at a time: moving points two coordinates at once must give the
// same bits, NaN payloads included, since it computes on the same processor.
#include <gtest/gtest.h>

#include <bit>
#include <cstdint>
#include <limits>
#include <string>
#include <vector>

#include "point_scaling.h"

namespace {

constexpr double kInf = std::numeric_limits<double>::infinity();
constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
constexpr double kSubnormal = 4.9406564584124654e-324;
const double kPayloadNaN = std::bit_cast<double>(uint64_t{0x7ff8000000000123});
const double kNegativeNaN = std::bit_cast<double>(uint64_t{0xfff8000000000456});

double Expected(double p, double c, double h, double g) {
  const double d = p - c;
  return h == 0.0 ? c + 0.0 : c + (d + (d / h) * g);
}

std::vector<HostVector> OneByOne(std::vector<HostVector> points, const HostVector &c, const HostVector &h,
                                 const HostVector &g) {
  for (HostVector &p : points)
    p = HostVector{Expected(p.x, c.x, h.x, g.x), Expected(p.y, c.y, h.y, g.y), Expected(p.z, c.z, h.z, g.z)};
  return points;
}

// Off-grid coordinates from a fixed sequence.
std::vector<HostVector> Spread(size_t count) {
  std::vector<HostVector> points;
  uint64_t state = 12345;
  auto next = [&state] {
    state = state * 6364136223846793005u + 1442695040888963407u;
    return (static_cast<double>(state >> 11) * 0x1p-53 - 0.5) * 7.3;
  };
  for (size_t i = 0; i < count; ++i) {
    const double x = next();
    const double y = next();
    points.push_back(HostVector{x, y, next()});
  }
  return points;
}

struct Case {
  std::string name;
  HostVector centre, half, growth;
  std::vector<HostVector> points;
};

std::vector<Case> Cases() {
  const HostVector c{0.25, -1.5, 3.0};
  const HostVector h{1.6, 0.4, 1.3};
  const HostVector g{-0.1, 0.1, 0.2};
  const std::vector<HostVector> odd = Spread(7);
  return {
      {"no points", c, h, g, {}},
      {"one point, done alone", c, h, g, Spread(1)},
      {"an even count", c, h, g, Spread(8)},
      {"an odd count: the last point alone", c, h, g, odd},
      {"many points", c, h, g, Spread(10001)},
      {"x without extent", c, {0.0, 0.4, 1.3}, g, odd},
      {"y without extent, -0.0", c, {1.6, -0.0, 1.3}, g, odd},
      {"z without extent, centre -0.0", {0.25, -1.5, -0.0}, {1.6, 0.4, 0.0}, g, odd},
      {"no extent at all", c, {0.0, 0.0, 0.0}, g, odd},
      {"a NaN half extent counts as an extent", c, {kNaN, 0.4, 1.3}, g, odd},
      {"infinite half extent and growth", c, {kInf, 0.4, 1.3}, {kInf, -kInf, 0.0}, odd},
      {"odd coordinates",
       c,
       h,
       g,
       {{kNaN, kPayloadNaN, kNegativeNaN},
        {kInf, -kInf, -0.0},
        {kSubnormal, -kSubnormal, 1e308},
        {-1e308, 0.0, kPayloadNaN},
        {kNegativeNaN, kInf, 1.0}}},
      {"odd coordinates on axes without extent",
       c,
       {0.0, 0.0, 0.0},
       g,
       {{kNaN, kPayloadNaN, kNegativeNaN}, {kInf, -kInf, -0.0}, {kSubnormal, -kSubnormal, 1e308}}},
  };
}

TEST(PointScaling, EveryCoordinateKeepsTheBitsOfThePlainFormula) {
  for (const Case &c : Cases()) {
    const std::vector<HostVector> want = OneByOne(c.points, c.centre, c.half, c.growth);
    std::vector<HostVector> got = c.points;
    kwantel::ScalePointsAboutCentre(got.data(), static_cast<int32_t>(got.size()), c.centre, c.half, c.growth);
    ASSERT_EQ(got.size(), want.size()) << c.name;
    for (size_t i = 0; i < got.size(); ++i) {
      const double g[3] = {got[i].x, got[i].y, got[i].z};
      const double w[3] = {want[i].x, want[i].y, want[i].z};
      for (int axis = 0; axis < 3; ++axis) {
        ASSERT_EQ(std::bit_cast<uint64_t>(g[axis]), std::bit_cast<uint64_t>(w[axis]))
            << c.name << ": point " << i << ", axis " << axis;
      }
    }
  }
}

TEST(PointScaling, HalfExtentsAreTheGreatestDifferencesInArrayOrder) {
  const HostVector origin{0.0, 0.0, 0.0};
  struct {
    const char *name;
    std::vector<HostVector> points;
    HostVector centre, want;
  } const cases[] = {
      {"no points", {}, origin, {-1.7976931348623157e308, -1.7976931348623157e308, -1.7976931348623157e308}},
      {"about the centre", {{-1.6, 0.4, 1.0}, {1.6, -0.4, -1.0}, {0.5, 0.1, 0.2}}, {0.1, 0.0, -0.5}, {1.5, 0.4, 1.5}},
      {"NaN never counts", {{kNaN, 1.0, kNaN}, {2.0, kNaN, kNaN}}, origin, {2.0, 1.0, -1.7976931348623157e308}},
      {"of two zeros the first stays", {{-0.0, 0.0, -0.0}, {0.0, -0.0, -0.0}}, origin, {-0.0, 0.0, -0.0}},
      {"infinities; -inf never beats the start",
       {{kInf, -kInf, 1.0}, {0.0, -kInf, kInf}},
       origin,
       {kInf, -1.7976931348623157e308, kInf}},
  };
  for (const auto &c : cases) {
    const HostVector got = kwantel::HalfExtents(c.points.data(), static_cast<int32_t>(c.points.size()), c.centre);
    EXPECT_EQ(std::bit_cast<uint64_t>(got.x), std::bit_cast<uint64_t>(c.want.x)) << c.name;
    EXPECT_EQ(std::bit_cast<uint64_t>(got.y), std::bit_cast<uint64_t>(c.want.y)) << c.name;
    EXPECT_EQ(std::bit_cast<uint64_t>(got.z), std::bit_cast<uint64_t>(c.want.z)) << c.name;
  }

  // Past the distance the walk reads ahead, the same as one point at a time.
  const std::vector<HostVector> many = Spread(10001);
  const HostVector centre{0.3, -0.2, 0.1};
  HostVector want{-1.7976931348623157e308, -1.7976931348623157e308, -1.7976931348623157e308};
  for (const HostVector &p : many) {
    if (p.x - centre.x > want.x)
      want.x = p.x - centre.x;
    if (p.y - centre.y > want.y)
      want.y = p.y - centre.y;
    if (p.z - centre.z > want.z)
      want.z = p.z - centre.z;
  }
  const HostVector got = kwantel::HalfExtents(many.data(), static_cast<int32_t>(many.size()), centre);
  EXPECT_EQ(std::bit_cast<uint64_t>(got.x), std::bit_cast<uint64_t>(want.x));
  EXPECT_EQ(std::bit_cast<uint64_t>(got.y), std::bit_cast<uint64_t>(want.y));
  EXPECT_EQ(std::bit_cast<uint64_t>(got.z), std::bit_cast<uint64_t>(want.z));
}

TEST(PointScaling, ANegativeCountLeavesThePointsAlone) {
  std::vector<HostVector> points = Spread(3);
  const std::vector<HostVector> before = points;
  kwantel::ScalePointsAboutCentre(points.data(), -1, {0.0, 0.0, 0.0}, {1.0, 1.0, 1.0}, {0.5, 0.5, 0.5});
  for (size_t i = 0; i < points.size(); ++i)
    EXPECT_EQ(std::bit_cast<uint64_t>(points[i].x), std::bit_cast<uint64_t>(before[i].x));
}

}  // namespace
