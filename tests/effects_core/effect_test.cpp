// The base effect, the effect list's ownership rules and the record reader and
// writer under every effect's load and save.
#include <gtest/gtest.h>

#include <vector>

#include "effects/core/effect.h"
#include "effects/core/record.h"
#include "imagefiles/stream.h"
#include "tests/support/streams.h"

namespace {

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
    tlMemoryStream s;
    EXPECT_TRUE(effect.save(s));
    EXPECT_EQ(streamBytes(s), (std::vector<uint8_t>{0, 0, 0, 0}));
    ASSERT_TRUE(s.seek(0, 0));
    EXPECT_TRUE(effect.load(s));
    EXPECT_FALSE(effect.load(s));  // nothing left: the length word is short

    tlMemoryStream wrong;
    fillStream(wrong, {4, 0, 0, 0, 1, 2, 3, 4});
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
    tlMemoryStream s;
    {
        tlRecordWriter w(s, 12);
        w.word(-2);
        w.flag(true);
        w.packed(false, true);
        EXPECT_TRUE(w.finish());
    }
    EXPECT_EQ(streamBytes(s), (std::vector<uint8_t>{12, 0, 0, 0, 0xFE, 0xFF, 0xFF, 0xFF, 1, 0, 0, 0, 2, 0, 0, 0}));
    ASSERT_TRUE(s.seek(0, 0));
    tlRecordReader r(s, 12);
    EXPECT_EQ(r.word(), -2);
    EXPECT_EQ(r.word(), 1);
    EXPECT_EQ(r.word(), 2);
    EXPECT_TRUE(r.ok());
    EXPECT_EQ(r.word(), 0);  // past the end
    EXPECT_FALSE(r.ok());
}

TEST(Record, ColourStreamFormIsSixteenBitRGBA) {
    tlMemoryStream s;
    {
        tlRecordWriter w(s, 8);
        w.colour(tlColour::rgb(255, 128, 0));
        EXPECT_TRUE(w.finish());
    }
    EXPECT_EQ(streamBytes(s), (std::vector<uint8_t>{8, 0, 0, 0, 0xFF, 0xFF, 0x80, 0x80, 0, 0, 0xFF, 0xFF}));
    ASSERT_TRUE(s.seek(0, 0));
    tlRecordReader r(s, 8);
    tlColour c = r.colour();
    EXPECT_TRUE(r.ok());
    EXPECT_TRUE(c.equals(tlColour::rgba16(65535, 32896, 0, 65535)));
}

TEST(Record, WriterStopsAtTheFirstShortWrite) {
    tlMemoryStream s;
    s.setWriteLimit(6);  // the length word fits, the first item only half
    tlRecordWriter w(s, 8);
    w.word(1);
    w.word(2);
    EXPECT_FALSE(w.finish());
    EXPECT_EQ(streamBytes(s), (std::vector<uint8_t>{8, 0, 0, 0, 1, 0}));
    tlMemoryStream none;
    none.setWriteLimit(0);
    tlRecordWriter nothing(none, 4);
    nothing.word(1);
    EXPECT_FALSE(nothing.finish());
}

TEST(Record, IndexedColourHasNoStreamForm) {
    tlMemoryStream s;
    tlColour indexed;
    indexed.model = tlColourModel::Indexed;
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
