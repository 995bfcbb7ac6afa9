#pragma once
// The temporary work folder: a unique "exp" name in the temporary folder,
// made a folder, filled by the installers and removed with all its content
// at the end of the run (or when its owner goes, on any path).
#include <windows.h>

class CWorkFolder {
public:
    CWorkFolder();
    ~CWorkFolder();
    CWorkFolder(const CWorkFolder&) = delete;
    CWorkFolder& operator=(const CWorkFolder&) = delete;

    // Takes a unique name (falling back to "exp.tmp"), deletes the file the
    // platform made for it and creates a folder of that name. False when the
    // folder can't be created.
    bool Create(const char* tempFolder);
    // True when the name is found as a folder; then it gets its trailing backslash.
    bool Confirm();
    // Deletes the folder with everything in it; failures are ignored.
    void Remove();

    // The folder's path; ends in a backslash after Confirm.
    char* GetPath() { return m_szPath; }

private:
    char m_szPath[MAX_PATH];
    bool m_bCreated;
};
