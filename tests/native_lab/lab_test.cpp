// chromaweave_lab: PAM reading and writing, argument parsing, and whole
// commands run in-process on temporary files.
#include "compose/recipe.h"
#include "imaging/picture.h"
#include "tests/support/formats.h"
#include "tools/lab/args.h"
#include "tools/lab/lab.h"
#include "tools/lab/pam.h"
#include "tools/lab/picture_io.h"
#include "tools/lab/progress.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

namespace {

tlPicture patterned(tlPixelFormat format) {
    tlPicture p;
    EXPECT_TRUE(p.create(5, 3, format));
    for (int32_t y = 0; y < p.height; ++y)
        for (int32_t i = 0; i < p.width * p.bytesPerPixel(); ++i) p.row(y)[i] = static_cast<uint8_t>(y * 37 + i * 11);
    return p;
}

std::vector<uint8_t> bytesOf(const std::string &text) { return std::vector<uint8_t>(text.begin(), text.end()); }

bool decode(const std::vector<uint8_t> &file, tlPicture &out, std::string &error) {
    return decodePam(file.data(), file.size(), out, error);
}

std::vector<uint8_t> encode(const tlPicture &p) {
    labBytes bytes;
    std::string error;
    EXPECT_TRUE(encodePam(p, bytes, error)) << error;
    return std::vector<uint8_t>(bytes.data, bytes.data + bytes.size);
}

int run(std::vector<std::string> words) {
    std::vector<char *> argv{const_cast<char *>("chromaweave_lab")};
    for (std::string &w : words) argv.push_back(&w[0]);
    return runLab(static_cast<int>(argv.size()), argv.data());
}

}  // namespace

TEST(Pam, EveryNonIndexedFormatRoundTrips) {
    for (const tlPixelFormat &f : kColourFormats) {
        const tlPicture p = patterned(f);
        tlPicture back;
        std::string error;
        ASSERT_TRUE(decode(encode(p), back, error)) << error;
        EXPECT_TRUE(back.format() == f);
        EXPECT_EQ(std::memcmp(back.store, p.store, static_cast<size_t>(p.stride) * 3), 0);
    }
}

TEST(Pam, SixteenBitSamplesAreBigEndian) {
    tlPicture p;
    ASSERT_TRUE(p.create(1, 1, kGray16));
    p.row(0)[0] = 0x34;
    p.row(0)[1] = 0x12;
    const std::vector<uint8_t> file = encode(p);
    const std::string header = "P7\nWIDTH 1\nHEIGHT 1\nDEPTH 1\nMAXVAL 65535\nTUPLTYPE GRAYSCALE\nENDHDR\n";
    ASSERT_EQ(file.size(), header.size() + 2);
    EXPECT_EQ(std::string(file.begin(), file.begin() + header.size()), header);
    EXPECT_EQ(file[header.size()], 0x12);
    EXPECT_EQ(file[header.size() + 1], 0x34);
}

TEST(Pam, AcceptsCommentsCrLfAndMissingTupleType) {
    tlPicture p;
    std::string error;
    ASSERT_TRUE(decode(bytesOf("P7\r\n# made by hand\r\n  WIDTH 2 \r\n\nHEIGHT 1\nDEPTH 3\nMAXVAL 255\nENDHDR\n"
                               "abcdef"),
                       p, error))
        << error;
    EXPECT_EQ(p.model, tlColourModel::RGB);
    EXPECT_EQ(p.channels, 3);
    EXPECT_EQ(p.row(0)[5], 'f');
}

TEST(Pam, IndexedPicturesAreWrittenThroughThePalette) {
    tlPicture p;
    ASSERT_TRUE(p.create(2, 1, kIndexedA8));
    p.palette->setEntry(4, 40, 50, 60);
    p.row(0)[0] = 4;
    p.row(0)[1] = 99;
    tlPicture back;
    std::string error;
    ASSERT_TRUE(decode(encode(p), back, error)) << error;
    EXPECT_EQ(back.channels, 4);
    const uint8_t want[4] = {40, 50, 60, 99};
    EXPECT_EQ(std::memcmp(back.row(0), want, 4), 0);
}

