#include "command_base.h"

namespace framework {
namespace {

CommandBase *Self(void *object) {
  return static_cast<CommandBase *>(object);
}

void DestroyHook(void *object) {
  Self(object)->~CommandBase();
}

bool ExecuteHook(void *object, HostDocument *document, void *parentWindow) {
  return Self(object)->Invoke(document, parentWindow);
}

bool ExecuteSubIdHook(void *object, HostDocument *document, int32_t subId) {
  return Self(object)->ExecuteSubId(document, subId);
}

bool ExecuteOptionIdHook(void *object, HostDocument *document, int32_t subId) {
  return Self(object)->ExecuteOptionId(document, subId);
}

int32_t GetStateHook(void *object, HostDocument *document, void *parentWindow) {
  return Self(object)->QueryState(document, parentWindow);
}

bool GetSubContainerHook(void *object, HostDocument *document, HostContainer *submenu) {
  return Self(object)->GetSubContainer(document, submenu);
}

bool RestoreLayoutHook(void *object, void *secret) {
  return Self(object)->RestoreDialog(secret);
}

HostString *GetScriptNameHook(void *object) {
  return Self(object)->GetScriptName();
}

bool MessageHook(void *object, int32_t type, void *data) {
  return Self(object)->Message(type, data);
}

}  // namespace

CommandBase::~CommandBase() = default;
bool CommandBase::Invoke(HostDocument *, void *) {
  return false;
}
bool CommandBase::ExecuteSubId(HostDocument *, int32_t) {
  return false;
}
bool CommandBase::ExecuteOptionId(HostDocument *, int32_t) {
  return false;
}
int32_t CommandBase::QueryState(HostDocument *, void *) {
  return 0;
}
bool CommandBase::GetSubContainer(HostDocument *, HostContainer *) {
  return false;
}
bool CommandBase::RestoreDialog(void *) {
  return false;
}
HostString *CommandBase::GetScriptName() {
  return nullptr;
}
bool CommandBase::Message(int32_t, void *) {
  return true;
}

CommandHooks CommandBase::Hooks() {
  CommandHooks hooks{};
  hooks.destroy = &DestroyHook;
  hooks.execute = &ExecuteHook;
  hooks.executeSubId = &ExecuteSubIdHook;
  hooks.executeOptionId = &ExecuteOptionIdHook;
  hooks.getState = &GetStateHook;
  hooks.getSubContainer = &GetSubContainerHook;
  hooks.restoreLayout = &RestoreLayoutHook;
  hooks.getScriptName = &GetScriptNameHook;
  hooks.message = &MessageHook;
  return hooks;
}

}  // namespace framework
