# What the Windows cross build takes from the build machine: the header-only
# libraries, through a folder that holds only them (never all of /usr/include,
# whose C headers are the build machine's), and GoogleTest, built for mingw
# from its sources. find_package() finds them through config files placed in
# CMake's redirect folder, so the project's find_package() calls stay as they
# are.
set(KWANTEL_HEADER_ONLY_DIR ${CMAKE_BINARY_DIR}/header-only)
set(KWANTEL_GOOGLETEST_SOURCE /usr/src/googletest CACHE PATH "GoogleTest sources, built for the target")

foreach(library nlohmann CLI)
  if(NOT EXISTS /usr/include/${library})
    message(FATAL_ERROR "/usr/include/${library} not found: install nlohmann-json3-dev and libcli11-dev (make deps)")
  endif()
  file(MAKE_DIRECTORY ${KWANTEL_HEADER_ONLY_DIR})
  file(CREATE_LINK /usr/include/${library} ${KWANTEL_HEADER_ONLY_DIR}/${library} SYMBOLIC)
endforeach()

add_library(kwantel_header_only INTERFACE)
target_include_directories(kwantel_header_only SYSTEM INTERFACE ${KWANTEL_HEADER_ONLY_DIR})
add_library(nlohmann_json::nlohmann_json ALIAS kwantel_header_only)
add_library(CLI11::CLI11 ALIAS kwantel_header_only)

# GoogleTest is someone else's code: built without the project's warnings.
set(gtest_dir ${KWANTEL_GOOGLETEST_SOURCE}/googletest)
set(gmock_dir ${KWANTEL_GOOGLETEST_SOURCE}/googlemock)
if(NOT EXISTS ${gtest_dir}/src/gtest-all.cc)
  message(FATAL_ERROR "${gtest_dir} not found: install googletest (make deps)")
endif()
add_library(kwantel_gtest STATIC ${gtest_dir}/src/gtest-all.cc ${gmock_dir}/src/gmock-all.cc)
target_include_directories(kwantel_gtest SYSTEM PUBLIC ${gtest_dir}/include ${gmock_dir}/include)
target_include_directories(kwantel_gtest PRIVATE ${gtest_dir} ${gmock_dir})
target_compile_options(kwantel_gtest PRIVATE -w)
add_library(kwantel_gtest_main STATIC ${gtest_dir}/src/gtest_main.cc)
target_link_libraries(kwantel_gtest_main PUBLIC kwantel_gtest)
target_compile_options(kwantel_gtest_main PRIVATE -w)
add_library(kwantel_gmock_main STATIC ${gmock_dir}/src/gmock_main.cc)
target_link_libraries(kwantel_gmock_main PUBLIC kwantel_gtest)
target_compile_options(kwantel_gmock_main PRIVATE -w)
foreach(name gtest gmock)
  add_library(GTest::${name} ALIAS kwantel_gtest)
endforeach()
add_library(GTest::gtest_main ALIAS kwantel_gtest_main)
add_library(GTest::gmock_main ALIAS kwantel_gmock_main)

foreach(package nlohmann_json CLI11 GTest)
  string(TOLOWER ${package} lower)
  file(WRITE ${CMAKE_FIND_PACKAGE_REDIRECTS_DIR}/${lower}-config.cmake
       "# Provided by cmake/mingw-w64-deps.cmake\nset(${package}_FOUND TRUE)\n")
  file(WRITE ${CMAKE_FIND_PACKAGE_REDIRECTS_DIR}/${lower}-config-version.cmake
       "set(PACKAGE_VERSION 99)\nset(PACKAGE_VERSION_COMPATIBLE TRUE)\n")
endforeach()

# Wine makes its prefix on first use, which takes a while: made once here, so
# that the test discoveries of a parallel build do not race to make it.
set(KWANTEL_WINE_READY ${CMAKE_BINARY_DIR}/wineprefix/kwantel-prefix-ready)
if(CMAKE_CROSSCOMPILING_EMULATOR AND NOT EXISTS ${KWANTEL_WINE_READY})
  message(STATUS "Making the Wine prefix for the tests")
  execute_process(COMMAND ${CMAKE_CROSSCOMPILING_EMULATOR} wineboot --init RESULT_VARIABLE wineboot_result
                  OUTPUT_QUIET ERROR_QUIET TIMEOUT 600)
  if(wineboot_result EQUAL 0)
    file(TOUCH ${KWANTEL_WINE_READY})
  else()
    message(WARNING "wineboot --init failed (${wineboot_result}): the tests will make the Wine prefix themselves")
  endif()
endif()
