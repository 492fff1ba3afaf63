#include "command.h"

#include "host_constants.h"
#include "ids.h"

namespace kwantel {

KwantelCommand::~KwantelCommand() = default;

bool KwantelCommand::Invoke(HostDocument *, void *) {
  // One window at most: a further invocation leaves the open one as it is.
  if (!dialog_.IsOpen()) {
    dialog_.Open(DLG_TYPE_ASYNC, PLUGIN_ID, -1, -1, 0, 0, 0, 0);
  }
  return true;
}

int32_t KwantelCommand::QueryState(HostDocument *, void *) {
  return CMD_ENABLED;
}

bool KwantelCommand::RestoreDialog(void *secret) {
  return dialog_.Restore(PLUGIN_ID, 0, secret);
}

}  // namespace kwantel
