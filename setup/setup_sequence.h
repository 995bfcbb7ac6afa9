#pragma once
// The setup sequence: everything WinMain does after the guard, the product
// check and the switches.
#include "setup/setup_options.h"

// Runs the whole sequence; returns SETUP_EXIT_OK or SETUP_EXIT_REFUSED.
int RunSetupSequence(const CSetupOptions& options);
