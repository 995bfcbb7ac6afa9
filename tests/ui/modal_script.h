#pragma once
// Runs a modal dialog on the test's main thread while a script on a second
// thread drives it through the UI driver, as a user would. Whatever the
// script leaves open is closed afterwards, so a failing script ends in a
// failed test, never in a hang.
#include <windows.h>

#include <functional>
#include <string>
#include <vector>

#include "ui/dialog_base.h"

namespace testing_support {

// Milliseconds a script waits for a window before it gives up.
const DWORD kScriptWaitMs = 15000;

class DialogScript {
public:
    // Records a failure (the main thread reports it) and returns condition.
    bool Expect(bool condition, const std::string& what);
    template <typename T> bool ExpectEqual(const T& expected, const T& actual, const std::string& what)
    {
        return Expect(expected == actual, what + ": expected [" + ToText(expected) + "], got [" + ToText(actual) + "]");
    }
    // A top-level window of this process with that caption; null (and a
    // failure) on time-out.
    HWND WaitForWindow(const std::string& caption);
    // A window owned by owner; null (and a failure) on time-out.
    HWND WaitForOwnedWindow(HWND owner, const std::string& what);

    const std::vector<std::string>& Failures() const { return m_failures; }

private:
    static std::string ToText(const std::string& text) { return text; }
    static std::string ToText(const std::vector<std::string>& texts)
    {
        std::string joined;
        for (const std::string& text : texts)
            joined += (joined.empty() ? "" : "|") + text;
        return joined;
    }
    template <typename T> static std::string ToText(const T& value) { return std::to_string(value); }

    std::vector<std::string> m_failures;
};

// Runs dialog.DoModal(no owner, 0) while script runs; reports the script's
// failures to GoogleTest and returns what DoModal returned.
INT_PTR RunModal(CDialogBase& dialog, const std::function<void(DialogScript&)>& script);

} // namespace testing_support
