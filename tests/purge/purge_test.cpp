// The removal tool's flow and key deletion against an in-memory registry.
#include <gtest/gtest.h>

#include <map>
#include <set>
#include <string>
#include <vector>

#include "app/settings.h"
#include "app/start_with_windows.h"
#include "purge/purge_logic.h"
#include "purge/purge_texts.h"

namespace {

constexpr int32_t kErrorFileNotFound = 2;
constexpr int32_t kErrorAccessDenied = 5;
constexpr int32_t kIdCancel = 2;
const std::string kSettings = "Software\\kelpworks\\chromaweave";
const std::string kMaker = "Software\\kelpworks";
const std::string kRun = "Software\\Microsoft\\Windows\\CurrentVersion\\Run";

// Keys by full path with their value names; children are the keys one level
// below, in name order, as the registry enumerates them.
class FakeRegistry : public purge::Registry {
public:
    std::map<std::string, std::set<std::string>> keys;
    // Type and bytes of the values that have data (by key path and name).
    std::map<std::pair<std::string, std::string>, std::pair<uint32_t, std::string>> data;
    std::vector<std::string> deleted;
    int openHandles = 0;
    bool valuesStay = false;  // deleting a value fails

    void put(const std::string &path, const std::string &name, uint32_t type, const std::string &bytes) {
        add(path, name);
        data[{path, name}] = {type, bytes};
    }

    void add(const std::string &path, const std::string &value = "") {
        for (size_t i = path.find('\\'); i != std::string::npos; i = path.find('\\', i + 1)) keys[path.substr(0, i)];
        keys[path];
        if (!value.empty()) keys[path].insert(value);
    }
    bool has(const std::string &path) const { return keys.count(path) != 0; }
    std::vector<std::string> children(const std::string &path) const {
        std::vector<std::string> out;
        std::string prefix = path + "\\";
        for (const auto &k : keys)
            if (k.first.compare(0, prefix.size(), prefix) == 0 &&
                k.first.find('\\', prefix.size()) == std::string::npos)
                out.push_back(k.first.substr(prefix.size()));
        return out;
    }

    int32_t openKey(const char *path, uint32_t, uintptr_t *key) override {
        if (!has(path)) return kErrorFileNotFound;
        handles_.push_back(path);
        *key = handles_.size();
        ++openHandles;
        return purge::kErrorSuccess;
    }
    void closeKey(uintptr_t) override { --openHandles; }
    int32_t enumKey(uintptr_t key, uint32_t index, char *name, uint32_t *size) override {
        return give(children(handles_[key - 1]), index, name, size);
    }
    int32_t enumValue(uintptr_t key, uint32_t index, char *name, uint32_t *size) override {
        const auto &v = keys[handles_[key - 1]];
        return give(std::vector<std::string>(v.begin(), v.end()), index, name, size);
    }
    int32_t queryValue(uintptr_t key, const char *name, uint32_t *type, void *buffer, uint32_t *size) override {
        auto v = data.find({handles_[key - 1], name});
        if (v == data.end()) return kErrorFileNotFound;
        *type = v->second.first;
        const std::string &bytes = v->second.second;
        bool fits = bytes.size() <= *size;
        *size = static_cast<uint32_t>(bytes.size());
        if (!fits) return purge::kErrorMoreData;
        std::memcpy(buffer, bytes.data(), bytes.size());
        return purge::kErrorSuccess;
    }
    int32_t deleteValue(uintptr_t key, const char *name) override {
        const std::string &path = handles_[key - 1];
        if (valuesStay || !keys[path].erase(name)) return valuesStay ? kErrorAccessDenied : kErrorFileNotFound;
        data.erase({path, name});
        return purge::kErrorSuccess;
    }
    int32_t deleteKey(const char *path) override {
        if (!has(path)) return kErrorFileNotFound;
        if (!children(path).empty()) return kErrorAccessDenied;
        keys.erase(path);
        deleted.push_back(path);
        return purge::kErrorSuccess;
    }

private:
    std::vector<std::string> handles_;

    static int32_t give(const std::vector<std::string> &names, uint32_t index, char *name, uint32_t *size) {
        if (index >= names.size()) return purge::kErrorNoMoreItems;
        const std::string &n = names[index];
        if (n.size() + 1 > *size) return purge::kErrorMoreData;
        std::memcpy(name, n.c_str(), n.size() + 1);
        *size = static_cast<uint32_t>(n.size());
        return purge::kErrorSuccess;
    }
};

struct Shown {
    std::string text;
    bool hasCaption;
    std::string caption;
    uint32_t style;
};

class FakeHost : public purge::Host {
public:
    bool mutexCreated = true;
    bool mutexExists = false;
    int32_t answer = purge::kIdOk;
    int releases = 0;
    std::vector<Shown> shown;

