// The effect catalogue for tools and tests: every effect class with its name,
// type identifier and payload length, creation by identifier or name, and
// access to every parameter field by name.
#pragma once

#include <cstddef>
#include <cstdint>

#include "imaging/colour.h"

class tlEffect;

enum class tlFieldKind : int32_t { Int, Bool, Colour };

struct tlFieldInfo {
    const char *name;
    tlFieldKind kind;
    bool stored;                         // part of the parameter record
    void *(*address)(tlEffect &effect);  // int32_t, bool or tlColour of the effect
};

struct tlEffectInfo {
    const char *name;  // class name without "tl" and "Effect": "GlassTile"
    int32_t typeId;
    uint32_t payloadLength;
    tlEffect *(*create)();  // null when memory runs out
    const tlFieldInfo *fields;
    int32_t fieldCount;
};

// All 27 classes, in the order of their type identifiers.
const tlEffectInfo *effectCatalogue(int32_t &count);
const tlEffectInfo *findEffectInfo(int32_t typeId);
const tlEffectInfo *findEffectInfo(const char *name);  // exact class name, "GlassTile"
const tlFieldInfo *findField(const tlEffectInfo &info, const char *name);

// A new effect with its defaults, or null for an unknown class or no memory.
tlEffect *createEffect(int32_t typeId);
tlEffect *createEffectByName(const char *name);

// Typed access by field name; false for an unknown field or a wrong kind.
bool getIntField(const tlEffect &effect, const char *name, int32_t &value);
bool setIntField(tlEffect &effect, const char *name, int32_t value);
bool getBoolField(const tlEffect &effect, const char *name, bool &value);
bool setBoolField(tlEffect &effect, const char *name, bool value);
bool getColourField(const tlEffect &effect, const char *name, tlColour &value);
bool setColourField(tlEffect &effect, const char *name, const tlColour &value);

// Text forms. Ints are decimal (optionally negative, or 0x hexadecimal),
// bools 0 or 1, colours rgb(r,g,b), rgba(r,g,b,a) or rgba16(r,g,b,a).
bool parseColour(const char *text, tlColour &value);
bool setFieldFromText(tlEffect &effect, const char *name, const char *text);
// Writes the field as JSON (a number, true/false, or
// {"model":0,"bits":8,"channels":4,"samples":[...]}) into out.
bool formatField(const tlEffect &effect, const tlFieldInfo &field, char *out, size_t size);
