#pragma once
// The commands of pk24. Each takes the arguments after its name and returns
// the process exit code: 0 done, 1 failed (a message is on stderr), 2 misused.
#include <string>
#include <vector>

#include "package/portable/entry_name.h"

typedef std::vector<std::string> Arguments;

int PackCommand(const Arguments& arguments, LeadBytePredicate isLeadByte);
int ListCommand(const Arguments& arguments, LeadBytePredicate isLeadByte);
int UnpackCommand(const Arguments& arguments, LeadBytePredicate isLeadByte);
int ScrambleCommand(const Arguments& arguments, bool restore);

// Prints "pk24: message" to stderr and returns 1.
int Fail(const std::string& message);
int Misuse(const std::string& message);
