// Loading a module as the application does: open the file, read g_maxon and
// c4d_main, check the frameworks the module declares, fill the kernel slot;
// then bind (action 1 with the host record and the module's path), deliver
// message 1 (action 6) and start (action 2). The end destroys the registered
// commands through their destroy hooks, calls action 3 and unloads the file.
#pragma once

#include "filename.h"
#include "host_api.h"
#include "shared_library.h"

#include <cstdint>
#include <filesystem>
#include <string>

namespace hostemu {

class Host;

enum class LoadError {
  none,
  notAModule,        // the system cannot load the file as a library
  missingSymbol,     // c4d_main or g_maxon is not exported
  badRecord,         // g_maxon is not a record this host reads
  missingFramework,  // the module needs a framework this host does not provide
  refusedHost,       // action 1 refused the host (-3)
  startFailed,       // action 2 did not register the module's command
};

struct LoadResult {
  LoadError error = LoadError::none;
  std::string message;  // one line naming the file and what to do; empty when done
  bool ok() const { return error == LoadError::none; }
};

// The module's answers while it started.
struct StartReport {
  int32_t bind = 0;     // action 1
  int32_t message = 0;  // action 6, message 1
  int32_t start = 0;    // action 2
};

// The frameworks this host provides, in the order modules name them.
inline constexpr const char *kHostFrameworks[] = {
    "net.maxon.c4d.cinema.framework", "net.maxon.command.framework",       "net.maxon.core.framework",
    "net.maxon.crypt.framework",      "net.maxon.image.framework",         "net.maxon.math.framework",
    "net.maxon.mesh_misc.framework",  "net.maxon.modeling_geom.framework", "net.maxon.python.framework",
};

class ModuleLoader {
 public:
  explicit ModuleLoader(Host &host) : host_(host) {}
  // Ends a module that is still loaded.
  ~ModuleLoader() { end(); }
  ModuleLoader(const ModuleLoader &) = delete;
  ModuleLoader &operator=(const ModuleLoader &) = delete;

  // open, then start.
  LoadResult load(const std::filesystem::path &file);
  // Loads the file and hands the module the kernel; calls no action.
  LoadResult open(const std::filesystem::path &file);
  // Action 1, message 1, action 2. A module that refuses the host or fails to
  // start is ended and unloaded again.
  LoadResult start();
  // Destroys the registered commands, calls action 3 once the module was
  // bound, and unloads it. Nothing when no module is loaded.
  void end();

  // c4d_main itself, for tests that drive the actions one by one; -1 when no
  // module is loaded.
  int32_t call(int32_t action, void *p1 = nullptr, void *p2 = nullptr, void *p3 = nullptr);

  bool isLoaded() const { return library_.isOpen(); }
  ModuleInfo *info() const { return info_; }
  const StartReport &report() const { return report_; }
  // The module's path as the host passes it with action 1.
  HostFilename *modulePath() { return &path_; }

 private:
  LoadResult fail(LoadError error, std::string why);

  Host &host_;
  SharedLibrary library_;
  ModuleInfo *info_ = nullptr;
  ModuleMainFunction main_ = nullptr;
  HostFilename path_;
  StartReport report_;
  bool bound_ = false;
};

}  // namespace hostemu
