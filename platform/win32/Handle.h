// One small RAII holder for the Win32 handles the program opens.
#pragma once

#include <windows.h>

#include <utility>

namespace qrtl::win32 {

// Traits: Invalid() is the empty value, Close(h) releases a non-empty handle.
template <typename Traits>
class UniqueHandle {
public:
    using pointer = typename Traits::pointer;

    UniqueHandle() noexcept = default;
    explicit UniqueHandle(pointer h) noexcept : h_(h) {}
    ~UniqueHandle() { reset(); }

    UniqueHandle(const UniqueHandle&) = delete;
    UniqueHandle& operator=(const UniqueHandle&) = delete;
    UniqueHandle(UniqueHandle&& other) noexcept : h_(other.release()) {}
    UniqueHandle& operator=(UniqueHandle&& other) noexcept {
        if (this != &other) reset(other.release());
        return *this;
    }

    pointer get() const noexcept { return h_; }
    explicit operator bool() const noexcept { return h_ != Traits::Invalid(); }
    pointer release() noexcept { return std::exchange(h_, Traits::Invalid()); }
    void reset(pointer h = Traits::Invalid()) noexcept {
        const pointer old = std::exchange(h_, h);
        if (old != Traits::Invalid()) Traits::Close(old);
    }
    // For out-parameters of the platform calls: releases what is held first.
    pointer* put() noexcept {
        reset();
        return &h_;
    }

private:
    pointer h_ = Traits::Invalid();
};

struct HandleTraits {  // kernel objects whose "none" is NULL (tokens, processes, threads)
    using pointer = HANDLE;
    static pointer Invalid() { return nullptr; }
    static void Close(pointer h) { ::CloseHandle(h); }
};
struct FileHandleTraits {  // kernel objects whose "none" is INVALID_HANDLE_VALUE (snapshots, files)
    using pointer = HANDLE;
    static pointer Invalid() { return INVALID_HANDLE_VALUE; }
    static void Close(pointer h) { ::CloseHandle(h); }
};
struct FindTraits {  // directory searches of FindFirstFileA
    using pointer = HANDLE;
    static pointer Invalid() { return INVALID_HANDLE_VALUE; }
    static void Close(pointer h) { ::FindClose(h); }
};
struct KeyTraits {
    using pointer = HKEY;
    static pointer Invalid() { return nullptr; }
    static void Close(pointer h) { ::RegCloseKey(h); }
};
struct ModuleTraits {
    using pointer = HMODULE;
    static pointer Invalid() { return nullptr; }
    static void Close(pointer h) { ::FreeLibrary(h); }
};
struct IconTraits {
    using pointer = HICON;
    static pointer Invalid() { return nullptr; }
    static void Close(pointer h) { ::DestroyIcon(h); }
};
struct MenuTraits {
    using pointer = HMENU;
    static pointer Invalid() { return nullptr; }
    static void Close(pointer h) { ::DestroyMenu(h); }
};

struct AccelTraits {
    using pointer = HACCEL;
    static pointer Invalid() { return nullptr; }
    static void Close(pointer h) { ::DestroyAcceleratorTable(h); }
};
// Modules loaded as data files (LOAD_LIBRARY_AS_DATAFILE) are released the same way.

struct WindowTraits {  // windows this program creates and destroys itself (not dialogs' controls)
    using pointer = HWND;
    static pointer Invalid() { return nullptr; }
    // An owned popup is already gone when its owner was destroyed first.
    static void Close(pointer h) {
        if (::IsWindow(h)) ::DestroyWindow(h);
    }
};
template <typename Gdi>
struct GdiObjectTraits {  // pens, brushes, fonts: not selected into a device context when freed
    using pointer = Gdi;
    static pointer Invalid() { return nullptr; }
    static void Close(pointer h) { ::DeleteObject(h); }
};

// Selects a GDI object into a device context for a scope and puts back the one it
// replaced, so that the object can be freed after the scope.
class SelectedObject {
public:
    SelectedObject(HDC dc, HGDIOBJ object) noexcept : dc_(dc), old_(::SelectObject(dc, object)) {}
    ~SelectedObject() {
        if (old_ != nullptr && old_ != HGDI_ERROR) ::SelectObject(dc_, old_);
    }
    SelectedObject(const SelectedObject&) = delete;
    SelectedObject& operator=(const SelectedObject&) = delete;

private:
    HDC dc_;
    HGDIOBJ old_;
};

using UniqueHandleObj = UniqueHandle<HandleTraits>;
using UniqueSnapshot = UniqueHandle<FileHandleTraits>;
using UniqueFile = UniqueHandle<FileHandleTraits>;
using UniqueFind = UniqueHandle<FindTraits>;
using UniqueHKey = UniqueHandle<KeyTraits>;
using UniqueHModule = UniqueHandle<ModuleTraits>;
using UniqueHIcon = UniqueHandle<IconTraits>;
using UniqueHMenu = UniqueHandle<MenuTraits>;
using UniqueHAccel = UniqueHandle<AccelTraits>;
using UniqueHWnd = UniqueHandle<WindowTraits>;
using UniqueHBrush = UniqueHandle<GdiObjectTraits<HBRUSH>>;
using UniqueHPen = UniqueHandle<GdiObjectTraits<HPEN>>;
using UniqueHFont = UniqueHandle<GdiObjectTraits<HFONT>>;

}  // namespace qrtl::win32
