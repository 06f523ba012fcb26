# Runs notechart as a user would and checks its answers and exit status.
function(expect_run expected_status)
    execute_process(COMMAND ${NOTECHART} ${ARGN}
        RESULT_VARIABLE status OUTPUT_VARIABLE out ERROR_VARIABLE err)
    if(NOT status EQUAL expected_status)
        message(FATAL_ERROR "notechart ${ARGN}: status ${status}, expected ${expected_status}\n${out}${err}")
    endif()
    set(out "${out}" PARENT_SCOPE)
    set(err "${err}" PARENT_SCOPE)
endfunction()

# Fails, naming `what` and showing the stream, unless the last run's `stream`
# (out or err) matches `pattern`.
function(expect_in stream pattern what)
    if(NOT "${${stream}}" MATCHES "${pattern}")
        message(FATAL_ERROR "${what}:\n${${stream}}")
    endif()
endfunction()

expect_run(0 C)
expect_in(out "Richter harmonica in C" "the C chart is not shown")
expect_in(out "Blow \\| C  \\| E  \\| G" "the C chart is not shown")

expect_run(0 --tsv f+)
string(REGEX MATCH "^[^\n]*\n[^\n]*\n[^\n]*\n[^\n]*\n[^\n]*\n([^\n]*)" _ "${out}")
if(NOT CMAKE_MATCH_1 STREQUAL "Blow\tF+\tA+\tC+\tF+\tA+\tC+\tF+\tA+\tC+\tF+\t")
    message(FATAL_ERROR "the F+ blow row reads '${CMAKE_MATCH_1}'")
endif()

expect_run(0 --tsv 5)
expect_run(0 --tsv)
if(out MATCHES "\tC\t")
    message(FATAL_ERROR "a chart without key shows notes:\n${out}")
endif()

foreach(bad "H" "12" "-1" "C4")
    expect_run(2 ${bad})
    expect_in(err "G, A-, A, B-, B, C, D-, D, E-, E, F, F\\+"
        "notechart ${bad} does not name the valid keys")
endforeach()
expect_run(2 --bogus C)
expect_in(err "unknown option \"--bogus\". Options: --tuning, --position, --scale"
    "notechart --bogus does not name the options")
expect_run(2)
expect_run(2 C G)
expect_run(0 --help)
expect_in(out "usage: notechart" "--help shows no usage")

# Keys in every common spelling.
foreach(spelling "Bb" "A#" "b-" "3")
    expect_run(0 ${spelling})
    expect_in(out "Richter harmonica in B-\n" "notechart ${spelling} is not the key B-")
endforeach()
expect_run(0 "F#")
expect_in(out "in F\\+\n" "notechart F# is not the key F+")

# Tunings, scales and positions: unknown ones are refused, naming the valid ones.
expect_run(0 --tuning list)
foreach(name "Richter" "Paddy Richter" "Natural Minor" "Country" "Melody Maker" "Harmonic Minor")
    expect_in(out "${name}: " "--tuning list misses ${name}")
endforeach()
expect_run(2 --tuning solo C)
expect_in(err "unknown tuning \"solo\". Tunings: Richter, Paddy Richter, Natural Minor, Country, Melody Maker, Harmonic Minor"
    "an unknown tuning does not name the tunings")
expect_run(0 --scale list)
expect_in(out "blues: 1 b3 4 b5 5 b7\n" "--scale list shows no blues scale")
expect_run(2 --scale lydian C)
expect_in(err "Scales: major, natural minor, blues, major pentatonic, minor pentatonic, dorian, mixolydian"
    "an unknown scale does not name the scales")
foreach(bad "0" "13" "two" "")
    expect_run(2 --position "${bad}" C)
    expect_in(err "Positions: 1 to 12" "--position '${bad}' does not name the positions")
endforeach()
expect_run(2 C --tuning)
expect_in(err "--tuning wants a value" "a missing value is not named")

