#include "integration_env.h"
#include "platform/errors.h"
#include "platform/qt/qtsettings.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <cstring>
#include <fcntl.h>
#include <functional>
#include <future>
#include <optional>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

namespace {
const std::string kApp = "virtual pet Pimbolet";

QByteArray fileBytes(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

long residentKiB() {
    QFile status(QStringLiteral("/proc/self/status"));
    status.open(QIODevice::ReadOnly);
    for (const QByteArray& line : status.readAll().split('\n'))
        if (line.startsWith("VmRSS:")) return line.mid(6).trimmed().split(' ')[0].toLong();
    return -1;
}
} // namespace

TEST(Settings, FileLivesInThePrivateConfigFolderUnderPimbolet) {
    EXPECT_EQ(QtSettings::fileName(kApp).toStdString(),
              itest::configHome() + "/pimbolet/" + kApp + ".ini");
}

TEST(Settings, SavedValueIsOnDiskAtOnceAndReadBackByANewStore) {
    QtSettings writer;
    writer.SaveSetting(kApp, "Settings", "birth", "3/1/2000 10:15:42 PM");
    const QByteArray onDisk = fileBytes(QtSettings::fileName(kApp));
    EXPECT_TRUE(onDisk.contains("[Settings]")) << onDisk.constData();
    EXPECT_TRUE(onDisk.contains("birth=")) << onDisk.constData();

    QtSettings reader;
    EXPECT_EQ(reader.GetSetting(kApp, "Settings", "birth", "0"), "3/1/2000 10:15:42 PM");
}

TEST(Settings, AbsentKeySectionOrFileGivesTheDefault) {
    QtSettings s;
    s.SaveSetting(kApp, "Settings", "sound", "1");
    EXPECT_EQ(s.GetSetting(kApp, "Settings", "nosuchkey", "0"), "0");
    EXPECT_EQ(s.GetSetting(kApp, "Other", "sound", "dflt"), "dflt");
    EXPECT_EQ(s.GetSetting("never written app", "Settings", "sound", "7"), "7");
    EXPECT_FALSE(QFileInfo::exists(QtSettings::fileName("never written app")));
}

TEST(Settings, AwkwardValuesRoundTripExactly) {
    const std::vector<std::string> values = {
        "",
        "Enter Pet's Name here",
        "  leading and trailing  ",
        "a=b=c",
        "semi;colon, comma",
        "\"quoted\"",
        "back\\slash and /slash/",
        "@at start",
        "Zo\xC3\xAB \xE2\x98\x83 \xE6\x97\xA5\xE6\x9C\xAC",
        "[not a section]",
        "#not a comment",
        "line1\nline2",
    };
    QtSettings s;
    for (size_t i = 0; i < values.size(); ++i)
        s.SaveSetting(kApp, "Awkward", "k" + std::to_string(i), values[i]);
    QtSettings fresh;
    for (size_t i = 0; i < values.size(); ++i)
        EXPECT_EQ(fresh.GetSetting(kApp, "Awkward", "k" + std::to_string(i), "?"), values[i])
            << "value #" << i;
}

TEST(Settings, OverwritingAKeyKeepsTheOthers) {
    QtSettings s;
    s.SaveSetting(kApp, "Keep", "name", "Pim");
    s.SaveSetting(kApp, "Keep", "ontop", "1");
    s.SaveSetting(kApp, "Keep", "ontop", "0");
    QtSettings fresh;
    EXPECT_EQ(fresh.GetSetting(kApp, "Keep", "name", ""), "Pim");
    EXPECT_EQ(fresh.GetSetting(kApp, "Keep", "ontop", ""), "0");
}

TEST(Settings, FailedWriteIsAnErrorAndLeavesTheOldFileWhole) {
    const std::string app = "full disk app";
    QtSettings s;
    s.SaveSetting(app, "Settings", "name", "before");
    const QString file = QtSettings::fileName(app);
    const QByteArray before = fileBytes(file);
    ASSERT_FALSE(before.isEmpty());

    // Room for nothing, for part of the new file, for nearly all of it.
    for (const rlim_t room : {rlim_t{0}, static_cast<rlim_t>(before.size() + 16), rlim_t{4000}}) {
        bool threw = false;
        {
            itest::FileSizeLimit limit(room);
            try {
                s.SaveSetting(app, "Settings", "name", std::string(4096, 'x'));
            } catch (const RuntimeError& e) {
                threw = true;
                EXPECT_EQ(e.Number, errnum::PathFileAccess);
                EXPECT_NE(e.Description.find(file.toStdString()), std::string::npos)
                    << e.Description;
            }
        }
        EXPECT_TRUE(threw) << "room for " << room << " bytes";
        EXPECT_EQ(fileBytes(file), before) << "room for " << room << " bytes";
    }
    EXPECT_EQ(QDir(QFileInfo(file).absolutePath())
                  .entryList(QDir::Files | QDir::Hidden)
                  .filter(QStringLiteral("full disk app"))
                  .size(),
              1)
        << "no temporary file left behind";
    EXPECT_EQ(s.GetSetting(app, "Settings", "name", ""), "before");
}

TEST(Settings, HandWrittenFileIsReadLeniently) {
    const std::string app = "hand written app";
    const QString file = QtSettings::fileName(app);
    QDir().mkpath(QFileInfo(file).absolutePath());
    QFile f(file);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write("\xEF\xBB\xBF[Settings]\r\n; made by hand\r\nbirth=3/1/2000 10:15:42 PM\r\n"
            "  sound = 1\r\nnonsense line\r\n[ Other ]\nname=x\n");
    f.close();
    QtSettings s;
    EXPECT_EQ(s.GetSetting(app, "Settings", "birth", "0"), "3/1/2000 10:15:42 PM");
    EXPECT_EQ(s.GetSetting(app, "Settings", "sound", "0"), " 1");
    EXPECT_EQ(s.GetSetting(app, "settings", "BIRTH", "0"), "3/1/2000 10:15:42 PM")
        << "names compare without regard to case";
    EXPECT_EQ(s.GetSetting(app, "Other", "name", ""), "x");
    s.SaveSetting(app, "Settings", "ontop", "0");
    EXPECT_EQ(fileBytes(file),
              "\xEF\xBB\xBF[Settings]\r\n; made by hand\r\nbirth=3/1/2000 10:15:42 PM\r\n"
              "  sound = 1\r\nontop=0\r\nnonsense line\r\n[ Other ]\nname=x\n")
        << "a save adds its line and keeps every other as it was";
}

TEST(Settings, LinkedFileIsReplacedWhereTheLinkLeads) {
    QTemporaryDir dotfiles;
    ASSERT_TRUE(dotfiles.isValid());
    const QString kept = dotfiles.filePath(QStringLiteral("pimbolet.ini"));
    const QString notYet = dotfiles.filePath(QStringLiteral("later.ini"));
    {
        QFile f(kept);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write("; kept in git\n[Settings]\nname=Pim\n");
    }
    for (const auto& [app, target] : {std::pair{std::string("linked app"), kept},
                                      std::pair{std::string("link to nothing yet"), notYet}}) {
        const QString link = QtSettings::fileName(app);
        QDir().mkpath(QFileInfo(link).absolutePath());
        ASSERT_TRUE(QFile::link(target, link));
        QtSettings s;
        s.SaveSetting(app, "Settings", "birth", "2020-01-02 03:04:05");
        EXPECT_TRUE(QFileInfo(link).isSymLink()) << app << ": still a link";
        EXPECT_TRUE(fileBytes(target).contains("birth=2020-01-02 03:04:05\n")) << app;
        EXPECT_EQ(QtSettings().GetSetting(app, "Settings", "birth", ""), "2020-01-02 03:04:05");
    }
    EXPECT_EQ(fileBytes(kept), "; kept in git\n[Settings]\nname=Pim\nbirth=2020-01-02 03:04:05\n");
    EXPECT_EQ(QDir(dotfiles.path()).entryList(QDir::Files | QDir::Hidden).size(), 2)
        << "no temporary file left beside the targets";
}

TEST(Settings, AwkwardNamesRoundTrip) {
    QtSettings s;
    s.SaveSetting(kApp, "[odd] = section", " key=with [all] ", "v");
    s.SaveSetting(kApp, "[odd] = section", "#key", "w");
    EXPECT_EQ(s.GetSetting(kApp, "[odd] = section", " key=with [all] ", ""), "v");
    EXPECT_EQ(s.GetSetting(kApp, "[odd] = section", "#key", ""), "w");
}

TEST(Settings, UnwritableFolderIsAnErrorAndLeavesTheOldFileWhole) {
    if (geteuid() == 0) GTEST_SKIP() << "folder permissions do not bind the superuser";
    const std::string app = "read only app";
    QtSettings s;
    s.SaveSetting(app, "Settings", "name", "before");
    const QString file = QtSettings::fileName(app);
    const QString folder = QFileInfo(file).absolutePath();
    const QByteArray before = fileBytes(file);
    QFile::setPermissions(folder, QFile::ReadOwner | QFile::ExeOwner);
    EXPECT_THROW(s.SaveSetting(app, "Settings", "name", "after"), RuntimeError);
    QFile::setPermissions(folder, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    EXPECT_EQ(fileBytes(file), before);
}

namespace {
// While it lives, no file can be opened: every number below the limit is taken.
class NoFileDescriptorLeft {
  public:
    NoFileDescriptorLeft() {
        ::getrlimit(RLIMIT_NOFILE, &m_old);
        const int lowestFree = ::dup(0);
        ::close(lowestFree);
        rlimit lim = m_old;
        lim.rlim_cur = static_cast<rlim_t>(lowestFree);
        ::setrlimit(RLIMIT_NOFILE, &lim);
    }
    ~NoFileDescriptorLeft() { ::setrlimit(RLIMIT_NOFILE, &m_old); }
    NoFileDescriptorLeft(const NoFileDescriptorLeft&) = delete;
    NoFileDescriptorLeft& operator=(const NoFileDescriptorLeft&) = delete;

  private:
    rlimit m_old{};
};

// The stored birth, or what the error says; "still waiting" when the read had not come back
// after 5 s (a writer is then let in at `path`, so that it ends).
std::string birthOrError(const std::string& app, const QByteArray& path) {
    auto reading = std::async(std::launch::async, [&app]() -> std::string {
        try {
            return QtSettings().GetSetting(app, "Settings", "birth", "0");
        } catch (const RuntimeError& e) {
            EXPECT_EQ(e.Number, errnum::PathFileAccess);
            return "error: " + e.Description;
        }
    });
    if (reading.wait_for(std::chrono::seconds(5)) == std::future_status::ready)
        return reading.get();
    const int writer = ::open(path.constData(), O_WRONLY | O_NONBLOCK | O_CLOEXEC);
    if (writer >= 0) ::close(writer);
    reading.get();
    return "still waiting";
}
} // namespace

// Only a file that is not there reads as the defaults (a first run): one that is there but
// cannot be read is an error at once, never a wait, and a save leaves it as it was.
TEST(Settings, FileThatIsThereButCannotBeReadIsAnErrorAndStaysAsItWas) {
    struct Row {
        const char* what;
        std::function<void(const QByteArray&)> make;
        bool noFileDescriptorLeft = false;
    };
    const QByteArray birth = "[Settings]\nbirth=2025-01-02 03:04:05\n";
    const auto plainFile = [&](const QByteArray& path) {
        QFile f(QFile::decodeName(path));
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(birth);
    };
    for (const Row& row : std::vector<Row>{
             {"a folder", [](const QByteArray& path) { ASSERT_EQ(::mkdir(path, 0700), 0); }},
             {"a FIFO", [](const QByteArray& path) { ASSERT_EQ(::mkfifo(path, 0600), 0); }},
             {"a socket",
              [](const QByteArray& path) {
                  const int fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
                  sockaddr_un at{};
                  at.sun_family = AF_UNIX;
                  ASSERT_LT(path.size(), qsizetype(sizeof at.sun_path));
                  std::memcpy(at.sun_path, path.constData(), size_t(path.size()));
                  ASSERT_EQ(::bind(fd, reinterpret_cast<sockaddr*>(&at), sizeof at), 0);
                  ::close(fd);
              }},
             {"a link round in a loop",
              [](const QByteArray& path) { ASSERT_EQ(::symlink(path, path), 0); }},
             {"a plain file, with no file descriptor left", plainFile, true},
         }) {
        SCOPED_TRACE(row.what);
        const std::string app = std::string("unreadable ") + row.what;
        const QByteArray path = QtSettings::filePath(app);
        ASSERT_TRUE(QDir().mkpath(QFileInfo(QFile::decodeName(path)).absolutePath()));
        row.make(path);
        struct stat before {};
        ASSERT_EQ(::lstat(path, &before), 0);
        {
            std::optional<NoFileDescriptorLeft> limit;
            if (row.noFileDescriptorLeft) limit.emplace();
            const std::string got = birthOrError(app, path);
            EXPECT_EQ(got.rfind("error: ", 0), 0u) << got;
            EXPECT_NE(got.find(path.toStdString()), std::string::npos) << got;
            // (A save that would wait is not tried.)
            if (got != "still waiting") {
                EXPECT_THROW(
                    QtSettings().SaveSetting(app, "Settings", "birth", "2026-01-01 00:00:00"),
                    RuntimeError);
            }
        }
        struct stat after {};
        ASSERT_EQ(::lstat(path, &after), 0);
        EXPECT_EQ(after.st_mode, before.st_mode);
        EXPECT_EQ(after.st_ino, before.st_ino);
        if (S_ISREG(after.st_mode)) {
            EXPECT_EQ(fileBytes(QFile::decodeName(path)), birth);
        }
    }
}

// Not a figure to reach (bench/big_settings.sh measures those): a file of millions of keys,
// read and saved, must not leave its size behind in the program's memory for the rest of its
// life.
TEST(Settings, HugeFileLeavesNoMemoryBehind) {
#ifdef PIMBOLET_SANITIZE
    GTEST_SKIP() << "the sanitizers' allocator keeps freed memory in quarantine";
#endif
    const std::string app = "huge app";
    const QString file = QtSettings::fileName(app);
    QDir().mkpath(QFileInfo(file).absolutePath());
    {
        QFile f(file);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write("[Settings]\n");
        for (int chunk = 0; chunk < 237; ++chunk) {
            QByteArray lines;
            for (int i = 0; i < 10000; ++i)
                lines += "key" + QByteArray::number(chunk * 10000 + i) + "=0123456789\n";
            ASSERT_EQ(f.write(lines), lines.size());
        }
        f.write("birth=2025-01-02 03:04:05\n");
    }
    const long before = residentKiB();
    QtSettings s;
    EXPECT_EQ(s.GetSetting(app, "Settings", "birth", ""), "2025-01-02 03:04:05");
    s.SaveSetting(app, "Settings", "ontop", "0");
    EXPECT_EQ(s.GetSetting(app, "Settings", "ontop", ""), "0");
    EXPECT_LT(residentKiB() - before, 16 * 1024) << "KiB still resident after reading";
}
