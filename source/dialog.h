// The rounding tool's non-modal dialog: its layout, its behaviour, and the
// settings record it keeps for the life of the module.
#pragma once

#include "host/framework/dialog_base.h"
#include "settings.h"

namespace kwantel {

// A combo box child: its value and text.
struct ChoiceEntry;

class KwantelDialog : public framework::DialogBase {
 public:
  // Takes the host dialog, then the defaults, then the saved settings if any.
  KwantelDialog();
  ~KwantelDialog() override;

  bool BuildLayout() override;
  bool InitGadgets() override;
  bool OnCommand(int32_t id, const HostContainer *message) override;
  int32_t OnMessage(const HostContainer *message, HostContainer *result) override;

  // Record to gadgets.
  void WriteGadgets();
  // Gadgets to record, then the factors derived from the steps.
  void ReadGadgets();
  // Saved settings to record; false when nothing is saved.
  bool LoadSettings();
  // Gadgets to record to saved settings; the host's answer to the store.
  bool SaveSettings();
  // One rounding pass over the document with the record as it stands.
  void RoundObjects(HostDocument *document);

  RoundSettings &Settings() { return settings_; }

 private:
  void WriteGadget(const SettingGadget &gadget);
  void ReadGadget(const SettingGadget &gadget);
  // Label 1113 and which of the two step fields is enabled.
  void ShowTarget(bool size);
  void EnableFromCheckbox(int32_t checkbox, int32_t first, int32_t second);

  void BeginTitledGroup(const char *title, int32_t flags);
  void AddLabel(int32_t id, const char *text);
  void AddFiller();
  void AddCheck(int32_t id, const char *text);
  void AddNumber(int32_t id);
  void AddChoices(int32_t id, const ChoiceEntry *entries, int count);

  RoundSettings settings_{};
};

}  // namespace kwantel
