#include "tests/support/ansi_text.h"

#include <windows.h>

#include "tests/support/child_process.h"

namespace testing_support {

std::string ToAnsi(const std::string& utf8)
{
    std::wstring wide = Widen(utf8);
    if (wide.empty())
        return std::string();
    BOOL lossy = FALSE;
    int length = WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, wide.data(), static_cast<int>(wide.size()), nullptr,
                                     0, nullptr, &lossy);
    if (length <= 0 || lossy)
        return std::string();
    std::string ansi(static_cast<size_t>(length), '\0');
    WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, wide.data(), static_cast<int>(wide.size()), &ansi[0], length,
                        nullptr, nullptr);
    return ansi;
}

} // namespace testing_support
