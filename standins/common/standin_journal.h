#pragma once
// The journal every stand-in appends to: one line per run, so that a test (or
// a release engineer) sees which installers ran, how, and what they did.
// The file is named by the environment variable BCSETUP_STANDIN_JOURNAL; when
// it is not set nothing is written. Lines are UTF-8, fields separated by tabs:
//   name  program file  command line  current folder  what it did  temporary folder
#include <string>

namespace standin {

extern const wchar_t kJournalVariable[];

// Appends the line for this run of the stand-in called name.
void WriteJournal(const std::wstring& name, const std::wstring& action);

} // namespace standin
