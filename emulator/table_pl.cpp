// t_C4DOS_Pl: plug-in registration.
#include "host.h"
#include "journal_args.h"
#include "plugins.h"
#include "strings.h"
#include "tables.h"

#include <cstdio>

namespace hostemu {
namespace {

// What the journal shows of a command's block: its fields, not its bytes.
nlohmann::json blockFields(const void *block, int32_t blockSize) {
  if (block == nullptr || blockSize != COMMAND_REGISTRATION_SIZE)
    return nullptr;
  const auto &registration = *static_cast<const CommandRegistration *>(block);
  return {{"info", registration.info},
          {"icon", registration.icon != nullptr},
          {"help", std::string(textOf(registration.help))},
          {"object", registration.object != nullptr}};
}

bool registerPlugin(int32_t apiVersion, int32_t type, int32_t id, const HostString *name, const void *block,
                    int32_t blockSize) {
  journalCall("Pl.registerPlugin", apiVersion, type, id, std::string(textOf(name)), blockFields(block, blockSize),
              blockSize);
  Plugins &plugins = Host::current().plugins();
  if (plugins.registerPlugin(apiVersion, type, id, name, block, blockSize))
    return true;
  std::fprintf(stderr, "hostemu: %s\n", plugins.lastRefusalMessage().c_str());
  return false;
}

}  // namespace

const HostPluginTable *pluginTable() {
  static const HostPluginTable table = [] {
    HostPluginTable t{};
    t.size = sizeof(HostPluginTable);
    t.registerPlugin = registerPlugin;
    return t;
  }();
  return &table;
}

}  // namespace hostemu
