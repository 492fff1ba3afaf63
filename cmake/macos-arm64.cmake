# Cross build of the macOS module (Mach-O arm64 bundle) without a platform SDK:
# the module includes only compiler-provided C headers, and the few runtime
# symbols it refers to are bound by the loader when the application loads it.
# Only the module can be built this way; nothing here links an executable.
set(CMAKE_SYSTEM_NAME Darwin)
set(CMAKE_SYSTEM_VERSION 20.0)  # macOS 11
set(CMAKE_SYSTEM_PROCESSOR arm64)
set(CMAKE_OSX_ARCHITECTURES arm64)
set(CMAKE_OSX_DEPLOYMENT_TARGET 11.0)
set(CMAKE_OSX_SYSROOT "")

set(KWANTEL_MACOS_TARGET arm64-apple-macos11)
find_program(CMAKE_C_COMPILER NAMES clang-14 clang REQUIRED)
find_program(CMAKE_CXX_COMPILER NAMES clang++-14 clang++ REQUIRED)
find_program(KWANTEL_LD64 NAMES ld64.lld-14 ld64.lld REQUIRED)
set(CMAKE_C_COMPILER_TARGET ${KWANTEL_MACOS_TARGET})
set(CMAKE_CXX_COMPILER_TARGET ${KWANTEL_MACOS_TARGET})

# No SDK: nothing the compiler checks may be linked.
set(CMAKE_TRY_COMPILE_TARGET_TYPE STATIC_LIBRARY)
set(CMAKE_C_FLAGS_INIT "-ffreestanding")
set(CMAKE_CXX_FLAGS_INIT "-ffreestanding -nostdinc++")

# The platform files link through the compiler driver, which would ask for the
# SDK's libraries; the bundle is linked by ld64.lld directly instead.
set(CMAKE_USER_MAKE_RULES_OVERRIDE_CXX ${CMAKE_CURRENT_LIST_DIR}/macos-arm64-link.cmake)

set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
