# Runs groff on the help source. Usage:
#   cmake -DGROFF=... -DSOURCE=Kwantel.ms -DOUTPUT=Kwantel.pdf -DVERSION=1.0.0 -P BuildHelp.cmake
# The PDF replaces OUTPUT only when groff succeeded without a warning, so a
# faulty source never leaves a half-written or silently broken document.

# gropdf stamps the document with SOURCE_DATE_EPOCH when it is set (and not 0).
# Default to the time of the last commit of the source, else its file time, so
# that the same source always gives the same bytes.
if(NOT "$ENV{SOURCE_DATE_EPOCH}" MATCHES "^[1-9][0-9]*$")
  get_filename_component(source_dir ${SOURCE} DIRECTORY)
  execute_process(COMMAND git log -1 --format=%ct -- ${SOURCE} WORKING_DIRECTORY ${source_dir}
                  OUTPUT_VARIABLE epoch OUTPUT_STRIP_TRAILING_WHITESPACE ERROR_QUIET)
  if(NOT epoch MATCHES "^[1-9][0-9]*$")
    file(TIMESTAMP ${SOURCE} epoch "%s" UTC)
  endif()
  set(ENV{SOURCE_DATE_EPOCH} ${epoch})
endif()

# -t: tables; -ww: every warning. A4 is fixed so that the page does not
# depend on the paper size the build machine prefers. The fonts are the
# standard PDF fonts, which every viewer has, so none is embedded.
execute_process(
  COMMAND ${GROFF} -ms -mpdf -t -ww -Tpdf -dpaper=a4 -P-pa4 -dKV=${VERSION} ${SOURCE}
  OUTPUT_FILE ${OUTPUT}.part
  ERROR_VARIABLE messages
  RESULT_VARIABLE status)
if(NOT status EQUAL 0 OR NOT messages STREQUAL "")
  file(REMOVE ${OUTPUT}.part)
  string(STRIP "${messages}" messages)
  message(FATAL_ERROR "groff could not build ${OUTPUT} from ${SOURCE} (status ${status}): ${messages}")
endif()
file(RENAME ${OUTPUT}.part ${OUTPUT})
