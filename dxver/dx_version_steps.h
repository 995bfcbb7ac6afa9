#pragma once
// The inner steps of the DirectX version detection. Each out-parameter may
// be null. The letter is a space when the version has none.
#include <windows.h>

struct IDxDiagContainer;

// Asks the DirectX diagnostic COM provider. E_FAIL unless it reported the
// major and minor version and the letter.
HRESULT GetDXVersionFromDiagnostics(DWORD* major, DWORD* minor, char* letter);

// Reads "dwDirectXVersionMajor", "dwDirectXVersionMinor" and
// "szDirectXVersionLetter" of the diagnostic's "DxDiag_SystemInfo"
// container. E_FAIL unless all three were there with their types.
HRESULT ReadDXVersionProperties(IDxDiagContainer* systemInfo, DWORD* major, DWORD* minor, char* letter);

// Infers the version from the versions of the DirectX files in the system
// folder. Always S_OK; 0.0 when none of the files is there.
HRESULT GetDXVersionFromFiles(DWORD* major, DWORD* minor, char* letter);

// The same for the DirectX files of folder (with or without a trailing backslash).
HRESULT GetDXVersionFromFilesIn(const char* folder, DWORD* major, DWORD* minor, char* letter);

// The fixed file version of a file: high word (major, minor) and low word
// (build, revision). E_INVALIDARG for a null argument, E_OUTOFMEMORY when the
// version block can't be had, E_FAIL when the file has no version.
HRESULT ReadFileVersion(const char* path, DWORD* high, DWORD* low);

// Fills GetDXVersion's outputs from a version; an upper-case letter is
// lowered first.
void ReportDXVersion(DWORD major, DWORD minor, char letter, DWORD* version, char* text, int textSize);
