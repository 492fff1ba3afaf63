// Checks of Round on scenes: small and odd scenes, a very deep chain, a very
// large scene, undo and redo bit for bit, and a seeded random session of
// everything a user does.
#include "check_support.h"
#include "child_process.h"
#include "dialogs.h"
#include "plugins.h"

#include <cmath>
#include <functional>

namespace hostemu::validate {
namespace {

inline constexpr int32_t kTarget = 1110;

std::string openDialog(Rig &rig) {
  if (std::string problem = refusal(rig.host().plugins().invoke(), "invoke"); !problem.empty())
    return problem;
  return rig.host().dialogs().openWindow() ? std::string() : "invoke opened no window";
}

std::string roundAndJudge(Rig &rig, const std::string &when) {
  Snapshot before = snapshot(rig.document());
  if (std::string problem = refusal(rig.host().dialogs().press(kRound), "Round " + when); !problem.empty())
    return problem;
  if (std::string problem = firstNonFinite(snapshot(rig.document()), before); !problem.empty())
    return "Round " + when + ": " + problem;
  return {};
}

using SceneMaker = std::function<void(Document &)>;

HostObject &pointObject(Document &document, const char *name, std::vector<HostVector> points) {
  HostObject &o = document.addObject(nullptr, name, ObjectKind::pointObject);
  o.position = {0.4, 1.6, -2.3};
  o.rotation = {0.3, -0.01, 2.0};
  o.scale = {1.04, 0.96, 2.51};
  o.points = std::move(points);
  return o;
}

const std::vector<HostVector> kBoxPoints = {{-1.6, -0.4, -1.0}, {1.6, 0.4, 1.0}, {0.2, -0.3, 0.9}};

}  // namespace

CheckResult checkScenes(CheckContext &context) {
  const double nan = std::nan("");
  const std::pair<const char *, SceneMaker> scenes[] = {
      {"an empty scene", [](Document &) {}},
      {"one null object",
       [](Document &d) {
         d.addObject(nullptr, "Null", ObjectKind::nullObject).position = {0.4, 0.6, -7.5};
       }},
      {"one point object", [](Document &d) { pointObject(d, "Box", kBoxPoints); }},
      {"a point object with no points", [](Document &d) { pointObject(d, "Empty", {}); }},
      {"a point object with one point",
       [](Document &d) {
         pointObject(d, "Dot", {{0.3, 0.3, 0.3}});
       }},
      {"points all at one place",
       [](Document &d) {
         pointObject(d, "Flat", {{2.0, 2.0, 2.0}, {2.0, 2.0, 2.0}});
       }},
      {"points with NaN",
       [nan](Document &d) {
         pointObject(d, "Poisoned", {{nan, 0.0, 1.0}, {1.0, nan, nan}, {0.5, 0.5, 0.5}});
         pointObject(d, "Healthy", kBoxPoints);
       }},
      {"locked points", [](Document &d) { pointObject(d, "Locked", kBoxPoints).pointsLocked = true; }},
      {"a random scene",
       [&context](Document &d) {
         std::unique_ptr<Document> random = randomScene(context.random, 60);
         for (HostObject *o = random->firstObject(); o != nullptr; o = Document::nextInTree(o)) {
           if (o->parent() == nullptr) {
             // Only top-level copies: the shape matters less than the values here.
             HostObject &copy = d.addObject(nullptr, o->name, o->kind);
             copy.position = o->position;
             copy.rotation = o->rotation;
             copy.scale = o->scale;
             copy.points = o->points;
             copy.pointsLocked = o->pointsLocked;
           }
         }
       }},
  };
  Rig rig(context);
  if (LoadResult loaded = rig.start(); !loaded.ok())
    return CheckResult::failed(loaded.message);
  for (const auto &[name, make] : scenes) {
    for (int32_t target : {0, 1}) {
      auto document = std::make_unique<Document>();
      make(*document);
      rig.setDocument(std::move(document));
      const std::string when = std::string("on ") + name + (target == 0 ? ", rounding size" : ", rounding scale");
      if (std::string problem = openDialog(rig); !problem.empty())
        return CheckResult::failed(when + ": " + problem);
      for (const auto &[id, value] : {std::pair{kScope, double(kScopeAll)}, std::pair{kTarget, double(target)}}) {
        if (std::string problem = refusal(rig.host().dialogs().set(id, value), "set " + std::to_string(id));
            !problem.empty())
          return CheckResult::failed(when + ": " + problem);
      }
      const Snapshot before = snapshot(rig.document());
      if (std::string problem = roundAndJudge(rig, when); !problem.empty())
        return CheckResult::failed(problem);
      const Snapshot after = snapshot(rig.document());
      for (size_t i = 0; i < after.size(); ++i) {
        // Only the points are the host's to keep; the values may round.
        ObjectValues points = before[i];
        points.points = after[i].points;
        if (after[i].object->pointsLocked && !firstDifference({points}, {before[i]}, "").empty()) {
          return CheckResult::failed(when + ": the points the host keeps locked changed");
        }
      }
    }
  }
  rig.end();
  if (std::string left = leftovers(rig.host()); !left.empty())
    return CheckResult::failed("after the end: " + left);
  return CheckResult::passed();
}

CheckResult checkDeepChain(CheckContext &context) {
  constexpr size_t kDepth = 100000;
  // Far less than a recursion over the chain would need.
  constexpr size_t kStackBytes = 512 * 1024;
  CheckResult result = CheckResult::passed();
  auto body = [&] {
    Rig rig(context);
    auto document = std::make_unique<Document>();
    HostObject *parent = nullptr;
    for (size_t i = 0; i < kDepth; ++i) {
      HostObject &o = document->addObject(parent, "Link " + std::to_string(i),
                                          i + 1 == kDepth ? ObjectKind::pointObject : ObjectKind::nullObject);
      o.position = {0.4, 1.6, -2.3};
      parent = &o;
    }
    parent->points = kBoxPoints;
    document->firstObject()->selected = true;
    HostObject *deepest = parent;
    rig.setDocument(std::move(document));
    if (LoadResult loaded = rig.start(); !loaded.ok()) {
      result = CheckResult::failed(loaded.message);
      return;
    }
    if (std::string problem = openDialog(rig); !problem.empty()) {
      result = CheckResult::failed(problem);
      return;
    }
    if (std::string problem = roundAndJudge(rig, "on the chain"); !problem.empty()) {
      result = CheckResult::failed(problem);
      return;
    }
    const HostVector &p = deepest->position;
    if (p.x != 0.0 || p.y != 2.0 || p.z != -2.0) {
      result = CheckResult::failed("the deepest object's position is (" + hex(p.x) + ", " + hex(p.y) + ", " + hex(p.z) +
                                   "), not rounded to (0, 2, -2): the pass did not reach the end of the chain");
      return;
    }
    rig.end();
    if (std::string left = leftovers(rig.host()); !left.empty())
      result = CheckResult::failed("after the end: " + left);
  };
  if (!runOnSmallStack(body, kStackBytes))
    return CheckResult::warning("no thread with a stack of " + std::to_string(kStackBytes) + " bytes could be made");
  return result;
}

CheckResult checkMillionObjects(CheckContext &context) {
  constexpr size_t kObjects = 1000000;
  Rig rig(context);
  auto document = std::make_unique<Document>();
  for (size_t i = 0; i < kObjects; ++i) {
    HostObject &o = document->addObject(nullptr, "O", i % 10 == 0 ? ObjectKind::pointObject : ObjectKind::nullObject);
    o.position = {0.4 + double(i % 7), 1.6, -2.3};
    if (o.isPointObject())
      o.points = kBoxPoints;
  }
  rig.setDocument(std::move(document));
  if (LoadResult loaded = rig.start(); !loaded.ok())
    return CheckResult::failed(loaded.message);
  if (std::string problem = openDialog(rig); !problem.empty())
    return CheckResult::failed(problem);
  if (std::string problem = refusal(rig.host().dialogs().set(kScope, kScopeAll), "set scope"); !problem.empty())
    return CheckResult::failed(problem);
  const Snapshot before = snapshot(rig.document());
  if (std::string problem = roundAndJudge(rig, "on a million objects"); !problem.empty())
    return CheckResult::failed(problem);
  for (const ObjectValues &values : snapshot(rig.document())) {
    if (values.position.y != 2.0)
      return CheckResult::failed("object " + Document::pathOf(values.object) + " was not rounded");
  }
  if (!rig.document().undo())
    return CheckResult::failed("the pass left nothing to undo");
  if (std::string problem = firstDifference(snapshot(rig.document()), before, "after undo"); !problem.empty())
    return CheckResult::failed(problem);
  return CheckResult::passed();
}

CheckResult checkUndoRedo(CheckContext &context) {
  Rig rig(context);
  rig.setDocument(randomScene(context.random, 200));
  if (LoadResult loaded = rig.start(); !loaded.ok())
    return CheckResult::failed(loaded.message);
  if (std::string problem = openDialog(rig); !problem.empty())
    return CheckResult::failed(problem);
  if (std::string problem = setRandomSettings(rig.host(), context.random); !problem.empty())
    return CheckResult::failed(problem);
  if (std::string problem = refusal(rig.host().dialogs().set(kScope, kScopeAll), "set scope"); !problem.empty())
    return CheckResult::failed(problem);
  const Snapshot before = snapshot(rig.document());
  const size_t steps = rig.document().undoStepCount();
  if (std::string problem = roundAndJudge(rig, "on a random scene"); !problem.empty())
    return CheckResult::failed(problem);
  const Snapshot after = snapshot(rig.document());
  if (firstDifference(after, before, "").empty())
    return CheckResult::warning("Round changed nothing; nothing to undo");
  if (rig.document().undoStepCount() != steps + 1) {
    return CheckResult::failed("Round added " + std::to_string(rig.document().undoStepCount() - steps) +
                               " undo steps, not one");
  }
  for (int repeat = 0; repeat < 2; ++repeat) {
    if (!rig.document().undo())
      return CheckResult::failed("undo refused");
    if (std::string problem = firstDifference(snapshot(rig.document()), before, "after undo"); !problem.empty())
      return CheckResult::failed(problem);
    if (!rig.document().redo())
      return CheckResult::failed("redo refused");
    if (std::string problem = firstDifference(snapshot(rig.document()), after, "after redo"); !problem.empty())
      return CheckResult::failed(problem);
  }
  return CheckResult::passed();
}

namespace {

enum class UserAction { open, set, round, undo, redo, save, reload, reset, cancel, close, restart };
constexpr const char *kActionNames[] = {"open",   "set",   "round",  "undo",  "redo",   "save",
                                        "reload", "reset", "cancel", "close", "restart"};
// How often each comes up, in the order above.
constexpr int kWeights[] = {3, 8, 4, 3, 2, 2, 2, 1, 1, 1, 1};

struct UndoEntry {
  Snapshot before;
  Snapshot after;
};

// One random session, with its own judge of every step.
class Session {
 public:
  Session(CheckContext &context, Rig &rig) : context_(context), rig_(rig), start_(snapshot(rig.document())) {}

