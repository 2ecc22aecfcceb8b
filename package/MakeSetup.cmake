# cmake -DMAKENSIS=... -DVERSION=... -DOUTFILE=... -DSTAGE=... -DSCRIPT=... [-DAMD64=ON] -P MakeSetup.cmake
# Runs makensis over the libraries staged in STAGE/x86 and STAGE/x64; AMD64
# makes a 64-bit setup program.
set(args -V2 -DVERSION=${VERSION} -DOUTFILE=${OUTFILE})
if(AMD64)
  list(APPEND args -DAMD64)
elseif(EXISTS "${STAGE}/x86/QuopDuplicate.dll")
  list(APPEND args -DX86DIR=${STAGE}/x86)
endif()
if(EXISTS "${STAGE}/x64/QuopDuplicate.dll")
  list(APPEND args -DX64DIR=${STAGE}/x64)
endif()
execute_process(COMMAND "${MAKENSIS}" ${args} "${SCRIPT}" RESULT_VARIABLE rc)
if(NOT rc EQUAL 0)
  message(FATAL_ERROR "makensis failed (${rc})")
endif()
