// What the resource tests share: the built program loaded as data, and a
// reader of resource templates (16-bit words, NUL-terminated UTF-16 texts,
// names or ordinals) that never reads past the end.
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>
#include <vector>

// The program loaded as data, for the whole test run.
inline HMODULE program() {
    static HMODULE module = LoadLibraryExA(CW_MAIN_EXE, nullptr, LOAD_LIBRARY_AS_DATAFILE);
    return module;
}

class TemplateReader {
public:
    TemplateReader(const uint8_t *bytes, size_t size) : bytes(bytes), size(size) {}
    explicit TemplateReader(const std::vector<uint8_t> &bytes) : TemplateReader(bytes.data(), bytes.size()) {}
    uint16_t word() {
        if (at + 2 > size) {
            at = size + 1;
            return 0;
        }
        at += 2;
        return uint16_t(bytes[at - 2] | bytes[at - 1] << 8);
    }
    uint32_t dword() { return word() | uint32_t(word()) << 16; }
    std::u16string text() {
        std::u16string s;
        for (uint16_t c = word(); c != 0 && ok(); c = word()) s += char16_t(c);
        return s;
    }
    // A class or title: 0xFFFF and an ordinal ("#n"), or a text.
    std::u16string nameOrOrdinal() {
        if (at + 2 <= size && bytes[at] == 0xFF && bytes[at + 1] == 0xFF) {
            word();
            std::string n = "#" + std::to_string(word());
            return std::u16string(n.begin(), n.end());
        }
        return text();
    }
    void skip(size_t n) { at += n; }
    void alignDword() { at = (at + 3) & ~size_t(3); }
    size_t position() const { return at; }
    bool ok() const { return at <= size; }
    bool atEnd() const { return at >= size; }

private:
    const uint8_t *bytes;
    size_t size;
    size_t at = 0;
};

inline std::string utf8(const std::u16string &s) {
    std::string out;
    for (char16_t c : s) {
        if (c < 0x80) {
            out += char(c);
        } else if (c < 0x800) {
            out += char(0xC0 | c >> 6);
            out += char(0x80 | (c & 0x3F));
        } else {
            out += char(0xE0 | c >> 12);
            out += char(0x80 | (c >> 6 & 0x3F));
            out += char(0x80 | (c & 0x3F));
        }
    }
    return out;
}

// A control's class in upper case, whether stored by name or as the atom of
// a predefined class.
inline std::string className(const std::u16string &stored) {
    static const struct {
        const char *atom, *name;
    } atoms[] = {{"#128", "BUTTON"}, {"#129", "EDIT"}, {"#130", "STATIC"}, {"#133", "COMBOBOX"}};
    std::string name = utf8(stored);
    for (const auto &a : atoms)
        if (name == a.atom) return a.name;
    for (char &c : name) c = char(c >= 'a' && c <= 'z' ? c - 32 : c);
    return name;
}
