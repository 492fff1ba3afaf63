#include "main.h"

#include "command.h"
#include "host/framework/console.h"
#include "host/framework/host_tables.h"
#include "host/framework/module_record.h"
#include "ids.h"
#include "resource.h"

namespace kwantel {

using framework::String;

namespace {

KwantelCommand *CreateCommand() {
  const KernelInterface *kernel = framework::Kernel();
  void *block = kernel != nullptr ? kernel->allocClear(sizeof(KwantelCommand)) : nullptr;
  return block != nullptr ? KWANTEL_PLACE(block) KwantelCommand() : nullptr;
}

// A command the host did not take stays the module's to release.
void DestroyCommand(KwantelCommand *command) {
  command->~KwantelCommand();
  framework::Kernel()->privateFreeWithDestructor(command, nullptr);
}

}  // namespace

bool ModuleStart() {
  if (RegisterKwantelCommand()) {
    KWANTEL_CONSOLE_WRITE(String::Literal("Orvanel Software: Kwantel successfully loaded."));
    return true;
  }
  KWANTEL_CONSOLE_WRITE(String::Literal("Orvanel Software: Failed to load Kwantel"));
  return false;
}

bool ModuleMessage(int32_t id, void *) {
  switch (id) {
    case HOST_MESSAGE_NONE:
      return true;
    case HOST_MESSAGE_LOAD_RESOURCES:
      if (LoadResource(g_moduleResource)) {
        return true;
      }
      KWANTEL_CONSOLE_WRITE(String::Literal("Kwantel: failed to load resource file."));
      return false;
    default:
      return false;
  }
}

void ModuleEnd() {}

bool RegisterKwantelCommand() {
  KwantelCommand *command = CreateCommand();
  const String help = GetResourceString(IDS_PLUGIN_HELP);
  HostBitmap *icon = LoadResourceImage(String::Literal("kwantel.tif"), 1.0);
  const String name = GetResourceString(IDS_PLUGIN_NAME);

  bool registered = false;
  if (command != nullptr && t_C4DOS_Pl != nullptr) {
    CommandRegistration block{};
    block.info = 0;
    block.icon = icon;
    block.help = help.Get();
    block.object = static_cast<framework::CommandBase *>(command);
    block.hooks = framework::CommandBase::Hooks();
    registered = t_C4DOS_Pl->registerPlugin(API_VERSION, PLUGINTYPE_COMMAND, PLUGIN_ID, name.Get(), &block,
                                            static_cast<int32_t>(sizeof block));
  }

  if (icon != nullptr) {
    t_C4DOS_Bm->destroy(icon);
  }
  if (command != nullptr && !registered) {
    DestroyCommand(command);
  }
  return registered;
}

}  // namespace kwantel
