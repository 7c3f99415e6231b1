# The core library and the headless CLI must not depend on Qt, so that the simulator can be
# built, run and tested without a display. Configuration fails if a Qt target sneaks into
# their link interface; the source-level check runs as a test.
foreach(target soustruh_core soustruh-cli)
  if(TARGET ${target})
    get_target_property(libs ${target} LINK_LIBRARIES)
    if(libs)
      foreach(lib IN LISTS libs)
        if(lib MATCHES "Qt[0-9]*::|Qt[0-9]*[A-Z]")
          message(FATAL_ERROR "${target} must not link Qt (found ${lib})")
        endif()
      endforeach()
    endif()
  endif()
endforeach()
