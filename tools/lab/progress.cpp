// Progress line of long lab runs on a terminal.
#include "tools/lab/progress.h"

#ifdef _WIN32
#include <io.h>
#else
#include <unistd.h>
#endif

bool stderrIsTerminal() {
#ifdef _WIN32
    return _isatty(_fileno(stderr)) != 0;
#else
    return isatty(fileno(stderr)) != 0;
#endif
}

labProgress::labProgress(const char *command) : labProgress(command, stderr, stderrIsTerminal()) {}

labProgress::labProgress(const char *command, std::FILE *to, bool enabled)
    : command(command), to(to), enabled(enabled) {}

void labProgress::show(const std::string &what) {
    if (!enabled) return;
    const std::string line = std::string("chromaweave_lab ") + command + ": " + what;
    // A shorter line is padded so that nothing of the longer one stays.
    const int pad = shown > line.size() ? static_cast<int>(shown - line.size()) : 0;
    std::fprintf(to, "\r%s%*s", line.c_str(), pad, "");
    std::fflush(to);
    shown = line.size();
}

void labProgress::clear() {
    if (!enabled || shown == 0) return;
    std::fprintf(to, "\r%*s\r", static_cast<int>(shown), "");
    std::fflush(to);
    shown = 0;
}
