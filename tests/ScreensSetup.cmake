# Prepares the screenshots_render test: a fresh root seeded with the example
# scenario and pesticide, and a copy of the example's golden run in a folder
# named as the run command names it (RUNS/<scenario>+<pesticide>), outside
# that root.  The root's RUNS folder already holds an empty folder of that
# name, as a run saved but never run leaves it: the tool must show the run
# it is given, not that folder.
#   cmake -DSOURCE_DIR=... -DRUN=... -DROOT=... -P ScreensSetup.cmake
foreach(var SOURCE_DIR RUN ROOT)
  if(NOT ${var})
    message(FATAL_ERROR "ScreensSetup.cmake needs -D${var}=...")
  endif()
endforeach()
file(REMOVE_RECURSE "${ROOT}" "${RUN}")
file(MAKE_DIRECTORY "${ROOT}/SCENARIOS" "${ROOT}/PESTICIDES" "${ROOT}/RUNS/NLStandard_sp+Cpf")
file(COPY "${SOURCE_DIR}/examples/SCENARIOS/NLStandard_sp" DESTINATION "${ROOT}/SCENARIOS")
file(COPY "${SOURCE_DIR}/examples/PESTICIDES/Cpf" DESTINATION "${ROOT}/PESTICIDES")
file(MAKE_DIRECTORY "${RUN}")
file(GLOB golden "${SOURCE_DIR}/tests/data/kernel/golden/example/expected/*")
file(COPY ${golden} DESTINATION "${RUN}")
