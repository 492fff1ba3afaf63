// Checks of the module's life: what it exports, how it starts, which hosts it
// accepts, how it answers each action of the entry point, and that it gives
// everything back when it ends.
#include "check_support.h"
#include "console.h"
#include "dialogs.h"
#include "host_constants.h"
#include "plugins.h"

#include <climits>
#include <cstring>

namespace hostemu::validate {
namespace {

// The two thresholds of the module's flavours, and the versions each
// announces at the start of g_maxon.
struct Flavour {
  int32_t lowestHost;
  int64_t versions[2];
};
constexpr Flavour kFlavours[] = {{2024900, {2025000, 2025000}}, {2025200, {2025000, 2025200}}};

std::string startProblem(const LoadResult &result, const char *when) {
  return std::string(when) + ": " + result.message;
}

}  // namespace

CheckResult checkExports(CheckContext &context) {
  Rig rig(context);
  if (LoadResult opened = rig.loader().open(context.module); !opened.ok())
    return CheckResult::failed(opened.message);
  const ModuleInfo &info = *rig.loader().info();
  if (std::strlen(info.identifier) == 0)
    return CheckResult::failed("g_maxon names an empty module identifier");
  if (info.dependencyCount != int32_t(std::size(kHostFrameworks))) {
    return CheckResult::failed("g_maxon declares " + std::to_string(info.dependencyCount) + " frameworks, expected " +
                               std::to_string(std::size(kHostFrameworks)));
  }
  for (const Flavour &flavour : kFlavours) {
    if (info.versions[0] == flavour.versions[0] && info.versions[1] == flavour.versions[1])
      return CheckResult::passed();
  }
  return CheckResult::warning("g_maxon announces versions " + std::to_string(info.versions[0]) + ", " +
                              std::to_string(info.versions[1]) + ", which no known flavour does");
}

CheckResult checkStartSequence(CheckContext &context) {
  Rig rig(context);
  if (LoadResult loaded = rig.start(); !loaded.ok())
    return CheckResult::failed(loaded.message);
  const StartReport &report = rig.loader().report();
  if (report.message != HOST_RESULT_DONE)
    return CheckResult::failed("message 1 (load resources) answered " + std::to_string(report.message) + ", not 1");
  const auto &commands = rig.host().plugins().commands();
  if (commands.size() != 1)
    return CheckResult::failed("the start registered " + std::to_string(commands.size()) + " commands, not one");
  const RegisteredCommand &command = *commands.front();
  if (command.id != kPluginId)
    return CheckResult::failed("the command is registered under " + std::to_string(command.id));
  if (command.name.empty() || command.help.empty())
    return CheckResult::failed("the command is registered without a name or help text");
  const bool hasIcon = command.icon != nullptr;
  const auto &lines = rig.host().console().lines();
  if (lines.size() != 1) {
    return CheckResult::failed("the start wrote " + std::to_string(lines.size()) +
                               " console lines, expected one saying it loaded");
  }
  if (std::string problem = refusal(rig.host().plugins().invoke(), "invoke"); !problem.empty())
    return CheckResult::failed(problem);
  if (rig.host().dialogs().openWindow() == nullptr)
    return CheckResult::failed("picking the command opened no dialog window");
  rig.end();
  if (std::string left = leftovers(rig.host()); !left.empty())
    return CheckResult::failed("after the end: " + left);
  if (!hasIcon)
    return CheckResult::warning("the command is registered without an icon");
  return CheckResult::passed();
}

CheckResult checkHostVersion(CheckContext &context) {
  struct Probe {
    int32_t version;
    bool accepted = false;
    int32_t apiVersion = 0;  // handed over with the registration
  };
  std::vector<Probe> probes;
  for (const Flavour &flavour : kFlavours) {
    probes.push_back({flavour.lowestHost - 1});
    probes.push_back({flavour.lowestHost});
  }
  probes.push_back({INT32_MAX});
  probes.push_back({INT32_MIN});
  probes.push_back({0});
  for (Probe &probe : probes) {
    HostOptions options;
    options.version = probe.version;
    Rig rig(context, options);
    LoadResult loaded = rig.start();
    probe.accepted = loaded.ok();
    if (loaded.ok()) {
      probe.apiVersion = rig.host().plugins().commands().empty() ? 0 : rig.host().plugins().commands()[0]->apiVersion;
    } else if (loaded.error != LoadError::refusedHost) {
      return CheckResult::failed(startProblem(loaded, ("host " + std::to_string(probe.version)).c_str()));
    } else if (!rig.host().console().lines().empty()) {
      return CheckResult::failed("refusing host " + std::to_string(probe.version) +
                                 " it wrote to the console: " + rig.host().console().lines().front().text);
    }
    rig.end();
    if (std::string left = leftovers(rig.host()); !left.empty())
      return CheckResult::failed("host " + std::to_string(probe.version) + ": " + left);
  }
  auto accepted = [&](int32_t version) {
    for (const Probe &probe : probes) {
      if (probe.version == version)
        return probe.accepted;
    }
    return false;
  };
  if (accepted(0) || accepted(INT32_MIN))
    return CheckResult::failed("the module accepts host version 0 or below");
  if (!accepted(INT32_MAX))
    return CheckResult::failed("the module refuses the newest host version " + std::to_string(INT32_MAX));
  for (const Flavour &flavour : kFlavours) {
    const int32_t lowest = flavour.lowestHost;
    if (!accepted(lowest) || accepted(lowest - 1))
      continue;
    for (const Probe &probe : probes) {
      if (probe.version >= lowest && !probe.accepted)
        return CheckResult::failed("the module refuses host " + std::to_string(probe.version) + " above its lowest " +
                                   std::to_string(lowest));
      if (probe.accepted && probe.apiVersion != lowest)
        return CheckResult::failed("the module accepts host " + std::to_string(lowest) +
                                   " but registers its command for " + std::to_string(probe.apiVersion));
    }
    return CheckResult::passed("lowest host version " + std::to_string(lowest));
  }
  std::string seen;
  for (const Probe &probe : probes)
    seen += (seen.empty() ? "" : ", ") + std::to_string(probe.version) + (probe.accepted ? " accepted" : " refused");
  return CheckResult::failed("no known threshold (2024900, 2025200) accepted at V and refused at V-1: " + seen);
}

CheckResult checkEndBeforeBind(CheckContext &context) {
  Rig rig(context);
  if (LoadResult opened = rig.loader().open(context.module); !opened.ok())
    return CheckResult::failed(opened.message);
  if (int32_t answer = rig.loader().call(HOST_ACTION_END); answer != HOST_RESULT_DONE)
    return CheckResult::failed("action 3 before action 1 answered " + std::to_string(answer) + ", not 1");
  if (!rig.host().console().lines().empty())
    return CheckResult::failed("action 3 before action 1 wrote: " + rig.host().console().lines().front().text);
  if (std::string left = leftovers(rig.host()); !left.empty())
    return CheckResult::failed("after action 3 before action 1: " + left);
  rig.end();
  return CheckResult::passed();
}

CheckResult checkNestedActions(CheckContext &context) {
  Rig rig(context);
  if (LoadResult loaded = rig.start(); !loaded.ok())
    return CheckResult::failed(loaded.message);
  ModuleLoader &loader = rig.loader();
  const char *steps[] = {"second action 1", "third action 1", "action 3 (of three binds)", "action 3 (of two)"};
  const int32_t actions[] = {HOST_ACTION_BIND, HOST_ACTION_BIND, HOST_ACTION_END, HOST_ACTION_END};
  for (size_t i = 0; i < std::size(actions); ++i) {
    int32_t answer = actions[i] == HOST_ACTION_BIND
                         ? loader.call(HOST_ACTION_BIND, rig.host().record(), nullptr, loader.modulePath())
                         : loader.call(HOST_ACTION_END);
    if (answer != HOST_RESULT_DONE)
      return CheckResult::failed(std::string(steps[i]) + " answered " + std::to_string(answer) + ", not 1");
  }
  // Still bound once: the command and its dialog must work as before.
  rig.setDocument(randomScene(context.random, 20));
  if (std::string problem = refusal(rig.host().plugins().invoke(), "invoke after nested actions"); !problem.empty())
    return CheckResult::failed(problem);
  if (std::string problem = refusal(rig.host().dialogs().press(kRound), "Round after nested actions"); !problem.empty())
    return CheckResult::failed(problem);
  rig.end();
  if (std::string left = leftovers(rig.host()); !left.empty())
    return CheckResult::failed("after the last action 3: " + left);
  return CheckResult::passed();
}

CheckResult checkUnknownActions(CheckContext &context) {
  Rig rig(context);
  if (LoadResult loaded = rig.start(); !loaded.ok())
    return CheckResult::failed(loaded.message);
  struct Case {
    const char *what;
    int32_t action;
    uint64_t p1;
    int32_t expected;
  };
  const Case cases[] = {
      {"action 4 (protocol)", HOST_ACTION_PROTOCOL, 0, HOST_PROTOCOL_NUMBER},
      {"action 0", 0, 0, HOST_RESULT_NOT_HANDLED},
      {"action 5", 5, 0, HOST_RESULT_NOT_HANDLED},
      {"action 7", 7, 0, HOST_RESULT_NOT_HANDLED},
      {"action -1", -1, 0, HOST_RESULT_NOT_HANDLED},
      {"action INT32_MAX", INT32_MAX, 0, HOST_RESULT_NOT_HANDLED},
      {"action INT32_MIN", INT32_MIN, 0, HOST_RESULT_NOT_HANDLED},
      {"message 0", HOST_ACTION_MESSAGE, 0, HOST_RESULT_DONE},
      {"message 2", HOST_ACTION_MESSAGE, 2, HOST_RESULT_NOT_HANDLED},
      {"message -1", HOST_ACTION_MESSAGE, 0xFFFFFFFFu, HOST_RESULT_NOT_HANDLED},
      {"message INT32_MAX", HOST_ACTION_MESSAGE, 0x7FFFFFFFu, HOST_RESULT_NOT_HANDLED},
      // Only the low 32 bits carry the message id.
      {"message 0 with high bits set", HOST_ACTION_MESSAGE, 0xFFFFFFFF00000000u, HOST_RESULT_DONE},
      {"message 2 with high bits set", HOST_ACTION_MESSAGE, 0x0000000100000002u, HOST_RESULT_NOT_HANDLED},
  };
  const size_t linesAtStart = rig.host().console().lines().size();
  for (const Case &c : cases) {
    int32_t answer = rig.loader().call(c.action, reinterpret_cast<void *>(uintptr_t(c.p1)));
    if (answer != c.expected) {
      return CheckResult::failed(std::string(c.what) + " answered " + std::to_string(answer) + ", expected " +
                                 std::to_string(c.expected));
    }
  }
  if (rig.host().console().lines().size() != linesAtStart)
    return CheckResult::failed("unknown actions wrote: " + rig.host().console().lines().back().text);
  if (std::string problem = refusal(rig.host().plugins().invoke(), "invoke after unknown actions"); !problem.empty())
    return CheckResult::failed(problem);
  rig.end();
  if (std::string left = leftovers(rig.host()); !left.empty())
    return CheckResult::failed("after the end: " + left);
  return CheckResult::passed();
}

CheckResult checkLoadCycles(CheckContext &context) {
  const int cycles = context.level >= 9 ? 500 : 50;
  Rig rig(context);
  for (int cycle = 1; cycle <= cycles; ++cycle) {
    if (LoadResult loaded = rig.start(); !loaded.ok())
      return CheckResult::failed("cycle " + std::to_string(cycle) + ": " + loaded.message);
    // Every other cycle the user opens the dialog, and half of those leave it open.
    if (cycle % 2 == 0) {
      if (std::string problem = refusal(rig.host().plugins().invoke(), "invoke"); !problem.empty())
        return CheckResult::failed("cycle " + std::to_string(cycle) + ": " + problem);
      if (cycle % 4 == 0)
        rig.host().dialogs().close();
    }
    rig.end();
    if (rig.loader().isLoaded())
      return CheckResult::failed("cycle " + std::to_string(cycle) + ": the module is still loaded after its end");
    if (std::string left = leftovers(rig.host()); !left.empty())
      return CheckResult::failed("cycle " + std::to_string(cycle) + ", after the end: " + left);
  }
  return CheckResult::passed(std::to_string(cycles) + " cycles");
}

}  // namespace hostemu::validate