  // What went wrong in this step; empty when all is well.
  std::string step(UserAction action) {
    Dialogs &dialogs = rig_.host().dialogs();
    const bool open = dialogs.openWindow() != nullptr;
    switch (action) {
      case UserAction::open:
        return openDialog(rig_);
      case UserAction::set:
        return set(open);
      case UserAction::round:
        return round(open);
      case UserAction::undo:
        return undoRedo(undo_, redo_, &UndoEntry::before, "undo");
      case UserAction::redo:
        return undoRedo(redo_, undo_, &UndoEntry::after, "redo");
      case UserAction::save:
        return press(kSave, open);
      case UserAction::reload:
        return press(kReload, open);
      case UserAction::reset:
        return press(kReset, open);
      case UserAction::cancel:
        return press(kCancel, open);
      case UserAction::close:
        return expect(dialogs.close(), open, "close");
      case UserAction::restart:
        rig_.end();
        if (std::string left = leftovers(rig_.host()); !left.empty())
          return "at restart: " + left;
        if (LoadResult loaded = rig_.start(); !loaded.ok())
          return loaded.message;
        return {};
    }
    return {};
  }

  std::string judge() { return firstNonFinite(snapshot(rig_.document()), start_); }

 private:
  // With the window closed a refusal for that reason is expected; otherwise
  // the action must be done.
  std::string expect(const ActionResult &result, bool open, const std::string &what) {
    if (!open)
      return result.error == ActionError::noWindow ? std::string() : what + " with no window open was not refused";
    return refusal(result, what);
  }

