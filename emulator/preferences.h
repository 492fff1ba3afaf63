// The host's preference store: one saved container per plug-in id (the world
// plug-in data), kept in the JSON file of HostOptions::preferencesFile.
//
// The file is read once, when the store is made: a missing file is an empty
// store. A file that cannot be read or is damaged is neither used nor
// overwritten: problem() says what is wrong, and every store is refused until
// the user mends or removes it. Each store replaces the file atomically.
#pragma once

#include "container.h"
#include "preferences_file.h"

#include <filesystem>
#include <string>

namespace hostemu {

class Host;

enum class PreferencesState {
  ready,       // the file was read, or there is none yet
  unreadable,  // the file exists but cannot be read
  damaged,     // the file is not a preference file
};

class Preferences {
 public:
  explicit Preferences(Host &host);

  PreferencesState state() const { return state_; }
  // Why the file at start is not used: one line naming it and the place in
  // it. Empty when state() is ready.
  const std::string &problem() const { return problem_; }
  const std::filesystem::path &file() const { return file_; }

  // The saved container of pluginId, null when none. Valid until the next
  // store for the same id.
  const HostContainer *find(int32_t pluginId) const;

  // Stores a copy of data as pluginId's container (merge: into what is saved
  // already) and replaces the file. On failure the store and the file are as
  // they were, and error() says why.
  bool store(int32_t pluginId, const HostContainer &data, bool merge);
  const std::string &error() const { return error_; }

  const PluginContainers &containers() const { return containers_; }

 private:
  void read();

  std::filesystem::path file_;
  PreferencesState state_ = PreferencesState::ready;
  std::string problem_;
  std::string error_;
  PluginContainers containers_;
};

}  // namespace hostemu
