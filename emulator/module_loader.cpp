#include "module_loader.h"

#include "dialogs.h"
#include "host.h"
#include "plugins.h"
#include "tables.h"

#include <cstring>

namespace hostemu {
namespace {

bool hostProvides(const char *framework) {
  for (const char *provided : kHostFrameworks) {
    if (std::strcmp(provided, framework) == 0)
      return true;
  }
  return false;
}

// What is wrong with the record, or empty.
std::string checkRecord(const ModuleInfo &info) {
  if (info.size < sizeof(ModuleInfo)) {
    return "its g_maxon record has " + std::to_string(info.size) + " bytes, this host reads " +
           std::to_string(sizeof(ModuleInfo));
  }
  if (info.identifier == nullptr)
    return "its g_maxon record names no module identifier";
  if (info.dependencyCount < 0 || info.dependencyCount > MODULE_INFO_MAX_DEPENDENCIES) {
    return "its g_maxon record declares " + std::to_string(info.dependencyCount) + " dependencies";
  }
  return {};
}

}  // namespace

LoadResult ModuleLoader::fail(LoadError error, std::string why) {
  return LoadResult{error, path_.path.string() + ": " + std::move(why)};
}

LoadResult ModuleLoader::load(const std::filesystem::path &file) {
  LoadResult opened = open(file);
  return opened.ok() ? start() : opened;
}

LoadResult ModuleLoader::open(const std::filesystem::path &file) {
  end();
  std::error_code error;
  path_.path = std::filesystem::absolute(file, error);
  if (error)
    path_.path = file;
  report_ = {};
  if (!std::filesystem::is_regular_file(path_.path, error)) {
    return fail(LoadError::notAModule, "no such module file; give the path of a built module");
  }
  if (!library_.open(path_.path)) {
    return fail(LoadError::notAModule, "not a module this system can load (" + library_.error() + ")");
  }
  info_ = static_cast<ModuleInfo *>(library_.symbol("g_maxon"));
  main_ = reinterpret_cast<ModuleMainFunction>(library_.symbol("c4d_main"));
  const char *missing = info_ == nullptr ? "g_maxon" : main_ == nullptr ? "c4d_main" : nullptr;
  if (missing != nullptr) {
    end();
    return fail(LoadError::missingSymbol, std::string("not a module: it does not export ") + missing);
  }
  if (std::string problem = checkRecord(*info_); !problem.empty()) {
    end();
    return fail(LoadError::badRecord, "not a module for this host: " + problem);
  }
  for (int32_t i = 0; i < info_->dependencyCount; ++i) {
    const char *framework = info_->dependencies[i];
    if (framework == nullptr || !hostProvides(framework)) {
      std::string name = framework ? framework : "(none)";
      end();
      return fail(LoadError::missingFramework,
                  "the module needs the framework " + name + ", which this host does not provide");
    }
  }
  info_->kernel = kernelInterface();
  return {};
}

LoadResult ModuleLoader::start() {
  if (!isLoaded())
    return fail(LoadError::notAModule, "no module is loaded");
  bound_ = true;
  report_.bind = call(HOST_ACTION_BIND, host_.record(), nullptr, &path_);
  if (report_.bind != HOST_RESULT_DONE) {
    const int32_t answer = report_.bind;
    end();
    return fail(LoadError::refusedHost, "the module refused host version " + std::to_string(host_.options().version) +
                                            " (action 1 answered " + std::to_string(answer) + ")");
  }
  report_.message = call(HOST_ACTION_MESSAGE, reinterpret_cast<void *>(intptr_t(HOST_MESSAGE_LOAD_RESOURCES)));
  report_.start = call(HOST_ACTION_START);
  if (report_.start != HOST_RESULT_DONE) {
    const int32_t answer = report_.start;
    end();
    return fail(LoadError::startFailed, "the module failed to start (action 2 answered " + std::to_string(answer) +
                                            "); its console lines say why");
  }
  return {};
}

void ModuleLoader::end() {
  if (!isLoaded())
    return;
  if (bound_) {
    host_.plugins().destroyAll();
    call(HOST_ACTION_END);
    bound_ = false;
  }
  // Dialogs the module never gave back must not call into unloaded code.
  host_.dialogs().detachAll();
  library_.close();
  info_ = nullptr;
  main_ = nullptr;
}

int32_t ModuleLoader::call(int32_t action, void *p1, void *p2, void *p3) {
  if (main_ == nullptr)
    return HOST_RESULT_NOT_HANDLED;
  return main_(action, p1, p2, p3);
}

}  // namespace hostemu
