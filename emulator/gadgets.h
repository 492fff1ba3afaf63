// The gadget tree and the menu bar of a dialog window, as the layout calls
// build them.
#pragma once

#include <nlohmann/json.hpp>

#include <array>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace hostemu {

enum class GadgetKind { group, staticText, checkbox, numberField, comboBox, button };

const char *kindName(GadgetKind kind);

struct ComboChild {
  int32_t value = 0;
  std::string text;
};

struct Gadget {
  GadgetKind kind = GadgetKind::group;
  int32_t id = 0;
  std::string text;  // label, or a group's title
  int32_t flags = 0;
  int32_t width = 0;
  int32_t height = 0;
  int32_t style = 0;  // a static text's border style, a button's flags
  bool enabled = true;

  // A checkbox (0 or 1) or a combo box (a child's value).
  int32_t integer = 0;
  // A number field: its value, limits, step and four-character format code.
  double number = 0.0;
  double minimum = 0.0;
  double maximum = 0.0;
  double step = 0.0;
  int32_t format = 0;

  // A combo box's entries and options.
  std::vector<ComboChild> children;
  bool specialAlign = false;
  bool allowFiltering = false;

  // A group's layout and contents.
  int32_t columns = 0;
  int32_t rows = 0;
  int32_t groupFlags = 0;
  std::array<int32_t, 4> borderSpace{};  // left, top, right, bottom
  uint32_t borderStyle = 0;
  std::vector<std::unique_ptr<Gadget>> gadgets;

  bool hasChild(int32_t value) const;
  // One JSON object: id, kind, text, enabled, and value (checkbox, combo box,
  // number field; radians for an angle field) with min, max, step and format
  // for number fields, children for combo boxes.
  nlohmann::json describe() const;
};

// The gadget with id and the groups around it, outermost first; the first
// such gadget in layout order. Empty when there is none.
std::vector<Gadget *> findGadget(const std::vector<std::unique_ptr<Gadget>> &tree, int32_t id);

// Every gadget in layout order, groups before their contents.
void collectGadgets(const std::vector<std::unique_ptr<Gadget>> &tree, std::vector<const Gadget *> &out);

struct MenuEntry {
  bool submenu = false;
  int32_t id = 0;  // items only
  std::string text;
  std::vector<std::unique_ptr<MenuEntry>> entries;  // submenus only
};

const MenuEntry *findMenuItem(const std::vector<std::unique_ptr<MenuEntry>> &entries, int32_t id);
nlohmann::json describeMenu(const std::vector<std::unique_ptr<MenuEntry>> &entries);

// "fdgr" for 0x66646772; empty for 0; "0x..." for a code that is no text.
std::string formatText(int32_t format);
inline constexpr int32_t formatCode(const char (&text)[5]) {
  return int32_t(uint32_t(uint8_t(text[0])) << 24 | uint32_t(uint8_t(text[1])) << 16 | uint32_t(uint8_t(text[2])) << 8 |
                 uint32_t(uint8_t(text[3])));
}
inline constexpr int32_t kFormatDegrees = formatCode("fdgr");

// What a number field does with a value it is given: keeps it within its
// limits. A field cannot hold NaN; it shows its minimum instead.
double clampToField(const Gadget &field, double value);

}  // namespace hostemu
