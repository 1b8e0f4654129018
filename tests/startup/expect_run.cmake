# Runs PROGRAM with the arguments after "--" and fails unless it exits with EXIT and its
# standard output and standard error match STDOUT and STDERR (regular expressions; a stream
# whose expression is not given is not checked).
#   cmake -DPROGRAM=... -DEXIT=0 -DSTDOUT=... -DSTDERR=... -P expect_run.cmake -- ARGS...
set(args)
set(after_separator FALSE)
math(EXPR last "${CMAKE_ARGC} - 1")
foreach(i RANGE ${last})
  if(after_separator)
    list(APPEND args "${CMAKE_ARGV${i}}")
  elseif(CMAKE_ARGV${i} STREQUAL "--")
    set(after_separator TRUE)
  endif()
endforeach()

# As over SSH or in a packaging script: no window system to connect to.
foreach(variable DISPLAY WAYLAND_DISPLAY QT_QPA_PLATFORM)
  unset(ENV{${variable}})
endforeach()

execute_process(COMMAND ${PROGRAM} ${args}
                RESULT_VARIABLE status OUTPUT_VARIABLE out ERROR_VARIABLE err)

set(faults)
if(NOT status STREQUAL EXIT)
  list(APPEND faults "exit status ${status}, expected ${EXIT}")
endif()
foreach(stream out err)
  string(TOUPPER "STD${stream}" expected)
  if(DEFINED ${expected} AND NOT ${stream} MATCHES "${${expected}}")
    list(APPEND faults "std${stream} does not match '${${expected}}'")
  endif()
endforeach()
if(faults)
  list(JOIN faults "\n  " faults)
  message(FATAL_ERROR "${PROGRAM} ${args}:\n  ${faults}\n"
                      "--- stdout:\n${out}--- stderr:\n${err}")
endif()
