# The library's six cursors: the picture in resources/cursors, the number of
# its group-cursor resource and the number of its one image. The images are
# numbered after the program's icon images (1 and 2).
set(VELBRIN_CURSORS
    sqlwait   32762 3
    multidrag 32763 4
    vsplit    32764 5
    hsplit    32765 6
    drag      32766 7
    nodrop    32767 8)
set(VELBRIN_CURSOR_DIR ${PROJECT_BINARY_DIR}/resources/cursors)

# velbrin_cursor_resources(VAR): the type, name and file triples that embed
# the compiled cursors, for the RESOURCE list of velbrin_resources. The
# target velbrin_resources makes the files.
function(velbrin_cursor_resources var)
    set(triples)
    set(rest ${VELBRIN_CURSORS})
    while(rest)
        list(POP_FRONT rest name group image)
        list(APPEND triples GROUP_CURSOR ${group} ${VELBRIN_CURSOR_DIR}/${name}.group
                            CURSOR ${image} ${VELBRIN_CURSOR_DIR}/${name}.image)
    endwhile()
    set(${var} ${triples} PARENT_SCOPE)
endfunction()