TEST(Pam, RejectsMalformedHeaders) {
    const char *bad[] = {
        "P6\nWIDTH 1\nHEIGHT 1\nDEPTH 1\nMAXVAL 255\nENDHDR\nx",
        "P7\nWIDTH 0\nHEIGHT 1\nDEPTH 1\nMAXVAL 255\nENDHDR\nx",
        "P7\nWIDTH -1\nHEIGHT 1\nDEPTH 1\nMAXVAL 255\nENDHDR\nx",
        "P7\nWIDTH 99999999\nHEIGHT 99999999\nDEPTH 4\nMAXVAL 255\nENDHDR\nx",
        "P7\nWIDTH 1\nHEIGHT 1\nDEPTH 5\nMAXVAL 255\nENDHDR\nxxxxx",
        "P7\nWIDTH 1\nHEIGHT 1\nDEPTH 1\nMAXVAL 1000\nENDHDR\nxx",
        "P7\nWIDTH 1\nHEIGHT 1\nDEPTH 1\nMAXVAL 255\nTUPLTYPE RGB\nENDHDR\nx",
        "P7\nWIDTH 1\nWIDTH 1\nHEIGHT 1\nDEPTH 1\nMAXVAL 255\nENDHDR\nx",
        "P7\nWIDTH 1\nHEIGHT 1\nDEPTH 1\nENDHDR\nx",
        "P7\nWIDTH 1\nHEIGHT 1\nDEPTH 1\nMAXVAL 255\nBOGUS 3\nENDHDR\nx",
        "P7\nWIDTH 1\nHEIGHT 1\nDEPTH 1\nMAXVAL 255\nx",
        "P7\nWIDTH 2\nHEIGHT 2\nDEPTH 1\nMAXVAL 255\nENDHDR\nxyz",
        "",
    };
    tlPicture keep;
    ASSERT_TRUE(keep.create(1, 1, kRGB8));
    for (const char *text : bad) {
        std::string error;
        EXPECT_FALSE(decode(bytesOf(text), keep, error)) << text;
        EXPECT_FALSE(error.empty());
        EXPECT_EQ(keep.width, 1);
    }
    std::string longHeader = "P7\n" + std::string(kPamMaxHeader, '#') + "\nENDHDR\n";
    std::string error;
    EXPECT_FALSE(decode(bytesOf(longHeader), keep, error));
}

// Every truncation fails and every flipped byte is handled without a crash.
TEST(Pam, DamagedFilesNeverCrash) {
    const std::vector<uint8_t> good = encode(patterned(kRGBA16));
    std::string error;
    for (size_t n = 0; n < good.size(); ++n) {
        tlPicture p;
        std::vector<uint8_t> cut(good.begin(), good.begin() + n);
        EXPECT_FALSE(decode(cut, p, error)) << n;
    }
    for (size_t i = 0; i < good.size(); ++i) {
        for (uint8_t flip : {0x01, 0x20, 0xFF}) {
            std::vector<uint8_t> damaged = good;
            damaged[i] ^= flip;
            tlPicture p;
            decode(damaged, p, error);
        }
    }
}

TEST(LabArgs, OptionsTakeNegativeValues) {
    const char *words[] = {"blend", "--at", "-2,-1", "in.pam", "--mode=3", "--flag", "--", "--literal"};
    labArgs args;
    std::string error;
    ASSERT_TRUE(args.parse(8, const_cast<char **>(words), {{"at", true}, {"mode", true}, {"flag", false}}, error))
        << error;
    int32_t x = 0, y = 0, mode = 0;
    EXPECT_TRUE(args.getIntPair("at", -100, 100, x, y, error));
    EXPECT_EQ(x, -2);
    EXPECT_EQ(y, -1);
    EXPECT_TRUE(args.getInt("mode", 0, 17, mode, error));
    EXPECT_EQ(mode, 3);
    EXPECT_TRUE(args.has("flag"));
    ASSERT_EQ(args.positional.size(), 2u);
    EXPECT_EQ(args.positional[1], "--literal");
}

TEST(LabArgs, BadCommandLines) {
    const std::vector<labOption> options{{"at", true}, {"flag", false}};
    const std::vector<std::vector<const char *>> bad{
        {"x", "--nope", "1"}, {"x", "--at"}, {"x", "--at", "1,2", "--at", "3,4"}, {"x", "--flag=1"}};
    for (const auto &words : bad) {
        labArgs args;
        std::string error;
        EXPECT_FALSE(args.parse(static_cast<int>(words.size()), const_cast<char **>(words.data()), options, error));
        EXPECT_FALSE(error.empty());
    }
    int32_t v = 0;
    EXPECT_TRUE(parseInt32("-2147483648", INT32_MIN, INT32_MAX, v));
    EXPECT_EQ(v, INT32_MIN);
    EXPECT_FALSE(parseInt32("2147483648", INT32_MIN, INT32_MAX, v));
    EXPECT_FALSE(parseInt32("99999999999999999999", INT32_MIN, INT32_MAX, v));
    EXPECT_FALSE(parseInt32("1x", 0, 9, v));
    EXPECT_FALSE(parseInt32("-", 0, 9, v));
    EXPECT_FALSE(parseInt32("", 0, 9, v));
}

