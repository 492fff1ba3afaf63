// 64-bit floats in the emulator's JSON files (preferences, scenes).
//
// Finite numbers are written so that they read back to the same bits, -0.0
// included; NaN and the infinities, which JSON has no numbers for, are the
// strings "NaN", "Infinity" and "-Infinity", in both directions.
#pragma once

#include <nlohmann/json.hpp>

#include <optional>

namespace hostemu {

nlohmann::json jsonFromNumber(double value);

// The number a JSON value stands for; none when it is neither a number nor
// one of the three strings.
std::optional<double> numberFromJson(const nlohmann::json &value);

}  // namespace hostemu
