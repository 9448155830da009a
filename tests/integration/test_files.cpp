#include "integration_env.h"
#include "platform/errors.h"
#include "platform/qt/atomicfile.h"
#include "platform/qt/nativepath.h"
#include "platform/qt/qtfiles.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <atomic>
#include <csignal>
#include <functional>
#include <sys/file.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

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

namespace {
// The temporary file that a save of `file` leaves when it is cut short: the process saving is
// killed by the signal for writing past its file size limit.
QByteArray leftOverBy(const QByteArray& file) {
    const QByteArray folder = file.left(file.lastIndexOf('/'));
    const QStringList before = QDir(QFile::decodeName(folder)).entryList(QDir::Files);
    const pid_t child = ::fork();
    if (child == 0) {
        const rlimit noCore{0, 0}, small{64, 64};
        ::setrlimit(RLIMIT_CORE, &noCore);
        ::setrlimit(RLIMIT_FSIZE, &small);
        std::signal(SIGXFSZ, SIG_DFL);
        const std::string bytes(4096, 'x');
        writeFileAtomically(file, {bytes});
        ::_exit(0);
    }
    int status = 0;
    ::waitpid(child, &status, 0);
    EXPECT_TRUE(WIFSIGNALED(status)) << "the save was cut short";
    for (const QString& name : QDir(QFile::decodeName(folder)).entryList(QDir::Files))
        if (!before.contains(name)) return folder + '/' + QFile::encodeName(name);
    return {};
}

bool exists(const QByteArray& path) {
    struct stat st {};
    return ::lstat(path.constData(), &st) == 0;
}
} // namespace

TEST(SavesCutShort, OnlyTheUsersOwnPlainTemporaryFilesThatNoSaveHoldsAreRemoved) {
    QTemporaryDir dir;
    const QByteArray folder = QFile::encodeName(dir.path());
    const QByteArray file = folder + "/update.koz";
    const QByteArray left = leftOverBy(file);
    ASSERT_FALSE(left.isEmpty());
    ASSERT_FALSE(exists(file)) << "the file itself was never made";
    // Look-alikes of that name, each differing from it in one way.
    const auto like = [&](const char* tail) { return left.left(left.size() - 2) + tail; };
    QFile held(QFile::decodeName(like("h1")));
    struct Row {
        const char* what;
        QByteArray path;
        std::function<void(const QByteArray&)> make;
        bool removed;
    };
    const auto plain = [](const QByteArray& path) {
        QFile f(QFile::decodeName(path));
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(QByteArray(1000, 'x'));
    };
    const std::vector<Row> rows = {
        {"what the save left", left, [](const QByteArray&) {}, true},
        {"another one", like("a2"), plain, true},
        {"one held by a save going on", like("h1"),
         [&](const QByteArray&) {
             ASSERT_TRUE(held.open(QIODevice::WriteOnly));
             ASSERT_EQ(::flock(held.handle(), LOCK_EX | LOCK_NB), 0);
         },
         false},
        {"another user's", like("u3"),
         [&](const QByteArray& path) {
             plain(path);
             if (::geteuid() == 0) ::chown(path.constData(), 65534, 65534);
         },
         ::geteuid() != 0},
        {"a link", like("l4"),
         [&](const QByteArray& path) {
             ASSERT_EQ(::symlink(like("a2").constData(), path.constData()), 0);
         },
         false},
        {"a pipe", like("p5"), [](const QByteArray& path) { ::mkfifo(path.constData(), 0600); },
         false},
        {"a letter no such name has", like("-6"), plain, false},
        {"a letter short", left.chopped(1), plain, false},
        {"a letter long", left + "7", plain, false},
        {"a user's backup", file + ".saving-backup", plain, false},
        {"as an earlier version named them", file + ".saving-Ab3dE9", plain, false},
        {"a user's file of another name", folder + "/update.koz.backup", plain, false},
    };
    for (const Row& row : rows)
        row.make(row.path);
    const QByteArray other = leftOverBy(folder + "/other.koz");

    removeTemporaryFilesOf(file);
    for (const Row& row : rows)
        EXPECT_EQ(exists(row.path), !row.removed) << row.what;
    EXPECT_TRUE(exists(other)) << "another file's are left beside it";
    removeTemporaryFilesIn(folder);
    EXPECT_FALSE(exists(other)) << "but not in a folder cleared for any file";
}

TEST(SavesCutShort, ClearingThemNeverCutsShortASaveGoingOn) {
    QTemporaryDir dir;
    const QByteArray folder = QFile::encodeName(dir.path());
    std::atomic<bool> saving = true;
    std::thread clearing([&] {
        while (saving)
            removeTemporaryFilesIn(folder);
    });
    int failed = 0;
    const std::string bytes(4096, 's');
    for (int i = 0; i < 300; ++i) {
        try {
            writeFileAtomically(folder + "/update.koz", {bytes});
        } catch (const RuntimeError&) {
            ++failed;
        }
    }
    saving = false;
    clearing.join();
    EXPECT_EQ(failed, 0);
}
