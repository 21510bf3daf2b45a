# libcurl for the Windows program: the static Schannel build that
# scripts/build-curl.sh installs into the checkout's cache for the target
# architecture, or on Windows itself any libcurl 7.88 found under
# TESSEL_CURL_PREFIX.
set(TESSEL_CURL_PREFIX "${CMAKE_SOURCE_DIR}/.cache/curl-${CMAKE_SYSTEM_PROCESSOR}" CACHE PATH
    "libcurl install prefix")
find_package(CURL 7.88 CONFIG QUIET PATHS "${TESSEL_CURL_PREFIX}" NO_DEFAULT_PATH)
if(NOT CURL_FOUND)
  list(PREPEND CMAKE_PREFIX_PATH "${TESSEL_CURL_PREFIX}")
  find_package(CURL 7.88 REQUIRED MODULE)
endif()
