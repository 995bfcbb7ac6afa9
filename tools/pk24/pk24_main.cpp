// pk24: the release engineer's tool for the setup's payloads.
#include <cstdio>
#include <cstring>

#include "tools/pk24/commands.h"

namespace {

const char USAGE[] = "usage: pk24 [--codepage 932] COMMAND ...\n"
                     "\n"
                     "  pack ARCHIVE ITEM...     write a PK24 package of the items, in the order given;\n"
                     "                           ITEM is a file, a folder (its files, sorted by name)\n"
                     "                           or --as NAME FILE (the file stored under NAME)\n"
                     "  list ARCHIVE             print each entry's size and name\n"
                     "  unpack ARCHIVE FOLDER    write every entry as a file in FOLDER\n"
                     "  scramble IN OUT          store a payload the way the setup's resources hold it\n"
                     "  unscramble IN OUT        turn a stored payload back into its original\n"
                     "\n"
                     "Entry names must be bare file names (no folder part, drive, \"..\", device name,\n"
                     "trailing dot or blank); they are stored as the bytes given and must be in the\n"
                     "code page of the machines that run the setup. --codepage 932 judges them as\n"
                     "Shift-JIS, where the second byte of a character may be 0x5C.\n"
                     "Exit code: 0 done, 1 failed, 2 wrong usage.\n";

} // namespace

int Fail(const std::string& message)
{
    std::fprintf(stderr, "pk24: %s\n", message.c_str());
    return 1;
}

int Misuse(const std::string& message)
{
    std::fprintf(stderr, "pk24: %s\n%s", message.c_str(), USAGE);
    return 2;
}

int main(int argc, char** argv)
{
    Arguments arguments(argv + 1, argv + argc);
    LeadBytePredicate isLeadByte = NoLeadBytes;
    if (arguments.size() >= 2 && arguments[0] == "--codepage") {
        if (arguments[1] == "932")
            isLeadByte = IsShiftJisLeadByte;
        else if (arguments[1] != "1252" && arguments[1] != "437")
            return Misuse("unknown code page " + arguments[1] + " (known: 932, 1252, 437)");
        arguments.erase(arguments.begin(), arguments.begin() + 2);
    }
    if (arguments.empty())
        return Misuse("no command given");
    std::string command = arguments[0];
    arguments.erase(arguments.begin());
    if (command == "--help" || command == "-h" || command == "help") {
        std::fputs(USAGE, stdout);
        return 0;
    }
    if (command == "pack")
        return PackCommand(arguments, isLeadByte);
    if (command == "list")
        return ListCommand(arguments, isLeadByte);
    if (command == "unpack")
        return UnpackCommand(arguments, isLeadByte);
    if (command == "scramble" || command == "unscramble")
        return ScrambleCommand(arguments, command == "unscramble");
    return Misuse("unknown command " + command);
}
