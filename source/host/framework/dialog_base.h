// The base of a module's dialog.
//
// The host calls a dialog only through one C message hook. The base takes its
// host dialog from the host when it is constructed and gives it back when it is
// destroyed; its default message handling turns each message into one of the
// virtual operations below, which derived dialogs override.
#pragma once

#include "host_string.h"
#include "host_types.h"
#include "placement.h"

namespace framework {

class DialogBase {
 public:
  DialogBase();
  DialogBase(const DialogBase &) = delete;
  DialogBase &operator=(const DialogBase &) = delete;

  // The host calls these, in this order of declaration, through the hook.
  virtual ~DialogBase();
  virtual bool BuildLayout();                                            // default: true
  virtual bool InitGadgets();                                            // default: true
  virtual bool OnCoreMessage(int32_t id, const HostContainer *message);  // default: true
  virtual bool OnCommand(int32_t id, const HostContainer *message);      // default: false
  virtual bool AskClose();                                               // default: false (may close)
  virtual void OnDestroyWindow();                                        // default: nothing
  virtual void OnTimer(const HostContainer *message);                    // default: nothing
  // The default handling: dispatches by the message's id (DIALOG_MSG_*).
  virtual int32_t OnMessage(const HostContainer *message, HostContainer *result);

  // Null when the host gave none; every call below then answers false.
  HostDialog *Handle() const { return dialog_; }

  // Window
  bool Open(int32_t type, int32_t pluginId, int32_t x, int32_t y, int32_t defaultWidth, int32_t defaultHeight,
            int32_t subId, int32_t flags);
  bool Restore(int32_t pluginId, int32_t subId, void *secret);
  bool Close();
  bool IsOpen() const;

  KWANTEL_NO_GLOBAL_DELETE

 protected:
  bool SetTitle(const String &title);

  // Menu bar
  bool MenuFlushAll();
  bool MenuSubBegin(const String &title);
  bool MenuAddString(int32_t id, const String &text);
  bool MenuSubEnd();
  bool MenuFinished();

  // Layout
  bool GroupBegin(int32_t id, int32_t flags, int32_t columns, int32_t rows, const String &title, int32_t groupFlags,
                  int32_t initialWidth, int32_t initialHeight);
  bool GroupBorderSpace(int32_t left, int32_t top, int32_t right, int32_t bottom);
  bool GroupBorder(uint32_t style);
  bool GroupEnd();
  bool AddStaticText(int32_t id, int32_t flags, int32_t initialWidth, int32_t initialHeight, const String &text,
                     int32_t borderStyle);
  bool AddCheckbox(int32_t id, int32_t flags, int32_t initialWidth, int32_t initialHeight, const String &text);
  bool AddEditNumberArrows(int32_t id, int32_t flags, int32_t initialWidth, int32_t initialHeight);
  bool AddComboBox(int32_t id, int32_t flags, int32_t initialWidth, int32_t initialHeight, bool specialAlign,
                   bool allowFiltering);
  bool AddChild(int32_t id, int32_t childValue, const String &text);
  bool AddButton(int32_t id, int32_t flags, int32_t initialWidth, int32_t initialHeight, const String &text,
                 int32_t buttonFlags);

  // Values
  bool SetBool(int32_t id, bool value);
  bool SetInt32(int32_t id, int32_t value, int32_t minimum, int32_t maximum, int32_t step);
  bool SetFloat(int32_t id, double value, double minimum, double maximum, double step, int32_t format, double minimum2,
                double maximum2, bool quadScale);
  bool SetString(int32_t id, const String &text);
  // Leave *out as it was when the host does not know the gadget.
  bool GetInt32(int32_t id, int32_t *out) const;
  bool GetFloat(int32_t id, double *out) const;
  bool Enable(int32_t id, bool enabled);

 private:
  HostDialog *dialog_ = nullptr;
};

}  // namespace framework
