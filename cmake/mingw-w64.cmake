# Cross-compiling for Windows with Debian's mingw-w64 (the posix threading flavour, for
# std::thread and std::mutex). QORBGL_WINDOWS_ARCH picks the target: i686 (the 32-bit program
# the users run, the default) or x86_64 (what this machine's Wine runs the tests as).
set(CMAKE_SYSTEM_NAME Windows)
if(NOT QORBGL_WINDOWS_ARCH)
  set(QORBGL_WINDOWS_ARCH i686)
endif()
set(CMAKE_SYSTEM_PROCESSOR ${QORBGL_WINDOWS_ARCH})
set(triple ${QORBGL_WINDOWS_ARCH}-w64-mingw32)
set(CMAKE_C_COMPILER ${triple}-gcc-posix)
set(CMAKE_CXX_COMPILER ${triple}-g++-posix)
set(CMAKE_RC_COMPILER ${triple}-windres)
set(CMAKE_FIND_ROOT_PATH /usr/${triple})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)
# One file a program: the compiler's own libraries linked in, no DLL beside it.
set(CMAKE_EXE_LINKER_FLAGS_INIT "-static")
# The programs handed to users carry no symbols: a small download, as the community expects.
set(CMAKE_EXE_LINKER_FLAGS_RELEASE_INIT "-s")
