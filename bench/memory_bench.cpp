#include "big_documents.h"
#include "module_user.h"
#include "process_memory.h"
#include "sections.h"

#include <cinttypes>
#include <cstdio>
#include <string>

namespace bench {
namespace {

constexpr double kHeadroom = 1.10;
constexpr size_t kFewPoints = 10;

struct ChildFigures {
  uint64_t scene = 0;  // resident before the press: the process with its document
  uint64_t peak = 0;   // the most resident during the press
  uint64_t pointBytes = 0;
  int peakReset = 0;  // 0: the peak counts from the start of the child
  uint64_t fewAllocations = 0;
  uint64_t manyAllocations = 0;
};

uint64_t PressAllocations(hostemu::Host &host, ModuleUser &user) {
  const uint64_t before = KernelHandedOut(host);
  user.pressRound();
  return KernelHandedOut(host) - before;
}

}  // namespace

int MemoryChild() {
  hostemu::Host host;
  ModuleUser user(host, RoundChoice{false, false, true, 0});
  ChildFigures figures;
  host.setActiveDocument(PointObjectDocument(kFewPoints));
  figures.fewAllocations = PressAllocations(host, user);
  host.setActiveDocument(nullptr);

  host.setActiveDocument(PointObjectDocument(kSizePassPoints));
  figures.pointBytes = kSizePassPoints * sizeof(HostVector);
  figures.scene = ReadResidentMemory().now;
  figures.peakReset = ResetResidentPeak() ? 1 : 0;
  figures.manyAllocations = PressAllocations(host, user);
  figures.peak = ReadResidentMemory().peak;
  std::printf("%" PRIu64 " %" PRIu64 " %" PRIu64 " %d %" PRIu64 " %" PRIu64 "\n", figures.scene, figures.peak,
              figures.pointBytes, figures.peakReset, figures.fewAllocations, figures.manyAllocations);
  return 0;
}

void MemoryBench(Report &report, const std::string &program) {
  report.section("Memory: the size pass in a fresh process");
  // The shell takes the path as one word whatever it holds.
  std::string command = "'";
  for (char c : program) {
    if (c == '\'')
      command += "'\\''";
    else
      command += c;
  }
  command += "' --memory-child";
  ChildFigures figures;
  std::FILE *child = popen(command.c_str(), "r");
  const int read = child == nullptr
                       ? 0
                       : std::fscanf(child, "%" SCNu64 " %" SCNu64 " %" SCNu64 " %d %" SCNu64 " %" SCNu64,
                                     &figures.scene, &figures.peak, &figures.pointBytes, &figures.peakReset,
                                     &figures.fewAllocations, &figures.manyAllocations);
  const int status = child == nullptr ? -1 : pclose(child);
  if (read != 6 || status != 0) {
    report.check("peak resident memory", "the child failed", "", "", false);
    return;
  }
  const double budget = kHeadroom * double(figures.scene + figures.pointBytes);
  report.info("scene resident before the press", Megabytes(double(figures.scene)),
              "points " + Megabytes(double(figures.pointBytes)));
  report.check("peak resident during the press", Megabytes(double(figures.peak)),
               Times(double(figures.peak) / double(figures.scene + figures.pointBytes)) + " scene+undo",
               "<= " + Times(kHeadroom), double(figures.peak) <= budget);
  if (figures.peakReset == 0)
    report.info("  (the kernel kept the peak from the start of the child)", "", "");
  report.check("kernel allocations in a press: 10 / 10,000,000 points",
               std::to_string(figures.fewAllocations) + " / " + std::to_string(figures.manyAllocations), "", "the same",
               figures.fewAllocations == figures.manyAllocations);
}

}  // namespace bench
