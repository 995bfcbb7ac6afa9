#pragma once
// An unnamed system event with an optional label. The label only tells events
// apart when debugging; it is never passed to the system.
#include <windows.h>

#include "base/unique_handle.h"

class CEventHandle {
public:
    explicit CEventHandle(const char* label = nullptr) : m_pszLabel(label) {}

    // Creates the event, non-signalled, unless one is already held.
    // False when the system could not make one.
    bool CreateIfAbsent(bool manualReset);
    void Close() { m_hEvent.Reset(); }

    bool Set() const;
    bool Reset() const;
    // Tests the event without waiting. An auto-reset event that is signalled
    // is reset by the test, as by any satisfied wait.
    bool IsSignalled() const;
    DWORD Wait(DWORD milliseconds) const;

    HANDLE GetHandle() const { return m_hEvent.Get(); }
    bool IsPresent() const { return m_hEvent.IsValid(); }
    // For debugging only: nothing in the setup reads the label.
    const char* GetLabel() const { return m_pszLabel; }
    void SetLabel(const char* label) { m_pszLabel = label; }

private:
    const char* m_pszLabel;
    UniqueKernelHandle m_hEvent;
};
