// Command table and dispatch of chromaweave_lab.
#include "tools/lab/lab.h"

#include <algorithm>
#include <cstdio>
#include <cstring>

namespace {

// Function-local so that registrars in other files may run before any use.
std::vector<labCommand> &table() {
    static std::vector<labCommand> commands;
    return commands;
}

void printOverview(std::FILE *to) {
    std::fprintf(to, "usage: chromaweave_lab COMMAND [ARGS]\n"
                     "       chromaweave_lab [COMMAND] --help\n"
                     "       chromaweave_lab --version\n"
                     "commands:\n");
    for (const labCommand &c : labCommands()) std::fprintf(to, "  %s %s\n", c.name, c.usage);
}

void printUsage(std::FILE *to, const labCommand &c) {
    std::fprintf(to, "usage: chromaweave_lab %s %s\n", c.name, c.usage);
}

bool isHelpOption(const char *arg) { return std::strcmp(arg, "--help") == 0 || std::strcmp(arg, "-h") == 0; }

// --help or -h anywhere among the arguments, up to a "--" that ends the options.
bool asksForHelp(int argc, char **argv) {
    for (int i = 1; i < argc && std::strcmp(argv[i], "--") != 0; ++i)
        if (isHelpOption(argv[i])) return true;
    return false;
}

int runHelp(int argc, char **argv) {
    if (argc > 1) {
        const labCommand *c = findLabCommand(argv[1]);
        if (c == nullptr) return labUsageError("help", std::string("unknown command \"") + argv[1] + "\"");
        printUsage(stdout, *c);
        return kLabOk;
    }
    printOverview(stdout);
    return kLabOk;
}

const labCommandRegistrar helpCommand("help", runHelp, "[COMMAND]");

}  // namespace

labCommandRegistrar::labCommandRegistrar(const char *name, labCommandFn run, const char *usage) {
    table().push_back(labCommand{name, run, usage});
}

std::vector<labCommand> labCommands() {
    std::vector<labCommand> sorted = table();
    std::sort(sorted.begin(), sorted.end(),
              [](const labCommand &a, const labCommand &b) { return std::strcmp(a.name, b.name) < 0; });
    return sorted;
}

const labCommand *findLabCommand(const std::string &name) {
    for (const labCommand &c : table())
        if (name == c.name) return &c;
    return nullptr;
}

const char *labVersion() { return CW_VERSION; }

int runLab(int argc, char **argv) {
    if (argc < 2) {
        printOverview(stderr);
        return kLabUsage;
    }
    if (isHelpOption(argv[1])) {
        printOverview(stdout);
        return kLabOk;
    }
    if (std::strcmp(argv[1], "--version") == 0) {
        std::printf("chromaweave_lab %s\n", labVersion());
        return kLabOk;
    }
    const labCommand *c = findLabCommand(argv[1]);
    if (c == nullptr) {
        std::fprintf(stderr, "chromaweave_lab: unknown command \"%s\"\n", argv[1]);
        printOverview(stderr);
        return kLabUsage;
    }
    if (asksForHelp(argc - 1, argv + 1)) {
        printUsage(stdout, *c);
        return kLabOk;
    }
    return c->run(argc - 1, argv + 1);
}

int labUsageError(const char *command, const std::string &message) {
    std::fprintf(stderr, "chromaweave_lab %s: %s\n", command, message.c_str());
    const labCommand *c = findLabCommand(command);
    if (c != nullptr) printUsage(stderr, *c);
    return kLabUsage;
}

int labFailure(const char *command, const std::string &message) {
    std::fprintf(stderr, "chromaweave_lab %s: %s\n", command, message.c_str());
    return kLabFailed;
}
