#pragma once
// The one owner of a system handle: UniqueHandle<Traits> holds one value,
// closes it when it goes or is replaced, and can be moved but not copied.
// Traits name the handle's type, its empty value and how to close it:
//   struct Traits {
//       using Type = HANDLE;
//       static Type Empty() { return nullptr; }
//       static void Close(Type value) { CloseHandle(value); }
//   };
// Close is only ever called with a value that is not Empty().
#include <windows.h>

template <class Traits> class UniqueHandle {
public:
    using Type = typename Traits::Type;

    // Constant where the empty value is (null): a global owner is then ready
    // before any start-up code runs.
    constexpr UniqueHandle() : m_Value(Traits::Empty()) {}
    explicit UniqueHandle(Type value) : m_Value(value) {}
    ~UniqueHandle() { Reset(); }
    UniqueHandle(UniqueHandle&& other) : m_Value(other.Release()) {}
    UniqueHandle& operator=(UniqueHandle&& other)
    {
        if (this != &other)
            Reset(other.Release());
        return *this;
    }
    UniqueHandle(const UniqueHandle&) = delete;
    UniqueHandle& operator=(const UniqueHandle&) = delete;

    Type Get() const { return m_Value; }
    bool IsValid() const { return m_Value != Traits::Empty(); }
    explicit operator bool() const { return IsValid(); }

    // Gives the value up without closing it; the caller owns it now.
    Type Release()
    {
        Type value = m_Value;
        m_Value = Traits::Empty();
        return value;
    }
    // Closes the value held, if any, and takes value instead.
    void Reset(Type value = Traits::Empty())
    {
        Type old = m_Value;
        m_Value = value;
        if (old != Traits::Empty())
            Traits::Close(old);
    }
    // Closes the value held, if any, and hands out the empty cell for a
    // system call to fill: an owner reused this way never leaks.
    Type* Put()
    {
        Reset();
        return &m_Value;
    }

private:
    Type m_Value;
};

// Traits of a handle whose empty value is null (or 0), closed by one call:
// UniqueHandle<NullHandleTraits<HKEY, RegCloseKey>>.
template <class T, auto CloseFunction> struct NullHandleTraits {
    using Type = T;
    static constexpr Type Empty() { return Type(); }
    static void Close(Type value) { CloseFunction(value); }
};

// Traits of a handle whose empty value is INVALID_HANDLE_VALUE.
template <auto CloseFunction> struct InvalidHandleTraits {
    using Type = HANDLE;
    static Type Empty() { return INVALID_HANDLE_VALUE; }
    static void Close(Type value) { CloseFunction(value); }
};

// A kernel object: event, mutex, token, process, thread.
using UniqueKernelHandle = UniqueHandle<NullHandleTraits<HANDLE, CloseHandle>>;
// An open file as CreateFile gives it.
using UniqueFileHandle = UniqueHandle<InvalidHandleTraits<CloseHandle>>;
// A directory search of FindFirstFile.
using UniqueFindHandle = UniqueHandle<InvalidHandleTraits<FindClose>>;
// A loaded DLL.
using UniqueModule = UniqueHandle<NullHandleTraits<HMODULE, FreeLibrary>>;
// Memory of LocalAlloc, and of the system calls that hand out such memory.
using UniqueLocalMemory = UniqueHandle<NullHandleTraits<HLOCAL, LocalFree>>;

// One reference to a COM object: Put() hands out the T** that creating calls fill.
template <class T> struct ComInterfaceTraits {
    using Type = T*;
    static Type Empty() { return nullptr; }
    static void Close(Type value) { value->Release(); }
};
template <class T> using UniqueInterface = UniqueHandle<ComInterfaceTraits<T>>;
