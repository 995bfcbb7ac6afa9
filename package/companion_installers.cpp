#include "package/companion_installers.h"

#include "base/text_string.h"
#include "package/child_process.h"
#include "package/payload_extraction.h"
#include "resource_ids.h"

namespace {
// Writes the payload to workFolder + fileName, runs it with the quoted path
// and the given switches, and deletes it again.
bool RunCompanion(const char* workFolder, WORD payloadId, const char* fileName, const char* switches)
{
    CTextString installerPath;
    if (!workFolder || !installerPath.Format("%s%s", workFolder, fileName))
        return false;
    if (!ExtractPayload(payloadId, installerPath.GetData()))
        return false;
    CTextString commandLine;
    bool ran = commandLine.Format("\"%s\" %s", installerPath.GetData(), switches) != nullptr &&
               RunAndWait(commandLine.GetData(), installerPath.GetData());
    DeleteFileA(installerPath.GetData());
    return ran;
}
} // namespace

bool RunWmfRuntimeSetup(const char* workFolder)
{
    return RunCompanion(workFolder, IDR_PAYLOAD_WMF, "wmfdist.exe", "/Q");
}

bool RunDivXSetup(const char* workFolder)
{
    return RunCompanion(workFolder, IDR_PAYLOAD_DIVX, "DivXPro.exe", "/S /DIVXLANG=JA");
}
