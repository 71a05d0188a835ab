# Runs every glyphpack and glyphicon command that the help pages show
# (<pre> lines and <code> snippets that start with the tool's name),
# exactly as written, in a folder holding a copy of the program, and checks
# that each succeeds and that the files then hold what the pages say.
# cmake -DRUN=... -DTOOL=... -DICONTOOL=... -DPROGRAM=... -DPICTURE=... -DPAGES=... -DWORK=... -P this
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
      if(line MATCHES "^(glyphpack|glyphicon) ")
        list(APPEND commands "${line}")
      endif()
    endforeach()
  endforeach()
endforeach()
list(LENGTH commands count)
if(count LESS 12)
  message(FATAL_ERROR "the help pages show ${count} commands; expected the skin page's four and the command-line page's eight at least")
endif()

foreach(line ${commands})
  # Parsed as the Windows command line that a user types.
  separate_arguments(words WINDOWS_COMMAND "${line}")
  list(POP_FRONT words name)
  set(tool ${TOOL})
  if(name STREQUAL "glyphicon")
    set(tool ${ICONTOOL})
  endif()
  execute_process(COMMAND ${RUN} ${tool} ${words} WORKING_DIRECTORY ${WORK}
                  RESULT_VARIABLE rc OUTPUT_VARIABLE out ERROR_VARIABLE err)
  if(NOT rc EQUAL 0)
    message(FATAL_ERROR "${line}\nexit ${rc}\n${out}${err}")
  endif()
  message(STATUS "${line}: ok")
  if(line STREQUAL "glyphicon info big.ico")
    set(big_info "${out}")
  endif()
endforeach()

# The command-line page's icons: six sizes, the 256 stored as PNG; the
# small icon at 4 bits.
string(REGEX MATCHALL "\n[0-9]+\t[^\n]*" big_rows "${big_info}")
list(LENGTH big_rows big_count)
if(NOT big_count EQUAL 6 OR NOT big_info MATCHES "256x256\t32\tPNG")
  message(FATAL_ERROR "big.ico is not the six sizes the page says:\n${big_info}")
endif()
execute_process(COMMAND ${RUN} ${ICONTOOL} info small.ico WORKING_DIRECTORY ${WORK} OUTPUT_VARIABLE small_info)
if(NOT small_info MATCHES "16x16\t4\tBMP" OR NOT small_info MATCHES "32x32\t4\tBMP")
  message(FATAL_ERROR "small.ico is not the 4-bit 16 and 32 the page says:\n${small_info}")
endif()

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
