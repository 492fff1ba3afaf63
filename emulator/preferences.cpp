#include "preferences.h"

#include "file_replace.h"
#include "host.h"

#include <fstream>
#include <sstream>
#include <system_error>

namespace hostemu {

Preferences::Preferences(Host &host) : file_(host.options().preferencesFile) {
  if (!file_.empty())
    read();
}

void Preferences::read() {
  std::error_code error;
  const auto status = std::filesystem::status(file_, error);
  if (status.type() == std::filesystem::file_type::not_found)
    return;
  if (error || !std::filesystem::is_regular_file(status)) {
    state_ = PreferencesState::unreadable;
    problem_ = file_.string() + ": not a readable file" + (error ? " (" + error.message() + ")" : std::string()) +
               "; give the path of a preference file or of one to create";
    return;
  }
  std::ifstream in(file_, std::ios::binary);
  std::ostringstream text;
  text << in.rdbuf();
  if (!in || in.bad()) {
    state_ = PreferencesState::unreadable;
    problem_ = file_.string() + ": cannot be read";
    return;
  }
  problem_ = parsePreferences(text.str(), file_, containers_);
  if (!problem_.empty()) {
    state_ = PreferencesState::damaged;
    problem_ += "; mend or remove the file (it is left as it is)";
  }
}

const HostContainer *Preferences::find(int32_t pluginId) const {
  auto found = containers_.find(pluginId);
  return found == containers_.end() ? nullptr : &found->second;
}

bool Preferences::store(int32_t pluginId, const HostContainer &data, bool merge) {
  error_.clear();
  if (state_ != PreferencesState::ready) {
    error_ = "preferences not saved: " + problem_;
    return false;
  }
  PluginContainers next = containers_;
  HostContainer &container = next[pluginId];
  if (!merge)
    container.values.clear();
  container.id = pluginId;
  for (const auto &[key, value] : data.values)
    container.values[key] = value;

  if (!file_.empty()) {
    std::string failure = replaceFile(file_, formatPreferences(next));
    if (!failure.empty()) {
      error_ = "preferences not saved: " + failure;
      return false;
    }
  }
  // Assigned in place, so that a container handed out for another id stays
  // valid and the one for this id keeps its address.
  auto existing = containers_.find(pluginId);
  if (existing != containers_.end()) {
    existing->second = std::move(container);
  } else {
    containers_.emplace(pluginId, std::move(container));
  }
  return true;
}

}  // namespace hostemu
