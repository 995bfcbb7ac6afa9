#include "setup/work_folder.h"

#include <cstdio>
#include <cstring>
#include <utility>

#include <winternl.h>

#include "base/double_byte.h"
#include "base/last_error.h"
#include "base/random_number.h"
#include "base/setup_log.h"
#include "base/handle_relative/vista_file_calls.h"
#include "base/handle_relative/nt_create_file.h"
#include "base/handle_relative/folder_tree_removal.h"
#include "setup/administrator_check.h"
#include "setup/work_folder_security.h"

namespace {
// path, a backslash if it lacks one, and name; false, with path empty, when
// that does not fit.
bool AppendName(char (&path)[SETUP_PATH_SIZE], const char* name)
{
    AppendBackslash(path);
    const std::size_t length = std::strlen(path);
    const std::size_t nameSize = std::strlen(name) + 1;
    if (length + nameSize > SETUP_PATH_SIZE) {
        path[0] = 0;
        return false;
    }
    std::memcpy(path + length, name, nameSize);
    return true;
}
} // namespace

void GetTemporaryFolder(char (&folder)[SETUP_PATH_SIZE])
{
    DWORD length = GetTempPathA(SETUP_PATH_SIZE, folder);
    if (length == 0 || length >= SETUP_PATH_SIZE)
        std::strcpy(folder, "C:\\");
}

void GetWorkFolderParent(char (&folder)[SETUP_PATH_SIZE])
{
    if (!IsProcessElevated()) {
        GetTemporaryFolder(folder);
        LogEvent("Not elevated: the work folder goes to the user's temporary folder %s", folder);
        return;
    }
    // Without it, the folder stays empty: its free space can't be read, and the run is refused.
    UINT length = GetSystemWindowsDirectoryA(folder, SETUP_PATH_SIZE);
    if (length == 0 || length >= SETUP_PATH_SIZE) {
        folder[0] = 0;
        LogFailure(LastErrorResult(), "Failed to find the Windows folder");
        return;
    }
    if (!AppendName(folder, "Temp\\"))
        return;
    LogEvent("Elevated: the work folder goes to the system's temporary folder %s", folder);
}

void MakeWorkFolderName(const char* tempFolder, const unsigned* number, char (&workFolder)[SETUP_PATH_SIZE])
{
    char name[16] = "exp.tmp";
    if (number)
        std::snprintf(name, sizeof(name), "exp%08x.tmp", *number);
    CopyDbcsAware(workFolder, tempFolder ? tempFolder : "", SETUP_PATH_SIZE - 1);
    AppendName(workFolder, name); // no room for a name: empty, nothing to create
}

namespace {

// Names taken by another program in between are given up this often.
const int CREATE_ATTEMPTS = 10;

// Held from creation to removal: listed and emptied through this handle;
// reading and writing shared (the setup and its installers work inside),
// deletion not, so nobody else can rename or remove it. No delete access
// of its own: with it every other open of the folder would have to share
// deletion, and SetCurrentDirectory and FindFirstFile don't (error 32).
const ACCESS_MASK FOLDER_ACCESS = FILE_LIST_DIRECTORY | FILE_TRAVERSE | FILE_READ_ATTRIBUTES | FILE_WRITE_ATTRIBUTES;
const ULONG FOLDER_SHARE = FILE_SHARE_READ | FILE_SHARE_WRITE;
// A folder made new in the call that opens it, never through a link.
const ULONG NEW_FOLDER_OPTIONS = FILE_DIRECTORY_FILE | FILE_OPEN_REPARSE_POINT | FILE_OPEN_FOR_BACKUP_INTENT;

// The last name of path (after its last single-byte backslash).
const char* LastName(const char* path)
{
    const char* last = path;
    for (const char* p = path; *p;) {
        std::size_t length = DbcsCharLength(p);
        if (length == 1 && *p == '\\')
            last = p + 1;
        p += length ? length : 1;
    }
    return last;
}

DWORD VolumeFlags(HANDLE folder)
{
    DWORD flags = 0;
    // A volume that can't say is taken to keep security: the protected
    // descriptor is then asked for, and refused by the platform if need be.
    if (!GetVolumeInformationByHandleWOnAnyNt(folder, nullptr, 0, nullptr, nullptr, &flags, nullptr, 0))
        return FILE_PERSISTENT_ACLS;
    return flags;
}

} // namespace

CWorkFolder::CWorkFolder() : m_nNameChars(0)
{
    m_szPath[0] = 0;
    m_szName[0] = 0;
    m_szTempPath[0] = 0;
}

CWorkFolder::~CWorkFolder()
{
    Remove();
}

