# Runs notesview without any display, as on a machine with no X server: it
# says so on the error stream and ends with status 1, opening nothing.
execute_process(COMMAND ${CMAKE_COMMAND} -E env --unset=DISPLAY --unset=VELBRIN_DISPLAY
                        ${NOTESVIEW}
    RESULT_VARIABLE status OUTPUT_VARIABLE out ERROR_VARIABLE err)
if(NOT status EQUAL 1)
    message(FATAL_ERROR "notesview without a display: status ${status}, expected 1\n${out}${err}")
endif()
if(NOT err MATCHES "cannot open the X display \\(DISPLAY is not set\\)")
    message(FATAL_ERROR "notesview without a display says:\n${err}")
endif()

# A display that no X server answers is the same to it.
execute_process(COMMAND ${CMAKE_COMMAND} -E env DISPLAY=:12345 --unset=VELBRIN_DISPLAY ${NOTESVIEW}
    RESULT_VARIABLE status OUTPUT_VARIABLE out ERROR_VARIABLE err)
if(NOT status EQUAL 1)
    message(FATAL_ERROR "notesview on a silent display: status ${status}, expected 1\n${out}${err}")
endif()
if(NOT err MATCHES "cannot open the X display :12345")
    message(FATAL_ERROR "notesview on a silent display says:\n${err}")
endif()
