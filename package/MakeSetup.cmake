# cmake -DMAKENSIS=... -DVERSION=... -DOUTFILE=... -DSTAGE=... -DSCRIPT=... -P MakeSetup.cmake
# Runs makensis with the 64-bit libraries when they were staged.
set(args -V2 -DVERSION=${VERSION} -DOUTFILE=${OUTFILE} -DX86DIR=${STAGE}/x86)
if(EXISTS "${STAGE}/x64/QuopDuplicate.dll")
  list(APPEND args -DX64DIR=${STAGE}/x64)
endif()
execute_process(COMMAND "${MAKENSIS}" ${args} "${SCRIPT}" RESULT_VARIABLE rc)
if(NOT rc EQUAL 0)
  message(FATAL_ERROR "makensis failed (${rc})")
endif()
