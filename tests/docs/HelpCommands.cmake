# Runs every glyphpack command that the help pages show (<pre> lines and
# <code> snippets that start with "glyphpack "), exactly as written, in a
# folder holding a copy of the program, and checks that each succeeds and
# that the program's archive then holds what the page says.
# cmake -DRUN=... -DTOOL=... -DPROGRAM=... -DPICTURE=... -DPAGES=... -DWORK=... -P this
# RUN is the emulator that starts a Windows program (may be empty).
file(REMOVE_RECURSE ${WORK})
file(MAKE_DIRECTORY ${WORK})
file(COPY ${PROGRAM} DESTINATION ${WORK})
# The user's own picture that the page adds.
file(COPY_FILE ${PICTURE} ${WORK}/my-main.jpg)

set(commands)
file(GLOB pages ${PAGES}/*.html)
foreach(page ${pages})
  file(READ ${page} html)
  string(REGEX MATCHALL "<pre>[^<]*</pre>|<code>glyphpack [^<]*</code>" shown "${html}")
  foreach(piece ${shown})
    string(REGEX REPLACE "</?(pre|code)>" "" piece "${piece}")
    string(REPLACE "&quot;" "\"" piece "${piece}")
    string(REPLACE "&lt;" "<" piece "${piece}")
    string(REPLACE "&gt;" ">" piece "${piece}")
    string(REPLACE "&amp;" "&" piece "${piece}")
    string(REPLACE "\n" ";" lines "${piece}")
    foreach(line ${lines})
      if(line MATCHES "^glyphpack ")
        list(APPEND commands "${line}")
      endif()
    endforeach()
  endforeach()
endforeach()
list(LENGTH commands count)
if(count LESS 4)
  message(FATAL_ERROR "the help pages show ${count} glyphpack commands; expected the skin page's four at least")
endif()

foreach(line ${commands})
  # Parsed as the Windows command line that a user types.
  separate_arguments(words WINDOWS_COMMAND "${line}")
  list(REMOVE_AT words 0)
  execute_process(COMMAND ${RUN} ${TOOL} ${words} WORKING_DIRECTORY ${WORK}
                  RESULT_VARIABLE rc OUTPUT_VARIABLE out ERROR_VARIABLE err)
  if(NOT rc EQUAL 0)
    message(FATAL_ERROR "${line}\nexit ${rc}\n${out}${err}")
  endif()
  message(STATUS "${line}: ok")
endforeach()

# What the page promises: the extracted picture lies under its entry name,
# and the program now carries the user's picture under that name.
if(NOT EXISTS ${WORK}/Skin/main.jpg)
  message(FATAL_ERROR "extract did not write Skin\\main.jpg")
endif()
execute_process(COMMAND ${RUN} ${TOOL} extract glyphsmith.exe -o check "Skin\\main.jpg" WORKING_DIRECTORY ${WORK}
                RESULT_VARIABLE rc OUTPUT_QUIET)
file(SHA256 ${WORK}/my-main.jpg want)
file(SHA256 ${WORK}/check/Skin/main.jpg got)
if(NOT rc EQUAL 0 OR NOT want STREQUAL got)
  message(FATAL_ERROR "the program does not carry my-main.jpg as Skin\\main.jpg")
endif()
