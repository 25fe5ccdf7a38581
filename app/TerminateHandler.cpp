#include <cstdlib>

// The library's default names the exception on a standard error that a
// windowed program lacks, and brings 75 KB of demangler; ending does the same.
namespace __gnu_cxx {
void __verbose_terminate_handler() {
    std::abort();
}
}  // namespace __gnu_cxx
