# The MinGW builds of libiconv, libxml2 and GoogleTest that scripts/setup.sh caches.
if(DEFINED ENV{VEXLO_CACHE})
  set(VEXLO_DEPS_DEFAULT "$ENV{VEXLO_CACHE}/deps")
else()
  set(VEXLO_DEPS_DEFAULT "/var/cache/vexlo/deps")
endif()
set(VEXLO_DEPS_DIR "${VEXLO_DEPS_DEFAULT}" CACHE PATH "Prefix of the MinGW dependencies")
if(NOT EXISTS "${VEXLO_DEPS_DIR}/lib/libxml2.a")
  message(FATAL_ERROR "No dependencies in ${VEXLO_DEPS_DIR}: run scripts/setup.sh first")
endif()
list(APPEND CMAKE_FIND_ROOT_PATH "${VEXLO_DEPS_DIR}")

add_library(Vexlo::iconv STATIC IMPORTED)
set_target_properties(Vexlo::iconv PROPERTIES
  IMPORTED_LOCATION "${VEXLO_DEPS_DIR}/lib/libiconv.a"
  INTERFACE_INCLUDE_DIRECTORIES "${VEXLO_DEPS_DIR}/include")

add_library(Vexlo::xml2 STATIC IMPORTED)
set_target_properties(Vexlo::xml2 PROPERTIES
  IMPORTED_LOCATION "${VEXLO_DEPS_DIR}/lib/libxml2.a"
  INTERFACE_INCLUDE_DIRECTORIES "${VEXLO_DEPS_DIR}/include/libxml2"
  INTERFACE_COMPILE_DEFINITIONS LIBXML_STATIC
  INTERFACE_LINK_LIBRARIES "Vexlo::iconv;ws2_32")

find_package(GTest 1.12 CONFIG QUIET PATHS "${VEXLO_DEPS_DIR}" NO_DEFAULT_PATH)
