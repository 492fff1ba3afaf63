#include "dialog.h"

#include "host/framework/container.h"
#include "host/framework/format_code.h"
#include "host/framework/host_tables.h"
#include "ids.h"
#include "resource.h"
#include "rounding.h"

namespace kwantel {

using framework::Container;
using framework::String;

struct ChoiceEntry {
  int32_t value;
  const char *text;
};

namespace {

// Layout flags and initial sizes.
constexpr int32_t FLAGS_OPTIONS_GROUP = 57;
constexpr int32_t FLAGS_VALUE_GROUP = 56;
constexpr int32_t FLAGS_BUTTON_GROUP = 0;
constexpr int32_t FLAGS_TEXT = 9;
constexpr int32_t FLAGS_FILL = 57;
constexpr int32_t FLAGS_BUTTON = 0;
constexpr int32_t TEXT_WIDTH = 200;
constexpr int32_t BUTTON_WIDTH = 100;
constexpr int32_t GROUP_COLUMNS = 2;
constexpr int32_t GROUP_BORDER_SPACE = 4;
constexpr uint32_t GROUP_BORDER_STYLE = 5;

// What the number fields accept, as the user sees it (degrees for the angle).
constexpr double STEP_MINIMUM = 0.0001;
constexpr double STEP_MAXIMUM = 1000.0;
constexpr double STEP_INCREMENT = 0.1;

constexpr int32_t INT32_LOWEST = -2147483647 - 1;
constexpr int32_t INT32_HIGHEST = 2147483647;

constexpr ChoiceEntry SCOPE_CHOICES[] = {
    {SELECTED_AND_CHILDREN, "Selected Objects and Children"},
    {SELECTED_ONLY, "Selected Objects Only"},
    {ALL_OBJECTS, "All Objects"},
};
constexpr ChoiceEntry MODE_CHOICES[] = {
    {NEAREST, "Nearest Value"},
    {LOWEST, "Lowest Value"},
    {HIGHEST, "Highest Value"},
};
constexpr ChoiceEntry TARGET_CHOICES[] = {
    {SIZE, "Round Size"},
    {SCALE, "Round Scale"},
};

// WriteGadgets sets the settings in this order, with the step labels between
// the two runs and the target's label and fields after the second.
constexpr int32_t WRITE_BEFORE_LABELS[] = {
    ID_ROUND_POSITION, ID_POSITION_STEP, ID_POSITION_MODE, ID_ROUND_ROTATION, ID_ROTATION_STEP,
    ID_ROTATION_MODE,  ID_ROUND_SCALE,   ID_SIZE_MODE,     ID_SELECTION,
};
constexpr int32_t WRITE_AFTER_LABELS[] = {ID_SIZE_STEP, ID_SCALE_STEP, ID_SIZE_OR_SCALE};

template <size_t count>
constexpr int ChoiceCount(const ChoiceEntry (&)[count]) {
  return static_cast<int>(count);
}

}  // namespace

KwantelDialog::KwantelDialog() {
  SetDefaults(settings_);
  LoadSettings();
}

KwantelDialog::~KwantelDialog() = default;

bool KwantelDialog::BuildLayout() {
  SetTitle(String::Literal("Kwantel"));

  MenuFlushAll();
  MenuSubBegin(String::Literal("Settings"));
  MenuAddString(ID_MENU_RELOAD, String::Literal("Reload Settings"));
  MenuAddString(ID_MENU_SAVE, String::Literal("Save Settings"));
  MenuAddString(ID_MENU_RESET, String::Literal("Reset Settings"));
  MenuSubEnd();
  MenuSubBegin(String::Literal("Help"));
  MenuAddString(ID_MENU_ABOUT, String::Literal("About..."));
  MenuAddString(ID_MENU_HELP_PDF, String::Literal("Show Help File (.PDF)..."));
  MenuSubEnd();
  MenuFinished();

  BeginTitledGroup("Options", FLAGS_OPTIONS_GROUP);
  AddLabel(ID_STATIC, "Selection");
  AddChoices(ID_SELECTION, SCOPE_CHOICES, ChoiceCount(SCOPE_CHOICES));
  AddCheck(ID_WARNINGS, "Warnings to Console");
  AddFiller();
  GroupEnd();

  BeginTitledGroup("Position", FLAGS_VALUE_GROUP);
  AddCheck(ID_ROUND_POSITION, "Round Position");
  AddFiller();
  AddLabel(ID_STATIC, "Position Step");
  AddNumber(ID_POSITION_STEP);
  AddLabel(ID_STATIC, "Position Mode");
  AddChoices(ID_POSITION_MODE, MODE_CHOICES, ChoiceCount(MODE_CHOICES));
  GroupEnd();

  BeginTitledGroup("Rotation", FLAGS_VALUE_GROUP);
  AddCheck(ID_ROUND_ROTATION, "Round Rotation");
  AddFiller();
  AddLabel(ID_STATIC, "Rotation Step");
  AddNumber(ID_ROTATION_STEP);
  AddLabel(ID_STATIC, "Rotation Mode");
  AddChoices(ID_ROTATION_MODE, MODE_CHOICES, ChoiceCount(MODE_CHOICES));
  GroupEnd();

  BeginTitledGroup("Scale", FLAGS_VALUE_GROUP);
  AddCheck(ID_ROUND_SCALE, "Round Scale/Size");
  AddFiller();
  AddLabel(ID_STATIC, "Round Size or Scale");
  AddChoices(ID_SIZE_OR_SCALE, TARGET_CHOICES, ChoiceCount(TARGET_CHOICES));
  AddLabel(ID_SIZE_STEP_LABEL, "Size Step");
  AddNumber(ID_SIZE_STEP);
  AddLabel(ID_SCALE_STEP_LABEL, "Scale Step");
  AddNumber(ID_SCALE_STEP);
  AddLabel(ID_MODE_LABEL, "Size Mode");
  AddChoices(ID_SIZE_MODE, MODE_CHOICES, ChoiceCount(MODE_CHOICES));
  GroupEnd();

  GroupBegin(ID_STATIC, FLAGS_BUTTON_GROUP, GROUP_COLUMNS, 0, String::Literal(""), 0, 0, 0);
  AddButton(ID_ROUND_BUTTON, FLAGS_BUTTON, BUTTON_WIDTH, 0, String::Literal("Round"), 0);
  AddButton(ID_CANCEL_BUTTON, FLAGS_BUTTON, BUTTON_WIDTH, 0, String::Literal("Cancel"), 0);
  GroupEnd();
  return true;
}

bool KwantelDialog::InitGadgets() {
  if (!DialogBase::InitGadgets()) {
    return false;
  }
  WriteGadgets();
  return true;
}

bool KwantelDialog::OnCommand(int32_t id, const HostContainer *) {
  HostDocument *document = t_C4DOS_Ge != nullptr ? t_C4DOS_Ge->getActiveDocument() : nullptr;
  switch (id) {
    case ID_ROUND_BUTTON:
      ReadGadgets();
      RoundObjects(document);
      break;
    case ID_CANCEL_BUTTON:
      Close();
      break;
    case ID_ROUND_POSITION:
      EnableFromCheckbox(ID_ROUND_POSITION, ID_POSITION_STEP, ID_POSITION_MODE);
      break;
    case ID_ROUND_ROTATION:
      EnableFromCheckbox(ID_ROUND_ROTATION, ID_ROTATION_STEP, ID_ROTATION_MODE);
      break;
    case ID_ROUND_SCALE: {
      int32_t value = 0;
      GetInt32(ID_ROUND_SCALE, &value);
      const bool on = value == 1;
      Enable(ID_SCALE_STEP, on);
      Enable(ID_SIZE_STEP, on);
      Enable(ID_SIZE_OR_SCALE, on);
      Enable(ID_SIZE_MODE, on);
      // The target decides which step field stays enabled; run its handling
      // as if the host had sent it.
      const Container message(-1);
      OnCommand(ID_SIZE_OR_SCALE, message.Get());
      break;
    }
    case ID_SIZE_OR_SCALE: {
      int32_t scaleOn = 0;
      GetInt32(ID_ROUND_SCALE, &scaleOn);
      if (scaleOn != 1) {
        break;
      }
      int32_t target = SIZE;
      GetInt32(ID_SIZE_OR_SCALE, &target);
      ShowTarget(target == SIZE);
      break;
    }
    case ID_MENU_ABOUT:
      if (t_C4DOS_Ge != nullptr) {
        t_C4DOS_Ge->messageBox(GEMB_ICONEXCLAMATION, GetResourceString(IDS_ABOUT_TEXT).Get());
      }
      break;
    case ID_MENU_HELP_PDF: {
      const framework::Filename help = GetModuleDirectory().Join(String::Literal("Kwantel.pdf"));
      if (t_C4DOS_Ge != nullptr && help.Get() != nullptr) {
        t_C4DOS_Ge->openWithSystem(help.Get());
      }
      break;
    }
    case ID_MENU_RELOAD:
      if (LoadSettings()) {
        WriteGadgets();
      } else if (t_C4DOS_Ge != nullptr) {
        t_C4DOS_Ge->messageBox(GEMB_ICONEXCLAMATION, String::Literal("No saved settings available to load.").Get());
      }
      break;
    case ID_MENU_SAVE:
      SaveSettings();
      break;
    case ID_MENU_RESET:
      SetDefaults(settings_);
      WriteGadgets();
      break;
    default:
      break;
  }
  return true;
}

int32_t KwantelDialog::OnMessage(const HostContainer *message, HostContainer *result) {
  return DialogBase::OnMessage(message, result);
}

void KwantelDialog::WriteGadgets() {
  for (const int32_t id : WRITE_BEFORE_LABELS) {
    WriteGadget(*FindSettingGadget(id));
  }
  SetString(ID_SIZE_STEP_LABEL, String::Literal("Size Step"));
  SetString(ID_SCALE_STEP_LABEL, String::Literal("Scale Step"));
  for (const int32_t id : WRITE_AFTER_LABELS) {
    WriteGadget(*FindSettingGadget(id));
  }
  ShowTarget(settings_.target == SIZE);
  WriteGadget(*FindSettingGadget(ID_WARNINGS));
}

void KwantelDialog::ReadGadgets() {
  for (const SettingGadget &gadget : SETTING_GADGETS) {
    ReadGadget(gadget);
  }
  DeriveFactors(settings_);
}

bool KwantelDialog::LoadSettings() {
  if (t_C4DOS_Ge == nullptr) {
    return false;
  }
  const HostContainer *saved = t_C4DOS_Ge->getWorldPluginData(PLUGIN_ID);
  if (saved == nullptr) {
    return false;
  }
  // A missing key loads false, 0.0 or 0; no range is enforced here.
  for (const int32_t id : SAVED_ORDER) {
    const SettingGadget &gadget = *FindSettingGadget(id);
    switch (SavedTypeOf(gadget.kind)) {
      case SavedType::BOOL:
        settings_.*gadget.flag = framework::ContainerBool(saved, id, false);
        break;
      case SavedType::FLOAT:
        settings_.*gadget.number = framework::ContainerFloat(saved, id, 0.0);
        break;
      case SavedType::INT32:
        settings_.*gadget.choice = framework::ContainerInt32(saved, id, 0);
        break;
    }
  }
  return true;
}

bool KwantelDialog::SaveSettings() {
  Container saved(-1);
  ReadGadgets();
  if (saved.Get() == nullptr || t_C4DOS_Ge == nullptr) {
    return false;
  }
  for (const int32_t id : SAVED_ORDER) {
    const SettingGadget &gadget = *FindSettingGadget(id);
    switch (SavedTypeOf(gadget.kind)) {
      case SavedType::BOOL:
        saved.SetBool(id, settings_.*gadget.flag);
        break;
      case SavedType::FLOAT:
        saved.SetFloat(id, settings_.*gadget.number);
        break;
      case SavedType::INT32:
        saved.SetInt32(id, settings_.*gadget.choice);
        break;
    }
  }
  return t_C4DOS_Ge->setWorldPluginData(PLUGIN_ID, saved.Get(), 0);
}

void KwantelDialog::RoundObjects(HostDocument *document) {
  RoundObjectsInDocument(settings_, document);
}

void KwantelDialog::WriteGadget(const SettingGadget &gadget) {
  switch (gadget.kind) {
    case GadgetKind::CHECKBOX:
      SetBool(gadget.id, settings_.*gadget.flag);
      break;
    case GadgetKind::LENGTH:
      SetFloat(gadget.id, settings_.*gadget.number, STEP_MINIMUM, STEP_MAXIMUM, STEP_INCREMENT, framework::FORMAT_METER,
               0.0, 0.0, false);
      break;
    case GadgetKind::ANGLE:
      // The user sees and types degrees; the record holds radians.
      SetFloat(gadget.id, settings_.*gadget.number, STEP_MINIMUM * RADIANS_PER_DEGREE,
               STEP_MAXIMUM * RADIANS_PER_DEGREE, STEP_INCREMENT * RADIANS_PER_DEGREE, framework::FORMAT_DEGREE, 0.0,
               0.0, false);
      break;
    case GadgetKind::REAL:
      SetFloat(gadget.id, settings_.*gadget.number, STEP_MINIMUM, STEP_MAXIMUM, STEP_INCREMENT, framework::FORMAT_REAL,
               0.0, 0.0, false);
      break;
    case GadgetKind::CHOICE:
      SetInt32(gadget.id, settings_.*gadget.choice, INT32_LOWEST, INT32_HIGHEST, 1);
      break;
  }
}

void KwantelDialog::ReadGadget(const SettingGadget &gadget) {
  // A gadget the host does not know leaves its field as it was.
  switch (SavedTypeOf(gadget.kind)) {
    case SavedType::BOOL: {
      int32_t value = settings_.*gadget.flag ? 1 : 0;
      GetInt32(gadget.id, &value);
      settings_.*gadget.flag = value != 0;
      break;
    }
    case SavedType::FLOAT:
      GetFloat(gadget.id, &(settings_.*gadget.number));
      break;
    case SavedType::INT32:
      GetInt32(gadget.id, &(settings_.*gadget.choice));
      break;
  }
}

void KwantelDialog::ShowTarget(bool size) {
  SetString(ID_MODE_LABEL, String::Literal(size ? "Size Mode" : "Scale Mode"));
  Enable(ID_SIZE_STEP, size);
  Enable(ID_SCALE_STEP, !size);
}

void KwantelDialog::EnableFromCheckbox(int32_t checkbox, int32_t first, int32_t second) {
  int32_t value = 0;
  GetInt32(checkbox, &value);
  Enable(first, value == 1);
  Enable(second, value == 1);
}

void KwantelDialog::BeginTitledGroup(const char *title, int32_t flags) {
  GroupBegin(ID_STATIC, flags, GROUP_COLUMNS, 0, String::Literal(title), 0, 0, 0);
  GroupBorderSpace(GROUP_BORDER_SPACE, GROUP_BORDER_SPACE, GROUP_BORDER_SPACE, GROUP_BORDER_SPACE);
  GroupBorder(GROUP_BORDER_STYLE | HOST_BORDER_WITH_TITLE_BIT);
}

void KwantelDialog::AddLabel(int32_t id, const char *text) {
  AddStaticText(id, FLAGS_TEXT, TEXT_WIDTH, 0, String::Literal(text), 0);
}

void KwantelDialog::AddFiller() {
  AddStaticText(ID_STATIC, FLAGS_FILL, TEXT_WIDTH, 0, String::Literal(""), 0);
}

void KwantelDialog::AddCheck(int32_t id, const char *text) {
  AddCheckbox(id, FLAGS_TEXT, TEXT_WIDTH, 0, String::Literal(text));
}

void KwantelDialog::AddNumber(int32_t id) {
  AddEditNumberArrows(id, FLAGS_FILL, 0, 0);
}

void KwantelDialog::AddChoices(int32_t id, const ChoiceEntry *entries, int count) {
  AddComboBox(id, FLAGS_FILL, 0, 0, false, false);
  for (int i = 0; i < count; ++i) {
    AddChild(id, entries[i].value, String::Literal(entries[i].text));
  }
}

}  // namespace kwantel
