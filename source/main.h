// The module's start, messages and end, as the entry point calls them.
#pragma once

#include <stdint.h>

namespace kwantel {

// Registers the command and says so on the console.
bool ModuleStart();
// A message of the host; message 1 loads the resource.
bool ModuleMessage(int32_t id, void *data);
void ModuleEnd();
// Creates the command and registers it with its name, help and icon.
bool RegisterKwantelCommand();

}  // namespace kwantel
