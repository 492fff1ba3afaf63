// The module's one command: opens the rounding dialog, which it owns for the
// life of the module.
#pragma once

#include "dialog.h"
#include "host/framework/command_base.h"

namespace kwantel {

class KwantelCommand : public framework::CommandBase {
 public:
  KwantelCommand() = default;
  // Destroys the dialog, which gives its host dialog back.
  ~KwantelCommand() override;

  bool Invoke(HostDocument *document, void *parentWindow) override;
  int32_t QueryState(HostDocument *document, void *parentWindow) override;
  bool RestoreDialog(void *secret) override;

  KwantelDialog &Dialog() { return dialog_; }

 private:
  KwantelDialog dialog_;
};

}  // namespace kwantel
