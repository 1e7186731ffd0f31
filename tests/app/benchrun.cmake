# Fills WORK/bench with a stand-in for each benchmark of SOURCE/bench and the *_autogen
# folders a build leaves beside them, then runs `make bench-run` on it: every stand-in
# must have run, in order, and nothing else.
file(REMOVE_RECURSE ${WORK})
file(GLOB sources ${SOURCE}/bench/bench_*.cpp)
set(expected "")
foreach(src ${sources})
    get_filename_component(name ${src} NAME_WE)
    file(MAKE_DIRECTORY ${WORK}/bench/${name}_autogen)
    file(WRITE ${WORK}/bench/${name} "#!/bin/sh\necho ${name} >> ${WORK}/ran.txt\n")
    file(CHMOD ${WORK}/bench/${name} PERMISSIONS OWNER_READ OWNER_WRITE OWNER_EXECUTE)
    list(APPEND expected ${name})
endforeach()
execute_process(COMMAND make -s -C ${SOURCE} bench-run BUILD=${WORK} RESULT_VARIABLE status)
file(STRINGS ${WORK}/ran.txt ran)
if(NOT status EQUAL 0 OR NOT ran STREQUAL expected OR NOT expected)
    message(FATAL_ERROR "make bench-run exited ${status} and ran \"${ran}\", not \"${expected}\"")
endif()
