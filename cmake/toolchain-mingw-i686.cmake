# 32-bit Windows (PE32, i686): the console as specified, for the 32-bit
# Tessel.dll. Tests run under 32-bit Wine.
set(CMAKE_SYSTEM_PROCESSOR i686)
set(TESSEL_MINGW_PREFIX i686-w64-mingw32)
set(TESSEL_WINE_ARCH win32)
include(${CMAKE_CURRENT_LIST_DIR}/TesselMingwToolchain.cmake)
