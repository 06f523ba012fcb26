cmake_minimum_required(VERSION 3.25)
# Compiles the platform's constants, printed by DUMP as C assertions, against
# Windows' own headers with COMPILER (mingw-w64's gcc):
#   cmake -DDUMP=... -DCOMPILER=... -DWORK=dir [-DCORRUPT=NAME] -P CheckConstants.cmake
# With CORRUPT the named constant is printed one too high, and the check passes
# only when the compiler rejects exactly that constant.
if(NOT COMPILER)
    # The test's SKIP_REGULAR_EXPRESSION finds this.
    message(FATAL_ERROR "mingw-w64's C compiler is not installed: the check is skipped")
endif()
file(MAKE_DIRECTORY ${WORK})
set(source ${WORK}/windows_constants${CORRUPT}.c)
execute_process(COMMAND ${DUMP} ${CORRUPT} OUTPUT_FILE ${source} RESULT_VARIABLE status)
if(NOT status EQUAL 0)
    message(FATAL_ERROR "the constant dump failed (${status}); is ${CORRUPT} a constant?")
endif()
execute_process(COMMAND ${COMPILER} -fsyntax-only -fmax-errors=0 ${source}
    RESULT_VARIABLE status ERROR_VARIABLE errors)
if(NOT CORRUPT)
    if(NOT status EQUAL 0)
        message(FATAL_ERROR "constants that differ from Windows':\n${errors}")
    endif()
    file(STRINGS ${source} checks REGEX "^_Static_assert")
    list(LENGTH checks count)
    message("${count} constants have Windows' values")
    return()
endif()
string(REGEX MATCHALL "static assertion failed: \"[A-Za-z_0-9]+ " failed "${errors}")
if(status EQUAL 0 OR NOT failed STREQUAL "static assertion failed: \"${CORRUPT} ")
    message(FATAL_ERROR "a wrong ${CORRUPT} was not caught alone (status ${status}):\n${errors}")
endif()
message("a wrong ${CORRUPT} is caught")
