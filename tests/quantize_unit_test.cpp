// The rounding primitive and the angle conversions, bit for bit.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "bit_exact.h"
#include "rounding.h"

namespace {

using bit_exact::SameBits;
using kwantel::Vector;

constexpr double kInf = std::numeric_limits<double>::infinity();
constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();

struct QuantizeCase {
  const char *name;
  Vector input;
  double factor;
  int32_t mode;
  Vector expected;
};

void PrintTo(const QuantizeCase &c, std::ostream *out) {
  *out << c.name;
}

class QuantizeVectorTest : public ::testing::TestWithParam<QuantizeCase> {};

TEST_P(QuantizeVectorTest, GivesTheExpectedBitsAndLeavesThemInTheArgument) {
  const QuantizeCase &c = GetParam();
  Vector v = c.input;
  const Vector result = kwantel::QuantizeVector(v, c.factor, c.mode);
  EXPECT_TRUE(SameBits(result, c.expected));
  EXPECT_TRUE(SameBits(v, result));
}

INSTANTIATE_TEST_SUITE_P(
    WorkedExamples, QuantizeVectorTest,
    ::testing::Values(
        // Step 0.5: halfway cases go away from zero under NEAREST.
        QuantizeCase{"half_step_nearest", {1.26, -0.75, 2.5}, 2.0, kwantel::NEAREST, {1.5, -1.0, 2.5}},
        QuantizeCase{"half_step_lowest", {1.26, -0.75, 2.5}, 2.0, kwantel::LOWEST, {1.0, -1.0, 2.5}},
        QuantizeCase{"half_step_highest", {1.26, -0.75, 2.5}, 2.0, kwantel::HIGHEST, {1.5, -0.5, 2.5}},
        QuantizeCase{"half_step_unknown_mode", {1.26, -0.75, 2.5}, 2.0, 3, {1.26, -0.75, 2.5}},
        // Step 0.1: the multiple times the reciprocal, 3 * 0.1 one ulp above 0.3.
        QuantizeCase{"tenth_nearest", {0.35, -0.35, 1.05}, 10.0, kwantel::NEAREST, {0.4, -0.4, 1.1}},
        QuantizeCase{"tenth_lowest", {0.35, -0.35, 1.05}, 10.0, kwantel::LOWEST, {3 * 0.1, -0.4, 1.0}},
        QuantizeCase{"tenth_highest", {0.35, -0.35, 1.05}, 10.0, kwantel::HIGHEST, {0.4, -3 * 0.1, 1.1}},
        QuantizeCase{"five_degrees",
                     {28.64788975654116, -5.729577951308232, 171.88733853924697},
                     0.2,
                     kwantel::NEAREST,
                     {30.0, -5.0, 170.0}}),
    [](const auto &info) { return std::string(info.param.name); });

INSTANTIATE_TEST_SUITE_P(
    EdgeCases, QuantizeVectorTest,
    ::testing::Values(
        // A zero factor gives zeros that keep the sign of the scaled product.
        QuantizeCase{"zero_factor", {1.0, 0.0, -2.0}, 0.0, kwantel::NEAREST, {0.0, 0.0, -0.0}},
        // An infinite factor (a step of zero) turns every component into NaN.
        QuantizeCase{"infinite_factor", {1.0, 0.0, -2.0}, kInf, kwantel::NEAREST, {kNaN, kNaN, kNaN}},
        QuantizeCase{"nan_stays_nearest", {kNaN, 1.0, 1.0}, 1.0, kwantel::NEAREST, {kNaN, 1.0, 1.0}},
        QuantizeCase{"nan_stays_lowest", {kNaN, 1.0, 1.0}, 1.0, kwantel::LOWEST, {kNaN, 1.0, 1.0}},
        QuantizeCase{"nan_stays_highest", {kNaN, 1.0, 1.0}, 1.0, kwantel::HIGHEST, {kNaN, 1.0, 1.0}},
        QuantizeCase{"halves_away_from_zero", {0.5, -0.5, 2.5}, 1.0, kwantel::NEAREST, {1.0, -1.0, 3.0}},
        QuantizeCase{"lowest_goes_down_for_negatives", {-1.5, 1.5, -0.2}, 1.0, kwantel::LOWEST, {-2.0, 1.0, -1.0}},
        QuantizeCase{"highest_goes_up_for_negatives", {-1.5, 1.5, -0.2}, 1.0, kwantel::HIGHEST, {-1.0, 2.0, -0.0}},
        QuantizeCase{
            "small_negatives_round_to_minus_zero", {-0.2, 0.2, -0.0}, 1.0, kwantel::NEAREST, {-0.0, 0.0, -0.0}},
        QuantizeCase{"on_grid_nearest", {1.5, -1.5, 0.0}, 2.0, kwantel::NEAREST, {1.5, -1.5, 0.0}},
        QuantizeCase{"on_grid_lowest", {1.5, -1.5, 0.0}, 2.0, kwantel::LOWEST, {1.5, -1.5, 0.0}},
        QuantizeCase{"on_grid_highest", {1.5, -1.5, 0.0}, 2.0, kwantel::HIGHEST, {1.5, -1.5, 0.0}}),
    [](const auto &info) { return std::string(info.param.name); });

TEST(QuantizeVector, UsesTheReciprocalOfTheFactorNotADivision) {
  // 3 / 10.0 is the double nearest 0.3; 3 * (1 / 10.0) is one ulp above it.
  Vector v = {0.35, 0.0, 0.0};
  kwantel::QuantizeVector(v, 10.0, kwantel::LOWEST);
  EXPECT_FALSE(SameBits(v.x, 0.3));
  EXPECT_TRUE(SameBits(v.x, std::nextafter(0.3, 1.0)));
}

struct ConversionCase {
  double radians;
  bool exactRoundTrip;
};

class AngleConversionTest : public ::testing::TestWithParam<ConversionCase> {};

TEST_P(AngleConversionTest, RoundTripIsExactOnlyWhereExpected) {
  const ConversionCase &c = GetParam();
  Vector v = {c.radians, -c.radians, c.radians};
  const Vector degrees = kwantel::VectorToDegrees(v);
  EXPECT_TRUE(SameBits(v, degrees));
  EXPECT_TRUE(SameBits(degrees.x, c.radians * kwantel::DEGREES_PER_RADIAN));
  const Vector back = kwantel::VectorToRadians(v);
  EXPECT_TRUE(SameBits(v, back));
  EXPECT_EQ(back.x == c.radians, c.exactRoundTrip);
  EXPECT_TRUE(SameBits(back.y, -back.x));
}

INSTANTIATE_TEST_SUITE_P(Values, AngleConversionTest,
                         ::testing::Values(ConversionCase{0.5, true}, ConversionCase{1.0, true},
                                           ConversionCase{0.1, false}));

TEST(AngleConversion, PointOneRadiansComesBackOneUlpAbove) {
  Vector v = {0.1, 0.0, -0.0};
  kwantel::VectorToDegrees(v);
  kwantel::VectorToRadians(v);
  EXPECT_TRUE(SameBits(v, Vector{std::nextafter(0.1, 1.0), 0.0, -0.0}));
}

TEST(AngleConversion, FiveDegreeRotationSnapsThroughDegrees) {
  Vector v = {0.5, -0.1, 3.0};
  kwantel::VectorToDegrees(v);
  kwantel::QuantizeVector(v, 0.2, kwantel::NEAREST);
  EXPECT_TRUE(SameBits(v, Vector{30.0, -5.0, 170.0}));
  kwantel::VectorToRadians(v);
  EXPECT_TRUE(SameBits(v, Vector{30.0 * kwantel::RADIANS_PER_DEGREE, -5.0 * kwantel::RADIANS_PER_DEGREE,
                                 170.0 * kwantel::RADIANS_PER_DEGREE}));
}

}  // namespace
