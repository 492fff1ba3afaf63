#include "validator.h"

#include "child_process.h"
#include "file_replace.h"

#include <nlohmann/json.hpp>

#include <chrono>
#include <cstdio>
#include <random>
#include <system_error>

#ifdef _WIN32
#include <process.h>
#define KWANTEL_GETPID _getpid
#else
#include <unistd.h>
#define KWANTEL_GETPID getpid
#endif

namespace hostemu::validate {
namespace {

uint64_t splitMix(uint64_t x) {
  x += 0x9E3779B97F4A7C15ull;
  x = (x ^ (x >> 30)) * 0xBF58476D1CE4E5B9ull;
  x = (x ^ (x >> 27)) * 0x94D049BB133111EBull;
  return x ^ (x >> 31);
}

const Check *findCheck(const std::string &name) {
  for (const Check &check : allChecks()) {
    if (name == check.name)
      return &check;
  }
  return nullptr;
}

bool chosen(const ValidateOptions &options, const Check &check) {
  if (options.only.empty())
    return true;
  for (const std::string &name : options.only) {
    if (name == check.name)
      return true;
  }
  return false;
}

// The result travels from the child as one line: the verdict's name, a tab,
// the detail.
std::string encode(const CheckResult &result) {
  std::string detail = result.detail;
  for (char &c : detail) {
    if (c == '\n' || c == '\r')
      c = ' ';
  }
  return std::string(verdictName(result.verdict)) + "\t" + detail;
}

CheckResult decode(const std::string &text) {
  const size_t tab = text.find('\t');
  const std::string name = text.substr(0, tab);
  const std::string detail = tab == std::string::npos ? std::string() : text.substr(tab + 1);
  for (Verdict verdict : {Verdict::passed, Verdict::failed, Verdict::warning, Verdict::skipped}) {
    if (name == verdictName(verdict))
      return {verdict, detail};
  }
  return {Verdict::crashed, "the check sent an unreadable result"};
}

CheckReport runIsolated(const Check &check, const ValidateOptions &options, uint64_t seed) {
  CheckReport report;
  report.check = &check;
  std::error_code ignored;
  const std::filesystem::path scratch = std::filesystem::temp_directory_path(ignored) /
                                        ("hostemu-validate-" + std::to_string(KWANTEL_GETPID()) + "-" + check.name);
  std::filesystem::remove_all(scratch, ignored);
  std::filesystem::create_directories(scratch, ignored);
  const auto started = std::chrono::steady_clock::now();
  ChildTask task;
  task.body = [&] { return encode(runCheckHere(check, options.module, options.level, seed, scratch)); };
  task.arguments = {"validate",
                    "--module",
                    options.module.string(),
                    "--level",
                    std::to_string(options.level),
                    "--seed",
                    std::to_string(seed),
                    "--check",
                    check.name,
                    "--child-scratch",
                    scratch.string()};
  ChildOutcome outcome = runInChild(task, std::chrono::seconds(check.seconds));
  report.seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count();
  std::filesystem::remove_all(scratch, ignored);
  switch (outcome.end) {
    case ChildEnd::finished: {
      CheckResult result = decode(outcome.result);
      report.verdict = result.verdict;
      report.detail = std::move(result.detail);
      break;
    }
    case ChildEnd::crashed:
      report.verdict = Verdict::crashed;
      report.detail = outcome.why;
      break;
    case ChildEnd::timedOut:
      report.verdict = Verdict::timedOut;
      report.detail = outcome.why;
      break;
    case ChildEnd::notStarted:
      report.verdict = Verdict::crashed;
      report.detail = "could not run the check: " + outcome.why;
      break;
  }
  return report;
}

bool isFailure(Verdict verdict) {
  return verdict == Verdict::failed || verdict == Verdict::crashed || verdict == Verdict::timedOut;
}

nlohmann::ordered_json jsonReport(const ValidateOptions &options, uint64_t seed,
                                  const std::vector<CheckReport> &reports) {
  nlohmann::ordered_json checks = nlohmann::ordered_json::array();
  for (const CheckReport &report : reports) {
    checks.push_back({{"name", report.check->name},
                      {"level", report.check->level},
                      {"result", verdictName(report.verdict)},
                      {"detail", report.detail},
                      {"seconds", report.seconds}});
  }
  bool failed = false;
  for (const CheckReport &report : reports)
    failed = failed || isFailure(report.verdict);
  return {{"module", options.module.string()},
          {"level", options.level},
          {"seed", seed},
          {"result", failed ? "FAILED" : "PASSED"},
          {"checks", std::move(checks)}};
}

// A child started anew (where there is no fork) runs the one check its
// parent named, in the parent's scratch folder, and hands back the result.
int runChildCheck(const ValidateOptions &options) {
  prepareChild();
  const Check *check = options.only.size() == 1 ? findCheck(options.only.front()) : nullptr;
  if (check == nullptr || !options.seed) {
    std::fprintf(stderr,
                 "hostemu: --child-scratch runs one check started by hostemu validate, with --check and --seed\n");
    return 2;
  }
  const CheckResult result = runCheckHere(*check, options.module, options.level, *options.seed, options.childScratch);
  if (!returnToParent(encode(result))) {
    std::fprintf(stderr, "hostemu: --child-scratch: not started by hostemu validate; the result has nowhere to go\n");
    return 2;
  }
  return 0;
}

}  // namespace

uint64_t checkSeed(uint64_t runSeed, const char *name) {
  // FNV-1a of the name, so that adding a check leaves the others' draws alone.
  uint64_t hash = 0xCBF29CE484222325ull;
  for (const char *c = name; *c != '\0'; ++c)
    hash = (hash ^ uint8_t(*c)) * 0x100000001B3ull;
  return splitMix(runSeed ^ hash);
}

CheckResult runCheckHere(const Check &check, const std::filesystem::path &module, int level, uint64_t runSeed,
                         const std::filesystem::path &scratch) {
  CheckContext context;
  context.module = module;
  context.level = level;
  context.seed = checkSeed(runSeed, check.name);
  context.random.seed(context.seed);
  context.scratch = scratch;
  return check.run(context);
}

void printCheckList() {
  for (const Check &check : allChecks())
    std::printf("%-20s level %2d  %s\n", check.name, check.level, check.what);
}

int validateCommand(const ValidateOptions &options) {
  if (!options.childScratch.empty())
    return runChildCheck(options);
  std::error_code error;
  if (!std::filesystem::is_regular_file(options.module, error)) {
    std::fprintf(stderr,
                 "hostemu: --module %s: no such module file; give the path of a built module (make build puts one in "
                 "dist/linux/kwantel/)\n",
                 options.module.string().c_str());
    return 2;
  }
  for (const std::string &name : options.only) {
    if (findCheck(name) == nullptr) {
      std::fprintf(stderr, "hostemu: --check %s: no such check; 'hostemu validate --list' names them\n", name.c_str());
      return 2;
    }
  }
  if (!options.json.empty()) {
    const std::filesystem::path folder = options.json.parent_path();
    if (std::filesystem::is_directory(options.json, error) ||
        (!folder.empty() && !std::filesystem::is_directory(folder, error))) {
      std::fprintf(stderr, "hostemu: --json %s: cannot be written there; give a file in an existing folder\n",
                   options.json.string().c_str());
      return 2;
    }
  }
  const uint64_t seed = options.seed ? *options.seed : std::random_device{}();
  std::printf("hostemu validate: %s at level %d, seed %llu\n", options.module.string().c_str(), options.level,
              static_cast<unsigned long long>(seed));
  std::fflush(stdout);

  std::vector<CheckReport> reports;
  int counts[6] = {};
  for (const Check &check : allChecks()) {
    CheckReport report;
    if (!chosen(options, check)) {
      report = {&check, Verdict::skipped, "not chosen with --check", 0.0};
    } else if (check.level > options.level) {
      report = {&check, Verdict::skipped, "runs from level " + std::to_string(check.level), 0.0};
    } else {
      report = runIsolated(check, options, seed);
    }
    ++counts[int(report.verdict)];
    std::printf("%-8s %-20s %s\n", verdictName(report.verdict), check.name, report.detail.c_str());
    std::fflush(stdout);
    reports.push_back(std::move(report));
  }
  const bool failed = counts[int(Verdict::failed)] + counts[int(Verdict::crashed)] + counts[int(Verdict::timedOut)] > 0;
  std::printf("%zu checks: %d passed, %d failed, %d crashed, %d timed out, %d warnings, %d skipped\n", reports.size(),
              counts[int(Verdict::passed)], counts[int(Verdict::failed)], counts[int(Verdict::crashed)],
              counts[int(Verdict::timedOut)], counts[int(Verdict::warning)], counts[int(Verdict::skipped)]);
  if (failed) {
    std::printf("repeat this run with: hostemu validate --module %s --level %d --seed %llu\n",
                options.module.string().c_str(), options.level, static_cast<unsigned long long>(seed));
  }
  if (!options.json.empty()) {
    if (std::string problem = replaceFile(options.json, jsonReport(options, seed, reports).dump(2) + "\n");
        !problem.empty()) {
      std::fprintf(stderr, "hostemu: %s\n", problem.c_str());
      return 2;
    }
  }
  return failed ? 1 : 0;
}

}  // namespace hostemu::validate
