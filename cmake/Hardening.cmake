# How every binary of the build is hardened, third-party code included:
#   - a stack protector on every function with an array or an address taken
#     (-fstack-protector-strong), its failure handler from MinGW-w64's libssp,
#     linked statically like the rest of the runtime;
#   - the C library's buffer calls checked where the compiler knows the
#     buffer's size (_FORTIFY_SOURCE=2, which MinGW-w64's headers implement
#     on top of libssp; it needs optimisation, which every preset has).
# ASLR with high entropy and DEP (DYNAMIC_BASE, HIGH_ENTROPY_VA, NX_COMPAT)
# are the defaults of MinGW-w64's linker for x86-64; the package test checks
# them on the shipped DLL.
add_compile_options(-fstack-protector-strong)
add_link_options(-fstack-protector-strong)
add_compile_definitions(_FORTIFY_SOURCE=2)

# The checked build (the "check" presets): undefined behaviour traps at once
# (GCC's trap mode needs no sanitizer runtime, which MinGW-w64 lacks, so the
# flag is given to the compiler only), and the C++ library checks its
# preconditions. -O1 keeps the traps close to the source.
option(USERDATA_CHECKED "Trap undefined behaviour and check the C++ library's preconditions" OFF)
if(USERDATA_CHECKED)
  add_compile_options(-O1 -fsanitize=undefined -fsanitize-undefined-trap-on-error)
  add_compile_definitions(_GLIBCXX_ASSERTIONS)
endif()
