#pragma once
// The setup log of one run: where it goes, and the lines that open and close it.
// It goes to the file the switch names, appended to, or to a new file in the
// user's temporary folder (outside the work folder, which goes at the end)
// named "BCSetup 2026-12-09 14.02.31 7f3a.log": date, time and a random part.
#include "setup/product_probe.h"
#include "setup/setup_options.h"
#include "setup/setup_paths.h"

// Room for the default log's path: the temporary folder and the name.
const int SETUP_LOG_PATH_SIZE = SETUP_PATH_SIZE + 64;

// A random number for the default log's name, from the platform's
// cryptographic generator.
unsigned NewLogNameNumber();

// Creates the default log as a new file in folder (with its trailing
// backslash) and writes its path to path. The name carries the local time
// and a random part from nextNumber; nothing is ever written through a file
// or link that stands at the name already: a name taken is skipped for a
// fresh one, eight times at most, and then the failure is returned.
HRESULT CreateDefaultSetupLog(const char* folder, char (&path)[SETUP_LOG_PATH_SIZE],
                              unsigned (*nextNumber)() = NewLogNameNumber);

// Opens the log when options ask for it (a file that can't be opened only
// goes to the debugger's output) and writes what the run starts with: the
// program's version, the command line, the switches as understood, the
// user's language and code page, and what the product probe did.
void StartSetupLog(const CSetupOptions& options, bool productQuit, const ProductProbeReport& probe);

// The last line, with the exit code; then closes the log.
int EndSetupLog(int exitCode);
