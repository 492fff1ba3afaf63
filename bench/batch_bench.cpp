#include "big_documents.h"
#include "scene_file.h"
#include "sections.h"

#include <fcntl.h>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>
#include <string>
#include <vector>

extern char **environ;

namespace bench {
namespace {

struct ChildRun {
  bool done = false;  // exited with status 0
  double wallSeconds = 0.0;
  double processorSeconds = 0.0;  // user and system
};

// Runs the program with its standard output thrown away and its standard
// error into errors.
ChildRun Run(const std::vector<std::string> &arguments, const std::filesystem::path &errors) {
  ChildRun run;
  std::vector<char *> argv;
  for (const std::string &argument : arguments)
    argv.push_back(const_cast<char *>(argument.c_str()));
  argv.push_back(nullptr);
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, "/dev/null", O_WRONLY, 0);
  posix_spawn_file_actions_addopen(&actions, STDERR_FILENO, errors.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
  pid_t child = 0;
  const auto start = std::chrono::steady_clock::now();
  const int spawned = posix_spawn(&child, argv[0], &actions, nullptr, argv.data(), environ);
  posix_spawn_file_actions_destroy(&actions);
  if (spawned != 0)
    return run;
  int status = 0;
  rusage usage{};
  if (wait4(child, &status, 0, &usage) != child)
    return run;
  run.wallSeconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  auto seconds = [](const timeval &t) { return double(t.tv_sec) + double(t.tv_usec) * 1e-6; };
  run.processorSeconds = seconds(usage.ru_utime) + seconds(usage.ru_stime);
  run.done = WIFEXITED(status) && WEXITSTATUS(status) == 0;
  return run;
}

struct Phase {
  std::string name;
  double wall = 0.0;
  double processor = 0.0;
};

// The phases of `hostemu ... --timings`, from its two lines on stderr:
// "hostemu: time: read 1.20 s, ..., total 3.00 s" and
// "hostemu: processor time: read 1.10 s, ...".
std::vector<Phase> ReadTimings(const std::filesystem::path &errors) {
  std::vector<Phase> phases;
  std::map<std::string, double> processor;
  std::ifstream in(errors);
  for (std::string line; std::getline(in, line);) {
    const bool wall = line.rfind("hostemu: time: ", 0) == 0;
    const bool cpu = line.rfind("hostemu: processor time: ", 0) == 0;
    if (!wall && !cpu)
      continue;
    std::istringstream items(line.substr(line.find(": ", 9) + 2));
    for (std::string item; std::getline(items, item, ',');) {
      std::istringstream words(item);
      Phase phase;
      std::string unit;
      if (!(words >> phase.name >> phase.wall >> unit) || phase.name == "total")
        continue;
      if (wall)
        phases.push_back(phase);
      else
        processor[phase.name] = phase.wall;
    }
  }
  for (Phase &phase : phases)
    phase.processor = processor[phase.name];
  return phases;
}

struct BatchCase {
  const char *title;
  const char *target;  // --target
  hostemu::Scene (*scene)(size_t);
  size_t size;
};

void RunBatch(Report &report, const BatchCase &batch) {
  report.section(batch.title);
  const std::filesystem::path folder =
      std::filesystem::temp_directory_path() / ("kwantel_bench-" + std::to_string(getpid()));
  std::filesystem::create_directories(folder);
  const std::filesystem::path input = folder / "scene.json";
  const std::filesystem::path output = folder / "scene-rounded.json";
  const std::filesystem::path errors = folder / "stderr.txt";
  if (std::string problem = hostemu::writeSceneFile(input, batch.scene(batch.size)); !problem.empty()) {
    report.check("hostemu round, end to end", "no scene file", "", "", false);
    std::fprintf(stderr, "kwantel_bench: %s\n", problem.c_str());
    std::filesystem::remove_all(folder);
    return;
  }
  report.info("scene file", Megabytes(double(std::filesystem::file_size(input))));

  // The fastest of three runs: on a shared machine, fresh memory and the
  // disk cost more at some moments than at others.
  ChildRun run;
  std::vector<Phase> phases;
  for (int attempt = 0; attempt < 3; ++attempt) {
    const ChildRun next = Run({KWANTEL_BENCH_HOSTEMU, "round", input.string(), "-o", output.string(), "--module",
                               KWANTEL_BENCH_MODULE, "--scope", "all", "--target", batch.target, "--timings"},
                              errors);
    if (!next.done) {
      report.check("hostemu round, end to end", "failed", "", "exit status 0", false);
      std::filesystem::remove_all(folder);
      return;
    }
    if (attempt == 0 || next.wallSeconds < run.wallSeconds) {
      run = next;
      phases = ReadTimings(errors);
    }
  }
  report.info("hostemu round, end to end (fastest of 3): wall / processor",
              Duration(run.wallSeconds) + " / " + Duration(run.processorSeconds));
  double sum = 0.0;
  double fileTime = 0.0;
  double roundTime = 0.0;
  for (const Phase &phase : phases) {
    sum += phase.processor;
    if (phase.name == "read" || phase.name == "write")
      fileTime += phase.wall;
    if (phase.name == "round")
      roundTime = phase.wall;
  }
  for (const Phase &phase : phases) {
    char share[32];
    std::snprintf(share, sizeof share, "%.0f%% of the processor", sum > 0.0 ? 100.0 * phase.processor / sum : 0.0);
    report.info("  " + phase.name, Duration(phase.wall) + " / " + Duration(phase.processor), share);
  }
  if (phases.empty()) {
    report.info("  (the program printed no timings)", "");
  } else if (roundTime > 0.0) {
    // Reading the scene, and formatting and writing it (flushed to the disk),
    // against the press of Round that rounds it.
    char ratio[32];
    std::snprintf(ratio, sizeof ratio, "%.1fx the rounding", fileTime / roundTime);
    report.info("file I/O (read + write), wall", Duration(fileTime), ratio);
  }
  std::filesystem::remove_all(folder);
}

}  // namespace

void BatchBench(Report &report) {
  const BatchCase cases[] = {
      {"Batch: hostemu round on a scene file of 1,000,000 null objects, --scope all --target scale", "scale",
       NullObjectsScene, kManyObjects},
      {"Batch: hostemu round on a scene file of one object of 10,000,000 points, --scope all --target size", "size",
       PointObjectScene, kSizePassPoints},
  };
  for (const BatchCase &batch : cases)
    RunBatch(report, batch);
}

}  // namespace bench