    bool createMutex(const char *name, bool *alreadyExists) override {
        EXPECT_STREQ("chromaweave mutex", name);
        *alreadyExists = mutexExists;
        return mutexCreated;
    }
    void releaseMutex() override { ++releases; }
    bool isLeadByte(uint8_t byte) override { return shiftJisLeadByte(byte); }
    int32_t message(const char *text, const char *caption, uint32_t style) override {
        shown.push_back({text, caption != nullptr, caption ? caption : "", style});
        return style & purge::kOkCancel ? answer : purge::kIdOk;
    }
};

const char *const kCaption = "chromaweave 設定情報の削除";
const char *const kQuestion = "chromaweave の設定情報を削除してもいいですか?\r\n"
                              "(現在 chromaweave を起動している場合は、[OK] を押す前に終了させてください)";
const char *const kDeleted = "chromaweave の設定情報を削除しました。\r\n"
                             "アンインストールするにはフォルダごと削除してください。";
constexpr uint32_t kQuestionStyle = 0x0001 | 0x0020 | 0x0100;  // OK/Cancel, question, Cancel default
constexpr uint32_t kInformation = 0x0040;

void expectShown(const Shown &s, const char *text, const char *caption, uint32_t style) {
    EXPECT_EQ(text, s.text);
    EXPECT_EQ(caption != nullptr, s.hasCaption);
    if (caption) {
        EXPECT_EQ(caption, s.caption);
    }
    EXPECT_EQ(style, s.style);
}

class PurgeFlow : public ::testing::Test {
protected:
    FakeRegistry registry;
    FakeHost host;

