# Helpers shared by every folder.

# velbrin_resources(TARGET_NAME [STRINGS file] [RESOURCE type name file]...)
# Compiles resource sources into an object library that an executable links
# to embed them.
function(velbrin_resources name)
    cmake_parse_arguments(PARSE_ARGV 1 ARG "" "STRINGS" "RESOURCE")
    set(args)
    set(deps rescomp)
    if(ARG_STRINGS)
        list(APPEND args --strings ${ARG_STRINGS})
        list(APPEND deps ${ARG_STRINGS})
    endif()
    set(rest ${ARG_RESOURCE})
    while(rest)
        list(POP_FRONT rest type resname file)
        list(APPEND args --resource ${type} ${resname} ${file})
        list(APPEND deps ${file})
    endwhile()
    # On Windows the executable's resource section holds them: rescomp writes
    # a resource script for windres.
    if(WIN32)
        set(out ${CMAKE_CURRENT_BINARY_DIR}/${name}.rc)
        set(format --rc)
    else()
        set(out ${CMAKE_CURRENT_BINARY_DIR}/${name}.cpp)
        set(format)
    endif()
    add_custom_command(OUTPUT ${out}
        COMMAND rescomp ${format} -o ${out} ${args}
        DEPENDS ${deps}
        COMMENT "Compiling resources ${name}"
        VERBATIM)
    add_library(${name} OBJECT ${out})
    target_link_libraries(${name} PRIVATE velbrin_platform)
endfunction()

# velbrin_test(NAME SOURCES... LIBS...): a GoogleTest executable registered
# with CTest, linked with the program's embedded resources.
# On Windows only the tests named in VELBRIN_WINDOWS_TESTS are built, each run
# under Wine as one CTest test, and only where this machine runs the code.
function(velbrin_test name)
    cmake_parse_arguments(PARSE_ARGV 1 ARG "" "" "SOURCES;LIBS")
    if(WIN32 AND NOT name IN_LIST VELBRIN_WINDOWS_TESTS)
        return()
    endif()
    add_executable(${name} ${ARG_SOURCES})
    target_link_libraries(${name} PRIVATE ${ARG_LIBS} velbrin_resources GTest::gtest
                          GTest::gmock GTest::gtest_main)
    if(NOT WIN32)
        gtest_discover_tests(${name} DISCOVERY_TIMEOUT 120
                             WORKING_DIRECTORY ${CMAKE_CURRENT_BINARY_DIR})
    elseif(VELBRIN_RUN_WINDOWS_TESTS)
        add_test(NAME windows.${name} COMMAND ${name}
                 WORKING_DIRECTORY ${CMAKE_CURRENT_BINARY_DIR})
        set_tests_properties(windows.${name} PROPERTIES SKIP_RETURN_CODE 77
                             RESOURCE_LOCK ${VELBRIN_WINE_PREFIX})
    endif()
endfunction()

# velbrin_compiled_forms(VAR FORM...): compiles each tests/resources/FORM.form
# of the current folder with formc into the RCDATA resource named FORM in
# upper case, and sets VAR to the type, name and file triples for the
# RESOURCE list of velbrin_resources.
function(velbrin_compiled_forms var)
    set(triples)
    foreach(form ${ARGN})
        string(TOUPPER ${form} resname)
        set(source ${CMAKE_CURRENT_SOURCE_DIR}/tests/resources/${form}.form)
        set(out ${CMAKE_CURRENT_BINARY_DIR}/${resname}.bin)
        add_custom_command(OUTPUT ${out}
            COMMAND formc ${source} -o ${out}
            DEPENDS formc ${source}
            COMMENT "Compiling test form ${form}"
            VERBATIM)
        list(APPEND triples RCDATA ${resname} ${out})
    endforeach()
    set(${var} ${triples} PARENT_SCOPE)
endfunction()