  std::string press(int32_t id, bool open) {
    return expect(rig_.host().dialogs().press(id), open, "press " + std::to_string(id));
  }

  std::string set(bool open) {
    if (!open)
      return expect(rig_.host().dialogs().set(kScope, 0.0), open, "set");
    std::vector<nlohmann::json> gadgets = settableGadgets(rig_.host());
    if (gadgets.empty())
      return "the open dialog has no gadget to set";
    const nlohmann::json &gadget = gadgets[context_.random() % gadgets.size()];
    const bool inRange = context_.random() % 4 != 0;
    const double value = inRange ? inRangeValue(gadget, context_.random) : outOfRangeValue(gadget, context_.random);
    const std::string what = "set " + std::to_string(gadget["id"].get<int32_t>()) + " " + hex(value);
    ActionResult result = rig_.host().dialogs().set(gadget["id"].get<int32_t>(), value);
    if (result.ok() || result.error == ActionError::disabled || (!inRange && result.error == ActionError::badValue))
      return {};
    return refusal(result, what);
  }

  std::string round(bool open) {
    if (!open)
      return press(kRound, open);
    Snapshot before = snapshot(rig_.document());
    const size_t steps = rig_.document().undoStepCount();
    if (std::string problem = press(kRound, open); !problem.empty())
      return problem;
    Snapshot after = snapshot(rig_.document());
    if (rig_.document().undoStepCount() == steps) {
      // Without an undo step nothing may have changed, or it could not be undone.
      return firstDifference(after, before,
                             rig_.document().undoGroupOpen() ? "Round changed values inside an undo group left open"
                                                             : "Round changed values without an undo step");
    }
    undo_.push_back({std::move(before), std::move(after)});
    redo_.clear();
    return {};
  }

