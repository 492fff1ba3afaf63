// t_C4DOS_Gd: dialogs, their windows, layout and gadget values.
#include "dialogs.h"
#include "fault.h"
#include "host.h"
#include "journal_args.h"
#include "json_numbers.h"
#include "strings.h"
#include "tables.h"

#include <cmath>
#include <limits>

namespace hostemu {
namespace {

Dialogs &dialogs() {
  return Host::current().dialogs();
}

HostDialog &require(HostDialog *dialog, const char *service) {
  if (!dialogs().isLive(dialog))
    moduleFault(service, "the dialog was not created by Gd.create or is gone");
  return *dialog;
}

const HostDialog &require(const HostDialog *dialog, const char *service) {
  return require(const_cast<HostDialog *>(dialog), service);
}

std::string text(const HostString *s) {
  return std::string(textOf(s));
}

// Gadgets are added to the innermost open group, or to the window.
Gadget &addGadget(HostDialog &dialog, GadgetKind kind, int32_t id, int32_t flags, int32_t width, int32_t height) {
  auto gadget = std::make_unique<Gadget>();
  gadget->kind = kind;
  gadget->id = id;
  gadget->flags = flags;
  gadget->width = width;
  gadget->height = height;
  auto &list = dialog.openGroups.empty() ? dialog.gadgets : dialog.openGroups.back()->gadgets;
  list.push_back(std::move(gadget));
  return *list.back();
}

Gadget *find(const HostDialog &dialog, int32_t id) {
  std::vector<Gadget *> path = findGadget(dialog.gadgets, id);
  return path.empty() ? nullptr : path.back();
}

// The whole-number reading of a field: rounded, kept within 32 bits.
int32_t wholeNumber(double value) {
  if (std::isnan(value))
    return 0;
  const double rounded = std::round(value);
  if (rounded <= std::numeric_limits<int32_t>::min())
    return std::numeric_limits<int32_t>::min();
  if (rounded >= std::numeric_limits<int32_t>::max())
    return std::numeric_limits<int32_t>::max();
  return static_cast<int32_t>(rounded);
}

HostDialog *create(void *self, DialogMessageHook hook) {
  journalCall("Gd.create", hook != nullptr);
  return dialogs().create(self, hook);
}

void destroy(HostDialog *dialog) {
  journalCall("Gd.destroy");
  if (dialog == nullptr)
    return;
  dialogs().destroy(dialog);
}

bool open(HostDialog *dialog, int32_t type, int32_t pluginId, int32_t x, int32_t y, int32_t defaultWidth,
          int32_t defaultHeight, int32_t subId, int32_t flags) {
  journalCall("Gd.open", type, pluginId, x, y, defaultWidth, defaultHeight, subId, flags);
  return dialogs().open(require(dialog, "Gd.open"),
                        OpenArguments{type, pluginId, x, y, defaultWidth, defaultHeight, subId, flags});
}

bool restore(HostDialog *dialog, int32_t pluginId, int32_t subId, void *secret) {
  journalCall("Gd.restore", pluginId, subId, secret != nullptr);
  return dialogs().restore(require(dialog, "Gd.restore"), pluginId, subId);
}

bool close(HostDialog *dialog) {
  journalCall("Gd.close");
  return dialogs().close(require(dialog, "Gd.close"));
}

bool isOpen(const HostDialog *dialog) {
  journalCall("Gd.isOpen");
  const HostDialog &d = require(dialog, "Gd.isOpen");
  return d.open && !d.destroyPending;
}

bool setTitle(HostDialog *dialog, const HostString *title) {
  journalCall("Gd.setTitle", text(title));
  require(dialog, "Gd.setTitle").title = text(title);
  return true;
}

bool menuFlushAll(HostDialog *dialog) {
  journalCall("Gd.menuFlushAll");
  HostDialog &d = require(dialog, "Gd.menuFlushAll");
  d.menu.clear();
  d.openMenus.clear();
  d.menuFinished = false;
  return true;
}

MenuEntry &addMenuEntry(HostDialog &d, bool submenu, int32_t id, std::string entryText) {
  auto entry = std::make_unique<MenuEntry>();
  entry->submenu = submenu;
  entry->id = id;
  entry->text = std::move(entryText);
  auto &list = d.openMenus.empty() ? d.menu : d.openMenus.back()->entries;
  list.push_back(std::move(entry));
  return *list.back();
}

bool menuSubBegin(HostDialog *dialog, const HostString *title) {
  journalCall("Gd.menuSubBegin", text(title));
  HostDialog &d = require(dialog, "Gd.menuSubBegin");
  d.openMenus.push_back(&addMenuEntry(d, true, 0, text(title)));
  return true;
}

bool menuAddString(HostDialog *dialog, int32_t id, const HostString *entryText) {
  journalCall("Gd.menuAddString", id, text(entryText));
  addMenuEntry(require(dialog, "Gd.menuAddString"), false, id, text(entryText));
  return true;
}

bool menuSubEnd(HostDialog *dialog) {
  journalCall("Gd.menuSubEnd");
  HostDialog &d = require(dialog, "Gd.menuSubEnd");
  if (d.openMenus.empty())
    return false;
  d.openMenus.pop_back();
  return true;
}

bool menuFinished(HostDialog *dialog) {
  journalCall("Gd.menuFinished");
  HostDialog &d = require(dialog, "Gd.menuFinished");
  d.openMenus.clear();
  d.menuFinished = true;
  return true;
}

bool groupBegin(HostDialog *dialog, int32_t id, int32_t flags, int32_t columns, int32_t rows, const HostString *title,
                int32_t groupFlags, int32_t initialWidth, int32_t initialHeight) {
  journalCall("Gd.groupBegin", id, flags, columns, rows, text(title), groupFlags, initialWidth, initialHeight);
  HostDialog &d = require(dialog, "Gd.groupBegin");
  Gadget &group = addGadget(d, GadgetKind::group, id, flags, initialWidth, initialHeight);
  group.text = text(title);
  group.columns = columns;
  group.rows = rows;
  group.groupFlags = groupFlags;
  d.openGroups.push_back(&group);
  return true;
}

bool groupBorderSpace(HostDialog *dialog, int32_t left, int32_t top, int32_t right, int32_t bottom) {
  journalCall("Gd.groupBorderSpace", left, top, right, bottom);
  HostDialog &d = require(dialog, "Gd.groupBorderSpace");
  if (d.openGroups.empty())
    return false;
  d.openGroups.back()->borderSpace = {left, top, right, bottom};
  return true;
}

bool groupBorder(HostDialog *dialog, uint32_t style) {
  journalCall("Gd.groupBorder", style);
  HostDialog &d = require(dialog, "Gd.groupBorder");
  if (d.openGroups.empty())
    return false;
  d.openGroups.back()->borderStyle = style;
  return true;
}

bool groupEnd(HostDialog *dialog) {
  journalCall("Gd.groupEnd");
  HostDialog &d = require(dialog, "Gd.groupEnd");
  if (d.openGroups.empty())
    return false;
  d.openGroups.pop_back();
  return true;
}

bool addStaticText(HostDialog *dialog, int32_t id, int32_t flags, int32_t initialWidth, int32_t initialHeight,
                   const HostString *label, int32_t borderStyle) {
  journalCall("Gd.addStaticText", id, flags, initialWidth, initialHeight, text(label), borderStyle);
  Gadget &gadget =
      addGadget(require(dialog, "Gd.addStaticText"), GadgetKind::staticText, id, flags, initialWidth, initialHeight);
  gadget.text = text(label);
  gadget.style = borderStyle;
  return true;
}

bool addCheckbox(HostDialog *dialog, int32_t id, int32_t flags, int32_t initialWidth, int32_t initialHeight,
                 const HostString *label) {
  journalCall("Gd.addCheckbox", id, flags, initialWidth, initialHeight, text(label));
  addGadget(require(dialog, "Gd.addCheckbox"), GadgetKind::checkbox, id, flags, initialWidth, initialHeight).text =
      text(label);
  return true;
}

bool addEditNumberArrows(HostDialog *dialog, int32_t id, int32_t flags, int32_t initialWidth, int32_t initialHeight) {
  journalCall("Gd.addEditNumberArrows", id, flags, initialWidth, initialHeight);
  Gadget &field = addGadget(require(dialog, "Gd.addEditNumberArrows"), GadgetKind::numberField, id, flags, initialWidth,
                            initialHeight);
  // Until the dialog sets its limits a field takes any number.
  field.minimum = -std::numeric_limits<double>::max();
  field.maximum = std::numeric_limits<double>::max();
  return true;
}

bool addComboBox(HostDialog *dialog, int32_t id, int32_t flags, int32_t initialWidth, int32_t initialHeight,
                 bool specialAlign, bool allowFiltering) {
  journalCall("Gd.addComboBox", id, flags, initialWidth, initialHeight, specialAlign, allowFiltering);
  Gadget &combo =
      addGadget(require(dialog, "Gd.addComboBox"), GadgetKind::comboBox, id, flags, initialWidth, initialHeight);
  combo.specialAlign = specialAlign;
  combo.allowFiltering = allowFiltering;
  return true;
}

bool addChild(HostDialog *dialog, int32_t id, int32_t childValue, const HostString *childText) {
  journalCall("Gd.addChild", id, childValue, text(childText));
  HostDialog &d = require(dialog, "Gd.addChild");
  // The combo box added last under this id takes the entry.
  std::vector<const Gadget *> all;
  collectGadgets(d.gadgets, all);
  for (auto it = all.rbegin(); it != all.rend(); ++it) {
    if ((*it)->id == id && (*it)->kind == GadgetKind::comboBox) {
      const_cast<Gadget *>(*it)->children.push_back(ComboChild{childValue, text(childText)});
      return true;
    }
  }
  return false;
}

bool addButton(HostDialog *dialog, int32_t id, int32_t flags, int32_t initialWidth, int32_t initialHeight,
               const HostString *label, int32_t buttonFlags) {
  journalCall("Gd.addButton", id, flags, initialWidth, initialHeight, text(label), buttonFlags);
  Gadget &button =
      addGadget(require(dialog, "Gd.addButton"), GadgetKind::button, id, flags, initialWidth, initialHeight);
  button.text = text(label);
  button.style = buttonFlags;
  return true;
}

bool setBool(HostDialog *dialog, int32_t id, bool value) {
  journalCall("Gd.setBool", id, value);
  Gadget *gadget = find(require(dialog, "Gd.setBool"), id);
  if (gadget == nullptr || gadget->kind != GadgetKind::checkbox)
    return false;
  gadget->integer = value ? 1 : 0;
  return true;
}

bool setInt32(HostDialog *dialog, int32_t id, int32_t value, int32_t minimum, int32_t maximum, int32_t step) {
  journalCall("Gd.setInt32", id, value, minimum, maximum, step);
  Gadget *gadget = find(require(dialog, "Gd.setInt32"), id);
  if (gadget == nullptr)
    return false;
  switch (gadget->kind) {
    case GadgetKind::checkbox:
      gadget->integer = value != 0 ? 1 : 0;
      return true;
    case GadgetKind::comboBox:
      gadget->integer = value;
      return true;
    case GadgetKind::numberField:
      gadget->minimum = minimum;
      gadget->maximum = maximum;
      gadget->step = step;
      gadget->format = 0;
      gadget->number = clampToField(*gadget, value);
      return true;
    default:
      return false;
  }
}

bool setFloat(HostDialog *dialog, int32_t id, double value, double minimum, double maximum, double step, int32_t format,
              double minimum2, double maximum2, bool quadScale) {
  journalCall("Gd.setFloat", id, jsonFromNumber(value), jsonFromNumber(minimum), jsonFromNumber(maximum),
              jsonFromNumber(step), formatText(format), jsonFromNumber(minimum2), jsonFromNumber(maximum2), quadScale);
  Gadget *gadget = find(require(dialog, "Gd.setFloat"), id);
  if (gadget == nullptr || gadget->kind != GadgetKind::numberField)
    return false;
  gadget->minimum = minimum;
  gadget->maximum = maximum;
  gadget->step = step;
  gadget->format = format;
  gadget->number = clampToField(*gadget, value);
  return true;
}

bool setString(HostDialog *dialog, int32_t id, const HostString *label) {
  journalCall("Gd.setString", id, text(label));
  Gadget *gadget = find(require(dialog, "Gd.setString"), id);
  if (gadget == nullptr || gadget->kind == GadgetKind::numberField || gadget->kind == GadgetKind::comboBox) {
    return false;
  }
  gadget->text = text(label);
  return true;
}

// Checkboxes and combo boxes hold an integer, number fields a double; each
// reads as either kind of value.
template <typename Value>
bool readValue(const HostDialog *dialog, int32_t id, Value *out, const char *call, Value (*fromNumber)(double)) {
  journalCall(call, id);
  const Gadget *gadget = find(require(dialog, call), id);
  if (gadget == nullptr || out == nullptr)
    return false;
  switch (gadget->kind) {
    case GadgetKind::checkbox:
    case GadgetKind::comboBox:
      *out = static_cast<Value>(gadget->integer);
      return true;
    case GadgetKind::numberField:
      *out = fromNumber(gadget->number);
      return true;
    default:
      return false;
  }
}

bool getInt32(const HostDialog *dialog, int32_t id, int32_t *out) {
  return readValue<int32_t>(dialog, id, out, "Gd.getInt32", wholeNumber);
}

bool getFloat(const HostDialog *dialog, int32_t id, double *out) {
  return readValue<double>(dialog, id, out, "Gd.getFloat", [](double number) { return number; });
}

bool enable(HostDialog *dialog, int32_t id, bool enabled) {
  journalCall("Gd.enable", id, enabled);
  Gadget *gadget = find(require(dialog, "Gd.enable"), id);
  if (gadget == nullptr)
    return false;
  gadget->enabled = enabled;
  return true;
}

}  // namespace

const HostDialogTable *dialogTable() {
  static const HostDialogTable table = [] {
    HostDialogTable t{};
    t.size = sizeof(HostDialogTable);
    t.create = create;
    t.destroy = destroy;
    t.open = open;
    t.restore = restore;
    t.close = close;
    t.isOpen = isOpen;
    t.setTitle = setTitle;
    t.menuFlushAll = menuFlushAll;
    t.menuSubBegin = menuSubBegin;
    t.menuAddString = menuAddString;
    t.menuSubEnd = menuSubEnd;
    t.menuFinished = menuFinished;
    t.groupBegin = groupBegin;
    t.groupBorderSpace = groupBorderSpace;
    t.groupBorder = groupBorder;
    t.groupEnd = groupEnd;
    t.addStaticText = addStaticText;
    t.addCheckbox = addCheckbox;
    t.addEditNumberArrows = addEditNumberArrows;
    t.addComboBox = addComboBox;
    t.addChild = addChild;
    t.addButton = addButton;
    t.setBool = setBool;
    t.setInt32 = setInt32;
    t.setFloat = setFloat;
    t.setString = setString;
    t.getInt32 = getInt32;
    t.getFloat = getFloat;
    t.enable = enable;
    return t;
  }();
  return &table;
}

}  // namespace hostemu
