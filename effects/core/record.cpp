// Reading and writing effect parameter records item by item.
#include "effects/core/record.h"

#include "imagefiles/stream.h"

static void putWord(uint8_t out[4], uint32_t v) {
    out[0] = static_cast<uint8_t>(v);
    out[1] = static_cast<uint8_t>(v >> 8);
    out[2] = static_cast<uint8_t>(v >> 16);
    out[3] = static_cast<uint8_t>(v >> 24);
}

static uint32_t getWord(const uint8_t in[4]) {
    return static_cast<uint32_t>(in[0]) | static_cast<uint32_t>(in[1]) << 8 | static_cast<uint32_t>(in[2]) << 16 |
           static_cast<uint32_t>(in[3]) << 24;
}

tlRecordReader::tlRecordReader(tlStream &s, uint32_t payloadLength) : stream(s) {
    uint8_t bytes[4];
    if (readBytes(bytes, 4) && getWord(bytes) != payloadLength) good = false;
}

bool tlRecordReader::readBytes(uint8_t *out, uint32_t n) {
    if (good && stream.read(out, n) != n) good = false;
    return good;
}

int32_t tlRecordReader::word() {
    uint8_t bytes[4];
    return readBytes(bytes, 4) ? static_cast<int32_t>(getWord(bytes)) : 0;
}

tlColour tlRecordReader::colour() {
    uint8_t bytes[8];
    return readBytes(bytes, 8) ? tlColour::fromStream(bytes) : tlColour();
}

tlRecordWriter::tlRecordWriter(tlStream &s, uint32_t payloadLength) : stream(s) {
    word(static_cast<int32_t>(payloadLength));
}

void tlRecordWriter::writeBytes(const uint8_t *bytes, uint32_t n) {
    if (good && stream.write(bytes, n) != n) good = false;
}

void tlRecordWriter::word(int32_t value) {
    uint8_t bytes[4];
    putWord(bytes, static_cast<uint32_t>(value));
    writeBytes(bytes, 4);
}

void tlRecordWriter::colour(const tlColour &value) {
    uint8_t bytes[8] = {};
    if (!value.toStream(bytes)) good = false;
    writeBytes(bytes, 8);
}
