# Checks that libhidhost exports exactly the names in the expected list: the
# layer's own names (namespaces hid and hidhost), without argument lists, as
# the C++ demangler prints them. Lines of the list that start with "elf:" or
# "pe:" hold only for that kind of library. Run with -DLIBRARY=<file>
# -DEXPECTED=<list> -DKIND=elf|pe and -DNM=<nm> (elf) or -DOBJDUMP=<objdump>
# -DCXXFILT=<c++filt> (pe).
include(${CMAKE_CURRENT_LIST_DIR}/../../cmake/SuitePeExports.cmake)

if(KIND STREQUAL "elf")
  execute_process(COMMAND ${NM} -D --defined-only -C ${LIBRARY}
                  OUTPUT_VARIABLE _dump RESULT_VARIABLE _result)
  if(NOT _result EQUAL 0)
    message(FATAL_ERROR "${NM} -D ${LIBRARY} failed")
  endif()
  # "0000000000012345 T name(arguments)"
  string(REGEX REPLACE "(^|\n)[0-9a-f]* *[A-Za-z] " "\\1" _dump "${_dump}")
else()
  suite_pe_export_names(${OBJDUMP} ${LIBRARY} _entries)
  set(_mangled "")
  foreach(_entry ${_entries})
    string(APPEND _mangled "${_entry}\n")
  endforeach()
  file(WRITE ${CMAKE_CURRENT_BINARY_DIR}/hidhost_exports_mangled.txt "${_mangled}")
  # -n: the names have no leading underscore to strip, on 32-bit Windows too.
  execute_process(COMMAND ${CXXFILT} -n INPUT_FILE ${CMAKE_CURRENT_BINARY_DIR}/hidhost_exports_mangled.txt
                  OUTPUT_VARIABLE _dump RESULT_VARIABLE _result)
  if(NOT _result EQUAL 0)
    message(FATAL_ERROR "${CXXFILT} failed")
  endif()
endif()

string(REPLACE ";" "," _dump "${_dump}")
string(REPLACE "\n" ";" _lines "${_dump}")
set(_actual "")
foreach(_line ${_lines})
  string(REGEX REPLACE "^non-virtual thunk to " "" _line "${_line}")
  string(REGEX REPLACE "\\[abi:cxx11\\]" "" _line "${_line}")
  string(REGEX REPLACE "\\(.*$" "" _line "${_line}")
  if(_line MATCHES "^((vtable|typeinfo|typeinfo name) for )?(hid|hidhost)::")
    list(APPEND _actual "${_line}")
  endif()
endforeach()
list(REMOVE_DUPLICATES _actual)
list(SORT _actual)

file(STRINGS ${EXPECTED} _listed)
set(_expected "")
foreach(_line ${_listed})
  if(_line STREQUAL "" OR _line MATCHES "^#")
    continue()
  endif()
  if(_line MATCHES "^(elf|pe): (.*)$")
    if(NOT CMAKE_MATCH_1 STREQUAL KIND)
      continue()
    endif()
    set(_line "${CMAKE_MATCH_2}")
  endif()
  list(APPEND _expected "${_line}")
endforeach()
list(SORT _expected)

set(_extra ${_actual})
list(REMOVE_ITEM _extra ${_expected})
set(_missing ${_expected})
list(REMOVE_ITEM _missing ${_actual})
if(_extra OR _missing)
  list(JOIN _extra "\n  " _extra)
  list(JOIN _missing "\n  " _missing)
  message(FATAL_ERROR "${LIBRARY}: exported but not listed:\n  ${_extra}\nlisted but not exported:\n  ${_missing}")
endif()
list(LENGTH _actual _count)
message(STATUS "${LIBRARY} exports the ${_count} listed names")
