// Progress of a long lab run: one line on standard error, rewritten in
// place, shown only when standard error is a terminal so that logs and pipes
// stay clean.
#pragma once

#include <cstddef>
#include <cstdio>
#include <string>

class labProgress {
public:
    // Writes to standard error when it is a terminal, otherwise nothing.
    explicit labProgress(const char *command);
    labProgress(const char *command, std::FILE *to, bool enabled);
    ~labProgress() { clear(); }
    labProgress(const labProgress &) = delete;
    labProgress &operator=(const labProgress &) = delete;

    // Replaces the line with "chromaweave_lab COMMAND: WHAT".
    void show(const std::string &what);
    // Erases the line; call it before writing to standard output, which
    // shares the terminal.
    void clear();

private:
    const char *command;
    std::FILE *to;
    bool enabled;
    size_t shown = 0;  // length of the line on the terminal
};

bool stderrIsTerminal();
