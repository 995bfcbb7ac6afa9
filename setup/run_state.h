#pragma once

// What the setup sequence has learned so far; all false at the start.
struct RunState {
    bool bFailed = false;          // an installer failed to run or reported failure
    bool bAborted = false;         // the run was abandoned before its normal end
    bool bCancelled = false;       // the folder dialog or the main installer was cancelled
    bool bCompleted = false;       // the normal end was reached without a failure
    bool bRestartRequired = false; // Windows must be restarted to finish
    bool bOfferDirectX = false;    // the DirectX setup is offered after the installers
};
