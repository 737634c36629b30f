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
