# The batch mode with an empty environment (no display, no runtime folder,
# no home): it must write both pictures and print nothing on standard error
# but its summary, and the pictures must be those of a run with the
# caller's environment, fonts and all.
#   cmake -DTESSARIN=... -DTABLE=... -DWORK=... -P batch_without_display.cmake
file(REMOVE_RECURSE "${WORK}")
file(MAKE_DIRECTORY "${WORK}/bare" "${WORK}/usual")

execute_process(COMMAND env -i "${TESSARIN}" --batch "${TABLE}" --image m.png --shepard s.png
                WORKING_DIRECTORY "${WORK}/bare"
                RESULT_VARIABLE status OUTPUT_VARIABLE output ERROR_VARIABLE errors)
if(NOT status EQUAL 0)
  message(FATAL_ERROR "exit status ${status}, standard error:\n${errors}")
endif()

string(REGEX REPLACE "\n$" "" errors_trimmed "${errors}")
string(REPLACE "\n" ";" error_lines "${errors_trimmed}")
set(keys)
foreach(line IN LISTS error_lines)
  if(NOT line MATCHES "^(items|generations|stress-1|fit): ")
    message(FATAL_ERROR "standard error holds more than the summary: '${line}'\n${errors}")
  endif()
  string(REGEX REPLACE ":.*" "" key "${line}")
  list(APPEND keys "${key}")
endforeach()
if(NOT keys STREQUAL "items;generations;stress-1;fit")
  message(FATAL_ERROR "the summary is not whole: ${keys}\n${errors}")
endif()
if(NOT output MATCHES "^[^\n]*\n1,")
  message(FATAL_ERROR "standard output is not the map:\n${output}")
endif()

foreach(picture m.png s.png)
  if(NOT EXISTS "${WORK}/bare/${picture}")
    message(FATAL_ERROR "${picture} was not written")
  endif()
  file(READ "${WORK}/bare/${picture}" signature LIMIT 8 HEX)
  if(NOT signature STREQUAL "89504e470d0a1a0a")
    message(FATAL_ERROR "${picture} is not a PNG file")
  endif()
endforeach()

execute_process(COMMAND "${TESSARIN}" --batch "${TABLE}" --image m.png --shepard s.png
                WORKING_DIRECTORY "${WORK}/usual"
                RESULT_VARIABLE status OUTPUT_QUIET ERROR_QUIET)
if(NOT status EQUAL 0)
  message(FATAL_ERROR "the run with the usual environment ended with ${status}")
endif()
foreach(picture m.png s.png)
  execute_process(COMMAND "${CMAKE_COMMAND}" -E compare_files "${WORK}/bare/${picture}" "${WORK}/usual/${picture}"
                  RESULT_VARIABLE different)
  if(different)
    message(FATAL_ERROR "${picture} differs from the one drawn with the usual environment")
  endif()
endforeach()
