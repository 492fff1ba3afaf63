// The host's plug-in registry: the commands a module registered, with what
// the application shows of them (name, help, icon) and the hooks through
// which it calls them, and the user's side: picking a command from the menu,
// asking its state, restoring its dialog.
//
// A registered command object belongs to the host: at the end the registry
// destroys it through its destroy hook and frees its block with the kernel's
// privateFreeWithDestructor.
#pragma once

#include "bitmap.h"
#include "host_api.h"
#include "user_action.h"

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace hostemu {

class Host;

struct RegisteredCommand {
  int32_t apiVersion = 0;
  int32_t id = 0;
  int32_t info = 0;
  std::string name;
  std::string help;
  std::unique_ptr<HostBitmap> icon;  // the host's copy; null without an icon
  void *object = nullptr;
  CommandHooks hooks{};
};

enum class RegistrationError {
  none,
  blockSize,    // the block is not the 384 bytes of a command registration
  type,         // a plug-in type this host does not register
  duplicateId,  // a plug-in is registered under the id already
  newerApi,     // the plug-in needs a newer host
  noObject,     // the block carries no command object
  refusedByTest,
};

class Plugins {
 public:
  explicit Plugins(Host &host) : host_(host) {}
  ~Plugins();
  Plugins(const Plugins &) = delete;
  Plugins &operator=(const Plugins &) = delete;

  // The Pl table's registration; on refusal nothing passes to the host.
  bool registerPlugin(int32_t apiVersion, int32_t type, int32_t id, const HostString *name, const void *block,
                      int32_t blockSize);
  RegistrationError lastRefusal() const { return lastRefusal_; }
  const std::string &lastRefusalMessage() const { return lastRefusalMessage_; }
  // The next registration is refused, as a host out of room would.
  void refuseNextRegistration() { refuseNext_ = true; }

  const RegisteredCommand *find(int32_t id) const;
  const std::vector<std::unique_ptr<RegisteredCommand>> &commands() const { return commands_; }

  // The user picks command id from the menu: refused while its state lacks
  // CMD_ENABLED. Without an id: the one command registered.
  ActionResult invoke(int32_t id);
  ActionResult invoke();
  // The command's answer to the host's state query; 0 for an unknown id.
  int32_t state(int32_t id);
  // The host restores the command's dialog with data only it reads.
  bool restore(int32_t id, void *secret);

  // Destroys every command, the last registered first.
  void destroyAll();

 private:
  bool refuse(RegistrationError error, int32_t id, std::string why);

  Host &host_;
  std::vector<std::unique_ptr<RegisteredCommand>> commands_;
  bool refuseNext_ = false;
  RegistrationError lastRefusal_ = RegistrationError::none;
  std::string lastRefusalMessage_;
};

}  // namespace hostemu
