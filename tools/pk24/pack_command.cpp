// pk24 pack: files and folders into a PK24 package, entries in the order given.
#include <algorithm>
#include <cctype>
#include <filesystem>
#include <set>
#include <system_error>

#include "package/portable/pk24_format.h"
#include "tools/pk24/commands.h"
#include "tools/pk24/host_file.h"

namespace {

struct PackItem {
    std::string name; // the entry name
    std::string path; // the file on disk
    uint64_t size;
};

std::string FoldCase(const std::string& name)
{
    std::string folded(name);
    for (char& c : folded)
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return folded;
}

// Adds a folder's files sorted by name; the format has no folders, so a
// subfolder is an error rather than something silently left out.
std::string AddFolder(const std::string& folder, std::vector<PackItem>& items)
{
    std::vector<std::string> names;
    std::error_code error;
    for (std::filesystem::directory_iterator it(folder, error), end; !error && it != end; it.increment(error)) {
        if (it->is_directory(error))
            return it->path().string() + ": a package holds no folders";
        names.push_back(it->path().filename().string());
    }
    if (error)
        return folder + ": " + error.message();
    std::sort(names.begin(), names.end());
    for (const std::string& name : names)
        items.push_back({name, (std::filesystem::path(folder) / name).string(), 0});
    return "";
}

std::string CollectItems(const Arguments& arguments, std::vector<PackItem>& items)
{
    for (size_t i = 1; i < arguments.size(); ++i) {
        const std::string& argument = arguments[i];
        if (argument == "--as") {
            if (i + 2 >= arguments.size())
                return "--as needs a NAME and a FILE";
            items.push_back({arguments[i + 1], arguments[i + 2], 0});
            i += 2;
        } else if (std::filesystem::is_directory(argument)) {
            std::string problem = AddFolder(argument, items);
            if (!problem.empty())
                return problem;
        } else {
            items.push_back({std::filesystem::path(argument).filename().string(), argument, 0});
        }
    }
    return "";
}

std::string CheckItems(std::vector<PackItem>& items, LeadBytePredicate isLeadByte, uint64_t* archiveSize)
{
    std::set<std::string> seen;
    *archiveSize = PK24_ARCHIVE_HEADER_SIZE;
    for (PackItem& item : items) {
        std::string field(item.name);
        field.resize(PK24_NAME_FIELD_SIZE, '\0');
        if (item.name.size() >= PK24_NAME_FIELD_SIZE || item.name.find('\0') != std::string::npos ||
            !IsBareEntryName(field.data(), field.size(), isLeadByte))
            return "\"" + item.name + "\" is not a bare file name of at most 263 bytes";
        // Windows names ignore case: a second entry would overwrite the first.
        if (!seen.insert(FoldCase(item.name)).second)
            return "\"" + item.name + "\" is in the package twice";
        if (!GetFileSize(item.path, &item.size))
            return item.path + ": not a readable file";
        *archiveSize += PK24_ENTRY_HEADER_SIZE + item.size;
    }
    return "";
}

std::string CopyItem(const PackItem& item, CHostFile& archive)
{
    unsigned char header[PK24_ENTRY_HEADER_SIZE];
    EncodeEntryHeader(item.size, item.name.c_str(), header);
    if (!archive.Write(header, sizeof header))
        return SystemError(archive.Path());
    CHostFile input;
    if (!input.Open(item.path, "rb"))
        return SystemError(item.path);
    std::vector<unsigned char> block(64 * 1024);
    uint64_t copied = 0;
    for (size_t got; (got = input.Read(block.data(), block.size())) > 0; copied += got) {
        if (copied + got > item.size)
            break;
        if (!archive.Write(block.data(), got))
            return SystemError(archive.Path());
    }
    if (input.Failed())
        return SystemError(item.path);
    if (copied != item.size)
        return item.path + ": the file changed while it was packed";
    return "";
}

} // namespace

int PackCommand(const Arguments& arguments, LeadBytePredicate isLeadByte)
{
    if (arguments.size() < 2)
        return Misuse("pack needs an ARCHIVE and at least one ITEM");
    std::vector<PackItem> items;
    std::string problem = CollectItems(arguments, items);
    uint64_t archiveSize = 0;
    if (problem.empty())
        problem = CheckItems(items, isLeadByte, &archiveSize);
    if (!problem.empty())
        return Fail(problem);

    const std::string& path = arguments[0];
    CHostFile archive;
    if (!archive.Open(path, "wb"))
        return Fail(SystemError(path));
    unsigned char header[PK24_ARCHIVE_HEADER_SIZE];
    EncodeArchiveHeader(archiveSize, header);
    if (!archive.Write(header, sizeof header))
        problem = SystemError(path);
    for (size_t i = 0; problem.empty() && i < items.size(); ++i)
        problem = CopyItem(items[i], archive);
    if (!archive.Close() && problem.empty())
        problem = SystemError(path);
    if (!problem.empty()) {
        std::remove(path.c_str()); // no half-written package left behind
        return Fail(problem);
    }
    return 0;
}
