#include "big_documents.h"
#include "clock.h"
#include "journal.h"
#include "module_user.h"
#include "sections.h"

#include <string>

namespace bench {
namespace {

constexpr int kRepeats = 3;
constexpr double kTargetRate = 2e6;  // objects a second
constexpr size_t kFewObjects = 10;
// Every journal line names its object by the whole path from the top, so a
// chain's journal grows with the square of its depth: a million deep, it
// would hold terabytes. The chain is measured a thousand deep, where its
// lines are some kilobytes long.
constexpr size_t kJournalChainDepth = 1'000;

const RoundChoice kEverything{true, true, true, 1};

// The fastest press over a fresh document of `count` objects each time.
double PressSeconds(hostemu::Host &host, ModuleUser &user, size_t count, Shape shape, int repeats) {
  return Fastest(
      repeats,
      [&] {
        host.journal().clear();
        host.setActiveDocument(nullptr);
        host.setActiveDocument(NullObjectsDocument(count, shape));
      },
      [&] { user.pressRound(); });
}

// What the kernel hands out during one press over `count` objects.
uint64_t PressAllocations(hostemu::Host &host, ModuleUser &user, size_t count) {
  host.setActiveDocument(nullptr);
  host.setActiveDocument(NullObjectsDocument(count, Shape::flat));
  const uint64_t before = KernelHandedOut(host);
  user.pressRound();
  return KernelHandedOut(host) - before;
}

}  // namespace

void ManyObjectsBench(Report &report) {
  report.section("Many objects: 1,000,000 null objects, position, rotation and scale rounded");
  hostemu::Host host;
  ModuleUser user(host, kEverything);

  for (Shape shape : {Shape::flat, Shape::chain}) {
    const double seconds = PressSeconds(host, user, kManyObjects, shape, kRepeats);
    const double rate = double(kManyObjects) / seconds;
    report.check(std::string(ShapeName(shape)) + ", journal off", Rate(rate, "objects"), Duration(seconds) + " a press",
                 ">= " + Rate(kTargetRate, "objects"), rate >= kTargetRate);
  }

  struct {
    Shape shape;
    size_t count;
    const char *label;
  } const journalled[] = {
      {Shape::flat, kManyObjects, "flat, journal on (1,000,000 objects)"},
      {Shape::chain, kJournalChainDepth, "chain, journal on (1,000 objects)"},
  };
  host.journal().setEnabled(true);
  for (const auto &j : journalled) {
    const double on = PressSeconds(host, user, j.count, j.shape, 1);
    host.journal().setEnabled(false);
    const double off = PressSeconds(host, user, j.count, j.shape, kRepeats);
    host.journal().setEnabled(true);
    report.info(j.label, Rate(double(j.count) / on, "objects"), Times(on / off) + " the time, journal off");
  }
  host.journal().setEnabled(false);
  host.journal().clear();

  const uint64_t few = PressAllocations(host, user, kFewObjects);
  const uint64_t many = PressAllocations(host, user, kManyObjects);
  report.check("kernel allocations in a press: 10 / 1,000,000 objects",
               std::to_string(few) + " / " + std::to_string(many), "", "the same", few == many);
}

}  // namespace bench
