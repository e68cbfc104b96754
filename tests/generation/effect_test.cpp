// The base effect, the effect list's ownership rules and the record reader and
// writer under every effect's load and save.
#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "generation/effect.h"
#include "generation/record.h"
#include "imagefiles/stream.h"

namespace {

// A file in the temporary folder, removed with the object.
struct TempFile {
    std::string path;
    explicit TempFile(const char *name)
        : path((std::filesystem::temp_directory_path() / (std::string("cw_effect_") + name)).string()) {
        std::remove(path.c_str());
    }
    ~TempFile() { std::remove(path.c_str()); }
    void writeBytes(const std::vector<uint8_t> &bytes) const {
        tlStream s;
        ASSERT_TRUE(s.open(path.c_str(), tlStream::Write));
        ASSERT_EQ(s.write(bytes.data(), static_cast<uint32_t>(bytes.size())), bytes.size());
    }
    std::vector<uint8_t> readBytes() const {
        tlStream s;
        std::vector<uint8_t> bytes;
        if (!s.open(path.c_str(), tlStream::Read | tlStream::OpenExisting)) return bytes;
        bytes.resize(s.size());
        bytes.resize(s.read(bytes.data(), static_cast<uint32_t>(bytes.size())));
        return bytes;
    }
};

// An effect that records its destruction order.
struct Tracked : tlEffect {
    Tracked(int32_t id, std::vector<int32_t> *log) : id(id), log(log) {}
    ~Tracked() override { log->push_back(id); }
    tlEffect *clone() const override { return new (std::nothrow) Tracked(*this); }
    int32_t id;
    std::vector<int32_t> *log;
};

}  // namespace

TEST(Effect, BaseOperations) {
    std::vector<int32_t> log;
    {
        Tracked a(1, &log), b(2, &log);
        EXPECT_EQ(a.typeId(), 0);
        EXPECT_EQ(a.opacity, 65535u);
        EXPECT_EQ(a.blendMode, 0);
        EXPECT_FALSE(a.producesPicture());
        tlPicture source, destination;
        tlPicture *out = nullptr;
        EXPECT_FALSE(a.apply(source, destination, nullptr));
        EXPECT_FALSE(a.producePicture(source, out, nullptr));
        EXPECT_EQ(out, nullptr);
        EXPECT_TRUE(a.equals(b));
    }
}

TEST(Effect, BaseRecordIsTheLengthZeroAlone) {
    std::vector<int32_t> log;
    Tracked effect(1, &log);
    TempFile file("base.bin");
    {
        tlStream s;
        ASSERT_TRUE(s.open(file.path.c_str(), tlStream::Write));
        EXPECT_TRUE(effect.save(s));
    }
    EXPECT_EQ(file.readBytes(), (std::vector<uint8_t>{0, 0, 0, 0}));
    tlStream s;
    ASSERT_TRUE(s.open(file.path.c_str(), tlStream::Read | tlStream::OpenExisting));
    EXPECT_TRUE(effect.load(s));
    EXPECT_FALSE(effect.load(s));  // nothing left: the length word is short
    s.close();  // the file is shared for reading only: no writer while it is open

    file.writeBytes({4, 0, 0, 0, 1, 2, 3, 4});
    tlStream wrong;
    ASSERT_TRUE(wrong.open(file.path.c_str(), tlStream::Read | tlStream::OpenExisting));
    EXPECT_FALSE(effect.load(wrong));
}

TEST(Effect, ListClearsLastFirstAndReleasesStorage) {
    std::vector<int32_t> log;
    tlEffectList list;
    for (int32_t id = 1; id <= 3; ++id) ASSERT_TRUE(list.append(new Tracked(id, &log)));
    EXPECT_EQ(list.count(), 3);
    list.clear();
    EXPECT_EQ(log, (std::vector<int32_t>{3, 2, 1}));
    EXPECT_EQ(list.count(), 0);
    EXPECT_EQ(list.capacity(), 0);
}

