#include "json_numbers.h"

#include <cmath>
#include <limits>

namespace hostemu {

nlohmann::json jsonFromNumber(double value) {
  if (std::isnan(value))
    return "NaN";
  if (std::isinf(value))
    return value > 0 ? "Infinity" : "-Infinity";
  // The library writes the shortest text that reads back to the same double
  // and keeps the sign of -0.0.
  return value;
}

std::optional<double> numberFromJson(const nlohmann::json &value) {
  if (value.is_number_float())
    return value.get<double>();
  if (value.is_number_integer()) {
    return value.is_number_unsigned() ? static_cast<double>(value.get<uint64_t>())
                                      : static_cast<double>(value.get<int64_t>());
  }
  if (value.is_string()) {
    const std::string &text = value.get_ref<const std::string &>();
    if (text == "NaN")
      return std::numeric_limits<double>::quiet_NaN();
    if (text == "Infinity")
      return std::numeric_limits<double>::infinity();
    if (text == "-Infinity")
      return -std::numeric_limits<double>::infinity();
  }
  return std::nullopt;
}

}  // namespace hostemu
