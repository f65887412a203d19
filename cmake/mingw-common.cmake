# The POSIX thread model: GoogleTest needs std::mutex, which the win32 model's
# libstdc++ lacks. The hook library uses no C++ runtime, so it is unaffected.
set(ZENTROVA_MINGW_TRIPLE ${CMAKE_SYSTEM_PROCESSOR}-w64-mingw32)
set(CMAKE_C_COMPILER ${ZENTROVA_MINGW_TRIPLE}-gcc-posix)
set(CMAKE_CXX_COMPILER ${ZENTROVA_MINGW_TRIPLE}-g++-posix)
set(CMAKE_RC_COMPILER ${ZENTROVA_MINGW_TRIPLE}-windres)
set(CMAKE_FIND_ROOT_PATH /usr/${ZENTROVA_MINGW_TRIPLE})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
