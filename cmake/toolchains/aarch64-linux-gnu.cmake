# Cross-builds 64-bit Arm Linux binaries with Debian's cross compiler, and runs them under
# qemu's user-mode emulation when tests or try_run need to execute them. With no binfmt
# registration on the build machine, every arm64 program is started through the emulator.
set(CMAKE_SYSTEM_NAME Linux)
set(CMAKE_SYSTEM_PROCESSOR aarch64)

set(cross_triplet aarch64-linux-gnu)
set(CMAKE_C_COMPILER ${cross_triplet}-gcc)
set(CMAKE_CXX_COMPILER ${cross_triplet}-g++)

# Libraries and headers come from the cross environment only; programs from the build machine.
set(cross_root /usr/${cross_triplet})
set(CMAKE_FIND_ROOT_PATH ${cross_root})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# -L: the arm64 dynamic loader and C library of the cross environment.
set(CMAKE_CROSSCOMPILING_EMULATOR qemu-aarch64 -L ${cross_root})
