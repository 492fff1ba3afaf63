#include "preferences_file.h"

#include "json_numbers.h"

#include <charconv>
#include <limits>
#include <optional>

namespace hostemu {
namespace {

constexpr int kVersion = 1;

using nlohmann::json;

// A damaged file: the first thing wrong with it, at the member it concerns.
struct Damage {
  std::string where;  // a JSON pointer, "/plugins/1061771/1100"
  std::string what;
};

// A key of the file: a whole number in its one written form, so that the file
// we write back says the same.
std::optional<int32_t> parseKey(const std::string &text) {
  int32_t value = 0;
  auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (error != std::errc() || end != text.data() + text.size() || std::to_string(value) != text)
    return std::nullopt;
  return value;
}

std::optional<int32_t> int32FromJson(const json &value) {
  constexpr int64_t lowest = std::numeric_limits<int32_t>::min(), highest = std::numeric_limits<int32_t>::max();
  if (value.is_number_unsigned()) {
    if (value.get<uint64_t>() > uint64_t(highest))
      return std::nullopt;
    return static_cast<int32_t>(value.get<uint64_t>());
  }
  if (!value.is_number_integer() || value.get<int64_t>() < lowest || value.get<int64_t>() > highest) {
    return std::nullopt;
  }
  return static_cast<int32_t>(value.get<int64_t>());
}

std::optional<Damage> readValue(const json &typed, const std::string &where, ContainerValue &out) {
  if (!typed.is_object() || typed.size() != 1) {
    return Damage{where, "a key holds exactly one typed value: {\"bool\": ...}, {\"float\": ...} or {\"int\": ...}"};
  }
  const std::string &type = typed.begin().key();
  const json &value = typed.begin().value();
  if (type == "bool") {
    if (!value.is_boolean())
      return Damage{where + "/bool", "expected true or false"};
    out = value.get<bool>();
  } else if (type == "float") {
    std::optional<double> number = numberFromJson(value);
    if (!number)
      return Damage{where + "/float", "expected a number, \"NaN\", \"Infinity\" or \"-Infinity\""};
    out = *number;
  } else if (type == "int") {
    std::optional<int32_t> number = int32FromJson(value);
    if (!number)
      return Damage{where + "/int", "expected a whole number from -2147483648 to 2147483647"};
    out = *number;
  } else {
    return Damage{where + "/" + type, "unknown value type \"" + type + "\" (bool, float or int)"};
  }
  return std::nullopt;
}

std::optional<Damage> readContainer(const json &keys, const std::string &where, HostContainer &out) {
  if (!keys.is_object())
    return Damage{where, "expected an object of keys"};
  for (const auto &[keyText, typed] : keys.items()) {
    std::optional<int32_t> key = parseKey(keyText);
    if (!key)
      return Damage{where + "/" + keyText, "a key must be a whole number"};
    ContainerValue value;
    if (auto damage = readValue(typed, where + "/" + keyText, value))
      return damage;
    out.values.emplace(*key, value);
  }
  return std::nullopt;
}

std::optional<Damage> readDocument(const json &document, PluginContainers &out) {
  if (!document.is_object())
    return Damage{"", "expected an object with \"version\" and \"plugins\""};
  for (const auto &[name, value] : document.items()) {
    if (name != "version" && name != "plugins")
      return Damage{"/" + name, "unknown member"};
  }
  auto version = document.find("version");
  if (version == document.end())
    return Damage{"", "\"version\" is missing"};
  if (!version->is_number_integer() || version->get<int64_t>() != kVersion) {
    return Damage{"/version", "version " + version->dump() + " is not supported (expected 1)"};
  }
  auto plugins = document.find("plugins");
  if (plugins == document.end())
    return std::nullopt;
  if (!plugins->is_object())
    return Damage{"/plugins", "expected an object of plug-in ids"};
  for (const auto &[idText, keys] : plugins->items()) {
    std::optional<int32_t> id = parseKey(idText);
    const std::string where = "/plugins/" + idText;
    if (!id)
      return Damage{where, "a plug-in id must be a whole number"};
    HostContainer container;
    container.id = *id;
    if (auto damage = readContainer(keys, where, container))
      return damage;
    out.emplace(*id, std::move(container));
  }
  return std::nullopt;
}

// Line and column (from 1) of the byte at offset.
std::string placeOf(std::string_view text, size_t offset) {
  size_t line = 1, column = 1;
  for (size_t i = 0; i < offset && i < text.size(); ++i) {
    if (text[i] == '\n') {
      ++line;
      column = 1;
    } else {
      ++column;
    }
  }
  return "line " + std::to_string(line) + ", column " + std::to_string(column);
}

// The library's message without its own prefix and place.
std::string reasonOf(const json::parse_error &error) {
  std::string message = error.what();
  size_t column = message.find("column ");
  size_t start = column == std::string::npos ? std::string::npos : message.find(": ", column);
  return start == std::string::npos ? message : message.substr(start + 2);
}

}  // namespace

std::string parsePreferences(std::string_view text, const std::filesystem::path &file, PluginContainers &out) {
  out.clear();
  json document;
  try {
    document = json::parse(text);
  } catch (const json::parse_error &error) {
    size_t offset = error.byte > 0 ? error.byte - 1 : 0;
    return file.string() + ": " + placeOf(text, offset) + ": not valid JSON: " + reasonOf(error);
  } catch (const json::exception &error) {
    // A number beyond the range of a double is thrown as out of range, with
    // no place; its text names it.
    std::string message = error.what();
    size_t bracket = message.find("] ");
    return file.string() +
           ": not valid JSON: " + (bracket == std::string::npos ? message : message.substr(bracket + 2));
  }
  PluginContainers plugins;
  if (std::optional<Damage> damage = readDocument(document, plugins)) {
    std::string where = damage->where.empty() ? "top level" : damage->where;
    return file.string() + ": at " + where + ": " + damage->what;
  }
  out = std::move(plugins);
  return {};
}

std::string formatPreferences(const PluginContainers &plugins) {
  json pluginsJson = json::object();
  for (const auto &[id, container] : plugins) {
    json keys = json::object();
    for (const auto &[key, value] : container.values) {
      json typed = json::object();
      if (const bool *b = std::get_if<bool>(&value))
        typed["bool"] = *b;
      if (const double *f = std::get_if<double>(&value))
        typed["float"] = jsonFromNumber(*f);
      if (const int32_t *i = std::get_if<int32_t>(&value))
        typed["int"] = *i;
      keys[std::to_string(key)] = std::move(typed);
    }
    pluginsJson[std::to_string(id)] = std::move(keys);
  }
  json document = json::object();
  document["version"] = kVersion;
  document["plugins"] = std::move(pluginsJson);
  return document.dump(2) + "\n";
}

}  // namespace hostemu
