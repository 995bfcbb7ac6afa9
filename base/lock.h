#pragma once
// A recursive lock on a system critical section, and the scope guard that
// callers take it through.
#include <windows.h>

class CLock {
public:
    CLock();
    ~CLock();
    CLock(const CLock&) = delete;
    CLock& operator=(const CLock&) = delete;

    virtual void Lock();
    virtual void Unlock();
    // Takes the lock if it is free or already the caller's; never waits.
    bool TryLock();

    // Replaces the critical section with a fresh one. Only for a lock whose
    // holder was terminated (a dead thread never leaves it), and only while
    // no other thread uses the lock.
    void Renew();

private:
    CRITICAL_SECTION m_Section;
};

class CLockGuard {
public:
    explicit CLockGuard(CLock& lock) : m_Lock(lock) { m_Lock.Lock(); }
    ~CLockGuard() { m_Lock.Unlock(); }
    CLockGuard(const CLockGuard&) = delete;
    CLockGuard& operator=(const CLockGuard&) = delete;

private:
    CLock& m_Lock;
};
