// The printed table: one line per figure, with the ratio and the target
// beside it where the figure has one, and the count of targets met at the end.
#pragma once

#include <cstddef>
#include <string>

namespace bench {

// "23.4 ms", "1.27 s": a duration as a reader takes it in.
std::string Duration(double seconds);
// "3.21 M objects/s"
std::string Rate(double perSecond, const char *what);
// "240.0 MB"
std::string Megabytes(double bytes);
// "2.41x"
std::string Times(double ratio);

// The machine's load average over 1, 5 and 15 minutes, as uptime shows it.
std::string LoadAverage();

class Report {
 public:
  void section(const std::string &title);
  // A figure without a target.
  void info(const std::string &label, const std::string &measured, const std::string &note = {});
  // A figure with a target; met says whether it holds.
  void check(const std::string &label, const std::string &measured, const std::string &ratio, const std::string &target,
             bool met);
  // The closing line: "targets met: K of N".
  void finish() const;

 private:
  void line(const std::string &label, const std::string &measured, const std::string &ratio, const std::string &target,
            const std::string &verdict) const;

  size_t targets_ = 0;
  size_t met_ = 0;
};

}  // namespace bench
