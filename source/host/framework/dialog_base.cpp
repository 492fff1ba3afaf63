#include "dialog_base.h"

#include "container.h"
#include "host_tables.h"

namespace framework {
namespace {

int32_t DialogMessageTrampoline(void *self, const HostContainer *message, HostContainer *result) {
  return static_cast<DialogBase *>(self)->OnMessage(message, result);
}

}  // namespace

DialogBase::DialogBase() {
  if (t_C4DOS_Gd != nullptr) {
    dialog_ = t_C4DOS_Gd->create(this, &DialogMessageTrampoline);
  }
}

DialogBase::~DialogBase() {
  if (dialog_ != nullptr && t_C4DOS_Gd != nullptr) {
    t_C4DOS_Gd->destroy(dialog_);
  }
  dialog_ = nullptr;
}

bool DialogBase::BuildLayout() {
  return true;
}
bool DialogBase::InitGadgets() {
  return true;
}
bool DialogBase::OnCoreMessage(int32_t, const HostContainer *) {
  return true;
}
bool DialogBase::OnCommand(int32_t, const HostContainer *) {
  return false;
}
bool DialogBase::AskClose() {
  return false;
}
void DialogBase::OnDestroyWindow() {}
void DialogBase::OnTimer(const HostContainer *) {}

int32_t DialogBase::OnMessage(const HostContainer *message, HostContainer *) {
  if (message == nullptr || t_C4DOS_Bc == nullptr) {
    return 0;
  }
  switch (t_C4DOS_Bc->getId(message)) {
    case DIALOG_MSG_LAYOUT:
      return BuildLayout() ? 1 : 0;
    case DIALOG_MSG_INIT:
      return InitGadgets() ? 1 : 0;
    case DIALOG_MSG_CORE:
      return OnCoreMessage(ContainerInt32(message, DIALOG_KEY_ID, 0), message) ? 1 : 0;
    case DIALOG_MSG_COMMAND:
      return OnCommand(ContainerInt32(message, DIALOG_KEY_ID, 0), message) ? 1 : 0;
    case DIALOG_MSG_ASK_CLOSE:
      return AskClose() ? 1 : 0;
    case DIALOG_MSG_DESTROY:
      OnDestroyWindow();
      return 1;
    case DIALOG_MSG_TIMER:
      OnTimer(message);
      return 1;
    default:
      return 0;
  }
}

bool DialogBase::Open(int32_t type, int32_t pluginId, int32_t x, int32_t y, int32_t defaultWidth, int32_t defaultHeight,
                      int32_t subId, int32_t flags) {
  return dialog_ != nullptr &&
         t_C4DOS_Gd->open(dialog_, type, pluginId, x, y, defaultWidth, defaultHeight, subId, flags);
}

bool DialogBase::Restore(int32_t pluginId, int32_t subId, void *secret) {
  return dialog_ != nullptr && t_C4DOS_Gd->restore(dialog_, pluginId, subId, secret);
}

bool DialogBase::Close() {
  return dialog_ != nullptr && t_C4DOS_Gd->close(dialog_);
}

bool DialogBase::IsOpen() const {
  return dialog_ != nullptr && t_C4DOS_Gd->isOpen(dialog_);
}

bool DialogBase::SetTitle(const String &title) {
  return dialog_ != nullptr && t_C4DOS_Gd->setTitle(dialog_, title.Get());
}

bool DialogBase::MenuFlushAll() {
  return dialog_ != nullptr && t_C4DOS_Gd->menuFlushAll(dialog_);
}

bool DialogBase::MenuSubBegin(const String &title) {
  return dialog_ != nullptr && t_C4DOS_Gd->menuSubBegin(dialog_, title.Get());
}

bool DialogBase::MenuAddString(int32_t id, const String &text) {
  return dialog_ != nullptr && t_C4DOS_Gd->menuAddString(dialog_, id, text.Get());
}

bool DialogBase::MenuSubEnd() {
  return dialog_ != nullptr && t_C4DOS_Gd->menuSubEnd(dialog_);
}

bool DialogBase::MenuFinished() {
  return dialog_ != nullptr && t_C4DOS_Gd->menuFinished(dialog_);
}

bool DialogBase::GroupBegin(int32_t id, int32_t flags, int32_t columns, int32_t rows, const String &title,
                            int32_t groupFlags, int32_t initialWidth, int32_t initialHeight) {
  return dialog_ != nullptr && t_C4DOS_Gd->groupBegin(dialog_, id, flags, columns, rows, title.Get(), groupFlags,
                                                      initialWidth, initialHeight);
}

bool DialogBase::GroupBorderSpace(int32_t left, int32_t top, int32_t right, int32_t bottom) {
  return dialog_ != nullptr && t_C4DOS_Gd->groupBorderSpace(dialog_, left, top, right, bottom);
}

bool DialogBase::GroupBorder(uint32_t style) {
  return dialog_ != nullptr && t_C4DOS_Gd->groupBorder(dialog_, style);
}

bool DialogBase::GroupEnd() {
  return dialog_ != nullptr && t_C4DOS_Gd->groupEnd(dialog_);
}

bool DialogBase::AddStaticText(int32_t id, int32_t flags, int32_t initialWidth, int32_t initialHeight,
                               const String &text, int32_t borderStyle) {
  return dialog_ != nullptr &&
         t_C4DOS_Gd->addStaticText(dialog_, id, flags, initialWidth, initialHeight, text.Get(), borderStyle);
}

bool DialogBase::AddCheckbox(int32_t id, int32_t flags, int32_t initialWidth, int32_t initialHeight,
                             const String &text) {
  return dialog_ != nullptr && t_C4DOS_Gd->addCheckbox(dialog_, id, flags, initialWidth, initialHeight, text.Get());
}

bool DialogBase::AddEditNumberArrows(int32_t id, int32_t flags, int32_t initialWidth, int32_t initialHeight) {
  return dialog_ != nullptr && t_C4DOS_Gd->addEditNumberArrows(dialog_, id, flags, initialWidth, initialHeight);
}

bool DialogBase::AddComboBox(int32_t id, int32_t flags, int32_t initialWidth, int32_t initialHeight, bool specialAlign,
                             bool allowFiltering) {
  return dialog_ != nullptr &&
         t_C4DOS_Gd->addComboBox(dialog_, id, flags, initialWidth, initialHeight, specialAlign, allowFiltering);
}

bool DialogBase::AddChild(int32_t id, int32_t childValue, const String &text) {
  return dialog_ != nullptr && t_C4DOS_Gd->addChild(dialog_, id, childValue, text.Get());
}

bool DialogBase::AddButton(int32_t id, int32_t flags, int32_t initialWidth, int32_t initialHeight, const String &text,
                           int32_t buttonFlags) {
  return dialog_ != nullptr &&
         t_C4DOS_Gd->addButton(dialog_, id, flags, initialWidth, initialHeight, text.Get(), buttonFlags);
}

bool DialogBase::SetBool(int32_t id, bool value) {
  return dialog_ != nullptr && t_C4DOS_Gd->setBool(dialog_, id, value);
}

bool DialogBase::SetInt32(int32_t id, int32_t value, int32_t minimum, int32_t maximum, int32_t step) {
  return dialog_ != nullptr && t_C4DOS_Gd->setInt32(dialog_, id, value, minimum, maximum, step);
}

bool DialogBase::SetFloat(int32_t id, double value, double minimum, double maximum, double step, int32_t format,
                          double minimum2, double maximum2, bool quadScale) {
  return dialog_ != nullptr &&
         t_C4DOS_Gd->setFloat(dialog_, id, value, minimum, maximum, step, format, minimum2, maximum2, quadScale);
}

bool DialogBase::SetString(int32_t id, const String &text) {
  return dialog_ != nullptr && t_C4DOS_Gd->setString(dialog_, id, text.Get());
}

bool DialogBase::GetInt32(int32_t id, int32_t *out) const {
  int32_t value = *out;
  if (dialog_ == nullptr || !t_C4DOS_Gd->getInt32(dialog_, id, &value)) {
    return false;
  }
  *out = value;
  return true;
}

bool DialogBase::GetFloat(int32_t id, double *out) const {
  double value = *out;
  if (dialog_ == nullptr || !t_C4DOS_Gd->getFloat(dialog_, id, &value)) {
    return false;
  }
  *out = value;
  return true;
}

bool DialogBase::Enable(int32_t id, bool enabled) {
  return dialog_ != nullptr && t_C4DOS_Gd->enable(dialog_, id, enabled);
}

}  // namespace framework
