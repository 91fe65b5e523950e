# Copies the layer folders of SOURCE to SCRATCH, plants one breach of the
# layering (FAULT: include or link) and configures the copy: the configure
# has to fail with an error naming the breach.
#   cmake -DSOURCE=... -DSCRATCH=... -DFAULT=include|link -DGENERATOR=... -P PlantedFault.cmake

file(REMOVE_RECURSE ${SCRATCH})
file(MAKE_DIRECTORY ${SCRATCH})
file(COPY ${SOURCE}/CMakeLists.txt ${SOURCE}/cmake DESTINATION ${SCRATCH})
# Build folders, tests, benchmarks, fuzzers and scripts stay out: the copy is
# configured without them.
file(GLOB entries RELATIVE ${SOURCE} ${SOURCE}/*)
foreach(entry ${entries})
    if(IS_DIRECTORY ${SOURCE}/${entry} AND NOT entry MATCHES "^(build.*|tests|bench|fuzz|samples|scripts)$")
        file(COPY ${SOURCE}/${entry} DESTINATION ${SCRATCH})
    endif()
endforeach()

if(FAULT STREQUAL "include")
    # A core source reaching the program shell by the include root.
    file(APPEND ${SCRATCH}/soundfile/SfInfo.cpp "#include <app/shell/CSfApp.h>\n")
    set(expected "soundfile/SfInfo.cpp includes from app/shell/")
elseif(FAULT STREQUAL "link")
    # A core library linking the widgets after its declaration.
    file(APPEND ${SCRATCH}/spectrum/CMakeLists.txt
        "target_link_libraries(kavirel_spectrum PUBLIC Qt6::Widgets)\n")
    set(expected "kavirel_spectrum is a core library and links Qt6::Widgets")
else()
    message(FATAL_ERROR "FAULT is include or link, not '${FAULT}'")
endif()

execute_process(
    COMMAND ${CMAKE_COMMAND} -S ${SCRATCH} -B ${SCRATCH}/build -G ${GENERATOR}
        -DBUILD_TESTING=OFF -DKAVIREL_BENCH=OFF
    RESULT_VARIABLE result OUTPUT_VARIABLE output ERROR_VARIABLE errors)
# CMake wraps long error messages; the words are compared unwrapped.
string(REGEX REPLACE "[ \n]+" " " errors "${errors}")
if(result EQUAL 0)
    message(FATAL_ERROR "The configure with the planted ${FAULT} passed")
elseif(NOT errors MATCHES "${expected}")
    message(FATAL_ERROR "The configure failed without naming '${expected}':\n${errors}")
endif()
file(REMOVE_RECURSE ${SCRATCH})
