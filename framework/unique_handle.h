// Owners for Win32 handles and COM pointers. Each owner is movable and not
// copyable, so a handle is closed exactly once, by whoever holds it last.
#pragma once

#include <objbase.h>
#include <windows.h>

#include <cstdint>
#include <utility>

namespace pixelmoor {

// Owns one handle of the kind that Traits describes. Traits gives the handle
// type, the value that means "nothing" and the function that frees it.
template <typename Traits>
class UniqueResource {
public:
    using Handle = typename Traits::Handle;

    UniqueResource() noexcept = default;
    explicit UniqueResource(Handle handle) noexcept : handle_(handle) {}
    UniqueResource(const UniqueResource&) = delete;
    UniqueResource& operator=(const UniqueResource&) = delete;
    UniqueResource(UniqueResource&& other) noexcept : handle_(other.release()) {}
    UniqueResource& operator=(UniqueResource&& other) noexcept {
        if (this != &other) reset(other.release());
        return *this;
    }
    ~UniqueResource() { reset(); }

    [[nodiscard]] Handle get() const noexcept { return handle_; }
    [[nodiscard]] bool valid() const noexcept { return handle_ != Traits::invalid(); }
    explicit operator bool() const noexcept { return valid(); }

    // For out-parameters: frees what is held and hands out the slot.
    [[nodiscard]] Handle* put() noexcept {
        reset();
        return &handle_;
    }
    void reset(Handle handle = Traits::invalid()) noexcept {
        if (valid()) Traits::close(handle_);
        handle_ = handle;
    }
    [[nodiscard]] Handle release() noexcept { return std::exchange(handle_, Traits::invalid()); }

private:
    Handle handle_ = Traits::invalid();
};

// The traits of a handle of type H that Close frees and whose "nothing" is
// the value Invalid (0: null; -1: INVALID_HANDLE_VALUE).
template <typename H, auto Close, std::intptr_t Invalid = 0>
struct HandleTraits {
    using Handle = H;
    static Handle invalid() noexcept { return reinterpret_cast<Handle>(Invalid); }
    static void close(Handle h) noexcept { Close(h); }
};
template <typename H, auto Close, std::intptr_t Invalid = 0>
using UniqueAny = UniqueResource<HandleTraits<H, Close, Invalid>>;

// A mutex this thread owns: released, then closed.
inline void ReleaseAndCloseMutex(HANDLE mutex) noexcept {
    ::ReleaseMutex(mutex);
    ::CloseHandle(mutex);
}

using UniqueHandle = UniqueAny<HANDLE, ::CloseHandle>;  // process, thread, event: null means none
using UniqueOwnedMutex = UniqueAny<HANDLE, ReleaseAndCloseMutex>;
using UniqueFile = UniqueAny<HANDLE, ::CloseHandle, -1>;  // CreateFileW fails with INVALID_HANDLE_VALUE
using UniqueFind = UniqueAny<HANDLE, ::FindClose, -1>;
using UniqueHkey = UniqueAny<HKEY, ::RegCloseKey>;
using UniqueModule = UniqueAny<HMODULE, ::FreeLibrary>;
using UniqueFont = UniqueAny<HFONT, ::DeleteObject>;
using UniqueBrush = UniqueAny<HBRUSH, ::DeleteObject>;
using UniqueBitmap = UniqueAny<HBITMAP, ::DeleteObject>;
using UniqueCreatedDc = UniqueAny<HDC, ::DeleteDC>;  // a device context from CreateDCW
using UniqueCursor = UniqueAny<HCURSOR, ::DestroyCursor>;
using UniqueIcon = UniqueAny<HICON, ::DestroyIcon>;
using UniqueMappedView = UniqueAny<void*, ::UnmapViewOfFile>;  // a view of a file mapping from MapViewOfFile
// Memory that a COM or shell call hands out (an item id list, a text).
template <typename T>
using UniqueCoTaskMem = UniqueAny<T*, ::CoTaskMemFree>;
// A security descriptor, a text or an argument array from the system: T is the pointer type.
template <typename T>
using UniqueLocalMemory = UniqueAny<T, ::LocalFree>;

// A screen device context from GetDC, released with the window it came from.
class ScreenDc {
public:
    explicit ScreenDc(HWND window = nullptr) noexcept : window_(window), dc_(::GetDC(window)) {}
    ScreenDc(const ScreenDc&) = delete;
    ScreenDc& operator=(const ScreenDc&) = delete;
    ~ScreenDc() {
        if (dc_) ::ReleaseDC(window_, dc_);
    }
    [[nodiscard]] HDC get() const noexcept { return dc_; }
    explicit operator bool() const noexcept { return dc_ != nullptr; }

private:
    HWND window_;
    HDC dc_;
};

// Owns one reference to a COM interface.
template <typename Interface>
class ComPtr {
public:
    ComPtr() noexcept = default;
    ComPtr(const ComPtr&) = delete;
    ComPtr& operator=(const ComPtr&) = delete;
    ComPtr(ComPtr&& other) noexcept : ptr_(std::exchange(other.ptr_, nullptr)) {}
    ComPtr& operator=(ComPtr&& other) noexcept {
        if (this != &other) {
            reset();
            ptr_ = std::exchange(other.ptr_, nullptr);
        }
        return *this;
    }
    ~ComPtr() { reset(); }

    [[nodiscard]] Interface* get() const noexcept { return ptr_; }
    Interface* operator->() const noexcept { return ptr_; }
    explicit operator bool() const noexcept { return ptr_ != nullptr; }
    [[nodiscard]] Interface** put() noexcept {
        reset();
        return &ptr_;
    }
    [[nodiscard]] void** put_void() noexcept { return reinterpret_cast<void**>(put()); }
    void reset() noexcept {
        if (ptr_) std::exchange(ptr_, nullptr)->Release();
    }

    // Asks the held object for another interface; empty when it has none.
    template <typename Other>
    [[nodiscard]] ComPtr<Other> query(REFIID iid) const noexcept {
        ComPtr<Other> other;
        if (ptr_) ptr_->QueryInterface(iid, other.put_void());
        return other;
    }

private:
    Interface* ptr_ = nullptr;
};

// COM initialised for the lifetime of the scope; uninitialised even when the
// initialisation reported that COM was already running (it counts each call).
class ComScope {
public:
    ComScope() noexcept : result_(::CoInitialize(nullptr)) {}
    ComScope(const ComScope&) = delete;
    ComScope& operator=(const ComScope&) = delete;
    ~ComScope() {
        if (SUCCEEDED(result_)) ::CoUninitialize();
    }

private:
    HRESULT result_;
};

}  // namespace pixelmoor