  std::string undoRedo(std::vector<UndoEntry> &from, std::vector<UndoEntry> &to, Snapshot UndoEntry::*expected,
                       const char *what) {
    const bool done = std::string(what) == "undo" ? rig_.document().undo() : rig_.document().redo();
    if (done != !from.empty())
      return std::string(what) + (done ? " did something with no step of Round to act on" : " was refused");
    if (!done)
      return {};
    if (std::string problem = firstDifference(snapshot(rig_.document()), from.back().*expected, what); !problem.empty())
      return problem;
    to.push_back(std::move(from.back()));
    from.pop_back();
    return {};
  }

  CheckContext &context_;
  Rig &rig_;
  Snapshot start_;
  std::vector<UndoEntry> undo_;
  std::vector<UndoEntry> redo_;
};

}  // namespace

CheckResult checkRandomSession(CheckContext &context) {
  HostOptions options;
  options.preferencesFile = context.scratch / "preferences.json";
  Rig rig(context, options);
  rig.setDocument(randomScene(context.random, 60));
  if (LoadResult loaded = rig.start(); !loaded.ok())
    return CheckResult::failed(loaded.message);
  Session session(context, rig);
  std::discrete_distribution<int> pick(std::begin(kWeights), std::end(kWeights));
  const int steps = 40 * context.level;
  std::string done;  // the actions so far, to retrace a failure
  for (int i = 1; i <= steps; ++i) {
    const auto action = static_cast<UserAction>(pick(context.random));
    done += std::string(done.empty() ? "" : " ") + kActionNames[int(action)];
    std::string problem = session.step(action);
    if (problem.empty())
      problem = session.judge();
    if (!problem.empty()) {
      const size_t shown = done.size() > 200 ? done.size() - 200 : 0;
      return CheckResult::failed("step " + std::to_string(i) + " (" + kActionNames[int(action)] + "): " + problem +
                                 "; the actions: " + (shown > 0 ? "..." : "") + done.substr(shown));
    }
  }
  rig.end();
  if (std::string left = leftovers(rig.host()); !left.empty())
    return CheckResult::failed("after the end: " + left);
  return CheckResult::passed(std::to_string(steps) + " actions");
}

}  // namespace hostemu::validate
