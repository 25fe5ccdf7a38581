// The C start-up code applies the linker's pseudo-relocations (data that a
// DLL exports, imported as if it were the program's own) before main. The
// installer links statically and has none, which its link asserts
// (NoPseudoRelocations.ld), so this stands in for the routine that would
// walk that empty list: 2.5 KB with the section lookups it brings along.
extern "C" void _pei386_runtime_relocator() {}
