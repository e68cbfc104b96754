// Command-line parsing shared by the lab commands: options of the form
// --name VALUE or --name=VALUE, flags, positional arguments, and strict
// number readers. An option's value is always the next argument, so
// negative numbers work (--at -2,-1).
#pragma once

#include <cstdint>
#include <string>
#include <vector>

struct labOption {
    const char *name;  // without the leading dashes
    bool takesValue;
};

class labArgs {
public:
    // Parses argv[1..argc-1] (argv[0] is the command). Unknown, repeated or
    // value-less options are errors; "--" ends the options.
    bool parse(int argc, char **argv, const std::vector<labOption> &options, std::string &error);

    bool has(const std::string &name) const;
    // Null when the option was not given.
    const std::string *value(const std::string &name) const;

    // Each reader leaves out alone and returns true when the option is
    // absent; it returns false with a message when the value is malformed
    // or out of [lo, hi].
    bool getInt(const std::string &name, int32_t lo, int32_t hi, int32_t &out, std::string &error) const;
    bool getIntPair(const std::string &name, int32_t lo, int32_t hi, int32_t &x, int32_t &y, std::string &error) const;
    // Index of the value in choices.
    bool getChoice(const std::string &name, const std::vector<std::string> &choices, int32_t &out,
                   std::string &error) const;
    // False with a message when a required option is missing.
    bool require(const std::string &name, std::string &error) const;

    std::vector<std::string> positional;

private:
    std::vector<std::pair<std::string, std::string>> given;  // name, value ("" for flags)
};

// Strict decimal integer: optional sign, digits only, within [lo, hi].
bool parseInt32(const std::string &text, int32_t lo, int32_t hi, int32_t &out);
