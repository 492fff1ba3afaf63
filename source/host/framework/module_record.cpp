#include "module_record.h"

namespace {

void IgnoreYield() {}

#if defined(KWANTEL_FLAVOUR_MACOS)
constexpr int64_t kModuleVersions[2] = {2025000, 2025200};
#else
constexpr int64_t kModuleVersions[2] = {2025000, 2025000};
#endif

}  // namespace

// Constant-initialised: the identifier and the dependencies are in place as
// soon as the operating system has loaded the module, before the host's kernel
// reads the record and before any code of the module runs.
extern "C" {

constinit ModuleInfo g_maxon = {
    {kModuleVersions[0], kModuleVersions[1]},
    sizeof(ModuleInfo),
    "com.orvanel.kwantel",
    framework::kDependencyCount,
    0,
    {
        "net.maxon.c4d.cinema.framework",
        "net.maxon.command.framework",
        "net.maxon.core.framework",
        "net.maxon.crypt.framework",
        "net.maxon.image.framework",
        "net.maxon.math.framework",
        "net.maxon.mesh_misc.framework",
        "net.maxon.modeling_geom.framework",
        "net.maxon.python.framework",
    },
    nullptr,
};

constinit CpuYieldDelegate g_CpuYieldDelegate = {&IgnoreYield};
}

static_assert(framework::kDependencyCount <= MODULE_INFO_MAX_DEPENDENCIES, "the record holds every dependency");
