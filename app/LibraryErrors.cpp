#include <exception>
#include <new>

// The standard library reports misuse (a string grown past its maximum, a
// position past its end) through these helpers. Its own versions build
// std::logic_error and its relatives, whose narrow message strings bring the
// library's whole string and exception-text machinery into the executable:
// some 90 KB of a setup program that people download. Ours throw what the
// default error handler shows the same way: the library's misuse as an
// unexpected error, and memory that cannot be had as "Out of memory".
namespace std {

void __throw_logic_error(const char*) {
    throw exception();
}

void __throw_length_error(const char*) {
    throw exception();
}

void __throw_out_of_range_fmt(const char*, ...) {
    throw exception();
}

void __throw_bad_alloc() {
    throw bad_alloc();
}

void __throw_bad_array_new_length() {
    throw bad_array_new_length();
}

}  // namespace std
