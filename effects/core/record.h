// tlRecordReader / tlRecordWriter: the length-prefixed little-endian parameter
// records that effects save to and load from a stream.
#pragma once

#include <cstdint>
#include <new>

#include "imaging/colour.h"

class tlEffect;
class tlStream;

// Reads a record item by item. After the first short read every further read
// yields zero and ok() stays false, so load can read everything, then store
// the values only when ok() is true.
class tlRecordReader {
public:
    // Reads the length word; fails unless it equals the class's payload length.
    tlRecordReader(tlStream &stream, uint32_t payloadLength);

    int32_t word();
    tlColour colour();
    bool ok() const { return good; }

private:
    bool readBytes(uint8_t *out, uint32_t n);

    tlStream &stream;
    bool good = true;
};

// Writes a record item by item; after the first short write nothing more is
// written and finish() reports false.
class tlRecordWriter {
public:
    // Writes the length word.
    tlRecordWriter(tlStream &stream, uint32_t payloadLength);

    void word(int32_t value);
    void flag(bool value) { word(value ? 1 : 0); }
    void packed(bool bit0, bool bit1) { word((bit0 ? 1 : 0) | (bit1 ? 2 : 0)); }
    // The 8-byte stream form; a colour that has none (indexed) fails the record.
    void colour(const tlColour &value);
    bool finish() const { return good; }

private:
    void writeBytes(const uint8_t *bytes, uint32_t n);

    tlStream &stream;
    bool good = true;
};

// Load rules shared by the records.
// "0 -> 1": the test is unsigned, so 0 and 1 give 1 and negative values pass.
inline int32_t zeroToOne(int32_t v) { return static_cast<uint32_t>(v) <= 1 ? 1 : v; }
inline bool bit0(int32_t v) { return (v & 1) != 0; }
inline bool bit1(int32_t v) { return (v & 2) != 0; }
inline bool nonZero(int32_t v) { return v != 0; }

// Every class clones by copy construction: all fields, also the ones the record
// does not store, plus opacity and blend mode. Null when memory runs out.
template <class E>
tlEffect *cloneEffect(const E &effect) {
    return new (std::nothrow) E(effect);
}
