# Installs the udev rule's component under the prefix /usr/local into a staging root and
# checks that the udev rule lands in udev's own rules folder, where udev
# reads it, and nowhere under the prefix.
# Takes -D BINARY_DIR=<build tree> -D RULES_DIR=<udev rules folder> -D STAGE=<scratch folder>.
file(REMOVE_RECURSE ${STAGE})
execute_process(
  COMMAND ${CMAKE_COMMAND} -E env DESTDIR=${STAGE}
          ${CMAKE_COMMAND} --install ${BINARY_DIR} --component common --prefix /usr/local
  RESULT_VARIABLE result
  OUTPUT_QUIET)
if(NOT result EQUAL 0)
  message(FATAL_ERROR "cmake --install failed: ${result}")
endif()
if(NOT EXISTS ${STAGE}${RULES_DIR}/70-card-readers.rules)
  message(FATAL_ERROR "the udev rule is not in ${RULES_DIR}")
endif()
file(GLOB_RECURSE stray ${STAGE}/usr/local/*.rules)
if(stray)
  message(FATAL_ERROR "a udev rule is under the prefix: ${stray}")
endif()
file(REMOVE_RECURSE ${STAGE})
