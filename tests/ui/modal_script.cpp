#include "tests/ui/modal_script.h"

#include <gtest/gtest.h>

#include <atomic>
#include <thread>

#include "tests/support/ui_driver.h"
#include "tests/support/wait_until.h"

namespace testing_support {

namespace {
// The script's last press is posted: give the dialog time to end by itself.
const DWORD kGraceMs = 5000;
const DWORD kCleanupMs = 20000;
const DWORD kCleanupPollMs = 100;
} // namespace

bool DialogScript::Expect(bool condition, const std::string& what)
{
    if (!condition)
        m_failures.push_back(what);
    return condition;
}

HWND DialogScript::WaitForWindow(const std::string& caption)
{
    HWND window = testing_support::WaitForWindow(nullptr, GetCurrentProcessId(), caption, kScriptWaitMs);
    Expect(window != nullptr, "no window \"" + caption + "\" came");
    return window;
}

HWND DialogScript::WaitForOwnedWindow(HWND owner, const std::string& what)
{
    HWND window = testing_support::WaitForOwnedWindow(GetCurrentProcessId(), owner, kScriptWaitMs);
    Expect(window != nullptr, "no " + what + " came");
    return window;
}

INT_PTR RunModal(CDialogBase& dialog, const std::function<void(DialogScript&)>& script)
{
    DialogScript log;
    std::atomic<bool> modalDone(false);
    std::thread driver([&] {
        script(log);
        if (WaitUntil([&] { return modalDone.load(); }, kGraceMs))
            return;
        // Close whatever is still open, message boxes first.
        WaitUntil(
            [&] {
                if (modalDone)
                    return true;
                std::vector<HWND> windows = TopLevelWindows(GetCurrentProcessId());
                for (auto it = windows.rbegin(); it != windows.rend(); ++it)
                    PostMessageW(*it, WM_CLOSE, 0, 0);
                return false;
            },
            kCleanupMs, kCleanupPollMs);
    });
    INT_PTR result = dialog.DoModal(nullptr, 0);
    modalDone = true;
    driver.join();
    for (const std::string& failure : log.Failures())
        ADD_FAILURE() << failure;
    return result;
}

} // namespace testing_support
