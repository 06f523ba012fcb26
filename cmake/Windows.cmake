# The build for Windows itself, with mingw-w64: the library against the
# system's own <windows.h> and DLLs in place of platform/, the resources
# compiled by windres from the script rescomp writes, and the build tools
# (formc, rescomp, mainicon, cursorc) taken from a native build.

enable_language(RC)

set(VELBRIN_HOST_TOOLS "" CACHE PATH
    "bin directory of a native build that holds formc, rescomp, mainicon, cursorc and notechart")
foreach(tool formc rescomp mainicon cursorc)
    if(NOT EXISTS ${VELBRIN_HOST_TOOLS}/${tool})
        message(FATAL_ERROR "${tool} is not in VELBRIN_HOST_TOOLS (${VELBRIN_HOST_TOOLS}): "
                            "build the native tools first (make windows does)")
    endif()
    add_executable(${tool} IMPORTED)
    set_target_properties(${tool} PROPERTIES IMPORTED_LOCATION ${VELBRIN_HOST_TOOLS}/${tool})
endforeach()

# What the library calls lives in the system's DLLs. It finds IMM32 and
# WINNLSEnableIME at run time, so imm32 is not linked.
add_library(velbrin_platform INTERFACE)
target_link_libraries(velbrin_platform INTERFACE user32 gdi32 kernel32 advapi32)

# The JSON library is headers only, but its package names all of
# /usr/include, whose C library headers are the build machine's, not
# mingw-w64's: the library is reached through a folder that holds it alone.
find_package(nlohmann_json 3 REQUIRED)
set(json_include ${CMAKE_BINARY_DIR}/nlohmann_json-include)
file(MAKE_DIRECTORY ${json_include})
find_path(VELBRIN_JSON_HEADERS nlohmann/json.hpp PATHS /usr/include NO_CMAKE_FIND_ROOT_PATH)
file(CREATE_LINK ${VELBRIN_JSON_HEADERS}/nlohmann ${json_include}/nlohmann SYMBOLIC)
set_target_properties(nlohmann_json::nlohmann_json PROPERTIES
    INTERFACE_INCLUDE_DIRECTORIES ${json_include})

# GCC 12 warns, optimising, that an engaged std::optional may be read
# uninitialised (a known false positive); the debug builds keep the warning.
add_compile_options(-Wno-maybe-uninitialized)

# No compiler DLL has to stand beside the programs.
add_link_options(-static -static-libgcc -static-libstdc++)

# GoogleTest, built from Debian's source package with this toolchain.
set(gtest_force_shared_crt OFF CACHE BOOL "" FORCE)
set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
add_subdirectory(/usr/src/googletest ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL)
foreach(target gtest gtest_main gmock gmock_main)
    target_compile_options(${target} PRIVATE -w)
endforeach()

# The library's tests that need no testing hook of the platform; the others
# are built on Linux only.
set(VELBRIN_WINDOWS_TESTS runtime_tests core_tests object_core_tests grids_tests chart_tests)

# The tests run under Wine where the toolchain builds code that this machine
# runs (64-bit); the 32-bit build is checked as an image.
if(CMAKE_SIZEOF_VOID_P EQUAL 8)
    set(VELBRIN_RUN_WINDOWS_TESTS ON)
    set(VELBRIN_WINE_PREFIX ${CMAKE_BINARY_DIR}/wine-prefix)
    set(CMAKE_CROSSCOMPILING_EMULATOR ${PROJECT_SOURCE_DIR}/scripts/wine-run.sh
                                      ${VELBRIN_WINE_PREFIX})
else()
    set(VELBRIN_RUN_WINDOWS_TESTS OFF)
endif()
