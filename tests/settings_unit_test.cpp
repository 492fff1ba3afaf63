// The settings record: defaults, derived factors, and the table of gadgets.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <limits>
#include <set>

#include "bit_exact.h"
#include "ids.h"
#include "settings.h"

namespace {

using bit_exact::SameBits;
using kwantel::RoundSettings;

constexpr double kInf = std::numeric_limits<double>::infinity();

RoundSettings Defaults() {
  RoundSettings settings;
  std::memset(&settings, 0, sizeof settings);
  kwantel::SetDefaults(settings);
  return settings;
}

TEST(SetDefaults, FillsTheUserFieldsAndLeavesTheFactors) {
  RoundSettings settings;
  std::memset(&settings, 0, sizeof settings);
  settings.positionFactor = 7.0;
  settings.rotationFactor = -0.0;
  kwantel::SetDefaults(settings);

  EXPECT_TRUE(settings.roundPosition);
  EXPECT_TRUE(settings.roundRotation);
  EXPECT_TRUE(settings.roundScale);
  EXPECT_FALSE(settings.warnings);
  EXPECT_TRUE(SameBits(settings.positionStep, 1.0));
  EXPECT_TRUE(SameBits(settings.rotationStep, 0.017453292519943295));
  EXPECT_TRUE(SameBits(settings.scaleStep, 0.1));
  EXPECT_TRUE(SameBits(settings.sizeStep, 1.0));
  EXPECT_EQ(settings.positionMode, 0);
  EXPECT_EQ(settings.rotationMode, 0);
  EXPECT_EQ(settings.sizeMode, 0);
  EXPECT_EQ(settings.scope, 0);
  EXPECT_EQ(settings.target, 0);
  EXPECT_TRUE(SameBits(settings.positionFactor, 7.0));
  EXPECT_TRUE(SameBits(settings.rotationFactor, -0.0));
  EXPECT_TRUE(SameBits(settings.scaleFactor, 0.0));
  EXPECT_TRUE(SameBits(settings.sizeFactor, 0.0));
}

struct FactorCase {
  const char *name;
  double positionStep;
  double rotationStep;
  double scaleStep;
  double sizeStep;
  double positionFactor;
  double rotationFactor;
  double scaleFactor;
  double sizeFactor;
};

void PrintTo(const FactorCase &c, std::ostream *out) {
  *out << c.name;
}

class DeriveFactorsTest : public ::testing::TestWithParam<FactorCase> {};

TEST_P(DeriveFactorsTest, GivesTheExpectedBits) {
  const FactorCase &c = GetParam();
  RoundSettings settings = Defaults();
  settings.positionStep = c.positionStep;
  settings.rotationStep = c.rotationStep;
  settings.scaleStep = c.scaleStep;
  settings.sizeStep = c.sizeStep;
  kwantel::DeriveFactors(settings);
  EXPECT_TRUE(SameBits(settings.positionFactor, c.positionFactor)) << "position";
  EXPECT_TRUE(SameBits(settings.rotationFactor, c.rotationFactor)) << "rotation";
  EXPECT_TRUE(SameBits(settings.scaleFactor, c.scaleFactor)) << "scale";
  EXPECT_TRUE(SameBits(settings.sizeFactor, c.sizeFactor)) << "size";
}

INSTANTIATE_TEST_SUITE_P(
    Steps, DeriveFactorsTest,
    ::testing::Values(
        // One degree in radians times degrees per radian is exactly 1.0.
        FactorCase{"defaults", 1.0, 0.017453292519943295, 0.1, 1.0, 1.0, 1.0, 10.0, 1.0},
        FactorCase{"five_degrees", 1.0, 5 * kwantel::RADIANS_PER_DEGREE, 0.25, 2.0, 1.0, 0.2, 4.0, 0.5},
        // The stored fifteen degrees convert back to just below 15.
        FactorCase{"fifteen_degrees", 1.0, 15 * kwantel::RADIANS_PER_DEGREE, 0.1, 1.0, 1.0,
                   std::nextafter(1.0 / 15.0, 1.0), 10.0, 1.0},
        // Only a factor of exactly zero falls back, which takes an infinite step.
        FactorCase{"infinite_steps", kInf, kInf, kInf, kInf, 0.0001, 0.0001, 0.0001, 0.0001},
        FactorCase{"zero_steps_stay_infinite", 0.0, 0.0, 0.0, -0.0, kInf, kInf, kInf, -kInf},
        FactorCase{"negative_steps", -2.0, -kwantel::RADIANS_PER_DEGREE, -0.5, -4.0, -0.5, -1.0, -2.0, -0.25}),
    [](const auto &info) { return std::string(info.param.name); });

TEST(DeriveFactors, NanStepGivesNanFactor) {
  RoundSettings settings = Defaults();
  settings.sizeStep = std::numeric_limits<double>::quiet_NaN();
  kwantel::DeriveFactors(settings);
  EXPECT_TRUE(std::isnan(settings.sizeFactor));
  EXPECT_TRUE(SameBits(settings.positionFactor, 1.0));
}

TEST(SettingGadgets, EveryGadgetMirrorsOneFieldOfItsKind) {
  std::set<int32_t> ids;
  for (const kwantel::SettingGadget &gadget : kwantel::SETTING_GADGETS) {
    ids.insert(gadget.id);
    const int fields = (gadget.flag != nullptr) + (gadget.number != nullptr) + (gadget.choice != nullptr);
    EXPECT_EQ(fields, 1) << gadget.id;
    switch (kwantel::SavedTypeOf(gadget.kind)) {
      case kwantel::SavedType::BOOL:
        EXPECT_NE(gadget.flag, nullptr) << gadget.id;
        break;
      case kwantel::SavedType::FLOAT:
        EXPECT_NE(gadget.number, nullptr) << gadget.id;
        break;
      case kwantel::SavedType::INT32:
        EXPECT_NE(gadget.choice, nullptr) << gadget.id;
        break;
    }
    EXPECT_EQ(kwantel::FindSettingGadget(gadget.id), &gadget);
  }
  EXPECT_EQ(ids.size(), kwantel::SETTING_COUNT);
  EXPECT_EQ(std::set<int32_t>(std::begin(kwantel::SAVED_ORDER), std::end(kwantel::SAVED_ORDER)), ids);
  EXPECT_EQ(kwantel::FindSettingGadget(kwantel::ID_ROUND_BUTTON), nullptr);
}

struct SavedTypeCase {
  int32_t id;
  kwantel::SavedType type;
};

class SavedTypeTest : public ::testing::TestWithParam<SavedTypeCase> {};

TEST_P(SavedTypeTest, KeyIsSavedWithItsType) {
  const kwantel::SettingGadget *gadget = kwantel::FindSettingGadget(GetParam().id);
  ASSERT_NE(gadget, nullptr);
  EXPECT_EQ(kwantel::SavedTypeOf(gadget->kind), GetParam().type);
}

using kwantel::SavedType;
INSTANTIATE_TEST_SUITE_P(Keys, SavedTypeTest,
                         ::testing::Values(SavedTypeCase{1100, SavedType::BOOL}, SavedTypeCase{1103, SavedType::BOOL},
                                           SavedTypeCase{1106, SavedType::BOOL}, SavedTypeCase{1004, SavedType::BOOL},
                                           SavedTypeCase{1101, SavedType::FLOAT}, SavedTypeCase{1104, SavedType::FLOAT},
                                           SavedTypeCase{1107, SavedType::FLOAT}, SavedTypeCase{1108, SavedType::FLOAT},
                                           SavedTypeCase{1102, SavedType::INT32}, SavedTypeCase{1105, SavedType::INT32},
                                           SavedTypeCase{1109, SavedType::INT32}, SavedTypeCase{1110, SavedType::INT32},
                                           SavedTypeCase{1003, SavedType::INT32}));

TEST(SettingGadgets, RotationStepIsTheAngleField) {
  EXPECT_EQ(kwantel::FindSettingGadget(kwantel::ID_ROTATION_STEP)->kind, kwantel::GadgetKind::ANGLE);
  EXPECT_EQ(kwantel::FindSettingGadget(kwantel::ID_POSITION_STEP)->kind, kwantel::GadgetKind::LENGTH);
  EXPECT_EQ(kwantel::FindSettingGadget(kwantel::ID_SIZE_STEP)->kind, kwantel::GadgetKind::LENGTH);
  EXPECT_EQ(kwantel::FindSettingGadget(kwantel::ID_SCALE_STEP)->kind, kwantel::GadgetKind::REAL);
}

}  // namespace
