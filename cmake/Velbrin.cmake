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
    set(out ${CMAKE_CURRENT_BINARY_DIR}/${name}.cpp)
    add_custom_command(OUTPUT ${out}
        COMMAND rescomp -o ${out} ${args}
        DEPENDS ${deps}
        COMMENT "Compiling resources ${name}"
        VERBATIM)
    add_library(${name} OBJECT ${out})
    target_link_libraries(${name} PRIVATE velbrin_platform)
endfunction()

# velbrin_test(NAME SOURCES... LIBS...): a GoogleTest executable registered
# with CTest, linked with the program's embedded resources.
function(velbrin_test name)
    cmake_parse_arguments(PARSE_ARGV 1 ARG "" "" "SOURCES;LIBS")
    add_executable(${name} ${ARG_SOURCES})
    target_link_libraries(${name} PRIVATE ${ARG_LIBS} velbrin_resources GTest::gtest
                          GTest::gmock GTest::gtest_main)
    gtest_discover_tests(${name} DISCOVERY_TIMEOUT 120
                         WORKING_DIRECTORY ${CMAKE_CURRENT_BINARY_DIR})
endfunction()
