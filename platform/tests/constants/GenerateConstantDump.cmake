cmake_minimum_required(VERSION 3.25)
# Writes the program that prints the platform's constants as C assertions:
#   cmake -DHEADERS=a.h|b.h -DOUTPUT=dump.cpp -P GenerateConstantDump.cmake
# Every object-like macro of the headers is a constant, except the calling
# conventions, which have no value.
set(skipped WINAPI CALLBACK APIENTRY)
set(names)
string(REPLACE "|" ";" HEADERS "${HEADERS}")
foreach(header ${HEADERS})
    file(READ ${header} text)
    string(REGEX MATCHALL "\n#define [A-Za-z_][A-Za-z_0-9]*[ \t]" defines "${text}")
    foreach(define ${defines})
        string(REGEX REPLACE "\n#define ([A-Za-z_0-9]+).*" "\\1" name "${define}")
        if(NOT name IN_LIST skipped)
            list(APPEND names ${name})
        endif()
    endforeach()
endforeach()
list(REMOVE_DUPLICATES names)
set(body)
foreach(name ${names})
    string(APPEND body "    dump.Add(\"${name}\", ${name});\n")
endforeach()
file(WRITE ${OUTPUT}.new
"// Generated from the platform's headers by GenerateConstantDump.cmake.\n"
"#include \"ConstantDump.h\"\n\n#include <windows.h>\n\n"
"int main(int argc, char** argv) {\n"
"    ConstantDump dump(argc > 1 ? argv[1] : \"\");\n"
"${body}"
"    return dump.Print();\n}\n")
file(COPY_FILE ${OUTPUT}.new ${OUTPUT} ONLY_IF_DIFFERENT)
file(REMOVE ${OUTPUT}.new)
