#pragma once
// The texts a user sees in the setup's message boxes, as UTF-8, in the
// language the test prefix runs in. Written out here (not loaded from the
// program) so that a wrong string table fails the tests.
#include <string>

namespace testing_support {

// The message box caption (string 108).
std::string SetupCaption();
// The caption of the folder dialog.
std::string FolderDialogCaption();
// The text of string-table entry id in the current user language.
std::string MessageText(int id);

} // namespace testing_support
