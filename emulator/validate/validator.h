// `hostemu validate`: runs the table of checks on a module, each in a child
// process with its time limit, and reports each as PASSED, FAILED, CRASHED,
// TIMEOUT, SKIPPED or WARNING, on stdout and optionally as JSON. The seed
// makes a run reproducible: each check draws from its own generator, seeded
// from the run's seed and the check's name.
#pragma once

#include "checks.h"

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

namespace hostemu::validate {

inline constexpr int kDefaultLevel = 5;

struct ValidateOptions {
  std::filesystem::path module;
  int level = kDefaultLevel;
  std::optional<uint64_t> seed;   // none: a fresh one, printed
  std::filesystem::path json;     // empty: no JSON report
  std::vector<std::string> only;  // names of the checks to run; empty: all up to the level
  // Set in a child process that the validator started to run one check
  // (where the system cannot fork): the check's scratch folder.
  std::filesystem::path childScratch;
};

struct CheckReport {
  const Check *check = nullptr;
  Verdict verdict = Verdict::passed;
  std::string detail;
  double seconds = 0.0;
};

// The seed of one check within a run.
uint64_t checkSeed(uint64_t runSeed, const char *name);

// Runs one check in this process; what a child does.
CheckResult runCheckHere(const Check &check, const std::filesystem::path &module, int level, uint64_t runSeed,
                         const std::filesystem::path &scratch);

// The exit status: 0 when nothing failed, crashed or timed out; 1 when
// something did; 2 for a bad command line (one line on stderr).
int validateCommand(const ValidateOptions &options);

// The check table, one line each, for --list.
void printCheckList();

}  // namespace hostemu::validate
