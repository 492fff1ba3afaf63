#include "big_documents.h"
#include "clock.h"
#include "core_binding.h"
#include "host_call_timer.h"
#include "module_user.h"
#include "point_copy.h"
#include "rounding.h"
#include "sections.h"
#include "settings.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

namespace bench {
namespace {

constexpr int kRepeats = 7;
constexpr double kNever = 1e300;
constexpr double kModuleTarget = 2.5;
constexpr double kPressTarget = 4.5;

kwantel::RoundSettings SizeOnly() {
  kwantel::RoundSettings settings{};
  kwantel::SetDefaults(settings);
  settings.roundPosition = false;
  settings.roundRotation = false;
  settings.roundScale = true;
  settings.target = kwantel::SIZE;
  kwantel::DeriveFactors(settings);
  return settings;
}

HostObject &OnlyObject(hostemu::Host &host) {
  return *host.activeDocument()->firstObject();
}

// The size rounding written out plainly, one coordinate at a time.
std::vector<HostVector> PlainSizePass(const kwantel::RoundSettings &settings, const HostObject &object) {
  std::vector<HostVector> points = object.points;
  const HostVector c = object.boundingBoxCenter();
  const double start = -1.7976931348623157e308;
  HostVector h{start, start, start};
  for (const HostVector &p : points) {
    if (p.x - c.x > h.x)
      h.x = p.x - c.x;
    if (p.y - c.y > h.y)
      h.y = p.y - c.y;
    if (p.z - c.z > h.z)
      h.z = p.z - c.z;
  }
  HostVector size{h.x + h.x, h.y + h.y, h.z + h.z};
  kwantel::QuantizeVector(size, settings.sizeFactor, settings.sizeMode);
  const HostVector g{0.5 * size.x - h.x, 0.5 * size.y - h.y, 0.5 * size.z - h.z};
  auto moved = [](double p, double c, double h, double g) {
    const double d = p - c;
    return h == 0.0 ? c + 0.0 : c + (d + (d / h) * g);
  };
  for (HostVector &p : points)
    p = HostVector{moved(p.x, c.x, h.x, g.x), moved(p.y, c.y, h.y, g.y), moved(p.z, c.z, h.z, g.z)};
  return points;
}

// Every way of rounding the points must give the same bits: a figure for a
// pass that computes something else would mean nothing.
void RequireSamePoints(const std::vector<HostVector> &got, const std::vector<HostVector> &want, const char *what) {
  if (got.size() != want.size() || std::memcmp(got.data(), want.data(), got.size() * sizeof(HostVector)) != 0) {
    std::fprintf(stderr, "kwantel_bench: %s gave other points than the plain computation\n", what);
    std::exit(1);
  }
}

}  // namespace

void SizePassBench(Report &report) {
  const size_t count = kSizePassPoints;
  const size_t bytes = count * sizeof(HostVector);
  report.section("Size pass: one point object of 10,000,000 points, target size, only roundScale set");

  hostemu::Host host;
  HostCallTimer timer(*host.record());
  host.setActiveDocument(PointObjectDocument(count));
  const kwantel::RoundSettings settings = SizeOnly();
  const std::vector<HostVector> plain = PlainSizePass(settings, OnlyObject(host));

  // The yardstick is taken again right before each measured run, so that
  // both meet the machine in the same state. The copy goes to memory touched
  // before, so that it runs at memory speed.
  std::vector<HostVector> copy(count);
  double memcpySeconds = kNever;
  auto freshDocument = [&] {
    host.setActiveDocument(nullptr);
    host.setActiveDocument(PointObjectDocument(count));
    const HostVector *points = OnlyObject(host).points.data();
    memcpySeconds = std::min(memcpySeconds, SecondsOf([&] { std::memcpy(copy.data(), points, bytes); }));
  };

  // The same copy into memory the process takes anew: what the system
  // charges for fresh pages shows here. No undo record has been released in
  // this process yet, so no kept copy stands in for new memory; an undo
  // record pays this when none is kept (the first large one in a process).
  double freshSeconds = kNever;
  for (int i = 0; i < kRepeats; ++i) {
    freshDocument();
    std::vector<HostVector> fresh;
    freshSeconds = std::min(freshSeconds, SecondsOf([&] { fresh = hostemu::copyPoints(OnlyObject(host).points); }));
  }

  // The module's own time: the call less the emulator's side of its host calls.
  double moduleSeconds = kNever;
  HostCallSeconds callsOfFastest;
  {
    CoreBinding binding(host.record());
    for (int i = 0; i < kRepeats; ++i) {
      freshDocument();
      hostemu::Document &document = *host.activeDocument();
      document.startUndo();
      timer.reset();
      const double seconds = SecondsOf([&] { kwantel::RoundSizeByPoints(settings, &document, &OnlyObject(host)); });
      document.endUndo();
      if (seconds - timer.seconds().total() < moduleSeconds) {
        moduleSeconds = seconds - timer.seconds().total();
        callsOfFastest = timer.seconds();
      }
    }
    RequireSamePoints(OnlyObject(host).points, plain, "RoundSizeByPoints");
  }
  const HostCallSeconds moduleCalls = callsOfFastest;

  // The whole press, through the dialog as a user makes it.
  ModuleUser user(host, RoundChoice{false, false, true, 0});
  double pressSeconds = kNever;
  for (int i = 0; i < kRepeats; ++i) {
    freshDocument();
    timer.reset();
    const double seconds = SecondsOf([&] { user.pressRound(); });
    if (seconds < pressSeconds) {
      pressSeconds = seconds;
      callsOfFastest = timer.seconds();
    }
  }
  RequireSamePoints(OnlyObject(host).points, plain, "The press");

  report.info("memcpy of the point array (" + Megabytes(double(bytes)) + ")", Duration(memcpySeconds));
  report.info("  into new memory (undo with no copy kept)", Duration(freshSeconds),
              Times(freshSeconds / memcpySeconds) + " memcpy");
  const double moduleRatio = moduleSeconds / memcpySeconds;
  report.check("RoundSizeByPoints, the module's own time", Duration(moduleSeconds), Times(moduleRatio) + " memcpy",
               "<= " + Times(kModuleTarget), moduleRatio <= kModuleTarget);
  report.info("  its host calls: centre / undo record / others",
              Duration(moduleCalls.centre) + " / " + Duration(moduleCalls.undo) + " / " + Duration(moduleCalls.other),
              "not in the figure above");
  const double pressRatio = pressSeconds / memcpySeconds;
  report.check("\"Round\" press, undo record and centre included", Duration(pressSeconds),
               Times(pressRatio) + " memcpy", "<= " + Times(kPressTarget), pressRatio <= kPressTarget);
  report.info("  of it: centre / undo record / module and the rest",
              Times(callsOfFastest.centre / memcpySeconds) + " / " + Times(callsOfFastest.undo / memcpySeconds) +
                  " / " + Times((pressSeconds - callsOfFastest.centre - callsOfFastest.undo) / memcpySeconds),
              "memcpy");
}

}  // namespace bench
