#include "console.h"

#include "host_constants.h"
#include "module_record.h"

namespace framework {

void ConsoleWrite(const String &text, const char *file, int32_t line) {
  const KernelInterface *kernel = Kernel();
  if (kernel == nullptr) {
    return;
  }
  HostLogger *logger = kernel->findLogger("net.maxon.core.logger.default");
  if (logger == nullptr) {
    return;
  }
  kernel->write(logger, TARGETAUDIENCE_ALL, text.Get(), file, line, WRITEMETA_DEFAULT);
}

}  // namespace framework
