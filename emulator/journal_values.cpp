#include "journal_values.h"

#include "json_numbers.h"
#include "object_array.h"
#include "strings.h"
#include "utf8.h"

#include <string>

namespace hostemu {

nlohmann::json jsonVector(const HostVector &value) {
  return nlohmann::json::array({jsonFromNumber(value.x), jsonFromNumber(value.y), jsonFromNumber(value.z)});
}

nlohmann::json jsonVector(const HostVector *value) {
  return value ? jsonVector(*value) : nlohmann::json();
}

nlohmann::json jsonText(const HostString *text) {
  return text ? nlohmann::json(validUtf8(textOf(text))) : nlohmann::json();
}

nlohmann::json jsonText(const char *text) {
  return text ? nlohmann::json(validUtf8(text)) : nlohmann::json();
}

nlohmann::json jsonArray(const HostObjectArray *array) {
  return array ? nlohmann::json("array#" + std::to_string(array->serial)) : nlohmann::json();
}

}  // namespace hostemu
