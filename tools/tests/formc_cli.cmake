# Runs formc and resinfo form as a user would: compile, decode, compile again.
set(work ${CMAKE_CURRENT_BINARY_DIR}/formc_cli)
file(REMOVE_RECURSE ${work})
file(MAKE_DIRECTORY ${work})

file(WRITE ${work}/bad.form "Form1 : TForm1 {\n    Left = = 3\n}\n")
execute_process(COMMAND ${FORMC} ${work}/bad.form -o ${work}/bad.bin
    RESULT_VARIABLE status ERROR_VARIABLE err)
if(NOT status EQUAL 1 OR NOT err MATCHES "bad.form:2:12: a value expected" OR EXISTS ${work}/bad.bin)
    message(FATAL_ERROR "a syntax error gave status ${status}: ${err}")
endif()

execute_process(COMMAND ${FORMC} ${FORM_SOURCE} -o ${work}/form.bin RESULT_VARIABLE status)
file(SIZE ${work}/form.bin size)
if(NOT status EQUAL 0 OR NOT size EQUAL 743)
    message(FATAL_ERROR "formc of the main window: status ${status}, ${size} bytes")
endif()

execute_process(COMMAND ${RESINFO} form --file ${work}/form.bin
    RESULT_VARIABLE status OUTPUT_FILE ${work}/decoded.form)
execute_process(COMMAND ${RESINFO} form TFORM1 RESULT_VARIABLE embedded_status
    OUTPUT_FILE ${work}/embedded.form)
execute_process(COMMAND ${FORMC} ${work}/decoded.form -o ${work}/again.bin RESULT_VARIABLE again)
file(SHA256 ${work}/form.bin first)
file(SHA256 ${work}/again.bin second)
file(SHA256 ${work}/decoded.form decoded)
file(SHA256 ${work}/embedded.form embedded)
if(NOT status EQUAL 0 OR NOT embedded_status EQUAL 0 OR NOT again EQUAL 0
   OR NOT first STREQUAL second OR NOT decoded STREQUAL embedded)
    message(FATAL_ERROR "compile and decode do not round-trip")
endif()

# A resource that ends right after its signature.
file(WRITE ${work}/cut.bin "TPF0")
execute_process(COMMAND ${RESINFO} form --file ${work}/cut.bin
    RESULT_VARIABLE status OUTPUT_QUIET ERROR_VARIABLE err)
if(NOT status EQUAL 1 OR NOT err MATCHES "resinfo: ")
    message(FATAL_ERROR "a truncated form gave status ${status}: ${err}")
endif()
