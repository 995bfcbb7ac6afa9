#pragma once
// The work folder: made fresh in the temporary folder for the installers, removed with all its content.
#include <windows.h>

#include "base/handle_relative/held_folder.h"
#include "base/unique_handle.h"
#include "base/handle_relative/folder_tree_removal.h"
#include "setup/setup_paths.h"

// The user's temporary folder, with a trailing backslash; "C:\" when it
// can't be had.
void GetTemporaryFolder(char (&folder)[SETUP_PATH_SIZE]);

// Where the work folder is made, with a trailing backslash: elevated, the
// system's temporary folder (the Windows folder's "Temp"), where no
// program of the user can reach into what an administrator makes; not
// elevated, the user's temporary folder. The log says which.
void GetWorkFolderParent(char (&folder)[SETUP_PATH_SIZE]);

// Names the work folder in tempFolder: "exp", the number in eight
// hexadecimal digits, ".tmp"; without a number (no random number could be
// had), "exp.tmp". Empty when the name doesn't fit.
void MakeWorkFolderName(const char* tempFolder, const unsigned* number, char (&workFolder)[SETUP_PATH_SIZE]);

// Owns the work folder from its creation to its removal: whichever way the
// run ends, the folder goes with this object at the latest. From its
// creation to its removal the object holds the folder open without sharing
// deletion, so that no other program can rename, remove or replace it
// (not even while it is empty, in a temporary folder the user may change at
// will); the hold itself asks for no delete access, so the installers can
// make the folder their current one and list it (opens that don't share
// deletion themselves). The folder is made in the one call that opens it,
// so what is held is what was made.
class CWorkFolder {
public:
    CWorkFolder();
    ~CWorkFolder();
    CWorkFolder(const CWorkFolder&) = delete;
    CWorkFolder& operator=(const CWorkFolder&) = delete;

    // Names and creates the folder in tempFolder, under a random name, made
    // in the one call that opens it, which only Administrators and SYSTEM
    // may use when the setup runs elevated (work_folder_security.h). A name
    // that another program took first is given up for a fresh one. Elevated
    // on a volume that keeps no security, no folder is made
    // (HRESULT_FROM_WIN32(ERROR_NOT_SUPPORTED)): it could not be protected.
    // The platform's failure when no folder can be made; then the object
    // owns none.
    HRESULT Create(const char* tempFolder);
    // True when what is held is a real folder (not a link); then its path
    // gets its trailing backslash.
    bool Confirm();
    // Deletes the folder with everything in it, silently, nothing to the
    // recycle bin, through handles only: a link inside is removed itself,
    // never followed out of the folder. The emptied folder itself goes by
    // its name in the temporary folder's handle, and only if it is still the
    // folder that was made (its identity on its volume), else it stays.
    // Afterwards the object owns none. S_FALSE when it owned none; the
    // first failure when part of it stayed.
    HRESULT Remove();

    // Makes the installers' temporary folder, "Temp" in the work folder,
    // inside the work folder's handle (a name someone put there is
    // refused), with the work folder's protection, and holds it as the
    // work folder is held; it goes with the work folder. Once confirmed.
    HRESULT CreateInstallersTemp();
    // Its path with a trailing backslash; empty until it is made.
    const char* GetInstallersTempPath() const { return m_szTempPath; }

    // The folder's path (with a trailing backslash once confirmed); empty
    // when the object owns none.
    const char* GetPath() const { return m_szPath; }
    // The folder as the installers' code makes its files in it: the hold and the path.
    HeldFolder GetHeld() const { return HeldFolder{m_hFolder.Get(), m_szPath}; }

private:
    char m_szPath[SETUP_PATH_SIZE];
    UniqueFileHandle m_hParent; // the temporary folder
    UniqueFileHandle m_hFolder; // the hold
    UniqueFileHandle m_hTemp;   // the installers' temporary folder, held
    char m_szTempPath[SETUP_PATH_SIZE];
    wchar_t m_szName[MAX_PATH]; // the folder's name in the temporary folder
    ULONG m_nNameChars;
    FileIdentity m_Identity;
};
