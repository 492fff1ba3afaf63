#include "run_command.h"

#include "changes.h"
#include "console.h"
#include "dialogs.h"
#include "document.h"
#include "object_paths.h"
#include "plugins.h"

#include <cstdio>

namespace hostemu::cli {
namespace {

std::optional<Failure> refused(const Action &action, const std::string &why) {
  return Failure{kBadInput, action.where + ": \"" + action.text + "\" refused: " + why};
}

std::optional<Failure> fromResult(const Action &action, const ActionResult &result) {
  if (result.ok())
    return std::nullopt;
  return refused(action, result.message);
}

std::optional<Failure> select(Session &session, const Action &action) {
  Document &document = session.document();
  std::vector<HostObject *> chosen;
  for (const std::string &path : action.paths) {
    ObjectLookup lookup = findObject(document, path);
    if (lookup.object == nullptr)
      return refused(action, lookup.problem);
    chosen.push_back(lookup.object);
  }
  document.clearSelection();
  for (HostObject *object : chosen)
    object->selected = true;
  return std::nullopt;
}

std::optional<Failure> describeDialog(Session &session, const Action &action) {
  std::vector<nlohmann::json> gadgets;
  if (auto failure = fromResult(action, session.host().dialogs().describe(gadgets)))
    return failure;
  for (const nlohmann::json &gadget : gadgets)
    std::printf("%s\n", gadget.dump().c_str());
  return std::nullopt;
}

std::optional<Failure> perform(Session &session, const Action &action) {
  Host &host = session.host();
  switch (action.kind) {
    case ActionKind::invoke:
      return fromResult(action, action.id == 0 ? host.plugins().invoke() : host.plugins().invoke(action.id));
    case ActionKind::set:
      return fromResult(action, host.dialogs().set(action.id, action.value));
    case ActionKind::press:
      return fromResult(action, host.dialogs().press(action.id));
    case ActionKind::close:
      return fromResult(action, host.dialogs().close());
    case ActionKind::select:
      return select(session, action);
    case ActionKind::undo:
      if (!session.document().undo())
        return refused(action, "there is nothing to undo");
      return std::nullopt;
    case ActionKind::redo:
      if (!session.document().redo())
        return refused(action, "there is nothing to redo");
      return std::nullopt;
    case ActionKind::restart:
      if (auto failure = session.restart()) {
        failure->message = action.where + ": \"" + action.text + "\": " + failure->message;
        return failure;
      }
      return std::nullopt;
    case ActionKind::dialog:
      return describeDialog(session, action);
  }
  return std::nullopt;
}

}  // namespace

int runCommand(const RunOptions &options) {
  Session session(options.session);
  if (auto failure = session.open()) {
    session.end();
    std::fprintf(stderr, "hostemu: %s\n", failure->message.c_str());
    // The console and the journal say why a module failed; the scene is not
    // written, since nothing was done to it.
    if (failure->status == kModuleFailed) {
      if (auto unwritten = session.writeResults(OutputFiles{{}, options.outputs.console, options.outputs.journal})) {
        std::fprintf(stderr, "hostemu: %s\n", unwritten->message.c_str());
      }
    }
    return failure->status;
  }
  for (const Action &action : options.actions) {
    std::optional<Failure> failure = perform(session, action);
    session.showUserOutput();
    if (failure) {
      session.end();
      std::fprintf(stderr, "hostemu: %s\n", failure->message.c_str());
      return failure->status;
    }
  }
  session.timings().mark("actions");
  session.end();
  session.timings().mark("end");

  Changes changes = compareScene(session.scene(), session.document());
  addWarnedObjects(session.host().console().lines(), changes);
  session.timings().mark("compare");
  if (auto failure = session.writeResults(options.outputs)) {
    std::fprintf(stderr, "hostemu: %s\n", failure->message.c_str());
    return failure->status;
  }
  printSummary(stderr, changes);
  warnIfSettingsUnsaved(session);
  session.timings().print(stderr);
  return kDone;
}

}  // namespace hostemu::cli
