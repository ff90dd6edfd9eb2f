// The errors that the C++ library's containers and strings raise (too long,
// out of range, out of memory), thrown as one small exception type of this
// program. The library's own versions carry their message in a reference-
// counted string whose code (some 45 KB with everything it brings along)
// would otherwise come into the exe for failures that never happen in
// practice. A handler that meets one still fails as a std::exception does.
#include <cstddef>
#include <exception>
#include <new>

namespace {

struct LibraryError : std::exception {
    explicit LibraryError(const char* what) : what_(what) {}
    const char* what() const noexcept override { return what_; }

private:
    const char* what_;  // the library passes a string literal
};

}  // namespace

#ifdef __GLIBCXX__
namespace std {
void __throw_bad_alloc() { throw std::bad_alloc(); }
void __throw_bad_array_new_length() { throw std::bad_array_new_length(); }
void __throw_logic_error(const char* what) { throw LibraryError(what); }
void __throw_length_error(const char* what) { throw LibraryError(what); }
void __throw_out_of_range_fmt(const char* format, ...) { throw LibraryError(format); }
}  // namespace std
#endif
