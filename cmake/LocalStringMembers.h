// Included before every source of the installer. The library declares its
// string classes as instantiated inside itself, so the first use of any member
// of std::wstring links the library's whole instantiation of it, every member
// at once. Its own setting for builds with assertions (-1) drops that
// declaration for the string classes alone: each member is then compiled
// where it is used, and only what is used is linked.
#include <bits/c++config.h>
#undef _GLIBCXX_EXTERN_TEMPLATE
#define _GLIBCXX_EXTERN_TEMPLATE -1
