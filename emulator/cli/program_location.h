// Where the running program lives, and where `make build` puts the module
// next to it. The only code of the command line that differs between systems.
#pragma once

#include <filesystem>

namespace hostemu::cli {

// The program's own file; empty when the system does not say.
std::filesystem::path programFile();

// The module hostemu loads without --module, relative to the program's folder.
std::filesystem::path defaultModuleRelativeToProgram();

}  // namespace hostemu::cli
