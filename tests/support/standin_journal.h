#pragma once
// Reading what the stand-in installers did: each run appends one line to the
// journal file named by BCSETUP_STANDIN_JOURNAL (see
// standins/common/standin_journal.h). Also: scripting the stand-ins through
// this process's environment, which the setup and RunAndWait pass on.
#include <string>
#include <vector>

namespace testing_support {

struct JournalEntry {
    std::string name;        // "setup", "wmfdist", "DivXPro"
    std::string program;     // the file that ran
    std::string commandLine; // as the stand-in received it
    std::string folder;      // its current folder
    std::string action;      // what it did
    std::string temp;        // its temporary folder (GetTempPath)
};

std::vector<JournalEntry> ReadJournal(const std::string& path);

// Sets an environment variable of this process for the life of the object
// and restores the former value (or its absence) afterwards. Texts are UTF-8.
class ScopedEnvironmentVariable {
public:
    ScopedEnvironmentVariable(const std::string& name, const std::string& value);
    ~ScopedEnvironmentVariable();
    ScopedEnvironmentVariable(const ScopedEnvironmentVariable&) = delete;
    ScopedEnvironmentVariable& operator=(const ScopedEnvironmentVariable&) = delete;

private:
    std::string m_strName;
    std::string m_strOldValue;
    bool m_bHadValue;
};

// A fresh journal file in folder, named by BCSETUP_STANDIN_JOURNAL while the
// object lives.
class ScopedJournal {
public:
    explicit ScopedJournal(const std::string& folder);
    std::vector<JournalEntry> Entries() const { return ReadJournal(m_strPath); }
    const std::string& Path() const { return m_strPath; }

private:
    std::string m_strPath;
    ScopedEnvironmentVariable m_Variable;
};

} // namespace testing_support
