// The one owner template behind every handle owner of ScopedWin.h, in the
// manner of WIL's unique_any: a new kind of handle is a traits struct and one
// line, and every owner has the same API.
//
// Traits supplies
//     using Handle = ...;              // a small value type with ==
//     static Handle Invalid();         // what an empty owner holds
//     static bool IsValid(Handle h);   // whether h is something to free
//     static void Close(Handle h);     // frees a valid h; must not throw
// Handle may be a struct when freeing needs more than the handle (ReleaseDC
// needs the window, undoing a selection needs the DC).
#pragma once

#include <utility>

template <typename Traits>
class UniqueHandle {
public:
    using Handle = typename Traits::Handle;

    UniqueHandle() noexcept = default;
    // Takes over a handle the caller owns.
    explicit UniqueHandle(Handle handle) noexcept : handle_(handle) {}
    ~UniqueHandle() { reset(); }
    // Move-only: a copy would free the same handle twice.
    UniqueHandle(const UniqueHandle&) = delete;
    UniqueHandle& operator=(const UniqueHandle&) = delete;
    UniqueHandle(UniqueHandle&& other) noexcept : handle_(other.release()) {}
    UniqueHandle& operator=(UniqueHandle&& other) noexcept
    {
        if (this != &other) reset(other.release());
        return *this;
    }

    Handle get() const noexcept { return handle_; }
    explicit operator bool() const noexcept { return Traits::IsValid(handle_); }
    // Gives up ownership: the caller, or whoever it hands the handle to,
    // frees it.
    [[nodiscard]] Handle release() noexcept { return std::exchange(handle_, Traits::Invalid()); }
    // Frees the held handle, unless it is handle itself, and holds handle.
    void reset(Handle handle = Traits::Invalid()) noexcept
    {
        const Handle old = std::exchange(handle_, handle);
        if (Traits::IsValid(old) && !(old == handle)) Traits::Close(old);
    }

protected:
    // For calls that write a new handle through an out-parameter: the held
    // one is freed first.
    Handle* put() noexcept
    {
        reset();
        return &handle_;
    }

private:
    Handle handle_ = Traits::Invalid();
};