expect_run(0 --tuning country --tsv c)
string(REGEX MATCH "Draw\t[^\n]*" draw "${out}")
if(NOT draw STREQUAL "Draw\tD\tG\tB\tD\tF+\tA\tB\tD\tF\tA\t")
    message(FATAL_ERROR "the country C draw row reads '${draw}'")
endif()

expect_run(0 --position 2 --scale blues C)
expect_in(out "2nd position: G blues" "2nd position blues is not marked")
expect_in(out "\\| G:1 +\\|" "2nd position blues is not marked")

# Where a note is.
expect_run(0 --find Gb C)
expect_in(out "^F\\+ on a Richter harmonica in C:\nF\\+4  -2'   hole 2 draw, bent 1 semitone\nF\\+5  5o    hole 5 overblow\nF\\+6  9'    hole 9 blow, bent 1 semitone\n"
    "--find Gb C shows")
expect_run(1 --find Cb3 C)
expect_in(err "cannot play B2; it plays C4 to C\\+7"
    "--find Cb3 C does not say that the harp cannot play it")
expect_run(2 --find H C)
expect_in(err "unknown note \"H\". A note is a letter A to G"
    "--find H does not name the spellings")

# Melodies as tablature.
expect_run(0 --tab "E D C D E E E" C)
if(NOT out STREQUAL "notes: E5 D5 C5 D5 E5 E5 E5\ntab:   5  -4 4  -4 5  5  5\n")
    message(FATAL_ERROR "--tab of a known melody shows:\n${out}")
endif()
expect_run(1 --tab "G3 C4,E4 C8" C)
expect_in(out "tab:   \\?  1  2  \\?\n" "--tab with notes out of reach shows")
expect_in(err "cannot play G3 C8 \\(marked \\?\\)" "--tab with notes out of reach shows")
expect_run(2 --tab "C4 X4" C)
expect_run(2 --tab "" C)
expect_run(2 --tab "C4")
expect_in(err "which key\\?" "--tab without a key")

# JSON, read back with CMake's own JSON reader.
expect_run(0 --json --tuning "harmonic minor" --position 1 --scale "natural minor" A)
string(JSON rows LENGTH "${out}" cells)
string(JSON blowMidi GET "${out}" holes 0 blow midi)
string(JSON drawNote GET "${out}" holes 5 draw note)
string(JSON degree GET "${out}" holes 5 draw degree)
string(JSON arrow GET "${out}" cells 12 11)
if(NOT rows EQUAL 13 OR NOT blowMidi EQUAL 57 OR NOT drawNote STREQUAL "F" OR
   NOT degree STREQUAL "b6" OR NOT arrow STREQUAL "↓")
    message(FATAL_ERROR "the JSON chart reads ${rows} rows, ${blowMidi}, ${drawNote}, ${degree}, ${arrow}")
endif()

# The picture of the window.
set(picture "${CMAKE_CURRENT_BINARY_DIR}/notechart_cli_test.png")
file(REMOVE "${picture}")
expect_run(0 --png "${picture}" D)
file(READ "${picture}" header LIMIT 24 HEX)
if(NOT header MATCHES "^89504e470d0a1a0a0000000d494844520000019a00000135$")
    message(FATAL_ERROR "the picture is no 410 x 309 PNG: ${header}")
endif()
file(REMOVE "${picture}")
expect_run(2 --png "${picture}" --tuning country D)
expect_run(2 --png "${picture}" --tab "C4" D)
if(EXISTS "${picture}")
    message(FATAL_ERROR "a refused --png wrote a picture")
endif()
expect_run(1 --png "${CMAKE_CURRENT_BINARY_DIR}/no-such-folder/chart.png" D)
expect_in(err "cannot write the picture" "an unwritable picture is not reported")

expect_run(0 --help)
expect_in(out "Examples:\n" "--help shows no examples")
expect_in(out "--tab \"NOTES\"" "--help shows no examples")
