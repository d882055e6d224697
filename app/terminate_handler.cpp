// What the process does when an exception escapes: it ends at once. The C++
// runtime's own handler would print the exception's type name, demangled, to
// a console that the setup does not have, and linking it would bring the
// whole demangler (some 45 KB) into the executable.
//
// Nothing in the setup catches an exception, so the standard library's
// reports of a broken precondition (a string grown beyond its largest size,
// an index out of range, an empty function called) end the process here as
// well, without making the exception first. The runtime's versions of these
// functions build exception objects that carry their message in a string of
// the old reference-counted kind, and linking them would bring two full sets
// of string code (some 40 KB) along.
//
// Every such end is std::abort, which the runtime's std::terminate would
// reach through the handler below as well; calling it directly spares the
// runtime's terminate, which catches what its handler throws and so brings
// the exception personality and the unwinder along.
#include <cstdlib>
#include <exception>
#include <new>

// The runtime's record of the exceptions in flight, which it keeps per
// thread in emulated thread storage that needs its thread library (some
// 25 KB). In this program an exception is never caught: the first one ends
// the process, so one record for all threads does. Its layout is the
// runtime's: the exceptions being handled, and how many are not caught yet.
namespace {

struct ExceptionsInFlight {
    void* caughtExceptions = nullptr;
    unsigned int uncaughtExceptions = 0;
};
ExceptionsInFlight exceptionsInFlight;

}  // namespace

namespace __cxxabiv1 {

extern "C" void* __cxa_get_globals() noexcept { return &exceptionsInFlight; }
extern "C" void* __cxa_get_globals_fast() noexcept { return &exceptionsInFlight; }

}  // namespace __cxxabiv1

namespace __gnu_cxx {

void __verbose_terminate_handler() { std::abort(); }

}  // namespace __gnu_cxx

namespace std {

void __throw_bad_exception() { std::abort(); }
void __throw_bad_alloc() { std::abort(); }
void __throw_bad_array_new_length() { std::abort(); }
void __throw_bad_cast() { std::abort(); }
void __throw_bad_typeid() { std::abort(); }
void __throw_bad_function_call() { std::abort(); }
void __throw_logic_error(const char*) { std::abort(); }
void __throw_domain_error(const char*) { std::abort(); }
void __throw_invalid_argument(const char*) { std::abort(); }
void __throw_length_error(const char*) { std::abort(); }
void __throw_out_of_range(const char*) { std::abort(); }
void __throw_out_of_range_fmt(const char*, ...) { std::abort(); }
void __throw_runtime_error(const char*) { std::abort(); }
void __throw_range_error(const char*) { std::abort(); }
void __throw_overflow_error(const char*) { std::abort(); }
void __throw_underflow_error(const char*) { std::abort(); }

}  // namespace std

// Memory for new. The runtime's operator new throws std::bad_alloc when
// malloc fails, which nothing here catches, so the process ends; these end
// it at once. The throw would bring the exception objects, their
// allocator and its thread library's mutex along (with the terminate
// above, some 16 KB). The nothrow forms give null as the runtime's do
// (which call the throwing form and catch its exception).
namespace {

void* Allocate(std::size_t bytes) noexcept { return std::malloc(bytes == 0 ? 1 : bytes); }

void* AllocateOrEnd(std::size_t bytes) noexcept {
    void* const memory = Allocate(bytes);
    if (memory == nullptr) std::abort();
    return memory;
}

}  // namespace

void* operator new(std::size_t bytes) { return AllocateOrEnd(bytes); }
void* operator new[](std::size_t bytes) { return AllocateOrEnd(bytes); }
void* operator new(std::size_t bytes, const std::nothrow_t&) noexcept { return Allocate(bytes); }
void* operator new[](std::size_t bytes, const std::nothrow_t&) noexcept { return Allocate(bytes); }
void operator delete(void* memory) noexcept { std::free(memory); }
void operator delete[](void* memory) noexcept { std::free(memory); }
void operator delete(void* memory, std::size_t) noexcept { std::free(memory); }
void operator delete[](void* memory, std::size_t) noexcept { std::free(memory); }
void operator delete(void* memory, const std::nothrow_t&) noexcept { std::free(memory); }
void operator delete[](void* memory, const std::nothrow_t&) noexcept { std::free(memory); }
