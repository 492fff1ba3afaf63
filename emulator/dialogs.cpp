#include "dialogs.h"

#include "container.h"
#include "fault.h"

#include <charconv>
#include <cmath>
#include <limits>

namespace hostemu {
namespace {

std::string describeGadget(const Gadget &gadget) {
  return std::string(kindName(gadget.kind)) + " " + std::to_string(gadget.id);
}

std::string childValues(const Gadget &combo) {
  std::string list;
  for (const ComboChild &child : combo.children)
    list += (list.empty() ? "" : ", ") + std::to_string(child.value);
  return list.empty() ? "none" : list;
}

std::string numberText(double value) {
  char text[32];
  auto [end, error] = std::to_chars(text, text + sizeof text, value);
  return error == std::errc() ? std::string(text, end) : std::string("?");
}

}  // namespace

Dialogs::~Dialogs() {
  // Dialogs a module never gave back: their objects may be gone, so they get
  // no message.
  live_.clear();
}

void Dialogs::detachAll() {
  for (auto &[raw, dialog] : live_) {
    closeWindow(*dialog);
    dialog->hook = nullptr;
    dialog->self = nullptr;
  }
}

HostDialog *Dialogs::create(void *self, DialogMessageHook hook) {
  auto dialog = std::make_unique<HostDialog>();
  dialog->self = self;
  dialog->hook = hook;
  HostDialog *raw = dialog.get();
  live_.emplace(raw, std::move(dialog));
  return raw;
}

void Dialogs::destroy(HostDialog *dialog) {
  if (!isLive(dialog))
    moduleFault("Gd.destroy", "the dialog was not created by Gd.create or is gone");
  if (dialog->open)
    closeWindow(*dialog);
  if (dialog->hookDepth > 0) {
    dialog->destroyPending = true;
    return;
  }
  live_.erase(dialog);
}

Dialogs::Delivery Dialogs::deliver(HostDialog &dialog, int32_t message, const int32_t *gadgetId) {
  if (dialog.hook == nullptr || dialog.destroyPending)
    return {};
  HostContainer container;
  container.id = message;
  if (gadgetId != nullptr)
    container.values[DIALOG_KEY_ID] = *gadgetId;
  HostContainer result;
  ++dialog.hookDepth;
  const int32_t answer = dialog.hook(dialog.self, &container, &result);
  --dialog.hookDepth;
  if (dialog.hookDepth == 0 && dialog.destroyPending) {
    live_.erase(&dialog);
    return {answer, false};
  }
  return {answer, true};
}

bool Dialogs::open(HostDialog &dialog, const OpenArguments &arguments) {
  if (dialog.open)
    return true;
  dialog.open = true;
  dialog.openedAt = ++openings_;
  dialog.type = arguments.type;
  dialog.pluginId = arguments.pluginId;
  dialog.subId = arguments.subId;
  dialog.x = arguments.x;
  dialog.y = arguments.y;
  dialog.defaultWidth = arguments.defaultWidth;
  dialog.defaultHeight = arguments.defaultHeight;
  dialog.openFlags = arguments.flags;
  return build(dialog);
}

bool Dialogs::restore(HostDialog &dialog, int32_t pluginId, int32_t subId) {
  OpenArguments arguments;
  arguments.pluginId = pluginId;
  arguments.subId = subId;
  return open(dialog, arguments);
}

bool Dialogs::build(HostDialog &dialog) {
  closeWindow(dialog);
  dialog.open = true;
  ++dialog.builds;
  Delivery layout = deliver(dialog, DIALOG_MSG_LAYOUT, nullptr);
  if (!layout.alive)
    return false;
  // Groups and submenus left open end with the layout.
  dialog.openGroups.clear();
  dialog.openMenus.clear();
  if (!dialog.open)
    return false;
  if (layout.answer == 0) {
    closeWindow(dialog);
    return false;
  }
  Delivery init = deliver(dialog, DIALOG_MSG_INIT, nullptr);
  if (!init.alive || !dialog.open)
    return false;
  if (init.answer == 0) {
    closeWindow(dialog);
    return false;
  }
  return true;
}

void Dialogs::closeWindow(HostDialog &dialog) {
  dialog.open = false;
  dialog.title.clear();
  dialog.gadgets.clear();
  dialog.openGroups.clear();
  dialog.menu.clear();
  dialog.openMenus.clear();
  dialog.menuFinished = false;
}

bool Dialogs::close(HostDialog &dialog) {
  if (!dialog.open)
    return false;
  closeWindow(dialog);
  deliver(dialog, DIALOG_MSG_DESTROY, nullptr);
  return true;
}

HostDialog *Dialogs::openWindow() const {
  HostDialog *latest = nullptr;
  for (const auto &[raw, dialog] : live_) {
    if (dialog->open && !dialog->destroyPending && (latest == nullptr || dialog->openedAt > latest->openedAt)) {
      latest = raw;
    }
  }
  return latest;
}

ActionResult Dialogs::findSettable(int32_t id, HostDialog *&dialog, Gadget *&gadget) const {
  dialog = openWindow();
  if (dialog == nullptr)
    return ActionResult::refused(ActionError::noWindow, "no dialog window is open; invoke the command first");
  std::vector<Gadget *> path = findGadget(dialog->gadgets, id);
  if (path.empty()) {
    return ActionResult::refused(ActionError::unknownId, "the dialog has no gadget " + std::to_string(id) +
                                                             "; list them with the dialog action");
  }
  gadget = path.back();
  if (gadget->kind != GadgetKind::checkbox && gadget->kind != GadgetKind::comboBox &&
      gadget->kind != GadgetKind::numberField) {
    return ActionResult::refused(ActionError::wrongKind, describeGadget(*gadget) + " takes no value");
  }
  for (const Gadget *step : path) {
    if (!step->enabled) {
      return ActionResult::refused(ActionError::disabled, describeGadget(*gadget) + " is disabled");
    }
  }
  return ActionResult::done();
}

ActionResult Dialogs::set(int32_t id, double value) {
  HostDialog *dialog = nullptr;
  Gadget *gadget = nullptr;
  if (ActionResult found = findSettable(id, dialog, gadget); !found.ok())
    return found;
  switch (gadget->kind) {
    case GadgetKind::checkbox:
      if (value != 0.0 && value != 1.0) {
        return ActionResult::refused(ActionError::badValue,
                                     describeGadget(*gadget) + " takes 0 or 1, not " + numberText(value));
      }
      gadget->integer = value == 1.0 ? 1 : 0;
      break;
    case GadgetKind::comboBox: {
      const bool whole = std::isfinite(value) && value == std::trunc(value) &&
                         value >= std::numeric_limits<int32_t>::min() && value <= std::numeric_limits<int32_t>::max();
      if (!whole || !gadget->hasChild(static_cast<int32_t>(value))) {
        return ActionResult::refused(ActionError::badValue, describeGadget(*gadget) + " has no entry with the value " +
                                                                numberText(value) + " (it has " + childValues(*gadget) +
                                                                ")");
      }
      gadget->integer = static_cast<int32_t>(value);
      break;
    }
    default:
      if (!std::isfinite(value)) {
        return ActionResult::refused(ActionError::badValue, describeGadget(*gadget) + " takes a finite number");
      }
      if (gadget->format == kFormatDegrees)
        value *= kRadiansPerDegree;
      gadget->number = clampToField(*gadget, value);
      break;
  }
  return command(*dialog, id);
}

ActionResult Dialogs::set(int32_t id, std::string_view typed) {
  HostDialog *dialog = nullptr;
  Gadget *gadget = nullptr;
  if (ActionResult found = findSettable(id, dialog, gadget); !found.ok())
    return found;
  double value = 0.0;
  auto [end, error] = std::from_chars(typed.data(), typed.data() + typed.size(), value);
  if (typed.empty() || error != std::errc() || end != typed.data() + typed.size() || !std::isfinite(value)) {
    return ActionResult::refused(ActionError::badValue,
                                 describeGadget(*gadget) + " takes a number, not \"" + std::string(typed) + "\"");
  }
  return set(id, value);
}

ActionResult Dialogs::press(int32_t id) {
  HostDialog *dialog = openWindow();
  if (dialog == nullptr)
    return ActionResult::refused(ActionError::noWindow, "no dialog window is open; invoke the command first");
  std::vector<Gadget *> path = findGadget(dialog->gadgets, id);
  if (!path.empty()) {
    const Gadget &gadget = *path.back();
    if (gadget.kind != GadgetKind::button) {
      return ActionResult::refused(
          ActionError::wrongKind,
          describeGadget(gadget) + " is not a button" +
              (gadget.kind == GadgetKind::group || gadget.kind == GadgetKind::staticText ? std::string()
                                                                                         : "; change it with set"));
    }
    for (const Gadget *step : path) {
      if (!step->enabled)
        return ActionResult::refused(ActionError::disabled, describeGadget(gadget) + " is disabled");
    }
    return command(*dialog, id);
  }
  if (findMenuItem(dialog->menu, id) != nullptr)
    return command(*dialog, id);
  return ActionResult::refused(ActionError::unknownId, "the dialog has no button or menu item " + std::to_string(id) +
                                                           "; list them with the dialog action");
}

ActionResult Dialogs::close() {
  HostDialog *dialog = openWindow();
  if (dialog == nullptr)
    return ActionResult::refused(ActionError::noWindow, "no dialog window is open");
  Delivery ask = deliver(*dialog, DIALOG_MSG_ASK_CLOSE, nullptr);
  if (!ask.alive || !dialog->open)
    return ActionResult::done();
  if (ask.answer != 0)
    return ActionResult::refused(ActionError::keptOpen, "the dialog asked to stay open");
  close(*dialog);
  return ActionResult::done();
}

ActionResult Dialogs::command(HostDialog &dialog, int32_t id) {
  deliver(dialog, DIALOG_MSG_COMMAND, &id);
  return ActionResult::done();
}

ActionResult Dialogs::describe(std::vector<nlohmann::json> &gadgets) const {
  gadgets.clear();
  const HostDialog *dialog = openWindow();
  if (dialog == nullptr)
    return ActionResult::refused(ActionError::noWindow, "no dialog window is open");
  std::vector<const Gadget *> all;
  collectGadgets(dialog->gadgets, all);
  for (const Gadget *gadget : all)
    gadgets.push_back(gadget->describe());
  return ActionResult::done();
}

nlohmann::json Dialogs::describeMenu() const {
  const HostDialog *dialog = openWindow();
  return dialog ? hostemu::describeMenu(dialog->menu) : nlohmann::json::array();
}

}  // namespace hostemu
