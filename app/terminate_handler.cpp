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
#include <cstdlib>
#include <exception>

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

void __throw_bad_exception() { std::terminate(); }
void __throw_bad_alloc() { std::terminate(); }
void __throw_bad_array_new_length() { std::terminate(); }
void __throw_bad_cast() { std::terminate(); }
void __throw_bad_typeid() { std::terminate(); }
void __throw_bad_function_call() { std::terminate(); }
void __throw_logic_error(const char*) { std::terminate(); }
void __throw_domain_error(const char*) { std::terminate(); }
void __throw_invalid_argument(const char*) { std::terminate(); }
void __throw_length_error(const char*) { std::terminate(); }
void __throw_out_of_range(const char*) { std::terminate(); }
void __throw_out_of_range_fmt(const char*, ...) { std::terminate(); }
void __throw_runtime_error(const char*) { std::terminate(); }
void __throw_range_error(const char*) { std::terminate(); }
void __throw_overflow_error(const char*) { std::terminate(); }
void __throw_underflow_error(const char*) { std::terminate(); }

}  // namespace std
