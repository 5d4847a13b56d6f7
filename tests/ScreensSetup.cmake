# Prepares and checks the screenshots_render test.
#
# Prepare: a fresh root seeded with the example scenario and pesticide, and a
# copy of the example's golden run outside that root, in a folder named as
# the run command names it (RUNS/<scenario>+<pesticide>), the name the tool's
# own scratch runs also use.  The checksum of every file of the run goes to
# RUN.sha256 beside it.
#   cmake -DSOURCE_DIR=... -DRUN=... -DROOT=... -P ScreensSetup.cmake
# With -DCUT=ON the run's wlsoco.out is cut in the middle of a line.
# Check: the run folder holds the same files with the same checksums, so the
# tool wrote nothing into the run it was given.
#   cmake -DRUN=... -DCHECK=ON -P ScreensSetup.cmake

# Every entry of the folder, one a line: "dir NAME" or "file NAME SHA256".
function(run_manifest dir out)
  file(GLOB_RECURSE entries LIST_DIRECTORIES true RELATIVE "${dir}" "${dir}/*")
  list(SORT entries)
  set(lines "")
  foreach(entry IN LISTS entries)
    if(IS_DIRECTORY "${dir}/${entry}")
      string(APPEND lines "dir ${entry}\n")
    else()
      file(SHA256 "${dir}/${entry}" sum)
      string(APPEND lines "file ${entry} ${sum}\n")
    endif()
  endforeach()
  set(${out} "${lines}" PARENT_SCOPE)
endfunction()

if(NOT RUN)
  message(FATAL_ERROR "ScreensSetup.cmake needs -DRUN=...")
endif()

if(CHECK)
  file(READ "${RUN}.sha256" before)
  run_manifest("${RUN}" after)
  if(NOT before STREQUAL after)
    message(FATAL_ERROR "The screenshot tool changed the run folder ${RUN}\n"
                        "before:\n${before}after:\n${after}")
  endif()
  return()
endif()

foreach(var SOURCE_DIR ROOT)
  if(NOT ${var})
    message(FATAL_ERROR "ScreensSetup.cmake needs -D${var}=...")
  endif()
endforeach()
file(REMOVE_RECURSE "${ROOT}" "${RUN}")
file(MAKE_DIRECTORY "${ROOT}/SCENARIOS" "${ROOT}/PESTICIDES")
file(COPY "${SOURCE_DIR}/examples/SCENARIOS/NLStandard_sp" DESTINATION "${ROOT}/SCENARIOS")
file(COPY "${SOURCE_DIR}/examples/PESTICIDES/Cpf" DESTINATION "${ROOT}/PESTICIDES")
file(MAKE_DIRECTORY "${RUN}")
file(GLOB golden "${SOURCE_DIR}/tests/data/kernel/golden/example/expected/*")
file(COPY ${golden} DESTINATION "${RUN}")
if(CUT)
  file(SIZE "${RUN}/wlsoco.out" size)
  math(EXPR half "${size} / 2")
  file(READ "${RUN}/wlsoco.out" text LIMIT ${half})
  file(WRITE "${RUN}/wlsoco.out" "${text}")
endif()
run_manifest("${RUN}" manifest)
file(WRITE "${RUN}.sha256" "${manifest}")
