#include "package/companion_installers.h"

#include "base/text_string.h"
#include "package/child_process.h"
#include "package/disk_file.h"
#include "package/payload_extraction.h"
#include "resource_ids.h"

namespace {
// Writes the payload to fileName in the work folder, runs it with the quoted
// path and the given switches, and deletes it again.
HRESULT RunCompanion(const HeldFolder& workFolder, WORD payloadId, const char* fileName, const char* switches)
{
    if (!IsHeld(workFolder))
        return E_INVALIDARG;
    // Held against writers from its writing until it has run.
    CDiskFile installerFile;
    HRESULT result = ExtractPayload(payloadId, workFolder, fileName, installerFile);
    if (FAILED(result))
        return result;
    const char* installerPath = installerFile.GetPath().GetData();
    CTextString commandLine;
    result = commandLine.Format("\"%s\" %s", installerPath, switches) != nullptr
                 ? RunAndWait(commandLine.GetData(), installerPath)
                 : E_OUTOFMEMORY;
    installerFile.Close();
    DeleteDiskFile(workFolder, fileName); // a file left goes with the work folder
    return result;
}
} // namespace

HRESULT RunWmfRuntimeSetup(const HeldFolder& workFolder)
{
    return RunCompanion(workFolder, IDR_PAYLOAD_WMF, "wmfdist.exe", "/Q");
}

HRESULT RunDivXSetup(const HeldFolder& workFolder)
{
    return RunCompanion(workFolder, IDR_PAYLOAD_DIVX, "DivXPro.exe", "/S /DIVXLANG=JA");
}
