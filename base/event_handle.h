#pragma once
// An unnamed system event with an optional label. The label only tells events
// apart when debugging; it is never passed to the system.
#include <windows.h>

class CEventHandle {
public:
    explicit CEventHandle(const char* label = nullptr);
    ~CEventHandle();
    CEventHandle(const CEventHandle&) = delete;
    CEventHandle& operator=(const CEventHandle&) = delete;

    // Creates the event, non-signalled, unless one is already held.
    // False when the system could not make one.
    bool CreateIfAbsent(bool manualReset);
    void Close();

    bool Set() const;
    bool Reset() const;
    // Tests the event without waiting. An auto-reset event that is signalled
    // is reset by the test, as by any satisfied wait.
    bool IsSignalled() const;
    DWORD Wait(DWORD milliseconds) const;

    HANDLE GetHandle() const { return m_hEvent; }
    bool IsPresent() const { return m_hEvent != nullptr; }
    const char* GetLabel() const { return m_pszLabel; }
    void SetLabel(const char* label) { m_pszLabel = label; }

private:
    const char* m_pszLabel;
    HANDLE m_hEvent;
};