    void run() {
        EXPECT_EQ(0, purge::runPurge(registry, host, purge::japaneseTexts()));
        EXPECT_EQ(0, registry.openHandles);
    }
    void makeSettings() {
        registry.add(kSettings, "Count");
        registry.add(kSettings + "\\History\\2024\\January", "Seen");
        registry.add(kSettings + "\\History\\2023");
        registry.add(kSettings + "\\Cache\\Deep\\Deeper");
    }
};

TEST_F(PurgeFlow, RunningMainProgramOnlyAsksToExitIt) {
    makeSettings();
    auto before = registry.keys;
    host.mutexExists = true;
    run();
    ASSERT_EQ(1u, host.shown.size());
    expectShown(host.shown[0], "起動している chromaweave を終了させてから実行してください。", kCaption, kInformation);
    EXPECT_EQ(before, registry.keys);
}

TEST_F(PurgeFlow, MissingSettingsKeyKeepsTheMakerKey) {
    registry.add(kMaker);
    run();
    ASSERT_EQ(1u, host.shown.size());
    expectShown(host.shown[0], "設定情報はありません。", kCaption, kInformation);
    EXPECT_TRUE(registry.has(kMaker));
    EXPECT_TRUE(registry.deleted.empty());
}

TEST_F(PurgeFlow, AnythingButOkDeletesNothing) {
    for (int32_t answer : {kIdCancel, 0, 7}) {
        FakeRegistry fresh;
        registry = fresh;
        makeSettings();
        auto before = registry.keys;
        host = FakeHost();
        host.answer = answer;
        run();
        ASSERT_EQ(1u, host.shown.size()) << answer;
        expectShown(host.shown[0], kQuestion, kCaption, kQuestionStyle);
        EXPECT_EQ(before, registry.keys) << answer;
    }
}

TEST_F(PurgeFlow, OkDeletesEveryKeyDeepestFirstAndTheEmptyMakerKey) {
    makeSettings();
    run();
    ASSERT_EQ(2u, host.shown.size());
    expectShown(host.shown[1], kDeleted, kCaption, kInformation);
    const std::string s = kSettings;
    std::vector<std::string> order = {s + "\\Cache\\Deep\\Deeper",
                                      s + "\\Cache\\Deep",
                                      s + "\\Cache",
                                      s + "\\History\\2023",
                                      s + "\\History\\2024\\January",
                                      s + "\\History\\2024",
                                      s + "\\History",
                                      s,
                                      kMaker};
    EXPECT_EQ(order, registry.deleted);
    EXPECT_TRUE(registry.has("Software"));
    EXPECT_EQ(1, host.releases);
}

TEST_F(PurgeFlow, MakerKeyWithAnotherProductOrAValueIsKept) {
    makeSettings();
    registry.add(kMaker + "\\otherapp");
    run();
    EXPECT_FALSE(registry.has(kSettings));
    EXPECT_TRUE(registry.has(kMaker + "\\otherapp"));

    FakeRegistry fresh;
    registry = fresh;
    makeSettings();
    registry.add(kMaker, "Owner");
    run();
    EXPECT_FALSE(registry.has(kSettings));
    EXPECT_TRUE(registry.has(kMaker));
}

TEST_F(PurgeFlow, WithoutAMutexHandleTheToolGoesOnUnguarded) {
    makeSettings();
    host.mutexCreated = false;
    host.mutexExists = true;  // GetLastError means nothing without a handle
    run();
    EXPECT_FALSE(registry.has(kSettings));
    EXPECT_EQ(0, host.releases);
}

// The settings path and its backslash take 32 bytes of the 256-byte buffer,
// so a child name may have 223 characters: 224 with its terminator.
TEST_F(PurgeFlow, ChildPathThatDoesNotFitFailsTheWholeDeletion) {
    makeSettings();
    std::string fits = kSettings + "\\" + std::string(223, 'f');
    std::string tooLong = kSettings + "\\" + std::string(224, 't');
    registry.add(fits);
    registry.add(tooLong);
    run();
    ASSERT_EQ(2u, host.shown.size());
    expectShown(host.shown[1], "レジストリのキーを削除できません。", nullptr, 0x0030);
    EXPECT_TRUE(registry.has(tooLong));
    EXPECT_TRUE(registry.has(kSettings));
    EXPECT_TRUE(registry.has(kMaker));
    EXPECT_EQ(0, host.releases);
}

TEST(DeleteKeyTree, LongestFittingPathsAreDeleted) {
    FakeRegistry registry;
    std::string child = kSettings + "\\" + std::string(223, 'f');  // 254 characters
    registry.add(child);
    EXPECT_EQ(254u, child.size());
    EXPECT_TRUE(purge::deleteKeyTree(registry, kSettings.c_str()));
    EXPECT_FALSE(registry.has(kSettings));
}

TEST(DeleteKeyTree, PathWhosePrefixDoesNotFitFails) {
    FakeRegistry registry;
    std::string path(255, 'p');
    registry.add(path);
    EXPECT_FALSE(purge::deleteKeyTree(registry, path.c_str()));
    EXPECT_FALSE(purge::deleteKeyTree(registry, std::string(400, 'q').c_str()));
    EXPECT_TRUE(registry.has(path));
    EXPECT_FALSE(purge::deleteKeyTree(registry, "missing"));
}

TEST(KeyExists, OpensAndClosesTheKey) {
    FakeRegistry registry;
    registry.add(kSettings);
    EXPECT_TRUE(purge::keyExists(registry, kSettings.c_str()));
    EXPECT_FALSE(purge::keyExists(registry, "Software\\nothing"));
    EXPECT_EQ(0, registry.openHandles);
}

}  // namespace

// The tool speaks Japanese where the ANSI code page shows Japanese, English
// elsewhere; its English texts are plain ASCII, every one of them set.
TEST(PurgeLanguage, FollowsTheAnsiCodePage) {
    const purge::Language ja = purge::Language::japanese, en = purge::Language::english;
    const struct {
        uint32_t codePage;
        uint16_t uiLanguage;
        purge::Language want;
    } cases[] = {{932, 0x0411, ja},   {932, 0x0409, ja},   {1252, 0x0409, en}, {1252, 0x0411, en},
                 {65001, 0x0411, ja}, {65001, 0x0409, en}, {936, 0x0411, en}};
    for (const auto &c : cases)
        EXPECT_EQ(purge::languageFor(c.codePage, c.uiLanguage), c.want) << c.codePage << " " << c.uiLanguage;
    EXPECT_EQ(&purge::textsFor(ja), &purge::japaneseTexts());
    const purge::Texts &english = purge::textsFor(en);
    for (const char *text : {english.caption, english.running, english.noSettings, english.question,
                             english.cannotDelete, english.deleted}) {
        ASSERT_TRUE(text && text[0]);
        for (const char *c = text; *c; ++c) EXPECT_TRUE(static_cast<unsigned char>(*c) < 0x80) << text;
    }
}

// The two programs share no code: the names they share are spelled twice.
TEST(PurgeSharedNames, SpelledAsChromaweaveSpellsThem) {
    EXPECT_STREQ(purge::kSettingsKey, kSettingsKeyPath);
    EXPECT_STREQ(purge::kRunKey, kRunKeyPath);
    EXPECT_STREQ(purge::kRunValue, kRunValueName);
}

