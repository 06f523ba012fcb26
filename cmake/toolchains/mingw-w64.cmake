# Builds the library and the programs for Windows with mingw-w64, against the
# system's own <windows.h> and DLLs. The target's processor comes from the
# cache: -DVELBRIN_WINDOWS_PROCESSOR=i686 or x86_64 (the presets set it).
if(NOT VELBRIN_WINDOWS_PROCESSOR MATCHES "^(i686|x86_64)$")
    message(FATAL_ERROR "VELBRIN_WINDOWS_PROCESSOR must be i686 or x86_64, "
                        "not \"${VELBRIN_WINDOWS_PROCESSOR}\"")
endif()
# The compiler checks configure projects of their own, which see the
# variable only when it is passed on.
list(APPEND CMAKE_TRY_COMPILE_PLATFORM_VARIABLES VELBRIN_WINDOWS_PROCESSOR)
set(target ${VELBRIN_WINDOWS_PROCESSOR}-w64-mingw32)

set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR ${VELBRIN_WINDOWS_PROCESSOR})
# The POSIX thread model: GoogleTest needs std::mutex, which the win32 model of
# GCC 12 lacks. Linked statically, it adds no DLL.
set(CMAKE_C_COMPILER ${target}-gcc-posix)
set(CMAKE_CXX_COMPILER ${target}-g++-posix)
set(CMAKE_RC_COMPILER ${target}-windres)
set(CMAKE_FIND_ROOT_PATH /usr/${target})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
