# Compiler flags shared by every configuration. Floating point must give the
# same bits on Linux and Windows: no contraction into fused multiply-adds,
# no fast-math, no host-specific instruction sets.
add_compile_options(-Wall -Wextra -ffp-contract=off -fno-fast-math)

option(CW_SANITIZE "Build with AddressSanitizer and UndefinedBehaviorSanitizer" OFF)
if(CW_SANITIZE)
  add_compile_options(-fsanitize=address,undefined -fno-sanitize-recover=all -fno-omit-frame-pointer)
  add_link_options(-fsanitize=address,undefined)
endif()

option(CW_FUZZ "Build the libFuzzer targets (clang only)" OFF)
if(CW_FUZZ)
  add_compile_options(-fsanitize=fuzzer-no-link)
endif()

if(WIN32)
  # Static executables that run on a bare Windows (or Wine) without MinGW DLLs.
  add_link_options(-static -static-libgcc -static-libstdc++)
  add_compile_definitions(WIN32_LEAN_AND_MEAN NOMINMAX _WIN32_WINNT=0x0601)
endif()
