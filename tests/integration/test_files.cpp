#include "integration_env.h"
#include "platform/errors.h"
#include "platform/qt/nativepath.h"
#include "platform/qt/qtfiles.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {
class Files : public ::testing::Test {
  protected:
    std::string path(const char* name) const { return dir.filePath(name).toStdString(); }
    void put(const char* name, const QByteArray& bytes) const {
        QFile f(dir.filePath(name));
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(bytes);
    }
    QByteArray get(const char* name) const {
        QFile f(dir.filePath(name));
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<missing>");
    }

    QTemporaryDir dir;
    QtFiles files;
};
} // namespace

TEST(NativePath, BackslashesAndDoubledSeparatorsNameOneSeparator) {
    EXPECT_EQ(nativePath("/opt/pimbolet\\cdata\\\\say1.wav"), "/opt/pimbolet/cdata/say1.wav");
    EXPECT_EQ(nativePath("/opt/pimbolet//cdata///laugh.wav"), "/opt/pimbolet/cdata/laugh.wav");
    EXPECT_EQ(nativePath("/opt/pimbolet/cdata/update.koz"), "/opt/pimbolet/cdata/update.koz");
}

TEST(NativePath, OnlyTheSeparatorsAfterTheProgramsFolderAreTurned) {
    struct Row {
        const char* folder;
        const char* path;
        const char* native;
    };
    for (const Row& row : {
             Row{"/opt/back\\slash", "/opt/back\\slash\\cdata\\say1.wav",
                 "/opt/back\\slash/cdata/say1.wav"},
             Row{"/opt/back\\slash", "/opt/back\\slash/cdata/update.koz",
                 "/opt/back\\slash/cdata/update.koz"},
             Row{"/opt/a\\\\b/", "/opt/a\\\\b/\\cdata\\\\laugh.wav", "/opt/a\\\\b/cdata/laugh.wav"},
             Row{"/opt/pet", "/opt/pets\\cdata\\say1.wav", "/opt/pets/cdata/say1.wav"},
             Row{"", "\\cdata\\say1.wav", "/cdata/say1.wav"},
         }) {
        SCOPED_TRACE(row.path);
        EXPECT_EQ(nativePath(row.path, row.folder), QString::fromUtf8(row.native));
    }
}

TEST_F(Files, ExistsOnlyForNormalVisibleFiles) {
    put("say1.wav", "RIFF");
    put(".hidden.wav", "RIFF");
    ASSERT_TRUE(QDir(dir.path()).mkdir(QStringLiteral("folder.wav")));
    ASSERT_TRUE(QFile::link(dir.filePath(QStringLiteral("say1.wav")),
                            dir.filePath(QStringLiteral("link.wav"))));

    EXPECT_TRUE(files.Exists(path("say1.wav")));
    EXPECT_TRUE(files.Exists(dir.path().toStdString() + "\\\\say1.wav")) << "backslashes";
    EXPECT_TRUE(files.Exists(path("link.wav"))) << "a link to a file is that file";
    EXPECT_FALSE(files.Exists(path(".hidden.wav")));
    EXPECT_FALSE(files.Exists(path("folder.wav")));
    EXPECT_FALSE(files.Exists(path("nothing.wav")));
}

TEST_F(Files, WriteBytesReplacesALinkInItsPlaceAndNeverFollowsIt) {
    put("kept.txt", "the user's");
    const QString dangling = dir.filePath(QStringLiteral("made-by-the-link"));
    ASSERT_TRUE(QFile::link(dangling, dir.filePath(QStringLiteral("update.koz"))));
    ASSERT_TRUE(QFile::link(dir.filePath(QStringLiteral("kept.txt")),
                            dir.filePath(QStringLiteral("other.koz"))));
    files.WriteBytes(path("update.koz"), {'4', '.', '2'});
    files.WriteBytes(path("other.koz"), {'4', '.', '2'});
    EXPECT_FALSE(QFileInfo::exists(dangling)) << "no file where the dangling link led";
    EXPECT_EQ(get("kept.txt"), "the user's");
    for (const char* name : {"update.koz", "other.koz"}) {
        EXPECT_FALSE(QFileInfo(dir.filePath(name)).isSymLink()) << name;
        EXPECT_EQ(get(name), "4.2") << name;
    }
}

TEST_F(Files, KillRemovesAFileAndFailsOnAMissingOne) {
    put("update.koz", "4.1 beta");
    files.Kill(path("update.koz"));
    EXPECT_FALSE(QFile::exists(dir.filePath(QStringLiteral("update.koz"))));
    try {
        files.Kill(path("update.koz"));
        ADD_FAILURE() << "deleting a missing file must fail";
    } catch (const RuntimeError& e) {
        EXPECT_EQ(e.Number, errnum::FileNotFound);
    }
}

TEST_F(Files, WriteBytesStoresExactlyTheBytesAndReplacesAnOldFile) {
    put("update.koz", QByteArray(1000, 'o'));
    const std::vector<uint8_t> body = {'4', '.', '2', '\r', '\n', 0, 0xff, '\n'};
    files.WriteBytes(path("update.koz"), body);
    EXPECT_EQ(get("update.koz"), QByteArray("4.2\r\n\0\xff\n", 8));
    files.WriteBytes(path("empty.koz"), {});
    EXPECT_TRUE(files.Exists(path("empty.koz")));
    EXPECT_EQ(get("empty.koz"), QByteArray());
}

TEST_F(Files, FailedWriteIsAnErrorAndLeavesTheOldFileWhole) {
    put("update.koz", "old");
    EXPECT_THROW(files.WriteBytes(path("no-such-folder/update.koz"), {'x'}), RuntimeError);

    bool threw = false;
    {
        itest::FileSizeLimit limit(64);
        try {
            files.WriteBytes(path("update.koz"), std::vector<uint8_t>(4096, 'n'));
        } catch (const RuntimeError& e) {
            threw = e.Number == errnum::PathFileAccess;
        }
    }
    EXPECT_TRUE(threw);
    EXPECT_EQ(get("update.koz"), QByteArray("old"));
}

TEST_F(Files, ReadLinesEndsLinesAtCrOrCrLfOnly) {
    struct Row {
        QByteArray bytes;
        std::vector<std::string> lines;
    };
    const std::vector<Row> rows = {
        {"", {}},
        {"4.1 beta", {"4.1 beta"}},
        {"4.2\r\nfixes\r\nmore", {"4.2", "fixes", "more"}},
        {"4.2\rold mac\r", {"4.2", "old mac"}},
        {"4.2\nunix\n", {"4.2\nunix\n"}},
        {"a\r\n\r\nb\r\n", {"a", "", "b"}},
        {"\r\n", {""}},
        {"a\r\r\n", {"a", ""}},
        {"a\n\rb", {"a\n", "b"}},
    };
    for (const Row& row : rows) {
        put("update.koz", row.bytes);
        EXPECT_EQ(files.ReadLines(path("update.koz")), row.lines)
            << "bytes: " << row.bytes.toHex().constData();
    }
    EXPECT_THROW(files.ReadLines(path("missing.koz")), RuntimeError);
}