// Which Run commands start chromaweave, decided alike by both programs.
// "\x95\x5C" is a Shift-JIS character whose trail byte is a backslash.
TEST(PurgeSharedNames, RunCommandsThatStartChromaweave) {
    const struct {
        const char *command;
        bool ours;
    } cases[] = {
        {"\"C:\\Program Files\\cw\\chromaweave.exe\"", true},
        {"\"C:\\cw\\CHROMAWEAVE.EXE\" --quiet", true},
        {"C:\\cw\\chromaweave.exe", true},
        {"  C:\\cw\\chromaweave.exe /x", true},
        {"C:\\Program Files\\cw\\chromaweave.exe", true},
        {"C:/tools/chromaweave.exe", true},
        {"chromaweave.exe", true},
        {"\"%LOCALAPPDATA%\\cw\\chromaweave.exe\"", true},
        {"\"C:\\\x95\x5C\\chromaweave.exe\"", true},
        {"\"C:\\cw\\chromaweave.exe", true},  // no closing quote: to the end
        {"\"C:\\x\x95\x5C"
         "chromaweave.exe\"",
         false},
        {"\"C:\\cw\\chromaweave.exe.bak\"", false},
        {"\"C:\\cw\\notchromaweave.exe\"", false},
        {"C:\\other.exe C:\\cw\\chromaweave.exe", false},
        {"C:\\cw\\chromaweave", false},
        {"", false},
    };
    for (const auto &c : cases) {
        EXPECT_EQ(purge::startsChromaweave(c.command, shiftJisLeadByte), c.ours) << c.command;
        EXPECT_EQ(startsChromaweave(c.command, shiftJisLeadByte), c.ours) << c.command;
    }
}

// The Run value is chromaweave's setting too: deleted with the key, and
// alone when there is no key; another program's value of that name, a
// cancelled question or a value that cannot be deleted leave it.
TEST_F(PurgeFlow, RunValueOfChromaweave) {
    const std::string ours = "\"C:\\cw\\chromaweave.exe\"";
    const struct {
        bool settingsKey;
        const char *command;  // null: no Run value
        uint32_t type;
        int32_t answer;
        bool valuesStay;
        std::vector<const char *> texts;
        bool runValueLeft, settingsLeft, makerLeft;
    } cases[] = {
        {false, ours.c_str(), purge::kRegSz, purge::kIdOk, false, {kQuestion, kDeleted}, false, false, true},
        {true, ours.c_str(), purge::kRegExpandSz, purge::kIdOk, false, {kQuestion, kDeleted}, false, false, false},
        {false,
         "C:\\other\\weaver.exe",
         purge::kRegSz,
         purge::kIdOk,
         false,
         {"設定情報はありません。"},
         true,
         false,
         true},
        {false, ours.c_str(), 3 /* REG_BINARY */, purge::kIdOk, false, {"設定情報はありません。"}, true, false, true},
        {true, "C:\\other\\weaver.exe", purge::kRegSz, purge::kIdOk, false, {kQuestion, kDeleted}, true, false, false},
        {false, ours.c_str(), purge::kRegSz, kIdCancel, false, {kQuestion}, true, false, true},
        {true,
         ours.c_str(),
         purge::kRegSz,
         purge::kIdOk,
         true,
         {kQuestion, "レジストリのキーを削除できません。"},
         true,
         false,
         true},
    };
    for (const auto &c : cases) {
        registry = FakeRegistry();
        host = FakeHost();
        if (c.settingsKey) makeSettings();
        registry.add(kMaker);  // empty once the settings key is gone
        registry.add(kRun, "OtherProgram");
        if (c.command) registry.put(kRun, "chromaweave", c.type, c.command);
        registry.valuesStay = c.valuesStay;
        host.answer = c.answer;
        run();
        SCOPED_TRACE(testing::Message() << c.settingsKey << " " << c.command << " " << c.answer);
        ASSERT_EQ(c.texts.size(), host.shown.size());
        for (size_t i = 0; i < c.texts.size(); ++i) EXPECT_EQ(c.texts[i], host.shown[i].text);
        EXPECT_EQ(c.runValueLeft, registry.keys[kRun].count("chromaweave") != 0);
        EXPECT_EQ(c.settingsLeft, registry.has(kSettings));
        EXPECT_TRUE(registry.keys[kRun].count("OtherProgram"));
        // The empty maker key goes only with the settings key.
        EXPECT_EQ(c.makerLeft, registry.has(kMaker));
    }
}
