# cmake -DSTRIP64=... -DFROM=<64-bit bin> -DTO=<stage/x64> -P Stage64.cmake
# Copies the 64-bit libraries without their debugging information, or
# leaves no x64 folder when they are not built.
file(REMOVE_RECURSE "${TO}")
if(STRIP64 AND EXISTS "${FROM}/QuopDuplicate.dll" AND EXISTS "${FROM}/QuopDB.dll")
  file(MAKE_DIRECTORY "${TO}")
  foreach(dll QuopDuplicate.dll QuopDB.dll)
    execute_process(COMMAND "${STRIP64}" -o "${TO}/${dll}" "${FROM}/${dll}" RESULT_VARIABLE rc)
    if(NOT rc EQUAL 0)
      message(FATAL_ERROR "cannot strip ${FROM}/${dll}")
    endif()
  endforeach()
endif()
