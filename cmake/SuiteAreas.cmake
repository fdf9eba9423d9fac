# suite_add_areas(): adds every subfolder of the current folder that has a
# CMakeLists.txt. bench/, tests/ and tools/ keep one folder per area.
function(suite_add_areas)
  file(GLOB _areas LIST_DIRECTORIES true ${CMAKE_CURRENT_SOURCE_DIR}/*)
  foreach(_area ${_areas})
    if(IS_DIRECTORY ${_area} AND EXISTS ${_area}/CMakeLists.txt)
      add_subdirectory(${_area})
    endif()
  endforeach()
endfunction()
