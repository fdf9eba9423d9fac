# Tandril.dll's exports: the module definition the linker gets, and on 32-bit
# Windows the import library. Included by hid_items/CMakeLists.txt on WIN32.
#
# 32-bit exports are __stdcall and go out under their decorated names,
# "_OpenHIDDevice@4". MinGW's i686 linker would write "OpenHIDDevice@4", so
# the module definition names each export and its symbol. The import library
# is made by dlltool so that a client compiled with tandril.h's prototypes
# (which reference "OpenHIDDevice@4") links to the decorated export.
# 64-bit Windows has one calling convention: the plain names.

# Each export with the bytes its arguments take on 32-bit Windows.
set(TANDRIL_EXPORTS
  EnumHIDDevices 8
  OpenHIDDevice 4
  CloseHIDDevice 4
  GetItemByIndex 20
  ConvertItemPath 8
  GetItemValue 12
  SetItemValue 12
  GetItemString 16
  SetEventHandler 12
  SetEventNotificationMask 8
  GetManufacturerString 12
  GetProductString 12
  GetSerialNumberString 12
  GetLastHIDError 0
  SetLastHIDError 4)

set(_link_def "LIBRARY Tandril.dll\nEXPORTS\n")
set(_import_def "LIBRARY Tandril.dll\nEXPORTS\n")
set(_names ${TANDRIL_EXPORTS})
while(_names)
  list(POP_FRONT _names _name _bytes)
  if(CMAKE_SIZEOF_VOID_P EQUAL 4)
    string(APPEND _link_def "  _${_name}@${_bytes} = ${_name}@${_bytes}\n")
    string(APPEND _import_def "  ${_name}@${_bytes} == _${_name}@${_bytes}\n")
  else()
    string(APPEND _link_def "  ${_name}\n")
  endif()
endwhile()
file(WRITE ${CMAKE_CURRENT_BINARY_DIR}/Tandril.def "${_link_def}")
target_sources(tandril PRIVATE ${CMAKE_CURRENT_BINARY_DIR}/Tandril.def)

set_target_properties(tandril PROPERTIES OUTPUT_NAME Tandril PREFIX "")

if(CMAKE_SIZEOF_VOID_P EQUAL 4)
  file(WRITE ${CMAKE_CURRENT_BINARY_DIR}/Tandril-import.def "${_import_def}")
  # Replaces the import library the linker wrote.
  add_custom_command(TARGET tandril POST_BUILD
    COMMAND ${CMAKE_DLLTOOL} -d ${CMAKE_CURRENT_BINARY_DIR}/Tandril-import.def
            -l $<TARGET_LINKER_FILE:tandril> -D Tandril.dll
    COMMENT "Import library of Tandril.dll for its decorated exports")
endif()

# The checks that need no running: the export table, and a C client linked
# through the import library. On 64-bit the client also runs (under the
# emulator when cross-compiling) against the simulated reader.
if(SUITE_TESTS)
  add_executable(tandril_c_client ${CMAKE_CURRENT_SOURCE_DIR}/windows/c_client.c)
  target_link_libraries(tandril_c_client PRIVATE tandril)
  suite_warnings(tandril_c_client)
  if(NOT CMAKE_OBJDUMP)
    find_program(CMAKE_OBJDUMP NAMES ${MINGW_TRIPLE}-objdump objdump)
  endif()
  math(EXPR _bits "${CMAKE_SIZEOF_VOID_P} * 8")
  add_test(NAME tandril_exports
    COMMAND ${CMAKE_COMMAND} -DOBJDUMP=${CMAKE_OBJDUMP} -DDLL=$<TARGET_FILE:tandril> -DBITS=${_bits}
            -P ${CMAKE_CURRENT_SOURCE_DIR}/windows/check_exports.cmake)
  set_tests_properties(tandril_exports PROPERTIES LABELS windows-static)
  if(CMAKE_CROSSCOMPILING_EMULATOR OR NOT CMAKE_CROSSCOMPILING)
    add_test(NAME tandril_c_client COMMAND tandril_c_client --expect-devices)
    set_tests_properties(tandril_c_client PROPERTIES ENVIRONMENT "HID_SIMULATION=reader")
  endif()
endif()
