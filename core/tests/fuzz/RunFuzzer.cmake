# Runs the reader's fuzz target for SECONDS from the seed corpus in SEEDS.
# New inputs it finds go to CORPUS, which persists between runs.
file(MAKE_DIRECTORY ${CORPUS})
execute_process(COMMAND ${FUZZER} -max_total_time=${SECONDS} -timeout=10 -rss_limit_mb=2048
                        -print_final_stats=1 ${CORPUS} ${SEEDS}
    RESULT_VARIABLE status)
if(NOT status EQUAL 0)
    message(FATAL_ERROR "the reader's fuzz target failed (${status}); the input is in the working directory")
endif()
