# Read by ctest before each folder's tests: with LYRANT_TIMEOUT_SCALE set (scripts/test sets it for
# code that runs under emulation, several times slower than native), every test's TIMEOUT is
# multiplied by it. The folder's test file sets its properties after this file is read, so the
# command itself is wrapped, once for the whole run.
get_property(lyrant_scaled GLOBAL PROPERTY LYRANT_TIMEOUT_SCALED)
if(NOT "$ENV{LYRANT_TIMEOUT_SCALE}" STREQUAL "" AND NOT lyrant_scaled)
  set_property(GLOBAL PROPERTY LYRANT_TIMEOUT_SCALED 1)
  function(set_tests_properties)
    set(call "")
    set(scale_next FALSE)
    foreach(i RANGE 0 ${ARGC})
      if(i EQUAL ARGC)
        break()
      endif()
      set(arg "${ARGV${i}}")
      if(scale_next)
        math(EXPR arg "${arg} * $ENV{LYRANT_TIMEOUT_SCALE}")
      endif()
      if(arg STREQUAL "TIMEOUT")
        set(scale_next TRUE)
      else()
        set(scale_next FALSE)
      endif()
      # Bracket quoting keeps lists (labels, locks) as one argument each.
      string(APPEND call " [==[${arg}]==]")
    endforeach()
    cmake_language(EVAL CODE "_set_tests_properties(${call})")
  endfunction()
endif()
