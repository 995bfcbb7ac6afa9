#include "ui/message_box.h"

#include "base/module_instance.h"
#include "base/setup_log.h"
#include "resource_ids.h"

namespace {
const int kCaptionSize = 256;
const int kTextSize = 1024;

const char* AnswerName(int answer)
{
    switch (answer) {
    case IDOK: return "OK";
    case IDCANCEL: return "Cancel";
    case IDYES: return "Yes";
    case IDNO: return "No";
    default: return "none";
    }
}

int ShowMessage(HWND owner, UINT textId, UINT buttons, const char* caption)
{
    char text[kTextSize] = "";
    LoadStringA(g_hInstance, textId, text, kTextSize);
    LogEvent("Message %u shown: \"%s\"", textId, text);
    int answer = MessageBoxA(owner, text, caption, buttons);
    LogEvent("Message %u answered: %s", textId, AnswerName(answer));
    return answer;
}

int ShowMessageWithCaption108(HWND owner, UINT textId, UINT buttons)
{
    char caption[kCaptionSize] = "";
    LoadStringA(g_hInstance, IDS_CAPTION, caption, kCaptionSize);
    return ShowMessage(owner, textId, buttons, caption);
}
} // namespace

int ShowSetupMessage(UINT textId, UINT buttons)
{
    return ShowMessageWithCaption108(nullptr, textId, buttons);
}

int ShowSetupMessage(UINT textId, UINT buttons, const char* caption)
{
    return ShowMessage(nullptr, textId, buttons, caption);
}

int ShowOwnedSetupMessage(HWND owner, UINT textId, UINT buttons)
{
    return ShowMessageWithCaption108(owner, textId, buttons);
}
