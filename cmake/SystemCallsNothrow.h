// Included before every source of the installer. No C++ exception ever passes
// through a function of Windows: its frames carry no unwind tables that this
// toolchain's unwinder reads, so one that left a window procedure of ours
// would end the program there. Declared as not throwing, the functions that
// Windows' headers declare as imported need no clean-up around their calls.
#define DECLSPEC_IMPORT __declspec(dllimport) __attribute__((nothrow))
