// The printf family of the stub goes to the system's msvcrt.dll. The C++
// library makes every printf call mingw's own implementation (with its
// floating-point formatting, some 20 KB); the stub prints only numbers and
// texts, which msvcrt formats alike. This file includes no header, so that
// the names below are msvcrt's and not the library's inline wrappers (and
// size_t is the compiler's own __SIZE_TYPE__: 32 bits on i686).

extern "C" {

int vfprintf(void* stream, const char* format, __builtin_va_list args);
int _vsnprintf(char* buffer, __SIZE_TYPE__ size, const char* format, __builtin_va_list args);

int __mingw_vfprintf(void* stream, const char* format, __builtin_va_list args) {
    return vfprintf(stream, format, args);
}

// C99 behaviour on top of msvcrt's: the text is always terminated, and a
// text that did not fit is cut.
int __mingw_vsnprintf(char* buffer, __SIZE_TYPE__ size, const char* format,
                      __builtin_va_list args) {
    const int n = _vsnprintf(buffer, size, format, args);
    if (size != 0 && (n < 0 || static_cast<__SIZE_TYPE__>(n) >= size)) {
        buffer[size - 1] = '\0';
    }
    return n;
}

}  // extern "C"
