#include "resources.h"

#include "host.h"
#include "kernel.h"

#include <nlohmann/json.hpp>

#include <charconv>
#include <fstream>
#include <sstream>

namespace hostemu {
namespace {

std::optional<int32_t> identifierOf(const std::string &text) {
  int32_t value = 0;
  auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (error != std::errc() || end != text.data() + text.size() || std::to_string(value) != text)
    return std::nullopt;
  return value;
}

// Reads the strings file into texts; empty when sound, else why not.
std::string readStrings(const std::filesystem::path &file, std::map<int32_t, std::string> &texts) {
  std::ifstream in(file, std::ios::binary);
  if (!in)
    return file.string() + ": cannot be read";
  std::ostringstream text;
  text << in.rdbuf();
  nlohmann::json document;
  try {
    document = nlohmann::json::parse(text.str());
  } catch (const nlohmann::json::parse_error &error) {
    return file.string() + ": not valid JSON at byte " + std::to_string(error.byte);
  } catch (const nlohmann::json::exception &) {
    return file.string() + ": not valid JSON: a number out of the range of a double";
  }
  if (!document.is_object() || document.value("version", nlohmann::json()) != 1) {
    return file.string() + ": expected {\"version\": 1, \"strings\": {...}}";
  }
  auto strings = document.find("strings");
  if (strings == document.end() || !strings->is_object())
    return file.string() + ": \"strings\" must be an object";
  for (const auto &[key, value] : strings->items()) {
    std::optional<int32_t> id = identifierOf(key);
    if (!id)
      return file.string() + ": at /strings/" + key + ": an identifier must be a whole number";
    if (!value.is_string())
      return file.string() + ": at /strings/" + key + ": expected a text";
    texts[*id] = value.get<std::string>();
  }
  return {};
}

}  // namespace

Resources::~Resources() {
  // Resources a module never gave back; the kernel is still there to take
  // their strings.
  for (auto &[raw, resource] : live_)
    drop(*resource);
}

HostResource *Resources::load(const std::filesystem::path &directory) {
  problem_.clear();
  const std::filesystem::path file = directory / kStringsFileName;
  std::error_code error;
  if (!std::filesystem::is_regular_file(file, error)) {
    problem_ = file.string() + ": no such file";
    return nullptr;
  }
  std::map<int32_t, std::string> texts;
  problem_ = readStrings(file, texts);
  if (!problem_.empty())
    return nullptr;

  auto resource = std::make_unique<HostResource>();
  resource->directory = directory;
  for (const auto &[id, text] : texts)
    resource->strings[id] = host_.kernel().newString(text);
  HostResource *raw = resource.get();
  live_.emplace(raw, std::move(resource));
  return raw;
}

bool Resources::release(HostResource *resource) {
  auto found = live_.find(resource);
  if (found == live_.end())
    return false;
  drop(*found->second);
  live_.erase(found);
  return true;
}

const HostString *Resources::string(HostResource *resource, int32_t id) {
  auto found = resource->strings.find(id);
  return found == resource->strings.end() ? host_.kernel().emptyString() : found->second;
}

void Resources::drop(HostResource &resource) {
  for (auto &[id, text] : resource.strings)
    host_.kernel().release(text);
  resource.strings.clear();
}

}  // namespace hostemu
