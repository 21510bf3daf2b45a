# 64-bit Windows (PE32+, x86_64): the console for 64-bit builds of
# Tessel.dll. Tests run under 64-bit Wine.
set(CMAKE_SYSTEM_PROCESSOR x86_64)
set(TESSEL_MINGW_PREFIX x86_64-w64-mingw32)
set(TESSEL_WINE_ARCH win64)
include(${CMAKE_CURRENT_LIST_DIR}/TesselMingwToolchain.cmake)
