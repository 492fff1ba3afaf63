// The record of the user's settings, its derived step factors, and the one
// table that ties each setting to its gadget and its saved key.
#pragma once

#include <stddef.h>
#include <stdint.h>

namespace kwantel {

enum RoundMode : int32_t { NEAREST = 0, LOWEST = 1, HIGHEST = 2 };
enum SelectionScope : int32_t { SELECTED_AND_CHILDREN = 0, SELECTED_ONLY = 1, ALL_OBJECTS = 2 };
enum ScaleTarget : int32_t { SIZE = 0, SCALE = 1 };

inline constexpr double DEGREES_PER_RADIAN = 57.29577951308232;
inline constexpr double RADIANS_PER_DEGREE = 0.017453292519943295;
// Replaces a derived factor that came out as exactly zero (an infinite step).
inline constexpr double FACTOR_FALLBACK = 0.0001;

struct RoundSettings {
  bool roundPosition;     // (default: true)
  bool roundRotation;     // (default: true)
  bool roundScale;        // scale or size, as `target` selects (default: true)
  bool warnings;          // about objects that cannot be sized (default: false)
  double positionStep;    // (default: 1.0)
  double rotationStep;    // radians (default: one degree)
  double scaleStep;       // (default: 0.1)
  double sizeStep;        // (default: 1.0)
  int32_t positionMode;   // RoundMode (default: NEAREST)
  int32_t rotationMode;   // RoundMode (default: NEAREST)
  int32_t sizeMode;       // RoundMode, for size and for scale (default: NEAREST)
  int32_t scope;          // SelectionScope (default: SELECTED_AND_CHILDREN)
  int32_t target;         // ScaleTarget (default: SIZE)
  double positionFactor;  // derived: 1 / positionStep
  double rotationFactor;  // derived: 1 / rotationStep in degrees
  double scaleFactor;     // derived: 1 / scaleStep
  double sizeFactor;      // derived: 1 / sizeStep
};

// Writes the defaults into the thirteen user fields; the factors stay.
void SetDefaults(RoundSettings &settings);

// Derives the four factors from the four steps.
void DeriveFactors(RoundSettings &settings);

// How a setting's gadget shows it; also decides its saved type.
enum class GadgetKind : uint8_t {
  CHECKBOX,  // bool, saved as bool
  LENGTH,    // double, number field shown as a length, saved as float
  ANGLE,     // double in radians, number field shown in degrees, saved as float
  REAL,      // double, plain number field, saved as float
  CHOICE,    // int32_t, combo box, saved as 32-bit int
};

enum class SavedType : uint8_t { BOOL, FLOAT, INT32 };

constexpr SavedType SavedTypeOf(GadgetKind kind) {
  return kind == GadgetKind::CHECKBOX ? SavedType::BOOL
         : kind == GadgetKind::CHOICE ? SavedType::INT32
                                      : SavedType::FLOAT;
}

// One setting: its gadget id (also its saved key), how it is shown, and the
// field it mirrors (exactly one member pointer is set, as the kind says).
struct SettingGadget {
  int32_t id;
  GadgetKind kind;
  bool RoundSettings::*flag;
  double RoundSettings::*number;
  int32_t RoundSettings::*choice;
};

inline constexpr size_t SETTING_COUNT = 13;

// The thirteen settings, in the order the dialog reads its gadgets.
extern const SettingGadget SETTING_GADGETS[SETTING_COUNT];

// The order in which the settings are saved and loaded.
extern const int32_t SAVED_ORDER[SETTING_COUNT];

// The entry of gadget `id`; null for an id that is not a setting.
const SettingGadget *FindSettingGadget(int32_t id);

}  // namespace kwantel
