#include "journal_values.h"

#include "json_numbers.h"
#include "strings.h"

namespace hostemu {

nlohmann::json jsonVector(const HostVector &value) {
  return nlohmann::json::array({jsonFromNumber(value.x), jsonFromNumber(value.y), jsonFromNumber(value.z)});
}

nlohmann::json jsonVector(const HostVector *value) {
  return value ? jsonVector(*value) : nlohmann::json();
}

nlohmann::json jsonText(const HostString *text) {
  return text ? nlohmann::json(std::string(textOf(text))) : nlohmann::json();
}

nlohmann::json jsonText(const char *text) {
  return text ? nlohmann::json(text) : nlohmann::json();
}

}  // namespace hostemu