TEST(LabCommands, ConvertAndBlendFiles) {
    const std::filesystem::path dir = std::filesystem::temp_directory_path() / "cw_lab_test";
    std::filesystem::create_directories(dir);
    const std::string in = (dir / "in.pam").string(), out = (dir / "out.pam").string(),
                      top = (dir / "top.pam").string();
    tlPicture p = patterned(kRGB8);
    std::string error;
    labBytes bytes;
    ASSERT_TRUE(encodePam(p, bytes, error));
    ASSERT_TRUE(writeWholeFile(in, bytes.data, bytes.size, error));

    EXPECT_EQ(run({"convert", in, out, "--format", "graya", "--bits", "16"}), kLabOk);
    tlPicture back;
    ASSERT_TRUE(loadPicture(out, back, error)) << error;
    EXPECT_EQ(back.model, tlColourModel::Gray);
    EXPECT_EQ(back.bits, 16);
    EXPECT_EQ(back.channels, 2);

    // An opaque source in mode 0 at full opacity lands as a plain copy.
    tlPicture small;
    ASSERT_TRUE(small.create(2, 2, kRGB8));  // black
    ASSERT_TRUE(encodePam(small, bytes, error));
    ASSERT_TRUE(writeWholeFile(top, bytes.data, bytes.size, error));
    EXPECT_EQ(run({"blend", "--mode", "0", "--dst", in, "--src", top, "--out", out, "--at", "-1,-1"}), kLabOk);
    ASSERT_TRUE(loadPicture(out, back, error)) << error;
    EXPECT_EQ(back.row(0)[0], 0);
    EXPECT_EQ(back.row(0)[3], p.row(0)[3]);
    EXPECT_EQ(back.row(1)[0], p.row(1)[0]);

    EXPECT_EQ(run({}), kLabUsage);
    EXPECT_EQ(run({"nosuch"}), kLabUsage);
    EXPECT_EQ(run({"convert", in}), kLabUsage);
    EXPECT_EQ(run({"convert", (dir / "missing.pam").string(), out}), kLabUsage);
    EXPECT_EQ(run({"convert", in, (dir / "out.xyz").string()}), kLabUsage);
    EXPECT_EQ(run({"convert", in, out, "--bits", "12"}), kLabUsage);
    EXPECT_EQ(run({"blend", "--mode", "18", "--dst", in, "--src", top, "--out", out}), kLabUsage);
    EXPECT_EQ(run({"help"}), kLabOk);
    std::filesystem::remove_all(dir);
}

// What a newcomer types first: help anywhere answers on stdout with exit 0,
// and the version is the About dialog's.
TEST(LabCommands, HelpAndVersionAnswerOnStandardOutput) {
    std::ifstream rc(CW_SOURCE_DIR "/app/resources/chromaweave.rc", std::ios::binary);
    std::stringstream text;
    text << rc.rdbuf();
    const std::string about = text.str(), mark = "\"chromaweave ver.";
    const size_t at = about.find(mark);
    ASSERT_NE(at, std::string::npos);
    const std::string version = about.substr(at + mark.size(), about.find('\\', at) - at - mark.size());

    std::vector<std::pair<std::vector<std::string>, std::string>> cases = {
        {{"--help"}, "usage: chromaweave_lab COMMAND"},
        {{"-h"}, "usage: chromaweave_lab COMMAND"},
        {{"--version"}, "chromaweave_lab " + version + "\n"},
        {{"compose", "--size", "4x4", "-h"}, "usage: chromaweave_lab compose "},
    };
    for (const labCommand &c : labCommands())
        cases.push_back({{c.name, "--help"}, std::string("usage: chromaweave_lab ") + c.name + " "});
    for (const auto &c : cases) {
        testing::internal::CaptureStdout();
        EXPECT_EQ(run(c.first), kLabOk) << c.first[0];
        EXPECT_EQ(testing::internal::GetCapturedStdout().rfind(c.second, 0), 0u) << c.first[0] << " " << c.second;
    }
    EXPECT_EQ(run({"convert", "--", "--help"}), kLabUsage);  // after "--" it is a file name
}

