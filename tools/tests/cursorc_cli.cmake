# Runs cursorc as the build does and as a careless author might.
set(work ${CMAKE_CURRENT_BINARY_DIR}/cursorc_cli)
file(REMOVE_RECURSE ${work})
file(MAKE_DIRECTORY ${work})

string(REPEAT "." 28 tail)
string(REPEAT "................................\n" 31 blank_rows)
set(top_row "#-~.${tail}\n")
file(WRITE ${work}/good.txt "; a comment\nhotspot 3 5\n${top_row}\n${blank_rows}")
execute_process(COMMAND ${CURSORC} ${work}/good.txt 9 ${work}/good.group ${work}/good.image
    RESULT_VARIABLE status ERROR_VARIABLE err)
if(NOT status EQUAL 0)
    message(FATAL_ERROR "a good picture gave status ${status}: ${err}")
endif()
file(READ ${work}/good.group group HEX)
# Reserved, type 2, one entry: 32 wide, 64 high (colour and mask rows), one
# plane of one bit, 308 bytes, image 9.
if(NOT group STREQUAL "0000020001002000400001000100340100000900")
    message(FATAL_ERROR "group directory: ${group}")
endif()
file(SIZE ${work}/good.image size)
file(READ ${work}/good.image hot LIMIT 4 HEX)
# The top row is stored last: its colour bits (white and inverting pixels)
# and its mask bits (transparent and inverting pixels).
file(READ ${work}/good.image colour OFFSET 176 LIMIT 4 HEX)
file(READ ${work}/good.image mask OFFSET 304 LIMIT 4 HEX)
if(NOT size EQUAL 308 OR NOT hot STREQUAL "03000500" OR NOT colour STREQUAL "60000000"
   OR NOT mask STREQUAL "3fffffff")
    message(FATAL_ERROR "cursor image: ${size} bytes, hot spot ${hot}, top row ${colour}/${mask}")
endif()

# Each bad picture: its text and the message cursorc must give.
string(REPEAT "." 31 short_row)
set(cases
    "hotspot 1 1\n${short_row}\n${blank_rows}" "bad.txt:2: a row holds 32 pixels, not 31"
    "hotspot 1 1\nx${tail}...\n${blank_rows}" "bad.txt:2: 'x' is not a pixel"
    "${top_row}${blank_rows}" "bad.txt: no hot spot"
    "hotspot 32 0\n${top_row}${blank_rows}" "bad.txt:1: the hot spot lies outside the picture"
    "hotspot -1 0\n${top_row}${blank_rows}" "bad.txt:1: expected \"hotspot X Y\""
    "hotspot 1 1\nhotspot 1 1\n${top_row}${blank_rows}" "bad.txt:2: a second hot spot"
    "hotspot 1 1\n${blank_rows}" "bad.txt: 31 rows, not 32"
    "hotspot 1 1\n${top_row}${blank_rows}${top_row}" "bad.txt:34: more than 32 rows")
while(cases)
    list(POP_FRONT cases text expected)
    file(WRITE ${work}/bad.txt "${text}")
    file(REMOVE ${work}/bad.group ${work}/bad.image)
    execute_process(COMMAND ${CURSORC} ${work}/bad.txt 9 ${work}/bad.group ${work}/bad.image
        RESULT_VARIABLE status ERROR_VARIABLE err)
    string(FIND "${err}" "${expected}" at)
    if(NOT status EQUAL 1 OR at EQUAL -1 OR EXISTS ${work}/bad.group OR EXISTS ${work}/bad.image)
        message(FATAL_ERROR "expected \"${expected}\", got status ${status}: ${err}")
    endif()
endwhile()

execute_process(COMMAND ${CURSORC} ${work}/good.txt 0 ${work}/bad.group ${work}/bad.image
    RESULT_VARIABLE status ERROR_VARIABLE err)
if(NOT status EQUAL 1 OR NOT err MATCHES "image id \"0\"")
    message(FATAL_ERROR "image id 0 gave status ${status}: ${err}")
endif()
execute_process(COMMAND ${CURSORC} ${work}/good.txt RESULT_VARIABLE status ERROR_QUIET)
if(NOT status EQUAL 2)
    message(FATAL_ERROR "a short command line gave status ${status}")
endif()
