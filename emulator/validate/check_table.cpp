#include "checks.h"

namespace hostemu::validate {
namespace {

// Cheap checks first: a module that cannot start fails early and plainly.
constexpr Check kChecks[] = {
    {"exports", 1, 20, checkExports, "g_maxon and c4d_main exported, the record and its frameworks readable"},
    {"start-sequence", 1, 20, checkStartSequence, "bind, message 1 and start answer 1; one command, one console line"},
    {"host-version", 1, 30, checkHostVersion, "accepted at its lowest host version V, refused at V-1"},
    {"end-before-bind", 1, 20, checkEndBeforeBind, "action 3 before any action 1 answers 1 and touches nothing"},
    {"nested-actions", 1, 20, checkNestedActions, "nested action 1 and 3 keep the module bound until the last end"},
    {"unknown-actions", 1, 20, checkUnknownActions,
     "protocol action, unknown actions and messages answer as they must"},
    {"load-cycles", 2, 60, checkLoadCycles, "load, start, end, unload cycles leave no block, string or container"},
    {"dialog-open-close", 3, 20, checkDialogOpenClose, "the dialog opened and closed twice shows the same gadgets"},
    {"dialog-cancel", 3, 20, checkDialogCancel, "Cancel leaves settings, preference store and scene untouched"},
    {"gadget-values", 3, 30, checkGadgetValues, "every gadget set to in-range and out-of-range values, then Round"},
    {"settings-round-trip", 4, 30, checkSettingsRoundTrip, "random settings saved, restarted, reloaded bit for bit"},
    {"damaged-settings", 4, 60, checkDamagedSettings, "damaged stored settings: no crash, no NaN or infinity written"},
    {"scenes", 5, 30, checkScenes, "empty, single, pointless, NaN and locked-point scenes rounded safely"},
    {"deep-chain", 5, 60, checkDeepChain, "a chain 100,000 deep rounded on a thread with a small stack"},
    {"undo-redo", 5, 30, checkUndoRedo, "undo after Round restores every value bit for bit, redo repeats it"},
    {"random-session", 5, 60, checkRandomSession, "a seeded random sequence of user actions"},
    {"million-objects", 8, 600, checkMillionObjects, "a million objects rounded, then undone"},
};

}  // namespace

std::span<const Check> allChecks() {
  return kChecks;
}

const char *verdictName(Verdict verdict) {
  switch (verdict) {
    case Verdict::passed:
      return "PASSED";
    case Verdict::failed:
      return "FAILED";
    case Verdict::crashed:
      return "CRASHED";
    case Verdict::timedOut:
      return "TIMEOUT";
    case Verdict::skipped:
      return "SKIPPED";
    case Verdict::warning:
      return "WARNING";
  }
  return "?";
}

}  // namespace hostemu::validate