// Without --seed the seed drawn is named on stderr and makes the same
// wallpaper again; a run that is not on a terminal shows no progress.
TEST(LabCommands, ComposeWithoutSeedNamesTheSeedItDrew) {
    testing::internal::CaptureStderr();
    testing::internal::CaptureStdout();
    EXPECT_EQ(run({"compose", "--size", "16x16", "--digest"}), kLabOk);
    const std::string digest = testing::internal::GetCapturedStdout();
    const std::string said = testing::internal::GetCapturedStderr();
    const size_t at = said.rfind("--seed ");
    ASSERT_NE(at, std::string::npos) << said;
    const std::string seed = said.substr(at + 7, said.find('\n', at) - at - 7);

    testing::internal::CaptureStderr();
    testing::internal::CaptureStdout();
    EXPECT_EQ(run({"compose", "--size", "16x16", "--digest", "--seed", seed, "--count", "2"}), kLabOk);
    const std::string again = testing::internal::GetCapturedStdout();
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "");
    EXPECT_EQ(again.compare(0, digest.size(), digest), 0) << seed;
}

// A style previews as the job would make it; unknown words and a style
// without a first-layer family are usage errors.
TEST(LabCommands, ComposeTakesAStyle) {
    const struct {
        std::vector<std::string> words;
        int exit;
        std::vector<std::string> absent;  // classes the style leaves out
    } cases[] = {
        {{"--complexity", "simple", "--exclude", "gradients,clouds,dots,lines"},
         kLabOk,
         {"Gradient", "GradientPattern", "Cloud", "Plasma", "Dots", "Grid", "Cylinder", "HSVNoise", "GlassTile"}},
        {{"--exclude", "warps,noise,soft,edges"}, kLabOk, {"Cylinder", "Swirl", "Spread", "OilPaint", "Emboss"}},
        {{"--complexity", "wild"}, kLabUsage, {}},
        {{"--exclude", "dots,neon"}, kLabUsage, {}},
        {{"--exclude", "dots,"}, kLabUsage, {}},
        {{"--exclude", "gradients,checkers,clouds"}, kLabUsage, {}},
    };
    for (const auto &c : cases) {
        std::vector<std::string> words = {"compose", "--size", "20x10", "--seed", "4", "--stack", "--count", "3"};
        words.insert(words.end(), c.words.begin(), c.words.end());
        testing::internal::CaptureStdout();
        testing::internal::CaptureStderr();
        EXPECT_EQ(run(words), c.exit) << words.back();
        const std::string out = testing::internal::GetCapturedStdout(), err = testing::internal::GetCapturedStderr();
        EXPECT_EQ(err.empty(), c.exit == kLabOk) << err;
        EXPECT_EQ(out.find("\"add\"") != std::string::npos, c.exit == kLabOk) << words.back();
        for (const std::string &name : c.absent)
            EXPECT_EQ(out.find("\"add\":\"" + name + "\""), std::string::npos) << name;
    }
}

// --threads splits the work, never the result: the same wallpapers on 1, 2
// and 7 threads (a size the pool splits); 0 threads is a usage error.
TEST(LabCommands, ComposeOnAnyNumberOfThreads) {
    std::string first;
    for (const char *threads : {"1", "2", "7"}) {
        testing::internal::CaptureStdout();
        EXPECT_EQ(
            run({"compose", "--size", "300x260", "--seed", "12", "--digest", "--count", "2", "--threads", threads}),
            kLabOk);
        const std::string out = testing::internal::GetCapturedStdout();
        if (first.empty()) first = out;
        EXPECT_EQ(out, first) << threads << " threads";
    }
    testing::internal::CaptureStderr();
    EXPECT_EQ(run({"compose", "--size", "4x4", "--threads", "0"}), kLabUsage);
    EXPECT_NE(testing::internal::GetCapturedStderr().find("--threads"), std::string::npos);
}

std::string captured(std::vector<std::string> words, int expected) {
    testing::internal::CaptureStdout();
    testing::internal::CaptureStderr();
    EXPECT_EQ(run(words), expected) << words[0] << " " << (words.size() > 1 ? words[1] : "");
    testing::internal::GetCapturedStderr();
    return testing::internal::GetCapturedStdout();
}

// The lines of a JSON-lines text that start with prefix.
std::string linesStarting(const std::string &text, const std::string &prefix) {
    std::string out;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);)
        if (line.rfind(prefix, 0) == 0) out += line + "\n";
    return out;
}

