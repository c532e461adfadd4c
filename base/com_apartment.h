#pragma once
// The calling thread's COM apartment, entered and left around one operation.

#include <objbase.h>

// Left only when it was entered (S_OK, or S_FALSE when the thread was in it already): a thread
// that is in another kind of apartment keeps it.
class ComApartment {
public:
    ComApartment() : m_hr(CoInitialize(nullptr)) {}
    ~ComApartment() {
        if (SUCCEEDED(m_hr))
            CoUninitialize();
    }
    ComApartment(const ComApartment&) = delete;
    ComApartment& operator=(const ComApartment&) = delete;

private:
    HRESULT m_hr;
};
