#include <exception>
#include <new>

// The library's own versions of these bring some 90 KB of exception-text
// machinery; ours throw what the default error handler shows alike.
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
