/* The load row's second baseline: a DLL linked by the same toolchain, with
   MinGW-w64's C runtime and its start-up, and no code of its own. */
typedef int udbench_runtime_only;