// A text with a sound checksum around a recipe that is not checked.
std::string hostileText(const tlRecipe &recipe) {
    uint8_t body[kRecipeBodyCapacity];
    size_t length = 0;
    char text[kRecipeTextCapacity];
    EXPECT_TRUE(encodeRecipeBody(recipe, body, sizeof body, length).ok());
    EXPECT_TRUE(recipeTextOfBody(body, length, text, sizeof text).ok());
    return text;
}

// compose --recipe, then render and recipe of that text: the same picture,
// file and stack; hostile texts end with status 2 and write no file.
TEST(LabCommands, RecipesRenderTheWallpaperAgain) {
    const std::filesystem::path dir = std::filesystem::temp_directory_path() / "cw_lab_recipe";
    std::filesystem::create_directories(dir);
    const std::string prefix = (dir / "w").string(), again = (dir / "again.bmp").string();
    const std::vector<std::string> compose = {"compose", "--size", "45x30", "--seed", "21", "--recipe"};
    std::vector<std::string> toFile = compose, asJson = compose;
    toFile.insert(toFile.end(), {"--out", prefix});
    asJson.insert(asJson.end(), {"--digest", "--stack"});
    const std::string line = captured(toFile, kLabOk);
    const size_t tab = line.find('\t');
    ASSERT_NE(tab, std::string::npos) << line;
    EXPECT_EQ(line.substr(0, tab), prefix + "-0001.bmp");
    const std::string text = line.substr(tab + 1, line.size() - tab - 2);
    const std::string json = captured(asJson, kLabOk);
    EXPECT_NE(json.find("{\"recipe\":\"" + text + "\"}"), std::string::npos) << json;

    EXPECT_EQ(captured({"render", text, "--digest", "--out", again}, kLabOk), linesStarting(json, "{\"digest\""));
    std::ifstream a(prefix + "-0001.bmp", std::ios::binary), b(again, std::ios::binary);
    std::stringstream first, second;
    first << a.rdbuf();
    second << b.rdbuf();
    EXPECT_EQ(first.str(), second.str());
    EXPECT_EQ(linesStarting(captured({"recipe", text}, kLabOk), "{\"add\""), linesStarting(json, "{\"add\""));
    EXPECT_NE(captured({"render", text, "--repeat", "90x61", "--digest"}, kLabOk),
              captured({"render", text, "--digest"}, kLabOk));

    std::string changed = text;
    changed[10] = changed[10] == 'A' ? 'B' : 'A';
    tlRecipe neon, huge;
    ASSERT_EQ(decodeRecipeText(text.c_str(), huge).result, tlRecipeResult::Ok);
    huge.width = huge.height = 30000;
    neon.width = neon.height = 8;
    neon.effectCount = 1;
    neon.effects[0].typeId = 16;  // radius -1, strength 100
    neon.effects[0].numbers[0] = -1;
    neon.effects[0].numbers[1] = 100;
    const std::string bad = (dir / "bad.bmp").string();
    for (const std::string &hostile : {changed, text.substr(0, text.size() - 3), "cw2-" + text.substr(4),
                                       std::string("cw1-"), std::string("x"), hostileText(neon), hostileText(huge)}) {
        EXPECT_EQ(captured({"render", hostile, "--out", bad}, kLabUsage), "") << hostile;
        EXPECT_EQ(captured({"recipe", hostile}, kLabUsage), "") << hostile;
    }
    EXPECT_FALSE(std::filesystem::exists(bad));
    captured({"render", text, "--repeat", "40000x1", "--out", bad}, kLabUsage);
    captured({"render", text}, kLabUsage);
    captured({"compose", "--size", "40000x1", "--recipe"}, kLabUsage);
    EXPECT_FALSE(std::filesystem::exists(bad));
    std::filesystem::remove_all(dir);
}

TEST(LabProgress, RewritesOneLineAndErasesIt) {
    for (const bool enabled : {false, true}) {
        std::FILE *to = std::tmpfile();
        ASSERT_NE(to, nullptr);
        {
            labProgress progress("bench", to, enabled);
            progress.show("Swirl (9/10)");
            progress.show("Dots");
        }  // the destructor erases the line
        std::rewind(to);
        char buffer[256] = {};
        const size_t n = std::fread(buffer, 1, sizeof buffer - 1, to);
        std::fclose(to);
        const std::string line1 = "chromaweave_lab bench: Swirl (9/10)", line2 = "chromaweave_lab bench: Dots";
        const std::string want = "\r" + line1 + "\r" + line2 + std::string(line1.size() - line2.size(), ' ') + "\r" +
                                 std::string(line2.size(), ' ') + "\r";
        EXPECT_EQ(std::string(buffer, n), enabled ? want : "");
    }
}
