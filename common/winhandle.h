#pragma once

// Move-only owners of Win32 handles, one line per handle kind.

#include <utility>

#include <windows.h>
#include <commctrl.h>

template <typename Traits>
class UniqueHandle {
public:
    using Type = typename Traits::Type;

    UniqueHandle() noexcept : handle_(Traits::Invalid()) {}
    explicit UniqueHandle(Type handle) noexcept : handle_(handle) {}
    ~UniqueHandle() { Reset(); }
    UniqueHandle(const UniqueHandle&) = delete;
    UniqueHandle& operator=(const UniqueHandle&) = delete;
    UniqueHandle(UniqueHandle&& other) noexcept : handle_(other.Release()) {}
    UniqueHandle& operator=(UniqueHandle&& other) noexcept
    {
        if (this != &other)
            Reset(other.Release());
        return *this;
    }

    Type Get() const noexcept { return handle_; }
    bool Valid() const noexcept { return handle_ != Traits::Invalid(); }
    explicit operator bool() const noexcept { return Valid(); }
    Type Release() noexcept { return std::exchange(handle_, Traits::Invalid()); }
    void Reset(Type handle = Traits::Invalid()) noexcept
    {
        if (Valid())
            Traits::Close(handle_);
        handle_ = handle;
    }

private:
    Type handle_;
};

struct FindHandleTraits {
    using Type = HANDLE;
    static Type Invalid() noexcept { return INVALID_HANDLE_VALUE; }
    static void Close(Type h) noexcept { ::FindClose(h); }
};
struct FileHandleTraits {
    using Type = HANDLE;
    static Type Invalid() noexcept { return INVALID_HANDLE_VALUE; }
    static void Close(Type h) noexcept { ::CloseHandle(h); }
};
// Handle kinds whose empty value is null, closed by `CloseFn`.
template <typename T, auto CloseFn>
struct NullHandleTraits {
    using Type = T;
    static Type Invalid() noexcept { return nullptr; }
    static void Close(Type h) noexcept { CloseFn(h); }
};
using KernelHandleTraits = NullHandleTraits<HANDLE, ::CloseHandle>;
using WindowHandleTraits = NullHandleTraits<HWND, ::DestroyWindow>;
using GdiObjectTraits = NullHandleTraits<HGDIOBJ, ::DeleteObject>;
using MemoryDcTraits = NullHandleTraits<HDC, ::DeleteDC>;
using ModuleTraits = NullHandleTraits<HMODULE, ::FreeLibrary>;
using ImageListTraits = NullHandleTraits<HIMAGELIST, ::ImageList_Destroy>;

using FindHandle = UniqueHandle<FindHandleTraits>;      // FindFirstFileW
using FileHandle = UniqueHandle<FileHandleTraits>;      // CreateFileW
using KernelHandle = UniqueHandle<KernelHandleTraits>;  // events, threads, processes
using WindowHandle = UniqueHandle<WindowHandleTraits>;  // CreateWindowExW
using GdiObject = UniqueHandle<GdiObjectTraits>;        // fonts, brushes, bitmaps
using MemoryDc = UniqueHandle<MemoryDcTraits>;          // CreateCompatibleDC
using Module = UniqueHandle<ModuleTraits>;              // LoadLibraryExW
using ImageList = UniqueHandle<ImageListTraits>;        // ImageList_Create

// A window's device context (the screen's for no window), released to that window.
class WindowDc {
public:
    explicit WindowDc(HWND window) noexcept : window_(window), dc_(::GetDC(window)) {}
    ~WindowDc()
    {
        if (dc_)
            ::ReleaseDC(window_, dc_);
    }
    WindowDc(const WindowDc&) = delete;
    WindowDc& operator=(const WindowDc&) = delete;

    HDC Get() const noexcept { return dc_; }
    explicit operator bool() const noexcept { return dc_ != nullptr; }

private:
    HWND window_;
    HDC dc_;
};

// The device context of one WM_PAINT: BeginPaint when made, EndPaint when it ends.
class PaintDc {
public:
    explicit PaintDc(HWND window) noexcept : window_(window), dc_(::BeginPaint(window, &paint_)) {}
    ~PaintDc() { ::EndPaint(window_, &paint_); }
    PaintDc(const PaintDc&) = delete;
    PaintDc& operator=(const PaintDc&) = delete;

    HDC Get() const noexcept { return dc_; }
    const RECT& Dirty() const noexcept { return paint_.rcPaint; }

private:
    HWND window_;
    PAINTSTRUCT paint_{};
    HDC dc_;
};

// An object selected into a device context for the guard's lifetime; the object it
// replaced is selected back when the guard ends.
class [[nodiscard]] SelectedObject {
public:
    SelectedObject(HDC dc, HGDIOBJ object) noexcept : dc_(dc), old_(dc && object ? ::SelectObject(dc, object) : nullptr)
    {
    }
    ~SelectedObject()
    {
        if (old_)
            ::SelectObject(dc_, old_);
    }
    SelectedObject(const SelectedObject&) = delete;
    SelectedObject& operator=(const SelectedObject&) = delete;

private:
    HDC dc_;
    HGDIOBJ old_;
};
