# Cross-compiling the core, the control runner and their tests for macOS with Zig, which carries
# macOS's libc headers and libSystem stubs (but no Apple frameworks). Used by cross_check.sh, which
# makes the compiler wrappers in QUORVEL_CROSS_BIN and the package root in QUORVEL_CROSS_ROOT.
set(CMAKE_SYSTEM_NAME Darwin)
set(CMAKE_SYSTEM_VERSION 22.0)  # macOS 13
set(CMAKE_C_COMPILER ${QUORVEL_CROSS_BIN}/cc)
set(CMAKE_CXX_COMPILER ${QUORVEL_CROSS_BIN}/c++)
set(CMAKE_AR ${QUORVEL_CROSS_BIN}/ar CACHE FILEPATH "")
set(CMAKE_RANLIB ${QUORVEL_CROSS_BIN}/ranlib CACHE FILEPATH "")
# Nothing is installed from this build, so install names are never rewritten.
set(CMAKE_INSTALL_NAME_TOOL /usr/bin/true CACHE FILEPATH "")
# The target and its minimum system come from the wrappers' -target; no SDK is looked for.
set(CMAKE_OSX_SYSROOT "" CACHE PATH "")
set(CMAKE_OSX_ARCHITECTURES "" CACHE STRING "")

# Packages only from the prepared root (nlohmann/json's headers alone), never the host's /usr.
set(CMAKE_FIND_ROOT_PATH ${QUORVEL_CROSS_ROOT})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# The test programs cannot run here: list their tests when ctest runs them, on a Mac.
set(CMAKE_GTEST_DISCOVER_TESTS_DISCOVERY_MODE PRE_TEST)
