# Runs resinfo as a user would and checks its answers and exit status.
execute_process(COMMAND ${RESINFO} strings RESULT_VARIABLE status OUTPUT_VARIABLE out)
if(NOT status EQUAL 0)
    message(FATAL_ERROR "resinfo strings failed with ${status}")
endif()
# The listing is the string table's source, without its comments, in number order.
file(STRINGS ${STRING_TABLE} source ENCODING UTF-8 REGEX "^[0-9]")
string(REPLACE "\n" ";" listed "${out}")
list(REMOVE_ITEM listed "")
if(NOT listed STREQUAL source)
    message(FATAL_ERROR "resinfo strings differs from the table:\n${out}")
endif()

execute_process(COMMAND ${RESINFO} list RESULT_VARIABLE status OUTPUT_VARIABLE out)
# The library's cursors are there: six group directories and their images.
string(REGEX MATCHALL "GROUP_CURSOR +3276[2-7] +20\n" cursor_groups "${out}")
string(REGEX MATCHALL "CURSOR +[3-8] +308\n" cursor_images "${out}")
list(LENGTH cursor_groups groups)
list(LENGTH cursor_images images)
if(NOT status EQUAL 0 OR NOT out MATCHES "STRING +3841 " OR NOT groups EQUAL 6
   OR NOT images EQUAL 6)
    message(FATAL_ERROR "resinfo list:\n${out}")
endif()

execute_process(COMMAND ${RESINFO} dump STRING 3841 RESULT_VARIABLE status OUTPUT_VARIABLE out)
if(NOT status EQUAL 0 OR NOT out MATCHES "%s")
    message(FATAL_ERROR "resinfo dump STRING 3841 failed (${status})")
endif()

execute_process(COMMAND ${RESINFO} dump RCDATA NOSUCH
    RESULT_VARIABLE status OUTPUT_VARIABLE out ERROR_VARIABLE err)
if(NOT status EQUAL 1 OR NOT err MATCHES "no resource RCDATA NOSUCH")
    message(FATAL_ERROR "a missing resource gave status ${status}: ${err}")
endif()

execute_process(COMMAND ${RESINFO} bogus RESULT_VARIABLE status ERROR_QUIET)
if(NOT status EQUAL 2)
    message(FATAL_ERROR "an unknown command gave status ${status}")
endif()
