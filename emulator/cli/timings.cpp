#include "timings.h"

namespace hostemu::cli {

void Timings::mark(const char *phase) {
  if (!enabled_)
    return;
  Clock::time_point now = Clock::now();
  std::clock_t processor = std::clock();
  phases_.push_back(Phase{phase, std::chrono::duration<double>(now - last_).count(),
                          static_cast<double>(processor - lastProcessor_) / CLOCKS_PER_SEC});
  last_ = now;
  lastProcessor_ = processor;
}

void Timings::print(std::FILE *out) const {
  if (!enabled_)
    return;
  std::string wall = "hostemu: time:";
  std::string processor = "hostemu: processor time:";
  char text[96];
  for (const Phase &phase : phases_) {
    std::snprintf(text, sizeof text, " %s %.3f s,", phase.name.c_str(), phase.seconds);
    wall += text;
    std::snprintf(text, sizeof text, " %s %.3f s,", phase.name.c_str(), phase.processorSeconds);
    processor += text;
  }
  std::snprintf(text, sizeof text, " total %.3f s", std::chrono::duration<double>(last_ - start_).count());
  wall += text;
  std::fprintf(out, "%s\n%s\n", wall.c_str(), processor.substr(0, processor.size() - 1).c_str());
}

}  // namespace hostemu::cli
