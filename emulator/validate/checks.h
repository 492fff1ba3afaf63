// The checks of `hostemu validate`: one table, each row a check with its name,
// the lowest level that runs it, its time limit and its function. A check
// runs in a process of its own, so it may load the module, crash or hang
// without harming the others.
#pragma once

#include <cstdint>
#include <filesystem>
#include <random>
#include <span>
#include <string>

namespace hostemu::validate {

enum class Verdict { passed, failed, crashed, timedOut, skipped, warning };

// "PASSED", "FAILED", "CRASHED", "TIMEOUT", "SKIPPED", "WARNING".
const char *verdictName(Verdict verdict);

struct CheckResult {
  Verdict verdict = Verdict::passed;
  std::string detail;  // one line; empty when passed with nothing to say

  static CheckResult passed(std::string detail = {}) { return {Verdict::passed, std::move(detail)}; }
  static CheckResult failed(std::string detail) { return {Verdict::failed, std::move(detail)}; }
  static CheckResult warning(std::string detail) { return {Verdict::warning, std::move(detail)}; }
  static CheckResult skipped(std::string detail) { return {Verdict::skipped, std::move(detail)}; }
};

struct CheckContext {
  std::filesystem::path module;
  int level = 5;
  uint64_t seed = 0;  // this check's own, derived from the run's seed and its name
  std::mt19937_64 random;
  std::filesystem::path scratch;  // a folder of the check's own, removed after it
};

using CheckFunction = CheckResult (*)(CheckContext &);

struct Check {
  const char *name;
  int level;
  int seconds;  // time limit
  CheckFunction run;
  const char *what;  // one line for --list
};

std::span<const Check> allChecks();

// The checks, by the file that holds them.
CheckResult checkExports(CheckContext &);
CheckResult checkStartSequence(CheckContext &);
CheckResult checkHostVersion(CheckContext &);
CheckResult checkEndBeforeBind(CheckContext &);
CheckResult checkNestedActions(CheckContext &);
CheckResult checkUnknownActions(CheckContext &);
CheckResult checkLoadCycles(CheckContext &);

CheckResult checkDialogOpenClose(CheckContext &);
CheckResult checkDialogCancel(CheckContext &);
CheckResult checkGadgetValues(CheckContext &);
CheckResult checkSettingsRoundTrip(CheckContext &);
CheckResult checkDamagedSettings(CheckContext &);

CheckResult checkScenes(CheckContext &);
CheckResult checkDeepChain(CheckContext &);
CheckResult checkMillionObjects(CheckContext &);
CheckResult checkUndoRedo(CheckContext &);
CheckResult checkRandomSession(CheckContext &);

}  // namespace hostemu::validate
