# `cmake --install` into a fresh temporary prefix, as a user installs the
# program from a build: the tree it makes, and the programs run from there.
cmake_minimum_required(VERSION 3.25)
include(${CMAKE_CURRENT_LIST_DIR}/InstalledTree.cmake)

set(prefix ${WORK_DIR}/prefix)
file(REMOVE_RECURSE ${WORK_DIR})
execute_process(COMMAND ${CMAKE_COMMAND} --install ${BUILD_DIR} --prefix ${prefix}
    RESULT_VARIABLE status OUTPUT_VARIABLE out ERROR_VARIABLE err)
if(NOT status EQUAL 0)
    message(FATAL_ERROR "cmake --install: status ${status}\n${out}${err}")
endif()
check_installed_tree(${prefix} "${ICON_SIZES}")

# The installed chart window without a display says so, as the built one does.
execute_process(COMMAND ${CMAKE_COMMAND} -E env --unset=DISPLAY --unset=VELBRIN_DISPLAY
                        ${prefix}/bin/notesview
    RESULT_VARIABLE status ERROR_VARIABLE err)
if(NOT status EQUAL 1 OR NOT err MATCHES "cannot open the X display")
    message(FATAL_ERROR "the installed notesview without a display: status ${status}\n${err}")
endif()
file(REMOVE_RECURSE ${WORK_DIR})
