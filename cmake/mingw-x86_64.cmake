# 64-bit Windows with mingw-w64 (posix threads): the same program, built only
# so that its tests can run under 64-bit Wine on a machine whose kernel cannot
# run 32-bit programs (and so cannot start 32-bit Wine).
set(CMAKE_SYSTEM_PROCESSOR x86_64)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-w64.cmake)
