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

include(${CMAKE_CURRENT_LIST_DIR}/../../cmake/SuitePeExports.cmake)
suite_pe_export_names(${OBJDUMP} ${DLL} _actual)
list(SORT _actual)
list(SORT _expected)
if(NOT _actual STREQUAL _expected)
  message(FATAL_ERROR "Tandril.dll exports\n  ${_actual}\nexpected\n  ${_expected}")
endif()
list(LENGTH _actual _count)
message(STATUS "Tandril.dll exports the ${_count} expected names")
