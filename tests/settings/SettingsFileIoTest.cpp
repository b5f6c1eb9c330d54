#include "SettingsFile.h"

#include "Error.h"
#include "ScratchDir.h"
#include "SettingsFixtures.h"

#include <QDir>
#include <QFile>
#include <gtest/gtest.h>
#include <sys/stat.h>

namespace {

QStringList filesIn(const ScratchDir& dir) {
    return QDir(dir.path()).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot);
}

Carriers exampleCarriers(const ScratchDir& dir) {
    dir.write("example", exampleWith());
    Carriers carriers;
    EXPECT_TRUE(loadSettingsFile("example", carriers));
    QFile::remove("example");
    return carriers;
}

// A source that fails before the last field, as a write error would.
class FailingSource : public Carriers {
public:
    bool echoChecked() const override { throw Error("disk gone"); }
};

TEST(LoadSettingsFileTest, ReadsTheFileInTheWorkingDirectory) {
    ScratchDir dir;
    dir.write("vemo.dat", exampleWith());
    RecordingTarget target;
    EXPECT_TRUE(loadSettingsFile("vemo.dat", target));
    EXPECT_EQ(target.calls, kExampleCalls);
}

TEST(LoadSettingsFileTest, SkipsWhatCannotBeReadAsAFile) {
    const std::vector<std::pair<const char*, std::function<void()>>> cases = {
        {"missing", [] {}},
        {"a folder", [] { QDir().mkdir("vemo.dat"); }},
        {"a FIFO, which would wait for a writer", [] { mkfifo("vemo.dat", 0644); }},
        {"a dangling link", [] { QFile::link("nowhere", "vemo.dat"); }},
    };
    for (const auto& [name, make] : cases) {
        ScratchDir dir;
        make();
        RecordingTarget target;
        EXPECT_FALSE(loadSettingsFile("vemo.dat", target)) << name;
        EXPECT_TRUE(target.calls.empty()) << name;
    }
}

TEST(LoadSettingsFileTest, LetsTheEndOfFileErrorEscapeAfterTheFieldsRead) {
    ScratchDir dir;
    dir.write("vemo.dat", exampleWith().left(48)); // inside field 12
    RecordingTarget target;
    EXPECT_THROW(loadSettingsFile("vemo.dat", target), Error);
    EXPECT_EQ(target.calls.size(), 11u);
}

TEST(SaveSettingsFileTest, ReplacesTheOldFileWhole) {
    ScratchDir dir;
    const Carriers carriers = exampleCarriers(dir);
    dir.write("vemo.dat", QByteArray(500, 'x'));
    EXPECT_EQ(saveSettingsFile("vemo.dat", carriers), std::nullopt);
    EXPECT_EQ(dir.read("vemo.dat"), exampleWith());
    EXPECT_EQ(filesIn(dir), QStringList{"vemo.dat"});
}

TEST(SaveSettingsFileTest, RefusesAReadOnlyFileAndLeavesItAsItIs) {
    ScratchDir dir;
    const Carriers carriers = exampleCarriers(dir);
    dir.write("vemo.dat", "old");
    ASSERT_TRUE(QFile::setPermissions("vemo.dat", QFile::ReadOwner | QFile::ReadGroup));
    const auto failure = saveSettingsFile("vemo.dat", carriers);
    ASSERT_TRUE(failure);
    EXPECT_NE(failure->find("read-only"), std::string::npos) << *failure;
    EXPECT_EQ(dir.read("vemo.dat"), "old");
    EXPECT_EQ(filesIn(dir), QStringList{"vemo.dat"});
}

TEST(SaveSettingsFileTest, AMissingFolderFailsWithAReason) {
    ScratchDir dir;
    const Carriers carriers = exampleCarriers(dir);
    const auto failure = saveSettingsFile("missing/vemo.dat", carriers);
    ASSERT_TRUE(failure);
    EXPECT_FALSE(failure->empty());
    EXPECT_TRUE(filesIn(dir).isEmpty());
}

TEST(SaveSettingsFileTest, AFailureWhileWritingKeepsTheOldFile) {
    ScratchDir dir;
    FailingSource source;
    static_cast<Carriers&>(source) = exampleCarriers(dir);
    dir.write("vemo.dat", "old");
    EXPECT_EQ(saveSettingsFile("vemo.dat", source), std::optional<std::string>("disk gone"));
    EXPECT_EQ(dir.read("vemo.dat"), "old");
    EXPECT_EQ(filesIn(dir), QStringList{"vemo.dat"});
}

} // namespace
