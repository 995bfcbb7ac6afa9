#include "ui/message_box.h"

#include "base/module_instance.h"
#include "resource_ids.h"

namespace {
const int kCaptionSize = 256;
const int kTextSize = 1024;
} // namespace

int ShowSetupMessage(UINT textId, UINT buttons)
{
    char caption[kCaptionSize] = "";
    LoadStringA(g_hInstance, IDS_CAPTION, caption, kCaptionSize);
    return ShowSetupMessage(textId, buttons, caption);
}

int ShowSetupMessage(UINT textId, UINT buttons, const char* caption)
{
    char text[kTextSize] = "";
    LoadStringA(g_hInstance, textId, text, kTextSize);
    return MessageBoxA(nullptr, text, caption, buttons);
}
