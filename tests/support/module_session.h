// One emulated host with a built module loaded from disk, started as the
// application starts it, and the user's side of its dialog: invoking the
// command, working the gadgets, reading what the window shows and what the
// preference store keeps.
#pragma once

#include <gtest/gtest.h>

#include <nlohmann/json.hpp>

#include <cstdint>
#include <filesystem>
#include <map>
#include <ostream>
#include <string>
#include <vector>

#include "container.h"
#include "dialogs.h"
#include "filename.h"
#include "host.h"
#include "kernel.h"
#include "module_loader.h"
#include "plugins.h"
#include "preferences.h"

namespace module_session {

inline constexpr int32_t kPluginId = 1061771;
inline constexpr double kDegree = 0.017453292519943295;

struct Flavour {
  const char *name;
  const char *file;
};

inline const Flavour kFlavours[] = {{"kwantel", KWANTEL_WINDOWS_MODULE}, {"KwantelR2025", KWANTEL_MACOS_MODULE}};

inline void PrintTo(const Flavour &flavour, std::ostream *out) {
  *out << flavour.name;
}

inline std::string FlavourName(const testing::TestParamInfo<Flavour> &info) {
  return info.param.name;
}

// Saved settings as the preference store keeps them: key and typed value.
using SavedValues = std::map<int32_t, hostemu::ContainerValue>;

// What the user does in the dialog: sets a gadget to a value as typed, or
// presses a button or menu item.
struct Action {
  bool press;
  int32_t id;
  const char *typed;
};

inline Action Set(int32_t id, const char *typed) {
  return {false, id, typed};
}
inline Action Press(int32_t id) {
  return {true, id, ""};
}

inline const std::string kNothingLive = "blocks 0, strings 0, containers 0, filenames 0";

class ModuleSession {
 public:
  explicit ModuleSession(hostemu::HostOptions options = {}) : host(std::move(options)) {}

  // Before Start: what the host has saved for the module.
  void SaveBeforeStart(const SavedValues &values) {
    HostContainer data;
    data.id = -1;
    data.values = values;
    ASSERT_TRUE(host.preferences().store(kPluginId, data, false)) << host.preferences().error();
  }

  testing::AssertionResult Start(const std::filesystem::path &module) {
    const hostemu::LoadResult result = loader.load(module);
    if (!result.ok())
      return testing::AssertionFailure() << result.message;
    return testing::AssertionSuccess();
  }

  // Picks the command from the menu; a window is open afterwards.
  testing::AssertionResult Invoke() {
    if (testing::AssertionResult done = Done(host.plugins().invoke(kPluginId), "invoke"); !done)
      return done;
    if (host.dialogs().openWindow() == nullptr)
      return testing::AssertionFailure() << "invoke opened no window";
    return testing::AssertionSuccess();
  }

  testing::AssertionResult Do(const Action &action) {
    if (action.press)
      return Done(host.dialogs().press(action.id), "press " + std::to_string(action.id));
    return Done(host.dialogs().set(action.id, action.typed), "set " + std::to_string(action.id) + " " + action.typed);
  }

  testing::AssertionResult Do(const std::vector<Action> &actions) {
    for (const Action &action : actions) {
      if (testing::AssertionResult done = Do(action); !done)
        return done;
    }
    return testing::AssertionSuccess();
  }

  // Every gadget of the open window, as describe() gives it; empty when none
  // is open.
  std::vector<nlohmann::json> Gadgets() {
    std::vector<nlohmann::json> gadgets;
    host.dialogs().describe(gadgets);
    return gadgets;
  }

  // The first gadget with id; null when the window has none.
  nlohmann::json Gadget(int32_t id) {
    for (nlohmann::json &gadget : Gadgets()) {
      if (gadget["id"] == id)
        return gadget;
    }
    return nullptr;
  }

  // What the window shows of the settings: the value of each gadget that has
  // one, under its id, and the text of the mode label under 1113.
  std::map<int32_t, nlohmann::json> Shown() {
    std::map<int32_t, nlohmann::json> shown;
    for (const nlohmann::json &gadget : Gadgets()) {
      if (gadget.contains("value"))
        shown[gadget["id"].get<int32_t>()] = gadget["value"];
    }
    shown[1113] = Gadget(1113)["text"];
    return shown;
  }

  // The module's saved settings; null when none are saved.
  const HostContainer *Saved() { return host.preferences().find(kPluginId); }

  // Ends the module and says what it left alive.
  std::string EndAndAccount() {
    loader.end();
    return "blocks " + std::to_string(host.kernel().liveBlocks()) + ", strings " +
           std::to_string(host.kernel().liveStrings()) + ", containers " + std::to_string(hostemu::liveContainers()) +
           ", filenames " + std::to_string(hostemu::liveFilenames());
  }

  hostemu::Host host;
  hostemu::ModuleLoader loader{host};

 private:
  static testing::AssertionResult Done(const hostemu::ActionResult &result, const std::string &what) {
    if (result.ok())
      return testing::AssertionSuccess();
    return testing::AssertionFailure() << what << ": " << result.message;
  }
};

}  // namespace module_session
