#pragma once
// fvtool's subcommand table. Each subcommand group lives in its own file and registers
// itself with a static Subcommand object:
//
//     static const Subcommand kProps{"props", "dump FILE | get FILE NAME...", RunProps};
//
// The handler gets the arguments after the group name and returns the exit status. Errors
// go to stderr as one line beginning with "Error: ".

#include <string>
#include <vector>

using SubcommandHandler = int (*)(const std::vector<std::string>& args);

struct Subcommand {
    Subcommand(const char* name, const char* usage, SubcommandHandler handler);
    const char* name;
    const char* usage;  // the arguments, shown by fvtool --help and NAME --help
    SubcommandHandler handler;
};

const std::vector<const Subcommand*>& Subcommands();

// Prints "Error: message" to stderr and returns 1.
int Fail(const std::string& message);
// True when args holds "--help" or "-h" anywhere.
bool WantsHelp(const std::vector<std::string>& args);
// Prints "usage: fvtool NAME USAGE" to stdout and returns 0.
int PrintUsage(const Subcommand& command);
