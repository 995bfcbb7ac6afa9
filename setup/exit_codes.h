#pragma once

// The value WinMain returns.
enum SetupExitCode {
    SETUP_EXIT_OK = 0,      // the sequence ran to its end, whatever the outcome
    SETUP_EXIT_REFUSED = -1 // the run was refused
};
