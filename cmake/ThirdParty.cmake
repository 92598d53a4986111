# Header-only libraries from Debian's packages, usable in both trees. The
# Windows tree cannot put /usr/include on its search path (it would pick up
# glibc's headers), so it gets a private folder holding only a link to each
# library's own header folder.
set(KORVEX_THIRD_PARTY_INCLUDE ${CMAKE_BINARY_DIR}/third_party/include)
file(MAKE_DIRECTORY ${KORVEX_THIRD_PARTY_INCLUDE})
if(NOT EXISTS ${KORVEX_THIRD_PARTY_INCLUDE}/nlohmann)
  file(CREATE_LINK /usr/include/nlohmann ${KORVEX_THIRD_PARTY_INCLUDE}/nlohmann SYMBOLIC)
endif()

add_library(korvex_json INTERFACE)
target_include_directories(korvex_json SYSTEM INTERFACE ${KORVEX_THIRD_PARTY_INCLUDE})
