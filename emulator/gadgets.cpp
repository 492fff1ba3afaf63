#include "gadgets.h"

#include "json_numbers.h"

#include <cmath>
#include <cstdio>

namespace hostemu {

const char *kindName(GadgetKind kind) {
  switch (kind) {
    case GadgetKind::group:
      return "group";
    case GadgetKind::staticText:
      return "static text";
    case GadgetKind::checkbox:
      return "checkbox";
    case GadgetKind::numberField:
      return "number field";
    case GadgetKind::comboBox:
      return "combo box";
    case GadgetKind::button:
      return "button";
  }
  return "gadget";
}

bool Gadget::hasChild(int32_t value) const {
  for (const ComboChild &child : children) {
    if (child.value == value)
      return true;
  }
  return false;
}

nlohmann::json Gadget::describe() const {
  nlohmann::json out = {{"id", id}, {"kind", kindName(kind)}, {"text", text}};
  switch (kind) {
    case GadgetKind::checkbox:
      out["value"] = integer;
      break;
    case GadgetKind::comboBox: {
      out["value"] = integer;
      nlohmann::json entries = nlohmann::json::array();
      for (const ComboChild &child : children)
        entries.push_back({{"value", child.value}, {"text", child.text}});
      out["children"] = std::move(entries);
      break;
    }
    case GadgetKind::numberField:
      out["value"] = jsonFromNumber(number);
      break;
    default:
      break;
  }
  out["enabled"] = enabled;
  if (kind == GadgetKind::numberField) {
    out["min"] = jsonFromNumber(minimum);
    out["max"] = jsonFromNumber(maximum);
    out["step"] = jsonFromNumber(step);
    out["format"] = formatText(format);
  }
  return out;
}

namespace {

bool findPath(const std::vector<std::unique_ptr<Gadget>> &tree, int32_t id, std::vector<Gadget *> &path) {
  for (const auto &gadget : tree) {
    path.push_back(gadget.get());
    if (gadget->id == id || findPath(gadget->gadgets, id, path))
      return true;
    path.pop_back();
  }
  return false;
}

}  // namespace

std::vector<Gadget *> findGadget(const std::vector<std::unique_ptr<Gadget>> &tree, int32_t id) {
  std::vector<Gadget *> path;
  findPath(tree, id, path);
  return path;
}

void collectGadgets(const std::vector<std::unique_ptr<Gadget>> &tree, std::vector<const Gadget *> &out) {
  for (const auto &gadget : tree) {
    out.push_back(gadget.get());
    collectGadgets(gadget->gadgets, out);
  }
}

const MenuEntry *findMenuItem(const std::vector<std::unique_ptr<MenuEntry>> &entries, int32_t id) {
  for (const auto &entry : entries) {
    if (!entry->submenu && entry->id == id)
      return entry.get();
    if (const MenuEntry *inner = findMenuItem(entry->entries, id))
      return inner;
  }
  return nullptr;
}

nlohmann::json describeMenu(const std::vector<std::unique_ptr<MenuEntry>> &entries) {
  nlohmann::json out = nlohmann::json::array();
  for (const auto &entry : entries) {
    if (entry->submenu) {
      out.push_back({{"submenu", entry->text}, {"entries", describeMenu(entry->entries)}});
    } else {
      out.push_back({{"id", entry->id}, {"text", entry->text}});
    }
  }
  return out;
}

std::string formatText(int32_t format) {
  if (format == 0)
    return {};
  std::string text;
  for (int shift = 24; shift >= 0; shift -= 8) {
    const char c = static_cast<char>((uint32_t(format) >> shift) & 0xFF);
    // A code that is no text is shown as its number.
    if (c < 0x20 || c > 0x7E) {
      char hex[11];
      std::snprintf(hex, sizeof hex, "0x%08X", uint32_t(format));
      return hex;
    }
    text += c;
  }
  return text;
}

double clampToField(const Gadget &field, double value) {
  if (std::isnan(value))
    return field.minimum;
  if (value < field.minimum)
    value = field.minimum;
  if (value > field.maximum)
    value = field.maximum;
  return value;
}

}  // namespace hostemu
