#include "plugins.h"

#include "fault.h"
#include "host.h"
#include "kernel.h"
#include "strings.h"

#include <cstdio>

namespace hostemu {

Plugins::~Plugins() {
  destroyAll();
}

bool Plugins::refuse(RegistrationError error, int32_t id, std::string why) {
  lastRefusal_ = error;
  lastRefusalMessage_ = "registration of plug-in " + std::to_string(id) + " refused: " + std::move(why);
  return false;
}

bool Plugins::registerPlugin(int32_t apiVersion, int32_t type, int32_t id, const HostString *name, const void *block,
                             int32_t blockSize) {
  lastRefusal_ = RegistrationError::none;
  lastRefusalMessage_.clear();
  if (refuseNext_) {
    refuseNext_ = false;
    return refuse(RegistrationError::refusedByTest, id, "the host was told to refuse it");
  }
  if (type != PLUGINTYPE_COMMAND)
    return refuse(RegistrationError::type, id, "type " + std::to_string(type) + " is not a command");
  if (block == nullptr || blockSize != COMMAND_REGISTRATION_SIZE) {
    return refuse(RegistrationError::blockSize, id,
                  "the block has " + std::to_string(block ? blockSize : 0) + " bytes, a command's has " +
                      std::to_string(COMMAND_REGISTRATION_SIZE));
  }
  if (apiVersion > host_.options().version) {
    return refuse(RegistrationError::newerApi, id,
                  "it needs host version " + std::to_string(apiVersion) + ", this host is " +
                      std::to_string(host_.options().version));
  }
  if (find(id) != nullptr)
    return refuse(RegistrationError::duplicateId, id, "the id is taken");
  const auto &registration = *static_cast<const CommandRegistration *>(block);
  if (registration.object == nullptr)
    return refuse(RegistrationError::noObject, id, "the block carries no command");
  if (registration.icon != nullptr && !isLiveBitmap(registration.icon)) {
    moduleFault("Pl.registerPlugin", "the icon was not created by Bm.create or is gone");
  }

  auto command = std::make_unique<RegisteredCommand>();
  command->apiVersion = apiVersion;
  command->id = id;
  command->info = registration.info;
  command->name = std::string(textOf(name));
  command->help = std::string(textOf(registration.help));
  if (registration.icon != nullptr)
    command->icon = std::make_unique<HostBitmap>(*registration.icon);
  command->object = registration.object;
  command->hooks = registration.hooks;
  commands_.push_back(std::move(command));
  return true;
}

const RegisteredCommand *Plugins::find(int32_t id) const {
  for (const auto &command : commands_) {
    if (command->id == id)
      return command.get();
  }
  return nullptr;
}

ActionResult Plugins::invoke(int32_t id) {
  const RegisteredCommand *command = find(id);
  if (command == nullptr) {
    return ActionResult::refused(ActionError::unknownId, "no command is registered under " + std::to_string(id));
  }
  if ((state(id) & CMD_ENABLED) == 0) {
    return ActionResult::refused(ActionError::commandDisabled, "the command \"" + command->name + "\" is disabled");
  }
  HostDocument *document = reinterpret_cast<HostDocument *>(host_.activeDocument());
  if (command->hooks.execute == nullptr || !command->hooks.execute(command->object, document, nullptr)) {
    return ActionResult::refused(ActionError::commandFailed, "the command \"" + command->name + "\" failed");
  }
  return ActionResult::done();
}

ActionResult Plugins::invoke() {
  if (commands_.empty()) {
    return ActionResult::refused(ActionError::unknownId, "no command is registered; the module did not start");
  }
  return invoke(commands_.front()->id);
}

int32_t Plugins::state(int32_t id) {
  const RegisteredCommand *command = find(id);
  if (command == nullptr || command->hooks.getState == nullptr)
    return 0;
  return command->hooks.getState(command->object, reinterpret_cast<HostDocument *>(host_.activeDocument()), nullptr);
}

bool Plugins::restore(int32_t id, void *secret) {
  const RegisteredCommand *command = find(id);
  if (command == nullptr || command->hooks.restoreLayout == nullptr)
    return false;
  return command->hooks.restoreLayout(command->object, secret);
}

void Plugins::destroyAll() {
  while (!commands_.empty()) {
    std::unique_ptr<RegisteredCommand> command = std::move(commands_.back());
    commands_.pop_back();
    if (command->hooks.destroy != nullptr)
      command->hooks.destroy(command->object);
    host_.kernel().freeWithDestructor(command->object, nullptr);
  }
}

}  // namespace hostemu
