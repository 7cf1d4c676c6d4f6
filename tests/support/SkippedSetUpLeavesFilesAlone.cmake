# Runs a test program's queue tests where no queue is set up, in a scratch folder holding a file of the
# user's: every set-up skips, and the tear-downs that follow must not touch the folder they run in.
# Usage: cmake -DPROGRAM=<test program> -DFILTER=<gtest filter> -DSCRATCH=<folder> -P SkippedSetUpLeavesFilesAlone.cmake
file(REMOVE_RECURSE ${SCRATCH})
file(MAKE_DIRECTORY ${SCRATCH})
file(WRITE ${SCRATCH}/keep.txt "a file of the user's\n")
execute_process(
  COMMAND ${CMAKE_COMMAND} -E env --unset=QUENARY_CUPS_PRINTER QT_QPA_PLATFORM=offscreen
          ${PROGRAM} --gtest_filter=${FILTER}
  WORKING_DIRECTORY ${SCRATCH}
  RESULT_VARIABLE result
  OUTPUT_VARIABLE output
  ERROR_VARIABLE output)
if(NOT result EQUAL 0)
  message(FATAL_ERROR "${PROGRAM} failed with ${result}:\n${output}")
endif()
if(NOT output MATCHES "SKIPPED")
  message(FATAL_ERROR "no test of ${FILTER} skipped its set-up:\n${output}")
endif()
if(NOT EXISTS ${SCRATCH}/keep.txt)
  message(FATAL_ERROR "a skipped test of ${FILTER} removed the files of the folder it ran in")
endif()
file(REMOVE_RECURSE ${SCRATCH})
