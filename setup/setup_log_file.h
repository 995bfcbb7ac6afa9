#pragma once
// The setup log of one run: where it goes, and the lines that open and close it.
// It goes to the file the switch names or to "BCSetup.log" in the user's
// temporary folder (outside the work folder, which goes at the end).
#include "setup/product_probe.h"
#include "setup/setup_options.h"

// Opens the log when options ask for it (a file that can't be opened only
// goes to the debugger's output) and writes what the run starts with: the
// program's version, the command line, the switches as understood, the
// user's language and code page, and what the product probe did.
void StartSetupLog(const CSetupOptions& options, bool productQuit, const ProductProbeReport& probe);

// The last line, with the exit code; then closes the log.
int EndSetupLog(int exitCode);
