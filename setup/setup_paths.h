#pragma once
// The folders and files the setup works with: path helpers that keep to the
// double-byte rules of the ANSI code page, and the DirectX setup program on
// the distribution medium.
#include <windows.h>

#include <cstddef>

#include "base/text_string.h"

// Size of the path buffers the setup uses for the temporary and work folders.
constexpr std::size_t SETUP_PATH_SIZE = MAX_PATH;

// The folder that holds a file, or the parent of a folder given without a
// trailing backslash: "C:\A\B\x.exe" gives "C:\A\B", "C:\A\B" gives "C:\A",
// "C:\Setup" and "C:\" give "C:\" (a root keeps its backslash).
CTextString GetParentFolder(const char* path);

// Appends one backslash to a non-empty text unless its last character is a
// backslash (a double-byte character whose trail byte is 0x5C is not). The
// text stays as it is when the backslash would not fit into size bytes.
char* AppendBackslash(char* text, std::size_t size);
template <std::size_t N> char* AppendBackslash(char (&text)[N])
{
    return AppendBackslash(text, N);
}

// Removes a final backslash (never the trail byte of a double-byte character).
char* StripBackslash(char* text);

// The folder above the one that holds the setup program, without trailing
// backslash: "D:\Media\Setup\BCSetup.exe" gives "D:\Media"; "D:\Setup\BCSetup.exe"
// and "D:\x.exe" both give "D:" (a drive root is its letter and colon).
CTextString GetMediumFolder(const char* setupProgramPath);

// Where the DirectX setup program lies for a setup program at
// setupProgramPath: the medium folder, a backslash and "DX" of section
// "Setup" of "krsetup.ini" in the Windows folder (default
// "Tools\DirectX9.0c\dxsetup.exe").
CTextString GetDirectXSetupPath(const char* setupProgramPath);

// GetDirectXSetupPath when that file exists; else empty.
CTextString FindDirectXSetup(const char* setupProgramPath);

// FindDirectXSetup for the running program; empty when its own path can't be had.
CTextString FindDirectXSetupOnMedium();
