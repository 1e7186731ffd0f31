# `make bench` runs every benchmark, whatever else the build's bench folder holds.
add_test(NAME app/make_bench_runs_every_benchmark
         COMMAND ${CMAKE_COMMAND} -DSOURCE=${PROJECT_SOURCE_DIR}
                 -DWORK=${CMAKE_CURRENT_BINARY_DIR}/benchrun
                 -P ${CMAKE_CURRENT_SOURCE_DIR}/app/benchrun.cmake)
