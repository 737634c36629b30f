// What the stub needs of the C++ runtime, without what it does not: the
// library's error paths throw, and throwing drags in the unwinder and the
// demangler (far more than the stub area holds). The stub is built without
// exceptions; a library error that would have thrown ends the program, as an
// uncaught exception would have.
#include <cstdlib>
#include <new>

namespace std {

[[noreturn]] void __throw_bad_alloc() {
    std::abort();
}
[[noreturn]] void __throw_bad_array_new_length() {
    std::abort();
}
[[noreturn]] void __throw_length_error(const char*) {
    std::abort();
}
[[noreturn]] void __throw_logic_error(const char*) {
    std::abort();
}
[[noreturn]] void __throw_out_of_range(const char*) {
    std::abort();
}
[[noreturn]] void __throw_out_of_range_fmt(const char*, ...) {
    std::abort();
}
[[noreturn]] void __throw_invalid_argument(const char*) {
    std::abort();
}
[[noreturn]] void __throw_bad_function_call() {
    std::abort();
}

}  // namespace std

// Allocation that ends the program when memory runs out, instead of throwing.
void* operator new(std::size_t size) {
    void* p = std::malloc(size != 0 ? size : 1);
    if (p == nullptr) std::abort();
    return p;
}
void* operator new[](std::size_t size) {
    return operator new(size);
}
void operator delete(void* p) noexcept {
    std::free(p);
}
void operator delete[](void* p) noexcept {
    std::free(p);
}
void operator delete(void* p, std::size_t) noexcept {
    std::free(p);
}
void operator delete[](void* p, std::size_t) noexcept {
    std::free(p);
}

// The start-up code of the C runtime calls these two. The library's versions
// bring error texts and a section walker along that the stub never needs:
// - the report of a failed math function (the stub calls none); 0 leaves it
//   to msvcrt's own handling (errno);
// - the fix-up of data imported from a DLL without a dllimport declaration
//   ("pseudo relocations"): the stub is linked with --disable-auto-import, so
//   it has none (the link fails otherwise), and there is nothing to fix.
extern "C" int _matherr(struct _exception*) {
    return 0;
}
extern "C" void _pei386_runtime_relocator() {}
