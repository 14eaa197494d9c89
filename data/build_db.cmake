# Builds one database file from SQL text with the driver's shell.
#   cmake -DJETSQL=... -DGENDB=... -DOUT=file.mdb -DPARTS="a.sql|@labels|b.sql"
#         [-DLABELS="--printer|1-107|--system|2-510|--revision|0"]
#         [-DLARGE="--preset|large"] [-DMESSY="--depth|2000"] -P build_db.cmake
# PARTS are concatenated in order into OUT.sql; "@labels", "@large" and
# "@messy" stand for the output of gendb with LABELS, LARGE or MESSY. The database is rebuilt from
# scratch: an old file is removed first, and a failed build leaves none.
cmake_minimum_required(VERSION 3.25)
foreach(var JETSQL GENDB OUT PARTS)
  if(NOT DEFINED ${var})
    message(FATAL_ERROR "build_db.cmake: ${var} not set")
  endif()
endforeach()

# The concatenated script is kept (beside the database unless SCRIPT names
# another place) so that a failing statement can be looked up.
if(NOT DEFINED SCRIPT)
  set(SCRIPT "${OUT}.sql")
endif()
set(script "${SCRIPT}")
foreach(var PARTS LABELS LARGE MESSY)
  string(REPLACE "|" ";" ${var} "${${var}}")
endforeach()
file(WRITE "${script}" "")
foreach(part IN LISTS PARTS)
  if(part STREQUAL "@labels" OR part STREQUAL "@large" OR part STREQUAL "@messy")
    if(part STREQUAL "@labels")
      set(args labels ${LABELS})
    elseif(part STREQUAL "@large")
      set(args large ${LARGE})
    else()
      set(args messy ${MESSY})
    endif()
    execute_process(COMMAND "${GENDB}" ${args} OUTPUT_FILE "${script}.part" RESULT_VARIABLE rc)
    if(NOT rc EQUAL 0)
      message(FATAL_ERROR "gendb ${args} failed (${rc})")
    endif()
    file(READ "${script}.part" text)
    file(REMOVE "${script}.part")
  else()
    file(READ "${part}" text)
  endif()
  file(APPEND "${script}" "${text}\n")
endforeach()

file(REMOVE "${OUT}")
execute_process(COMMAND "${JETSQL}" --create "${OUT}" INPUT_FILE "${script}" RESULT_VARIABLE rc ERROR_VARIABLE err OUTPUT_QUIET)
if(NOT rc EQUAL 0)
  file(REMOVE "${OUT}")
  message(FATAL_ERROR "jetsql failed on ${script} (${rc}):\n${err}")
endif()
