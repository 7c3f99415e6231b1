# Run as a test: no source of the core library includes a Qt header.
file(GLOB_RECURSE sources ${SOURCE_DIR}/src/platform/* ${SOURCE_DIR}/src/nc/*
     ${SOURCE_DIR}/src/machine/* ${SOURCE_DIR}/src/workpiece/*
     ${SOURCE_DIR}/src/control/* ${SOURCE_DIR}/src/view/* ${SOURCE_DIR}/src/app/cli/*)
set(offenders)
foreach(f IN LISTS sources)
  file(STRINGS ${f} hits REGEX "#[ \t]*include[ \t]*[<\"]Q")
  if(hits)
    list(APPEND offenders ${f})
  endif()
endforeach()
if(offenders)
  message(FATAL_ERROR "Qt headers included in core sources: ${offenders}")
endif()
message(STATUS "core sources are Qt-free (${CMAKE_ARGC} args)")
