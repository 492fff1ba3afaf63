// t_C4DOS_Ge: general services of the host.
#include "container.h"
#include "document.h"
#include "filename.h"
#include "host.h"
#include "host_constants.h"
#include "journal_args.h"
#include "preferences.h"
#include "strings.h"
#include "tables.h"

#include <cstdio>

namespace hostemu {
namespace {

HostDocument *getActiveDocument() {
  journalCall("Ge.getActiveDocument");
  return reinterpret_cast<HostDocument *>(Host::current().activeDocument());
}

bool getHostDirectory(int32_t which, HostFilename *out) {
  journalCall("Ge.getHostDirectory", which);
  const std::filesystem::path &directory = Host::current().options().hostDirectory;
  if (which != HOST_DIRECTORY_STARTUP || out == nullptr || directory.empty())
    return false;
  out->path = directory;
  return true;
}

int32_t messageBox(int32_t style, const HostString *text) {
  journalCall("Ge.messageBox", style, std::string(textOf(text)));
  Host &host = Host::current();
  host.messageBoxes.push_back(MessageBoxRecord{style, std::string(textOf(text))});
  return host.options().messageBoxAnswer;
}

// Recorded, never launched: neither tests nor batch runs may start programs.
bool openWithSystem(const HostFilename *path) {
  const std::string text = path ? path->path.string() : std::string();
  journalCall("Ge.openWithSystem", text);
  if (path == nullptr || path->path.empty())
    return false;
  Host::current().openedFiles.push_back(text);
  std::error_code error;
  return std::filesystem::is_regular_file(path->path, error);
}

void postEvent(int32_t event) {
  journalCall("Ge.postEvent", event);
  Host::current().events.push_back(event);
}

const HostContainer *getWorldPluginData(int32_t pluginId) {
  journalCall("Ge.getWorldPluginData", pluginId);
  return Host::current().preferences().find(pluginId);
}

bool setWorldPluginData(int32_t pluginId, const HostContainer *data, int32_t add) {
  journalCall("Ge.setWorldPluginData", pluginId, add);
  if (data == nullptr)
    return false;
  Preferences &preferences = Host::current().preferences();
  if (preferences.store(pluginId, *data, add != 0))
    return true;
  // The module does not report a failed store; the user must still learn
  // that the settings were not saved.
  std::fprintf(stderr, "hostemu: %s\n", preferences.error().c_str());
  return false;
}

}  // namespace

const HostGeneralTable *generalTable() {
  static const HostGeneralTable table = [] {
    HostGeneralTable t{};
    t.size = sizeof(HostGeneralTable);
    t.getActiveDocument = getActiveDocument;
    t.getHostDirectory = getHostDirectory;
    t.messageBox = messageBox;
    t.openWithSystem = openWithSystem;
    t.postEvent = postEvent;
    t.getWorldPluginData = getWorldPluginData;
    t.setWorldPluginData = setWorldPluginData;
    return t;
  }();
  return &table;
}

}  // namespace hostemu
