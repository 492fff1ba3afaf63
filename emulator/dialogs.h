// The host's dialogs: one HostDialog per dialog object of a module, its
// window (open or closed, open at most once), the gadget tree and menu bar the
// layout calls build, and the user's side: setting gadgets, pressing buttons
// and menu items, closing the window, reading what it shows.
//
// The host reaches a dialog only through its message hook: opening a window
// sends DIALOG_MSG_LAYOUT, which rebuilds the tree from nothing, then
// DIALOG_MSG_INIT; each user action sends DIALOG_MSG_COMMAND with the id under
// DIALOG_KEY_ID.
#pragma once

#include "gadgets.h"
#include "host_api.h"
#include "user_action.h"

#include <nlohmann/json.hpp>

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

struct HostDialog {
  void *self = nullptr;
  DialogMessageHook hook = nullptr;

  // The window.
  bool open = false;
  uint64_t openedAt = 0;  // order of opening, to find the window the user looks at
  uint64_t builds = 0;    // how often the window was built
  int32_t type = 0;
  int32_t pluginId = 0;
  int32_t subId = 0;
  int32_t x = 0;
  int32_t y = 0;
  int32_t defaultWidth = 0;
  int32_t defaultHeight = 0;
  int32_t openFlags = 0;
  std::string title;

  // What the layout calls built.
  std::vector<std::unique_ptr<hostemu::Gadget>> gadgets;
  std::vector<hostemu::Gadget *> openGroups;  // innermost last
  std::vector<std::unique_ptr<hostemu::MenuEntry>> menu;
  std::vector<hostemu::MenuEntry *> openMenus;
  bool menuFinished = false;

  // A dialog destroyed while one of its messages runs goes once it returns.
  int32_t hookDepth = 0;
  bool destroyPending = false;
};

namespace hostemu {

class Host;

// The degrees a user types into an angle field become radians in the field.
inline constexpr double kRadiansPerDegree = 0.017453292519943295;

struct OpenArguments {
  int32_t type = DLG_TYPE_ASYNC;
  int32_t pluginId = 0;
  int32_t x = -1;
  int32_t y = -1;
  int32_t defaultWidth = 0;
  int32_t defaultHeight = 0;
  int32_t subId = 0;
  int32_t flags = 0;
};

class Dialogs {
 public:
  explicit Dialogs(Host &host) : host_(host) {}
  ~Dialogs();
  Dialogs(const Dialogs &) = delete;
  Dialogs &operator=(const Dialogs &) = delete;

  // The module's side (the Gd table).
  HostDialog *create(void *self, DialogMessageHook hook);
  // Closes the window first, without a message: the dialog object is being
  // destroyed and must not be called.
  void destroy(HostDialog *dialog);
  bool isLive(const HostDialog *dialog) const { return live_.count(const_cast<HostDialog *>(dialog)) != 0; }
  // Opens and builds the window; true at once when it is open already.
  // False when the dialog would not build it (the window stays closed).
  bool open(HostDialog &dialog, const OpenArguments &arguments);
  bool restore(HostDialog &dialog, int32_t pluginId, int32_t subId);
  // Closes the window; false when it was closed.
  bool close(HostDialog &dialog);

  // The user's side. Each acts on the window opened last of those open.
  HostDialog *openWindow() const;
  // Checkbox: 0 or 1. Combo box: the value of one of its children. Number
  // field: the value as typed, in degrees for an angle field; the field keeps
  // it within its limits. Then the dialog gets the gadget's command.
  ActionResult set(int32_t id, double value);
  // The same with the value as the user typed it.
  ActionResult set(int32_t id, std::string_view typed);
  // A button or a menu item.
  ActionResult press(int32_t id);
  // Asks the dialog, then closes the window.
  ActionResult close();
  // Every gadget of the open window in layout order (Gadget::describe).
  ActionResult describe(std::vector<nlohmann::json> &gadgets) const;
  nlohmann::json describeMenu() const;

  uint64_t liveDialogs() const { return live_.size(); }
  // Closes every window and forgets every hook, without a message: the code
  // behind the hooks is being unloaded. The dialogs stay counted as live.
  void detachAll();

 private:
  struct Delivery {
    int32_t answer = 0;
    bool alive = true;  // false when the dialog was destroyed meanwhile
  };
  // Sends one message through the dialog's hook.
  Delivery deliver(HostDialog &dialog, int32_t message, const int32_t *gadgetId);
  bool build(HostDialog &dialog);
  void closeWindow(HostDialog &dialog);
  ActionResult command(HostDialog &dialog, int32_t id);
  ActionResult findSettable(int32_t id, HostDialog *&dialog, Gadget *&gadget) const;

  [[maybe_unused]] Host &host_;
  std::unordered_map<HostDialog *, std::unique_ptr<HostDialog>> live_;
  uint64_t openings_ = 0;
};

}  // namespace hostemu
