// The base of a module's command.
//
// The host calls a command only through the C hooks of its registration
// block; each hook calls one of the virtual operations below on the object the
// block carries (a CommandBase pointer).
#pragma once

#include "host_types.h"
#include "placement.h"
#include "registration.h"

namespace framework {

class CommandBase {
 public:
  CommandBase() = default;
  CommandBase(const CommandBase &) = delete;
  CommandBase &operator=(const CommandBase &) = delete;

  // In the order of the hooks.
  virtual ~CommandBase();
  virtual bool Invoke(HostDocument *document, void *parentWindow);               // default: false
  virtual bool ExecuteSubId(HostDocument *document, int32_t subId);              // default: false
  virtual bool ExecuteOptionId(HostDocument *document, int32_t subId);           // default: false
  virtual int32_t QueryState(HostDocument *document, void *parentWindow);        // default: 0
  virtual bool GetSubContainer(HostDocument *document, HostContainer *submenu);  // default: false
  virtual bool RestoreDialog(void *secret);                                      // default: false
  virtual HostString *GetScriptName();                                           // default: null (empty)
  virtual bool Message(int32_t type, void *data);                                // default: true

  // The hooks of the registration block. Their destroy hook runs the object's
  // destructor only: the host frees the memory itself.
  static CommandHooks Hooks();

  KWANTEL_NO_GLOBAL_DELETE
};

}  // namespace framework
