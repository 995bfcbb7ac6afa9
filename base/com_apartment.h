#pragma once
// COM for the calling thread (a single-threaded apartment, as CoInitialize
// makes it) for the lifetime of this object.
#include <objbase.h>

class CComApartment {
public:
    CComApartment() : m_hrInit(CoInitialize(nullptr)) {}
    ~CComApartment()
    {
        if (SUCCEEDED(m_hrInit))
            CoUninitialize();
    }
    CComApartment(const CComApartment&) = delete;
    CComApartment& operator=(const CComApartment&) = delete;

private:
    HRESULT m_hrInit;
};
