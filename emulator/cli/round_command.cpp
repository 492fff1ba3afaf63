#include "round_command.h"

#include "changes.h"
#include "dialogs.h"
#include "plugins.h"

#include <charconv>
#include <cmath>
#include <cstdio>

namespace hostemu::cli {
namespace {

struct DialogUser {
  Host &host;

  Gadget *gadget(int32_t id) const {
    HostDialog *window = host.dialogs().openWindow();
    if (window == nullptr)
      return nullptr;
    std::vector<Gadget *> path = findGadget(window->gadgets, id);
    return path.empty() ? nullptr : path.back();
  }

  int32_t value(int32_t id) const {
    const Gadget *g = gadget(id);
    return g != nullptr ? g->integer : 0;
  }

  bool enabled(int32_t id) const {
    const Gadget *g = gadget(id);
    return g != nullptr && g->enabled;
  }

  std::optional<Failure> set(int32_t id, const std::string &typed, const std::string &option) {
    ActionResult result = host.dialogs().set(id, typed);
    if (result.ok())
      return std::nullopt;
    return Failure{kBadInput, option + ": the dialog refused it: " + result.message};
  }

  std::optional<Failure> setIfDifferent(int32_t id, int32_t wanted, const std::string &option) {
    if (value(id) == wanted)
      return std::nullopt;
    return set(id, std::to_string(wanted), option);
  }

  // A field the dialog has disabled is enabled the way a user would: by
  // ticking its checkbox, or for the two step fields of the scale group by
  // choosing what it rounds. The checkboxes get their final values last.
  std::optional<Failure> enable(int32_t id, const std::string &option) {
    int32_t checkbox = id == kPositionStep || id == kPositionMode   ? kRoundPosition
                       : id == kRotationStep || id == kRotationMode ? kRoundRotation
                       : id >= kScaleStep && id <= kSizeOrScale     ? kRoundScale
                                                                    : 0;
    if (!enabled(id) && checkbox != 0 && value(checkbox) == 0) {
      if (auto failure = set(checkbox, "1", option))
        return failure;
    }
    if (!enabled(id) && (id == kScaleStep || id == kSizeStep)) {
      if (auto failure = set(kSizeOrScale, id == kScaleStep ? "1" : "0", option))
        return failure;
    }
    return std::nullopt;
  }

  // A step as the user typed it, checked against the field's limits first so
  // that the field does not quietly clamp it.
  std::optional<Failure> setStep(int32_t id, const std::string &typed, const std::string &option) {
    if (auto failure = enable(id, option))
      return failure;
    const Gadget *field = gadget(id);
    if (field == nullptr)
      return Failure{kModuleFailed, option + ": the dialog has no field " + std::to_string(id)};
    double value = 0.0;
    auto [end, error] = std::from_chars(typed.data(), typed.data() + typed.size(), value);
    if (error != std::errc() || end != typed.data() + typed.size() || !std::isfinite(value)) {
      return Failure{kBadInput, option + " " + typed + ": not a number; write it like 0.25 or 15"};
    }
    double unit = field->format == kFormatDegrees ? kRadiansPerDegree : 1.0;
    if (!(value * unit >= field->minimum && value * unit <= field->maximum)) {
      char range[96];
      std::snprintf(range, sizeof range, "%.6g to %.6g%s", field->minimum / unit, field->maximum / unit,
                    unit == 1.0 ? "" : " degrees");
      return Failure{kBadInput, option + " " + typed + ": out of range; the dialog takes " + range};
    }
    return set(id, typed, option);
  }

