// Checks of the dialog and the stored settings: opening and closing, Cancel,
// every gadget worked with good and bad values, the settings round trip, and
// stored settings that are damaged.
#include "check_support.h"
#include "container.h"
#include "dialogs.h"
#include "plugins.h"
#include "preferences.h"

#include <cmath>
#include <limits>

namespace hostemu::validate {
namespace {

std::string invokeProblem(Rig &rig, const char *when) {
  if (std::string problem = refusal(rig.host().plugins().invoke(), std::string("invoke ") + when); !problem.empty())
    return problem;
  if (rig.host().dialogs().openWindow() == nullptr)
    return std::string("invoke ") + when + ": no window opened";
  return {};
}

// Presses Round and judges what it wrote: nothing finite may become NaN or
// infinite.
std::string roundProblem(Rig &rig, const char *when) {
  Snapshot before = snapshot(rig.document());
  if (std::string problem = refusal(rig.host().dialogs().press(kRound), std::string("Round ") + when); !problem.empty())
    return problem;
  if (std::string problem = firstNonFinite(snapshot(rig.document()), before); !problem.empty())
    return std::string("Round ") + when + ": " + problem;
  return {};
}

// Number fields hold a finite value within their limits, whatever was typed.
std::string fieldProblem(Host &host) {
  for (const nlohmann::json &gadget : settableGadgets(host)) {
    if (!gadget.contains("min"))
      continue;
    const nlohmann::json &value = gadget["value"];
    if (!value.is_number() || value.get<double>() < gadget["min"].get<double>() ||
        value.get<double>() > gadget["max"].get<double>()) {
      return "gadget " + std::to_string(gadget["id"].get<int32_t>()) + " holds " + value.dump() + ", outside " +
             gadget["min"].dump() + " to " + gadget["max"].dump();
    }
  }
  return {};
}

}  // namespace

CheckResult checkDialogOpenClose(CheckContext &context) {
  Rig rig(context);
  if (LoadResult loaded = rig.start(); !loaded.ok())
    return CheckResult::failed(loaded.message);
  std::vector<nlohmann::json> first;
  for (int round = 1; round <= 2; ++round) {
    const std::string when = round == 1 ? "the first time" : "the second time";
    if (std::string problem = invokeProblem(rig, when.c_str()); !problem.empty())
      return CheckResult::failed(problem);
    // Picking the command again with the window open must not open another.
    if (std::string problem = invokeProblem(rig, "with the window open"); !problem.empty())
      return CheckResult::failed(problem);
    std::vector<nlohmann::json> gadgets = describeDialog(rig.host());
    if (gadgets.empty())
      return CheckResult::failed("the dialog has no gadgets " + when);
    if (round == 1)
      first = gadgets;
    else if (gadgets != first)
      return CheckResult::failed("the dialog opened a second time differs from the first");
    if (std::string problem = refusal(rig.host().dialogs().close(), "close " + when); !problem.empty())
      return CheckResult::failed(problem);
    if (rig.host().dialogs().openWindow() != nullptr)
      return CheckResult::failed("the window is still open after close " + when);
  }
  rig.end();
  if (std::string left = leftovers(rig.host()); !left.empty())
    return CheckResult::failed("after the end: " + left);
  return CheckResult::passed();
}

CheckResult checkDialogCancel(CheckContext &context) {
  Rig rig(context);
  rig.setDocument(randomScene(context.random, 40));
  if (LoadResult loaded = rig.start(); !loaded.ok())
    return CheckResult::failed(loaded.message);
  if (std::string problem = invokeProblem(rig, ""); !problem.empty())
    return CheckResult::failed(problem);
  const Snapshot scene = snapshot(rig.document());
  const nlohmann::json values = gadgetValues(rig.host());
  const PluginContainers stored = rig.host().preferences().containers();
  const size_t undoSteps = rig.document().undoStepCount();
  if (std::string problem = setRandomSettings(rig.host(), context.random); !problem.empty())
    return CheckResult::failed(problem);
  if (std::string problem = refusal(rig.host().dialogs().press(kCancel), "Cancel"); !problem.empty())
    return CheckResult::failed(problem);
  if (rig.host().dialogs().openWindow() != nullptr)
    return CheckResult::failed("Cancel left the window open");
  if (std::string problem = firstDifference(snapshot(rig.document()), scene, "after Cancel"); !problem.empty())
    return CheckResult::failed(problem);
  if (rig.document().undoStepCount() != undoSteps)
    return CheckResult::failed("Cancel added an undo step");
  if (rig.host().preferences().containers() != stored)
    return CheckResult::failed("Cancel changed the stored settings");
  if (std::string problem = invokeProblem(rig, "after Cancel"); !problem.empty())
    return CheckResult::failed(problem);
  if (nlohmann::json now = gadgetValues(rig.host()); now != values)
    return CheckResult::failed("after Cancel the dialog shows " + now.dump() + ", not " + values.dump());
  return CheckResult::passed();
}

CheckResult checkGadgetValues(CheckContext &context) {
  Rig rig(context);
  rig.setDocument(randomScene(context.random, 40));
  if (LoadResult loaded = rig.start(); !loaded.ok())
    return CheckResult::failed(loaded.message);
  if (std::string problem = invokeProblem(rig, ""); !problem.empty())
    return CheckResult::failed(problem);
  size_t accepted = 0;
  size_t refused = 0;
  for (int pass = 0; pass < 3; ++pass) {
    for (const nlohmann::json &gadget : settableGadgets(rig.host())) {
      const int32_t id = gadget["id"].get<int32_t>();
      for (int attempt = 0; attempt < 6; ++attempt) {
        const bool inRange = attempt % 2 == 0;
        const double value = inRange ? inRangeValue(gadget, context.random) : outOfRangeValue(gadget, context.random);
        ActionResult result = rig.host().dialogs().set(id, value);
        const std::string what = "set " + std::to_string(id) + " " + hex(value);
        if (result.ok()) {
          ++accepted;
        } else if (result.error == ActionError::disabled || (!inRange && result.error == ActionError::badValue)) {
          ++refused;
        } else {
          return CheckResult::failed(refusal(result, what));
        }
        if (rig.host().dialogs().openWindow() == nullptr)
          return CheckResult::failed(what + " closed the window");
        if (std::string problem = fieldProblem(rig.host()); !problem.empty())
          return CheckResult::failed("after " + what + ": " + problem);
      }
    }
    if (std::string problem = roundProblem(rig, ("after pass " + std::to_string(pass + 1)).c_str()); !problem.empty())
      return CheckResult::failed(problem);
  }
  return CheckResult::passed(std::to_string(accepted) + " values taken, " + std::to_string(refused) + " refused");
}

CheckResult checkSettingsRoundTrip(CheckContext &context) {
  HostOptions options;
  options.preferencesFile = context.scratch / "preferences.json";
  nlohmann::json saved;
  {
    Rig rig(context, options);
    if (LoadResult loaded = rig.start(); !loaded.ok())
      return CheckResult::failed(loaded.message);
    if (std::string problem = invokeProblem(rig, ""); !problem.empty())
      return CheckResult::failed(problem);
    if (std::string problem = setRandomSettings(rig.host(), context.random); !problem.empty())
      return CheckResult::failed(problem);
    saved = gadgetValues(rig.host());
    if (std::string problem = refusal(rig.host().dialogs().press(kSave), "Save Settings"); !problem.empty())
      return CheckResult::failed(problem);
    const HostContainer *stored = rig.host().preferences().find(kPluginId);
    if (stored == nullptr)
      return CheckResult::failed("Save Settings stored nothing under " + std::to_string(kPluginId));
    for (const SettingKey &key : kSettingKeys) {
      auto found = stored->values.find(key.key);
      const size_t expected = key.type == KeyType::boolean ? 0 : key.type == KeyType::number ? 1 : 2;
      if (found == stored->values.end() || found->second.index() != expected)
        return CheckResult::failed("the stored settings lack key " + std::to_string(key.key) + " of its type");
    }
    if (stored->values.size() != std::size(kSettingKeys))
      return CheckResult::failed("the stored settings hold " + std::to_string(stored->values.size()) + " keys");

    if (LoadResult restarted = rig.restart(); !restarted.ok())
      return CheckResult::failed("restart: " + restarted.message);
    if (std::string problem = invokeProblem(rig, "after restart"); !problem.empty())
      return CheckResult::failed(problem);
    if (nlohmann::json now = gadgetValues(rig.host()); now.dump() != saved.dump())
      return CheckResult::failed("after restart the dialog shows " + now.dump() + ", saved were " + saved.dump());
    for (int32_t id : {kReset, kReload}) {
      if (std::string problem = refusal(rig.host().dialogs().press(id), "press " + std::to_string(id));
          !problem.empty())
        return CheckResult::failed(problem);
    }
    if (nlohmann::json now = gadgetValues(rig.host()); now.dump() != saved.dump())
      return CheckResult::failed("after Reset and Reload the dialog shows " + now.dump() + ", saved were " +
                                 saved.dump());
  }
  // A new host reads the settings from the file.
  Rig rig(context, options);
  if (LoadResult loaded = rig.start(); !loaded.ok())
    return CheckResult::failed(loaded.message);
  if (std::string problem = invokeProblem(rig, "in a new host"); !problem.empty())
    return CheckResult::failed(problem);
  if (nlohmann::json now = gadgetValues(rig.host()); now.dump() != saved.dump())
    return CheckResult::failed("in a new host the dialog shows " + now.dump() + ", saved were " + saved.dump());
  return CheckResult::passed();
}

namespace {

struct DamagedSettings {
  std::string what;
  HostContainer container;
};

HostContainer soundSettings() {
  HostContainer c;
  c.id = kPluginId;
  c.values = {{1100, true},
              {1103, true},
              {1106, true},
              {1101, 1.0},
              {1104, 0.017453292519943295},
              {1107, 0.1},
              {1108, 1.0},
              {1102, int32_t(0)},
              {1105, int32_t(0)},
              {1109, int32_t(0)},
              {1110, int32_t(0)},
              {1003, int32_t(kScopeAll)},
              {1004, true}};
  return c;
}

// Every way the stored container can be damaged that the checks know.
std::vector<DamagedSettings> damagedSettings() {
  std::vector<DamagedSettings> all;
  HostContainer empty;
  empty.id = kPluginId;
  all.push_back({"an empty container", empty});
  for (const SettingKey &key : kSettingKeys) {
    HostContainer without = soundSettings();
    without.values.erase(key.key);
    all.push_back({"key " + std::to_string(key.key) + " missing", without});
    const ContainerValue wrong[] = {ContainerValue(true), ContainerValue(7.5), ContainerValue(int32_t(-3))};
    for (const ContainerValue &value : wrong) {
      if (value.index() == size_t(key.type))
        continue;
      HostContainer typed = soundSettings();
      typed.values[key.key] = value;
      all.push_back({"key " + std::to_string(key.key) + " of the wrong type", typed});
    }
  }
  HostContainer extra = soundSettings();
  extra.values[424242] = 1.5;
  all.push_back({"an unknown extra key", extra});
  const std::pair<const char *, double> steps[] = {
      {"NaN", std::numeric_limits<double>::quiet_NaN()},
      {"infinity", INFINITY},
      {"-infinity", -INFINITY},
      {"zero", 0.0},
      {"-zero", -0.0},
      {"negative", -1.0},
      {"subnormal", 4.9406564584124654e-324},
      {"negative subnormal", -4.9406564584124654e-324},
      {"huge", 1e308},
  };
  for (const SettingKey &key : kSettingKeys) {
    if (!key.step)
      continue;
    for (const auto &[name, value] : steps) {
      HostContainer damaged = soundSettings();
      damaged.values[key.key] = value;
      // The scale step is used only when Round acts on scale.
      if (key.key == 1107)
        damaged.values[1110] = int32_t(1);
      all.push_back({"step " + std::to_string(key.key) + " " + name, damaged});
    }
  }
  return all;
}

}  // namespace

CheckResult checkDamagedSettings(CheckContext &context) {
  Rig rig(context);
  const uint64_t sceneSeed = context.random();
  for (const DamagedSettings &damaged : damagedSettings()) {
    rig.host().preferences().store(kPluginId, damaged.container, false);
    std::mt19937_64 sceneRandom(sceneSeed);
    rig.setDocument(randomScene(sceneRandom, 25));
    if (LoadResult loaded = rig.start(); !loaded.ok())
      return CheckResult::failed(damaged.what + ": " + loaded.message);
    if (std::string problem = invokeProblem(rig, ""); !problem.empty())
      return CheckResult::failed(damaged.what + ": " + problem);
    if (std::string problem = roundProblem(rig, "with the loaded settings"); !problem.empty())
      return CheckResult::failed(damaged.what + ": " + problem);
    if (std::string problem = refusal(rig.host().dialogs().press(kReload), "Reload Settings"); !problem.empty())
      return CheckResult::failed(damaged.what + ": " + problem);
    if (std::string problem = roundProblem(rig, "after Reload Settings"); !problem.empty())
      return CheckResult::failed(damaged.what + ": " + problem);
    rig.end();
    if (std::string left = leftovers(rig.host()); !left.empty())
      return CheckResult::failed(damaged.what + ", after the end: " + left);
  }
  return CheckResult::passed(std::to_string(damagedSettings().size()) + " damaged containers");
}

}  // namespace hostemu::validate
