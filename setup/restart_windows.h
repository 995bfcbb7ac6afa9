#pragma once
// Restarting Windows at the end of a setup that needs it.

// Enables the shutdown privilege (on the NT family) and asks Windows to
// restart, without forcing running programs to close. Reports nothing: a
// refused restart simply lets the setup end.
void RestartWindows();