  std::optional<Failure> setChoice(int32_t id, int32_t value, const std::string &option) {
    if (auto failure = enable(id, option))
      return failure;
    return set(id, std::to_string(value), option);
  }
};

std::optional<Failure> applyChoices(DialogUser &user, const RoundChoices &choices) {
  // What the checkboxes and the target must end as, read before anything
  // changes them.
  const int32_t finalPosition = choices.position ? *choices.position : user.value(kRoundPosition);
  const int32_t finalRotation = choices.rotation ? *choices.rotation : user.value(kRoundRotation);
  const int32_t finalScale = choices.scale ? *choices.scale : user.value(kRoundScale);
  const int32_t finalTarget = choices.target ? *choices.target : user.value(kSizeOrScale);

  struct Step {
    const std::optional<std::string> &typed;
    int32_t id;
    const char *option;
  };
  const Step steps[] = {{choices.positionStep, kPositionStep, "--position-step"},
                        {choices.rotationStep, kRotationStep, "--rotation-step"},
                        {choices.scaleStep, kScaleStep, "--scale-step"},
                        {choices.sizeStep, kSizeStep, "--size-step"}};
  for (const Step &step : steps) {
    if (!step.typed)
      continue;
    if (auto failure = user.setStep(step.id, *step.typed, step.option))
      return failure;
  }
  if (auto failure = user.enable(kSizeOrScale, "--target"))
    return failure;
  if (auto failure = user.setIfDifferent(kSizeOrScale, finalTarget, "--target"))
    return failure;

  struct Choice {
    const std::optional<int32_t> &value;
    int32_t id;
    const char *option;
  };
  const Choice combos[] = {{choices.positionMode, kPositionMode, "--position-mode"},
                           {choices.rotationMode, kRotationMode, "--rotation-mode"},
                           {choices.sizeMode, kSizeMode, "--size-mode"},
                           {choices.scope, kScope, "--scope"}};
  for (const Choice &combo : combos) {
    if (!combo.value)
      continue;
    if (auto failure = user.setChoice(combo.id, *combo.value, combo.option))
      return failure;
  }
  if (choices.warnings) {
    if (auto failure = user.setIfDifferent(kWarnings, *choices.warnings, "--warnings"))
      return failure;
  }
  if (auto failure = user.setIfDifferent(kRoundPosition, finalPosition, "--no-position"))
    return failure;
  if (auto failure = user.setIfDifferent(kRoundRotation, finalRotation, "--no-rotation"))
    return failure;
  if (auto failure = user.setIfDifferent(kRoundScale, finalScale, "--no-scale"))
    return failure;
  return std::nullopt;
}

int fail(Session &session, const Failure &failure) {
  session.end();
  std::fprintf(stderr, "hostemu: %s\n", failure.message.c_str());
  return failure.status;
}

}  // namespace

int roundCommand(const RoundOptions &options) {
  if (auto failure = checkOutputFile(options.output, "-o")) {
    std::fprintf(stderr, "hostemu: %s\n", failure->message.c_str());
    return failure->status;
  }
  Session session(options.session);
  if (auto failure = session.open())
    return fail(session, *failure);

  Host &host = session.host();
  if (ActionResult invoked = host.plugins().invoke(); !invoked.ok()) {
    return fail(session, Failure{kModuleFailed, "the module's command did not run: " + invoked.message});
  }
  if (host.dialogs().openWindow() == nullptr) {
    return fail(session, Failure{kModuleFailed, "the module's command opened no dialog"});
  }
  DialogUser user{host};
  if (auto failure = applyChoices(user, options.choices))
    return fail(session, *failure);
  const bool roundsSize = user.value(kRoundScale) == 1 && user.value(kSizeOrScale) != 1;
  const bool roundsAll = user.value(kScope) == 2;
  if (ActionResult pressed = host.dialogs().press(kRoundButton); !pressed.ok()) {
    return fail(session, Failure{kModuleFailed, "\"Round\" could not be pressed: " + pressed.message});
  }
  session.timings().mark("round");
  host.dialogs().close();
  session.showUserOutput();
  session.end();
  session.timings().mark("end");

  Changes changes = compareScene(session.scene(), session.document());
  if (roundsSize)
    addObjectsNotSized(session.document(), changes);
  if (options.table)
    printTable(stdout, session.scene(), session.document());
  std::fflush(stdout);
  session.timings().mark("compare");
  if (auto failure = session.writeResults(OutputFiles{options.output, {}, {}})) {
    std::fprintf(stderr, "hostemu: %s\n", failure->message.c_str());
    return failure->status;
  }
  printSummary(stderr, changes);
  session.timings().print(stderr);
  if (changes.visited == 0 && changes.objects > 0 && !roundsAll) {
    std::fprintf(stderr,
                 "hostemu: nothing in the scene is selected; mark objects \"selected\": true or use --scope all\n");
  }
  return kDone;
}

}  // namespace hostemu::cli
