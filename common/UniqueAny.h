// The one owner of every kind of handle: registry keys, kernel handles,
// modules, COM task memory and C runtime files. Modelled on WIL's
// unique_any: the handle type, its close function and its "no handle" value
// make the type; everything else is the same for all of them.
#pragma once

#include <windows.h>

#include <objbase.h>

#include <cstdint>
#include <cstdio>
#include <utility>

namespace userdata {

// Move-only sole owner of one handle, a pointer type. `Close` runs exactly
// once for every handle taken that is not the "no handle" value (`NoHandle`
// as an integer: 0 for null, -1 for INVALID_HANDLE_VALUE): on destruction,
// reset and move assignment. Its result is ignored: a handle whose close
// failed is unusable either way.
template <typename Handle, auto Close, std::intptr_t NoHandle = 0>
class UniqueAny {
    static Handle Invalid() noexcept { return reinterpret_cast<Handle>(NoHandle); }

public:
    UniqueAny() noexcept = default;
    explicit UniqueAny(Handle handle) noexcept : handle_(handle) {}
    ~UniqueAny() { reset(); }

    UniqueAny(const UniqueAny&) = delete;
    UniqueAny& operator=(const UniqueAny&) = delete;
    UniqueAny(UniqueAny&& other) noexcept : handle_(other.release()) {}
    UniqueAny& operator=(UniqueAny&& other) noexcept {
        if (this != &other) reset(other.release());
        return *this;
    }

    [[nodiscard]] Handle get() const noexcept { return handle_; }
    explicit operator bool() const noexcept { return handle_ != Invalid(); }

    // Gives up ownership without closing; the caller closes the handle.
    [[nodiscard]] Handle release() noexcept { return std::exchange(handle_, Invalid()); }

    // Closes the handle held, if any, and takes `handle` instead.
    void reset(Handle handle = Invalid()) noexcept {
        const Handle old = std::exchange(handle_, handle);
        if (old != Invalid()) (void)Close(old);
    }

    // For out-parameters: closes the handle held and returns where the new
    // one goes, e.g. OpenSomething(..., owner.put()).
    [[nodiscard]] Handle* put() noexcept {
        reset();
        return &handle_;
    }

private:
    Handle handle_ = Invalid();
};

namespace detail {
inline BOOL CloseKernelHandle(HANDLE handle) noexcept { return CloseHandle(handle); }
inline BOOL ReleaseModule(HMODULE module) noexcept { return FreeLibrary(module); }
inline void FreeCoTaskMemString(wchar_t* text) noexcept { CoTaskMemFree(text); }
inline int CloseFile(std::FILE* file) noexcept { return std::fclose(file); }
inline HLOCAL FreeLocalMemory(HLOCAL memory) noexcept { return LocalFree(memory); }
}  // namespace detail

// Process, thread and event handles: null when there is none.
using UniqueHandle = UniqueAny<HANDLE, detail::CloseKernelHandle>;
// What CreateFileW returns: INVALID_HANDLE_VALUE when there is none.
using UniqueFile = UniqueAny<HANDLE, detail::CloseKernelHandle, -1>;
using UniqueModule = UniqueAny<HMODULE, detail::ReleaseModule>;
using UniqueCoTaskMemString = UniqueAny<wchar_t*, detail::FreeCoTaskMemString>;
using UniqueStdioFile = UniqueAny<std::FILE*, detail::CloseFile>;
// What the system hands out from LocalAlloc, e.g. CommandLineToArgvW's words.
using UniqueLocalMemory = UniqueAny<HLOCAL, detail::FreeLocalMemory>;

}  // namespace userdata
