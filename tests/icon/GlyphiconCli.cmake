# Runs the glyphicon tool on the sample files and checks what it prints,
# writes and returns. cmake -DRUN=... -DTOOL=... -DSAMPLES=... -DWORK=... -P this
# (RUN: the emulator that starts a Windows program, or empty).
file(REMOVE_RECURSE ${WORK})
execute_process(COMMAND ${RUN} ${SAMPLES} ${WORK} RESULT_VARIABLE rc)
if(NOT rc EQUAL 0)
  message(FATAL_ERROR "samples: ${rc}")
endif()

function(run expected_rc expected_out expected_err)
  execute_process(COMMAND ${RUN} ${TOOL} ${ARGN} WORKING_DIRECTORY ${WORK}
                  RESULT_VARIABLE rc OUTPUT_VARIABLE out ERROR_VARIABLE err)
  # A Windows console writes CRLF line ends.
  string(REPLACE "\r\n" "\n" out "${out}")
  string(REPLACE "\r\n" "\n" err "${err}")
  if(NOT rc EQUAL expected_rc)
    message(FATAL_ERROR "glyphicon ${ARGN}: exit ${rc}, expected ${expected_rc}\n${err}")
  endif()
  if(NOT out STREQUAL expected_out)
    message(FATAL_ERROR "glyphicon ${ARGN} printed:\n${out}expected:\n${expected_out}")
  endif()
  if(NOT err MATCHES "${expected_err}")
    message(FATAL_ERROR "glyphicon ${ARGN} stderr:\n${err}expected to match: ${expected_err}")
  endif()
endfunction()

# A missing file gets no count, only its reason (and the failing status).
run(1 "1\tgood.ico\n3\tgood-ne.exe\n0\theader-only.ico\n0\trsrc-loop.dll\n"
    "^glyphicon: header-only.ico: [^\n]+\nglyphicon: missing.dll: [^\n]+\nglyphicon: rsrc-loop.dll: [^\n]+\n$"
    count good.ico good-ne.exe header-only.ico missing.dll rsrc-loop.dll)
set(groups "0\tMAINICON\t16x16 4bpp, 32x32 8bpp\n1\t#3\t32x32 32bpp, 48x48 32bpp\n2\t#9\t32x32 1bpp\n")
run(0 "${groups}" "^$" list good-pe64.dll)
run(0 "${groups}" "^$" list good-ne.exe)
run(0 "0\t-\t32x32 4bpp, 16x16 24bpp\n" "^$" list good.ico)
run(0 "" "^$" extract good-pe32.exe 1 three.ico)
run(0 "0\t-\t32x32 32bpp, 48x48 32bpp\n" "^$" list three.ico)
run(0 "" "^$" extract good.ico 0 copy.ico)
file(SHA256 ${WORK}/good.ico a)
file(SHA256 ${WORK}/copy.ico b)
if(NOT a STREQUAL b)
  message(FATAL_ERROR "an icon file extracted from itself differs")
endif()
# Icon files as writers leave them read, and extract as clean files.
run(0 "1\twild.ico\n" "^$" count wild.ico)
run(0 "0\t-\t16x16 32bpp, 32x32 8bpp\n" "^$" list wild.ico)
run(0 "" "^$" extract wild.ico 0 wild-out.ico)
file(SHA256 ${WORK}/wild-clean.ico a)
file(SHA256 ${WORK}/wild-out.ico b)
if(NOT a STREQUAL b)
  message(FATAL_ERROR "an icon file as writers leave it does not extract as the clean file")
endif()
# A picture named like an icon is not taken for one.
set(picture "^glyphicon: png-picture.ico: a PNG picture, not an icon file\n$")
run(1 "0\tpng-picture.ico\n" "${picture}" count png-picture.ico)
run(1 "" "${picture}" list png-picture.ico)
run(1 "" "${picture}" extract png-picture.ico 0 none.ico)
run(1 "" "no icon 3" extract good-pe64.dll 3 none.ico)
run(1 "" "rsrc-loop.dll" extract rsrc-loop.dll 0 none.ico)
run(2 "" "not an icon index" extract good.ico -1 none.ico)
run(2 "" "usage" list)
run(1 "" "^glyphicon: missing.dll: [^\n]+\n$" count missing.dll)
# Asked for, the usage goes to stdout with success.
set(usage "usage: glyphicon count FILE...\n       glyphicon list FILE\n       glyphicon extract FILE INDEX OUT.ico\n"
          "       glyphicon info FILE\n"
          "       glyphicon make OUT.ico INPUT... [--sizes LIST] [--png-from N] [--bits 32|8|4] [--sharp]\n"
          "       glyphicon export FILE [INDEX] -o DIR\n")
string(CONCAT usage ${usage})
run(0 "${usage}" "^$" --help)
run(0 "${usage}" "^$" -h)
# Documents: info lists every image, export writes them as PNG files named
# by size, make refuses what cannot be made and writes nothing then.
run(0 "icon\tname\timage\tsize\tbits\tform\tbytes\n0\t-\t0\t32x32\t4\tBMP\t744\n0\t-\t1\t16x16\t24\tBMP\t872\n"
    "^$" info good.ico)
run(0 "32x32.png\n16x16.png\n" "^$" export good.ico -o pictures)
run(0 "" "^$" make made.ico pictures/32x32.png --sizes 16,32)
run(0 "0\t-\t32x32 32bpp, 16x16 32bpp\n" "^$" list made.ico)
run(2 "" "--sizes: 300 is out of range" make none.ico good.ico --sizes 16,300)
run(2 "" "--bits: \"24\" is not 32, 8 or 4" make none.ico good.ico --bits 24)
run(2 "" "--size: no such option" make none.ico good.ico --size 16)
run(1 "" "^glyphicon: missing.png: [^\n]+\n$" make none.ico missing.png)
run(1 "" "rsrc-loop.dll" make none.ico rsrc-loop.dll)
run(2 "" "usage" export good.ico)
if(EXISTS ${WORK}/none.ico)
  message(FATAL_ERROR "a failed extraction wrote a file")
endif()
