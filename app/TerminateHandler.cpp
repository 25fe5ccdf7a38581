#include <cstdlib>

// An error that escapes every handler ends the program. The library's default
// for that case names the exception type on standard error, which a windowed
// program does not have, and it brings the symbol demangler and the printf
// family into the executable: some 75 KB of a setup program that people
// download. Ending at once does the same for the user.
namespace __gnu_cxx {
void __verbose_terminate_handler() {
    std::abort();
}
}  // namespace __gnu_cxx
