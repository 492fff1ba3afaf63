# Link rule of the macOS cross build (see macos-arm64.cmake): a bundle whose
# undefined symbols are looked up when the application loads it. ld64.lld
# gives an arm64 image an ad-hoc code signature of its own.
set(CMAKE_CXX_CREATE_SHARED_MODULE
    "${KWANTEL_LD64} -arch arm64 -platform_version macos 11.0 11.0 -bundle -undefined dynamic_lookup <LINK_FLAGS> -o <TARGET> <OBJECTS> <LINK_LIBRARIES>")
