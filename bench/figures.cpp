#include "figures.h"

#include <cstdio>

namespace bench {
namespace {

std::string Printed(const char *format, double value, const char *unit) {
  char text[64];
  std::snprintf(text, sizeof text, format, value, unit);
  return text;
}

}  // namespace

std::string Duration(double seconds) {
  if (seconds < 1e-3)
    return Printed("%.1f %s", seconds * 1e6, "us");
  if (seconds < 1.0)
    return Printed("%.1f %s", seconds * 1e3, "ms");
  return Printed("%.2f %s", seconds, "s");
}

std::string Rate(double perSecond, const char *what) {
  char text[64];
  if (perSecond >= 1e6)
    std::snprintf(text, sizeof text, "%.2f M %s/s", perSecond / 1e6, what);
  else
    std::snprintf(text, sizeof text, "%.1f k %s/s", perSecond / 1e3, what);
  return text;
}

std::string Megabytes(double bytes) {
  return Printed("%.1f %s", bytes / 1e6, "MB");
}

std::string Times(double ratio) {
  return Printed("%.2f%s", ratio, "x");
}

std::string LoadAverage() {
  char text[64] = "unknown";
  if (std::FILE *file = std::fopen("/proc/loadavg", "r")) {
    double one = 0.0, five = 0.0, fifteen = 0.0;
    if (std::fscanf(file, "%lf %lf %lf", &one, &five, &fifteen) == 3)
      std::snprintf(text, sizeof text, "%.2f, %.2f, %.2f", one, five, fifteen);
    std::fclose(file);
  }
  return text;
}

void Report::section(const std::string &title) {
  std::printf("\n%s\n", title.c_str());
  std::fflush(stdout);
}

void Report::info(const std::string &label, const std::string &measured, const std::string &note) {
  line(label, measured, note, "", "");
}

void Report::check(const std::string &label, const std::string &measured, const std::string &ratio,
                   const std::string &target, bool met) {
  ++targets_;
  if (met)
    ++met_;
  line(label, measured, ratio, target, met ? "met" : "MISSED");
}

void Report::line(const std::string &label, const std::string &measured, const std::string &ratio,
                  const std::string &target, const std::string &verdict) const {
  std::printf("  %-48s %21s  %-24s %-22s %s\n", label.c_str(), measured.c_str(), ratio.c_str(), target.c_str(),
              verdict.c_str());
  std::fflush(stdout);
}

void Report::finish() const {
  std::printf("\ntargets met: %zu of %zu\n", met_, targets_);
  std::fflush(stdout);
}

}  // namespace bench