HRESULT CWorkFolder::Create(const char* tempFolder)
{
    Remove();
    const char* temp = tempFolder ? tempFolder : "";
    // The folder is made inside the temporary folder's handle, so that the
    // temporary folder's path is looked up once.
    UniqueFileHandle parent(CreateFileA(temp, // by path: the folder the work folder goes into
                                        FILE_TRAVERSE | FILE_ADD_SUBDIRECTORY | FILE_READ_ATTRIBUTES,
                                        FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING,
                                        FILE_FLAG_BACKUP_SEMANTICS, nullptr));
    if (!parent) {
        HRESULT result = LastErrorResult();
        LogFailure(result, "Failed to open the temporary folder %s", temp);
        return result;
    }
    CWorkFolderSecurity security(VolumeFlags(parent.Get()));
    if (security.GetResult() == HRESULT_FROM_WIN32(ERROR_NOT_SUPPORTED)) {
        LogFailure(security.GetResult(),
                   "The temporary folder %s is on a volume that keeps no security: the work "
                   "folder could not be protected there, so none is made",
                   temp);
        return security.GetResult();
    }
    if (FAILED(security.GetResult())) {
        LogFailure(security.GetResult(), "Failed to make the work folder's protected descriptor");
        return security.GetResult();
    }
    HRESULT result = HRESULT_FROM_WIN32(ERROR_ALREADY_EXISTS);
    char name[SETUP_PATH_SIZE];
    name[0] = 0;
    for (int attempt = 0; attempt < CREATE_ATTEMPTS && result == HRESULT_FROM_WIN32(ERROR_ALREADY_EXISTS); ++attempt) {
        unsigned number = 0;
        const bool random = NewRandomNumber(&number);
        if (!random)
            LogEvent("No random number for the work folder's name: it is named exp.tmp");
        MakeWorkFolderName(temp, random ? &number : nullptr, name);
        wchar_t wide[MAX_PATH];
        ULONG chars = 0;
        if (!name[0] || !WidenBareName(LastName(name), wide, &chars)) {
            LogFailure(E_FAIL, "No work folder name fits in the temporary folder %s", temp);
            return E_FAIL;
        }
        // Made new in the call that opens it: a name someone took first, a
        // file, a folder or a link, is given up for another.
        result = NtCreateFileIn(parent.Get(), wide, chars, FOLDER_ACCESS, FOLDER_SHARE, FILE_CREATE, NEW_FOLDER_OPTIONS,
                                security.GetDescriptor(), m_hFolder);
        if (result == HRESULT_FROM_WIN32(ERROR_ALREADY_EXISTS))
            LogEvent("%s exists already: the work folder takes another name", name);
        if (SUCCEEDED(result)) {
            std::memcpy(m_szName, wide, sizeof(m_szName));
            m_nNameChars = chars;
        }
        if (!random)
            break;
    }
    if (FAILED(result)) {
        LogFailure(result, "Failed to create the work folder %s", name);
        return result;
    }
    if (!GetFileIdentity(m_hFolder.Get(), &m_Identity)) {
        result = LastErrorResult();
        // Without it the folder could not be told from one put at its name
        // later: it is given up, empty, rather than removed unchecked.
        LogFailure(result, "Failed to read the identity of the work folder %s; it stays, empty", name);
        m_hFolder.Reset();
        return result;
    }
    m_hParent = std::move(parent);
    std::memcpy(m_szPath, name, sizeof(m_szPath));
    LogEvent("Work folder created: %s (%s)", m_szPath, security.Describe());
    return S_OK;
}

bool CWorkFolder::Confirm()
{
    FILE_ATTRIBUTE_TAG_INFO tag = {};
    if (!m_hFolder || !GetFileInformationByHandleExOnAnyNt(m_hFolder.Get(), FileAttributeTagInfo, &tag, sizeof tag) ||
        !(tag.FileAttributes & FILE_ATTRIBUTE_DIRECTORY) || (tag.FileAttributes & FILE_ATTRIBUTE_REPARSE_POINT)) {
        LogEvent("Work folder not found as a folder: %s", m_szPath);
        return false;
    }
    AppendBackslash(m_szPath);
    return true;
}

HRESULT CWorkFolder::CreateInstallersTemp()
{
    static const wchar_t kName[] = L"Temp";
    const std::size_t length = std::strlen(m_szPath);
    if (!m_hFolder || length == 0 || m_szPath[length - 1] != '\\')
        return E_UNEXPECTED;
    std::memcpy(m_szTempPath, m_szPath, sizeof(m_szTempPath));
    if (!AppendName(m_szTempPath, "Temp\\"))
        return E_UNEXPECTED;
    // No descriptor of its own: it inherits the work folder's.
    HRESULT result = NtCreateFileIn(m_hFolder.Get(), kName, ARRAYSIZE(kName) - 1, FOLDER_ACCESS, FOLDER_SHARE,
                                    FILE_CREATE, NEW_FOLDER_OPTIONS, nullptr, m_hTemp);
    if (FAILED(result)) {
        LogFailure(result, "Failed to create the installers' temporary folder %s", m_szTempPath);
        m_szTempPath[0] = 0;
        return result;
    }
    LogEvent("Installers' temporary folder created: %s", m_szTempPath);
    return S_OK;
}

HRESULT CWorkFolder::Remove()
{
    // The temporary folder's hold goes first: it goes with the contents.
    m_hTemp.Reset();
    m_szTempPath[0] = 0;
    char path[SETUP_PATH_SIZE];
    CopyDbcsAware(path, m_szPath, SETUP_PATH_SIZE - 1);
    StripBackslash(path);
    m_szPath[0] = 0;
    if (!m_hFolder)
        return S_FALSE;
    // Emptied through the handle held since its creation; then, the hold
    // given up, the folder itself by its name, if it is still the one made.
    HRESULT result = RemoveFolderContents(m_hFolder.Get());
    m_hFolder.Reset();
    if (SUCCEEDED(result))
        result = RemoveEmptiedFolder(m_hParent.Get(), m_szName, m_nNameChars, m_Identity);
    m_hParent.Reset();
    if (SUCCEEDED(result) && GetFileAttributesA(path) != INVALID_FILE_ATTRIBUTES)
        result = HRESULT_FROM_WIN32(ERROR_DIR_NOT_EMPTY); // it is still there
    if (FAILED(result))
        LogFailure(result, "Failed to remove the work folder %s", path);
    else
        LogEvent("Work folder removed: %s", path);
    return result;
}
