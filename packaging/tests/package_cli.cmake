# The Debian package CPack makes: its fields, the files it holds (the same
# tree an install makes, under /usr), and a dependency for every font the
# program maps its faces to and every shared library the programs load.
cmake_minimum_required(VERSION 3.25)
include(${CMAKE_CURRENT_LIST_DIR}/InstalledTree.cmake)

file(REMOVE_RECURSE ${WORK_DIR})
execute_process(COMMAND cpack -G DEB --config ${BUILD_DIR}/CPackConfig.cmake -B ${WORK_DIR}
    RESULT_VARIABLE status OUTPUT_VARIABLE out ERROR_VARIABLE err)
if(NOT status EQUAL 0)
    message(FATAL_ERROR "cpack: status ${status}\n${out}${err}")
endif()
file(GLOB packages ${WORK_DIR}/*.deb)
list(LENGTH packages count)
if(NOT count EQUAL 1)
    message(FATAL_ERROR "cpack made ${count} packages: ${packages}")
endif()

function(package_field field out)
    execute_process(COMMAND dpkg-deb -f ${packages} ${field}
        RESULT_VARIABLE status OUTPUT_VARIABLE value OUTPUT_STRIP_TRAILING_WHITESPACE)
    if(NOT status EQUAL 0 OR value STREQUAL "")
        message(FATAL_ERROR "the package has no ${field} field")
    endif()
    set(${out} "${value}" PARENT_SCOPE)
endfunction()
package_field(Package name)
package_field(Architecture architecture)
package_field(Depends depends)
package_field(Version version)
if(NOT name STREQUAL "velbrin-notesview")
    message(FATAL_ERROR "the package is named ${name}")
endif()
execute_process(COMMAND dpkg --print-architecture OUTPUT_VARIABLE machine
                OUTPUT_STRIP_TRAILING_WHITESPACE)
if(NOT architecture STREQUAL machine)
    message(FATAL_ERROR "the package is for ${architecture}, the machine is ${machine}")
endif()

# Each package named in Depends, without versions or alternatives.
string(REGEX REPLACE "\\([^)]*\\)" "" names "${depends}")
string(REGEX REPLACE "[ \t]" "" names "${names}")
string(REGEX REPLACE "[,|]" ";" names "${names}")
function(expect_dependency package why)
    if(NOT package IN_LIST names)
        message(FATAL_ERROR "Depends lacks ${package} (${why}): ${depends}")
    endif()
endfunction()
expect_dependency(fonts-ipafont-gothic "the Japanese Gothic face")
expect_dependency(fonts-liberation2 "the face for Arial")

# The shared libraries each program names itself (what the libraries load
# in turn is their packages' concern), each by the package that ships it.
foreach(program notesview notechart)
    execute_process(COMMAND readelf -d ${BUILD_DIR}/bin/${program} OUTPUT_VARIABLE dynamic)
    execute_process(COMMAND ldd ${BUILD_DIR}/bin/${program} OUTPUT_VARIABLE loaded)
    string(REGEX MATCHALL "Shared library: \\[[^]]+\\]" needed "${dynamic}")
    if(needed STREQUAL "")
        message(FATAL_ERROR "${program} names no shared library:\n${dynamic}")
    endif()
    foreach(entry ${needed})
        string(REGEX REPLACE "^Shared library: \\[(.*)\\]$" "\\1" library "${entry}")
        string(FIND "${loaded}" "${library} => /" at)
        string(REGEX REPLACE "([][+.*()^$?|\\])" "\\\\\\1" pattern "${library}")
        if(NOT at EQUAL -1)
            string(SUBSTRING "${loaded}" ${at} -1 rest)
            string(REGEX MATCH "=> ([^ ]+)" found "${rest}")
            set(path ${CMAKE_MATCH_1})
        elseif(loaded MATCHES "[ \t](/[^ \t\n]*/${pattern}) \\(")
            # The dynamic loader is listed by its own path, without an arrow.
            set(path ${CMAKE_MATCH_1})
        else()
            message(FATAL_ERROR "${program} names ${library}, which ldd does not find")
        endif()
        file(REAL_PATH ${path} real)
        # dpkg knows a library by the path its package gave it: the one the
        # loader reports, or where its link leads.
        foreach(candidate ${path} ${real})
            execute_process(COMMAND dpkg-query -S ${candidate} RESULT_VARIABLE status
                            OUTPUT_VARIABLE owner ERROR_QUIET)
            if(status EQUAL 0)
                break()
            endif()
        endforeach()
        if(NOT status EQUAL 0)
            message(FATAL_ERROR "no package ships ${path}, which ${program} loads")
        endif()
        string(REGEX REPLACE "[:,].*" "" owner "${owner}")
        expect_dependency(${owner} "${program} loads ${library}")
    endforeach()
endforeach()

# The files, as dpkg-deb lists them and as they unpack.
execute_process(COMMAND dpkg-deb -c ${packages} OUTPUT_VARIABLE listing)
foreach(path ./usr/bin/notesview ./usr/bin/notechart
             ./usr/share/applications/velbrin-notesview.desktop
             ./usr/share/icons/hicolor/256x256/apps/velbrin-notesview.png)
    if(NOT listing MATCHES " ${path}\n")
        message(FATAL_ERROR "the package lacks ${path}:\n${listing}")
    endif()
endforeach()
execute_process(COMMAND dpkg-deb -x ${packages} ${WORK_DIR}/root RESULT_VARIABLE status)
if(NOT status EQUAL 0)
    message(FATAL_ERROR "dpkg-deb -x failed")
endif()
check_installed_tree(${WORK_DIR}/root/usr "${ICON_SIZES}")
file(REMOVE_RECURSE ${WORK_DIR})
