#pragma once
// The texts a user sees in the setup's message boxes and dialogs, as UTF-8,
// in the language the test prefix runs in. Written out here (not loaded from
// the program) so that a wrong string table fails the tests.
#include <string>

namespace testing_support {

// The caption of the message boxes (IDS_CAPTION), which the wait window
// carries too.
std::string SetupCaption();
// The caption of the destination folder dialog.
std::string FolderDialogCaption();
// The text of string-table entry id (IDS_...) in the current user language;
// empty for an id the setup has no message under.
std::string MessageText(int id);

} // namespace testing_support
