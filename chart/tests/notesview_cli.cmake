# Runs notesview with the environment changed by ENV_ARGS (as `cmake -E env`
# takes them), where no X server answers: it must say EXPECTED on the error
# stream and end with status 1, opening nothing.
function(expect_no_display what expected)
    execute_process(COMMAND ${CMAKE_COMMAND} -E env ${ARGN} --unset=VELBRIN_DISPLAY ${NOTESVIEW}
        RESULT_VARIABLE status OUTPUT_VARIABLE out ERROR_VARIABLE err)
    if(NOT status EQUAL 1)
        message(FATAL_ERROR "notesview ${what}: status ${status}, expected 1\n${out}${err}")
    endif()
    if(NOT err MATCHES "${expected}")
        message(FATAL_ERROR "notesview ${what} says:\n${err}")
    endif()
endfunction()

# As on a machine with no X server.
expect_no_display("without a display" "cannot open the X display \\(DISPLAY is not set\\)"
    --unset=DISPLAY)
# A display that no X server answers is the same to it.
expect_no_display("on a silent display" "cannot open the X display :12345" DISPLAY=:12345)
