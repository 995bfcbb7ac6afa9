#include "package/companion_installers.h"

#include "base/text_string.h"
#include "package/child_process.h"
#include "package/disk_file.h"
#include "package/payload_extraction.h"
#include "resource_ids.h"

namespace {
// Writes the payload to workFolder + fileName, runs it with the quoted path
// and the given switches, and deletes it again.
HRESULT RunCompanion(const char* workFolder, WORD payloadId, const char* fileName, const char* switches)
{
    if (!workFolder)
        return E_INVALIDARG;
    CTextString installerPath;
    if (!installerPath.Format("%s%s", workFolder, fileName))
        return E_OUTOFMEMORY;
    // Held against writers from its writing until it has run.
    CDiskFile installerFile;
    HRESULT result = ExtractPayload(payloadId, installerPath.GetData(), installerFile);
    if (FAILED(result))
        return result;
    CTextString commandLine;
    result = commandLine.Format("\"%s\" %s", installerPath.GetData(), switches) != nullptr
                 ? RunAndWait(commandLine.GetData(), installerPath.GetData())
                 : E_OUTOFMEMORY;
    installerFile.Close();
    DeleteDiskFile(installerPath.GetData()); // a file left goes with the work folder
    return result;
}
} // namespace

HRESULT RunWmfRuntimeSetup(const char* workFolder)
{
    return RunCompanion(workFolder, IDR_PAYLOAD_WMF, "wmfdist.exe", "/Q");
}

HRESULT RunDivXSetup(const char* workFolder)
{
    return RunCompanion(workFolder, IDR_PAYLOAD_DIVX, "DivXPro.exe", "/S /DIVXLANG=JA");
}
