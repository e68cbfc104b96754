// The command table of chromaweave_lab: each command file registers its
// commands with a static labCommandRegistrar, so adding a command means
// adding one file and touching nothing else.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

// Exit codes of every command.
enum {
    kLabOk = 0,      // done
    kLabFailed = 1,  // the input was read but the work or the output failed
    kLabUsage = 2,   // bad command line or unreadable input
};

// argv[0] is the command name, argv[1..argc-1] its arguments.
using labCommandFn = int (*)(int argc, char **argv);

struct labCommand {
    const char *name;
    labCommandFn run;
    const char *usage;  // one line: the arguments after the command name
};

class labCommandRegistrar {
public:
    labCommandRegistrar(const char *name, labCommandFn run, const char *usage);
};

// Registered commands, sorted by name.
std::vector<labCommand> labCommands();
const labCommand *findLabCommand(const std::string &name);

// The whole program: argv[0] is the program, argv[1] the command. --help or
// -h, alone or after a command, prints the usage on stdout; --version the
// version.
int runLab(int argc, char **argv);

// The version the About dialog of chromaweave shows (the build reads it from
// the resource script).
const char *labVersion();

// Messages on stderr, prefixed with the command; they return the exit code
// so a command can write `return labUsageError(...)`.
int labUsageError(const char *command, const std::string &message);
int labFailure(const char *command, const std::string &message);
