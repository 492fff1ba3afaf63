#include "settings.h"

#include "ids.h"

namespace kwantel {
namespace {

constexpr SettingGadget Flag(int32_t id, bool RoundSettings::*field) {
  return {id, GadgetKind::CHECKBOX, field, nullptr, nullptr};
}

constexpr SettingGadget Number(int32_t id, GadgetKind kind, double RoundSettings::*field) {
  return {id, kind, nullptr, field, nullptr};
}

constexpr SettingGadget Choice(int32_t id, int32_t RoundSettings::*field) {
  return {id, GadgetKind::CHOICE, nullptr, nullptr, field};
}

// A step factor; an exact zero (from an infinite step) falls back.
double StepFactor(double divisor) {
  const double factor = 1.0 / divisor;
  return factor == 0.0 ? FACTOR_FALLBACK : factor;
}

}  // namespace

const SettingGadget SETTING_GADGETS[SETTING_COUNT] = {
    Flag(ID_ROUND_POSITION, &RoundSettings::roundPosition),
    Number(ID_POSITION_STEP, GadgetKind::LENGTH, &RoundSettings::positionStep),
    Choice(ID_POSITION_MODE, &RoundSettings::positionMode),
    Flag(ID_ROUND_ROTATION, &RoundSettings::roundRotation),
    Number(ID_ROTATION_STEP, GadgetKind::ANGLE, &RoundSettings::rotationStep),
    Choice(ID_ROTATION_MODE, &RoundSettings::rotationMode),
    Flag(ID_ROUND_SCALE, &RoundSettings::roundScale),
    Number(ID_SCALE_STEP, GadgetKind::REAL, &RoundSettings::scaleStep),
    Number(ID_SIZE_STEP, GadgetKind::LENGTH, &RoundSettings::sizeStep),
    Choice(ID_SIZE_MODE, &RoundSettings::sizeMode),
    Choice(ID_SELECTION, &RoundSettings::scope),
    Choice(ID_SIZE_OR_SCALE, &RoundSettings::target),
    Flag(ID_WARNINGS, &RoundSettings::warnings),
};

const int32_t SAVED_ORDER[SETTING_COUNT] = {
    ID_ROUND_POSITION, ID_ROUND_ROTATION, ID_ROUND_SCALE,   ID_POSITION_STEP, ID_ROTATION_STEP,
    ID_SCALE_STEP,     ID_SIZE_STEP,      ID_POSITION_MODE, ID_ROTATION_MODE, ID_SIZE_MODE,
    ID_SIZE_OR_SCALE,  ID_SELECTION,      ID_WARNINGS,
};

const SettingGadget *FindSettingGadget(int32_t id) {
  for (const SettingGadget &gadget : SETTING_GADGETS) {
    if (gadget.id == id) {
      return &gadget;
    }
  }
  return nullptr;
}

void SetDefaults(RoundSettings &settings) {
  settings.roundPosition = true;
  settings.roundRotation = true;
  settings.roundScale = true;
  settings.warnings = false;
  settings.positionStep = 1.0;
  settings.rotationStep = RADIANS_PER_DEGREE;
  settings.scaleStep = 0.1;
  settings.sizeStep = 1.0;
  settings.positionMode = NEAREST;
  settings.rotationMode = NEAREST;
  settings.sizeMode = NEAREST;
  settings.scope = SELECTED_AND_CHILDREN;
  settings.target = SIZE;
}

void DeriveFactors(RoundSettings &settings) {
  settings.positionFactor = StepFactor(settings.positionStep);
  settings.rotationFactor = StepFactor(settings.rotationStep * DEGREES_PER_RADIAN);
  settings.sizeFactor = StepFactor(settings.sizeStep);
  settings.scaleFactor = StepFactor(settings.scaleStep);
}

}  // namespace kwantel
