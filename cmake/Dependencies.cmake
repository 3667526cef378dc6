# Third-party libraries built by scripts/build-deps.sh into a cache outside the tree.
if(NOT QUILL_DEPS_PREFIX OR NOT EXISTS "${QUILL_DEPS_PREFIX}/.complete")
  message(FATAL_ERROR "QUILL_DEPS_PREFIX must name a prefix made by scripts/build-deps.sh")
endif()
# Package locations are cached: after the prefix changes (a new build of the libraries) they
# would still name the old one, and the old headers beside the new archives build programs
# that break at run time (a library's classes laid out two ways). Forget those found elsewhere.
foreach(found_dir CURL_DIR GTest_DIR)
  string(FIND "${${found_dir}}" "${QUILL_DEPS_PREFIX}/" found_at)
  if(DEFINED ${found_dir} AND NOT found_at EQUAL 0)
    unset(${found_dir} CACHE)
  endif()
endforeach()
list(PREPEND CMAKE_FIND_ROOT_PATH "${QUILL_DEPS_PREFIX}")
list(PREPEND CMAKE_PREFIX_PATH "${QUILL_DEPS_PREFIX}")

find_package(CURL CONFIG REQUIRED)
# libcurl's system libraries that are not known DLLs are delay-loaded (see DelayLoad.cmake).
include(${CMAKE_CURRENT_LIST_DIR}/DelayLoad.cmake)
quill_delay_load(CURL::libcurl crypt32 bcrypt winmm)
find_package(GTest CONFIG REQUIRED)
set(ZLIB_USE_STATIC_LIBS ON)
find_package(ZLIB REQUIRED)

add_library(quill_tinyxml STATIC IMPORTED GLOBAL)
set_target_properties(quill_tinyxml PROPERTIES
  IMPORTED_LOCATION "${QUILL_DEPS_PREFIX}/lib/libtinyxml.a"
  INTERFACE_INCLUDE_DIRECTORIES "${QUILL_DEPS_PREFIX}/include")

add_library(quill_minizip STATIC IMPORTED GLOBAL)
set_target_properties(quill_minizip PROPERTIES
  IMPORTED_LOCATION "${QUILL_DEPS_PREFIX}/lib/libminizip.a"
  INTERFACE_INCLUDE_DIRECTORIES "${QUILL_DEPS_PREFIX}/include/minizip"
  INTERFACE_LINK_LIBRARIES ZLIB::ZLIB)

find_path(QUILL_STB_INCLUDE_DIR stb_image.h PATHS /usr/include/stb NO_CMAKE_FIND_ROOT_PATH REQUIRED)
add_library(quill_stb INTERFACE)
target_include_directories(quill_stb SYSTEM INTERFACE "${QUILL_STB_INCLUDE_DIR}")

set(QUILL_CURL_EXE "${QUILL_DEPS_PREFIX}/bin/curl.exe")
set(QUILL_MINIUNZ_EXE "${QUILL_DEPS_PREFIX}/bin/miniunz.exe")