TEST(Effect, ListCopyClonesAndRemoveHandsBack) {
    std::vector<int32_t> log;
    tlEffectList list, copy;
    ASSERT_TRUE(list.append(new Tracked(1, &log)));
    ASSERT_TRUE(list.append(new Tracked(2, &log)));
    list.at(1)->opacity = 100;
    copy.copyFrom(list);
    ASSERT_EQ(copy.count(), 2);
    EXPECT_NE(copy.at(0), list.at(0));
    EXPECT_EQ(copy.at(1)->opacity, 100u);
    tlEffect *removed = list.removeAt(0);
    ASSERT_NE(removed, nullptr);
    EXPECT_EQ(list.count(), 1);
    EXPECT_EQ(list.at(5), nullptr);
    EXPECT_TRUE(log.empty());
    delete removed;
    EXPECT_EQ(log, (std::vector<int32_t>{1}));
}

TEST(Record, WordsAreLittleEndianAndPackedBitsAreExact) {
    TempFile file("words.bin");
    {
        tlStream s;
        ASSERT_TRUE(s.open(file.path.c_str(), tlStream::Write));
        tlRecordWriter w(s, 12);
        w.word(-2);
        w.flag(true);
        w.packed(false, true);
        EXPECT_TRUE(w.finish());
    }
    EXPECT_EQ(file.readBytes(), (std::vector<uint8_t>{12, 0, 0, 0, 0xFE, 0xFF, 0xFF, 0xFF, 1, 0, 0, 0, 2, 0, 0, 0}));
    tlStream s;
    ASSERT_TRUE(s.open(file.path.c_str(), tlStream::Read | tlStream::OpenExisting));
    tlRecordReader r(s, 12);
    EXPECT_EQ(r.word(), -2);
    EXPECT_EQ(r.word(), 1);
    EXPECT_EQ(r.word(), 2);
    EXPECT_TRUE(r.ok());
    EXPECT_EQ(r.word(), 0);  // past the end
    EXPECT_FALSE(r.ok());
}

TEST(Record, ColourStreamFormIsSixteenBitRGBA) {
    TempFile file("colour.bin");
    {
        tlStream s;
        ASSERT_TRUE(s.open(file.path.c_str(), tlStream::Write));
        tlRecordWriter w(s, 8);
        w.colour(tlColour::rgb(255, 128, 0));
        EXPECT_TRUE(w.finish());
    }
    EXPECT_EQ(file.readBytes(), (std::vector<uint8_t>{8, 0, 0, 0, 0xFF, 0xFF, 0x80, 0x80, 0, 0, 0xFF, 0xFF}));
    tlStream s;
    ASSERT_TRUE(s.open(file.path.c_str(), tlStream::Read | tlStream::OpenExisting));
    tlRecordReader r(s, 8);
    tlColour c = r.colour();
    EXPECT_TRUE(r.ok());
    EXPECT_TRUE(c.equals(tlColour::rgba16(65535, 32896, 0, 65535)));
}

TEST(Record, WriterStopsAtTheFirstShortWrite) {
    TempFile file("readonly.bin");
    file.writeBytes({});
    tlStream s;
    ASSERT_TRUE(s.open(file.path.c_str(), tlStream::Read | tlStream::OpenExisting));  // no write access
    tlRecordWriter w(s, 4);
    w.word(1);
    EXPECT_FALSE(w.finish());
}

TEST(Record, IndexedColourHasNoStreamForm) {
    TempFile file("indexed.bin");
    tlStream s;
    ASSERT_TRUE(s.open(file.path.c_str(), tlStream::Write));
    tlColour indexed;
    indexed.model = 2;
    indexed.channels = 1;
    tlRecordWriter w(s, 8);
    w.colour(indexed);
    EXPECT_FALSE(w.finish());
}

TEST(Record, LoadRules) {
    EXPECT_EQ(zeroToOne(0), 1);
    EXPECT_EQ(zeroToOne(1), 1);
    EXPECT_EQ(zeroToOne(2), 2);
    EXPECT_EQ(zeroToOne(-5), -5);  // unsigned test: negative values pass
    EXPECT_TRUE(bit0(3));
    EXPECT_FALSE(bit0(2));
    EXPECT_TRUE(bit1(2));
    EXPECT_FALSE(bit1(5));
    EXPECT_TRUE(nonZero(-1));
    EXPECT_FALSE(nonZero(0));
}
