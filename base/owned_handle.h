#pragma once
// A handle that its scope owns and releases exactly once.

#include <utility>

// Holds a handle that this scope owns and releases it exactly once. A borrowed handle is held as
// its plain type: only an OwnedHandle ever releases.
//   using OwnedArgv = OwnedHandle<LPWSTR*, [](LPWSTR* p) { LocalFree(p); }>;
template <typename T, auto Release, T Invalid = T{}> class OwnedHandle {
public:
    OwnedHandle() = default;
    explicit OwnedHandle(T handle) : m_handle(handle) {}
    OwnedHandle(const OwnedHandle&) = delete;
    OwnedHandle& operator=(const OwnedHandle&) = delete;
    OwnedHandle(OwnedHandle&& other) noexcept : m_handle(other.Detach()) {}
    OwnedHandle& operator=(OwnedHandle&& other) noexcept {
        Reset(other.Detach());
        return *this;
    }
    ~OwnedHandle() { Reset(); }

    T Get() const { return m_handle; }
    explicit operator bool() const { return m_handle != Invalid; }
    T Detach() { return std::exchange(m_handle, Invalid); }
    void Reset(T handle = Invalid) {
        if (m_handle != Invalid)
            Release(m_handle);
        m_handle = handle;
    }

private:
    T m_handle = Invalid;
};
