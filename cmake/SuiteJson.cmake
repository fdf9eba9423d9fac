# nlohmann-json, for every folder of the build: the simulated devices' files,
# and the --json output of hiditems and pelorin-cli. It is header-only, so a
# cross build uses the build machine's headers, seen through a folder of
# their own so that the rest of /usr/include stays out of the target's
# include path.
if(CMAKE_CROSSCOMPILING)
  find_path(SUITE_NLOHMANN_INCLUDE nlohmann/json.hpp PATHS /usr/include NO_CMAKE_FIND_ROOT_PATH REQUIRED)
  file(MAKE_DIRECTORY ${CMAKE_BINARY_DIR}/nlohmann-json)
  file(CREATE_LINK ${SUITE_NLOHMANN_INCLUDE}/nlohmann ${CMAKE_BINARY_DIR}/nlohmann-json/nlohmann SYMBOLIC)
  add_library(nlohmann_json::nlohmann_json INTERFACE IMPORTED GLOBAL)
  target_include_directories(nlohmann_json::nlohmann_json INTERFACE ${CMAKE_BINARY_DIR}/nlohmann-json)
else()
  find_package(nlohmann_json REQUIRED GLOBAL)
endif()
