cmake_minimum_required(VERSION 3.25)
# Runs notechart.exe under Wine and the native notechart for every key, as
# text and as tab-separated lines, and for the chart before a key is chosen:
# the outputs agree byte for byte once Windows' line ends are made Unix ones.
#   cmake "-DWINE=runner;prefix" -DWINDOWS_NOTECHART=... -DNATIVE_NOTECHART=... -P ...
set(cases --tsv)
foreach(key G A- A B- B C D- D E- E F F+)
    list(APPEND cases "${key}" "--tsv|${key}")
endforeach()
list(LENGTH cases count)
foreach(case ${cases})
    string(REPLACE "|" ";" arguments "${case}")
    execute_process(COMMAND ${NATIVE_NOTECHART} ${arguments}
        OUTPUT_VARIABLE expected RESULT_VARIABLE native_status)
    execute_process(COMMAND ${WINE} ${WINDOWS_NOTECHART} ${arguments}
        OUTPUT_VARIABLE actual ERROR_VARIABLE errors RESULT_VARIABLE status)
    if(status EQUAL 77)
        # The test's SKIP_REGULAR_EXPRESSION finds wine-run's reason.
        message(FATAL_ERROR "${errors}")
    endif()
    string(REPLACE "\r\n" "\n" actual "${actual}")
    if(NOT status EQUAL native_status OR NOT actual STREQUAL expected OR expected STREQUAL "")
        message(FATAL_ERROR "notechart ${arguments}: status ${status} (native ${native_status})\n"
                            "Windows printed:\n${actual}${errors}\nLinux printed:\n${expected}")
    endif()
endforeach()
message("${count} charts agree")
