// Command-line parsing shared by the lab commands.
#include "tools/lab/args.h"

namespace {

const labOption *findOption(const std::vector<labOption> &options, const std::string &name) {
    for (const labOption &o : options)
        if (name == o.name) return &o;
    return nullptr;
}

}  // namespace

bool parseInt32(const std::string &text, int32_t lo, int32_t hi, int32_t &out) {
    size_t i = 0;
    bool negative = false;
    if (i < text.size() && (text[i] == '-' || text[i] == '+')) negative = text[i++] == '-';
    if (i == text.size()) return false;
    int64_t v = 0;
    for (; i < text.size(); ++i) {
        if (text[i] < '0' || text[i] > '9') return false;
        v = v * 10 + (text[i] - '0');
        if (v > (int64_t(1) << 32)) return false;  // far outside any int32 range
    }
    if (negative) v = -v;
    if (v < lo || v > hi) return false;
    out = static_cast<int32_t>(v);
    return true;
}

bool labArgs::parse(int argc, char **argv, const std::vector<labOption> &options, std::string &error) {
    bool optionsDone = false;
    for (int i = 1; i < argc; ++i) {
        std::string arg = argv[i];
        if (optionsDone || arg.size() < 2 || arg.compare(0, 2, "--") != 0) {
            positional.push_back(arg);
            continue;
        }
        if (arg == "--") {
            optionsDone = true;
            continue;
        }
        std::string name = arg.substr(2), text;
        size_t eq = name.find('=');
        bool inlineValue = eq != std::string::npos;
        if (inlineValue) {
            text = name.substr(eq + 1);
            name.resize(eq);
        }
        const labOption *o = findOption(options, name);
        if (o == nullptr) {
            error = "unknown option --" + name;
            return false;
        }
        if (has(name)) {
            error = "option --" + name + " given twice";
            return false;
        }
        if (o->takesValue && !inlineValue) {
            if (i + 1 >= argc) {
                error = "option --" + name + " needs a value";
                return false;
            }
            text = argv[++i];
        } else if (!o->takesValue && inlineValue) {
            error = "option --" + name + " takes no value";
            return false;
        }
        given.emplace_back(name, text);
    }
    return true;
}

bool labArgs::has(const std::string &name) const { return value(name) != nullptr; }

const std::string *labArgs::value(const std::string &name) const {
    for (const auto &g : given)
        if (g.first == name) return &g.second;
    return nullptr;
}

bool labArgs::getInt(const std::string &name, int32_t lo, int32_t hi, int32_t &out, std::string &error) const {
    const std::string *v = value(name);
    if (v == nullptr) return true;
    if (parseInt32(*v, lo, hi, out)) return true;
    error = "--" + name + " wants an integer from " + std::to_string(lo) + " to " + std::to_string(hi) + ", not \"" +
            *v + "\"";
    return false;
}

bool labArgs::getIntPair(const std::string &name, int32_t lo, int32_t hi, int32_t &x, int32_t &y,
                         std::string &error) const {
    const std::string *v = value(name);
    if (v == nullptr) return true;
    size_t comma = v->find(',');
    int32_t a = 0, b = 0;
    if (comma != std::string::npos && parseInt32(v->substr(0, comma), lo, hi, a) &&
        parseInt32(v->substr(comma + 1), lo, hi, b)) {
        x = a;
        y = b;
        return true;
    }
    error = "--" + name + " wants two integers X,Y from " + std::to_string(lo) + " to " + std::to_string(hi) +
            ", not \"" + *v + "\"";
    return false;
}

bool labArgs::getChoice(const std::string &name, const std::vector<std::string> &choices, int32_t &out,
                        std::string &error) const {
    const std::string *v = value(name);
    if (v == nullptr) return true;
    for (size_t i = 0; i < choices.size(); ++i) {
        if (*v == choices[i]) {
            out = static_cast<int32_t>(i);
            return true;
        }
    }
    error = "--" + name + " wants one of";
    for (const std::string &c : choices) error += " " + c;
    error += ", not \"" + *v + "\"";
    return false;
}

bool labArgs::require(const std::string &name, std::string &error) const {
    if (has(name)) return true;
    error = "missing option --" + name;
    return false;
}
