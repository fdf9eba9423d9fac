# Checks that Tandril.dll exports exactly the library's functions under the
# names Windows clients link by: decorated __stdcall names on 32-bit Windows,
# plain names on 64-bit. Run with -DOBJDUMP=<objdump> -DDLL=<file> -DBITS=32|64.
set(_names
  CloseHIDDevice 4 ConvertItemPath 8 EnumHIDDevices 8 GetItemByIndex 20 GetItemString 16
  GetItemValue 12 GetLastHIDError 0 GetManufacturerString 12 GetProductString 12
  GetSerialNumberString 12 OpenHIDDevice 4 SetEventHandler 12 SetEventNotificationMask 8
  SetItemValue 12 SetLastHIDError 4)
set(_expected "")
while(_names)
  list(POP_FRONT _names _name _bytes)
  if(BITS EQUAL 32)
    list(APPEND _expected "_${_name}@${_bytes}")
  else()
    list(APPEND _expected "${_name}")
  endif()
endwhile()

execute_process(COMMAND ${OBJDUMP} -p ${DLL} OUTPUT_VARIABLE _dump RESULT_VARIABLE _result)
if(NOT _result EQUAL 0)
  message(FATAL_ERROR "${OBJDUMP} -p ${DLL} failed")
endif()
# The export name table: lines "\t[   0] Name" after "[Ordinal/Name Pointer] Table".
string(FIND "${_dump}" "[Ordinal/Name Pointer] Table" _at)
if(_at LESS 0)
  message(FATAL_ERROR "${DLL} has no export name table")
endif()
string(SUBSTRING "${_dump}" ${_at} -1 _table)
string(FIND "${_table}" "\n\n" _end)  # the table ends at the first empty line
if(_end GREATER 0)
  string(SUBSTRING "${_table}" 0 ${_end} _table)
endif()
string(REGEX MATCHALL "\\[ *[0-9]+\\] [^\n]+" _entries "${_table}")
set(_actual "")
foreach(_entry ${_entries})
  string(REGEX REPLACE "^\\[ *[0-9]+\\] " "" _entry "${_entry}")
  list(APPEND _actual "${_entry}")
endforeach()
list(SORT _actual)
list(SORT _expected)
if(NOT _actual STREQUAL _expected)
  message(FATAL_ERROR "Tandril.dll exports\n  ${_actual}\nexpected\n  ${_expected}")
endif()
list(LENGTH _actual _count)
message(STATUS "Tandril.dll exports the ${_count} expected names")
