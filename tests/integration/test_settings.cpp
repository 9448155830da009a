#include "integration_env.h"
#include "platform/errors.h"
#include "platform/qt/qtimpl.h"

#include <QFile>
#include <QFileInfo>

#include <gtest/gtest.h>

#include <csignal>
#include <sys/resource.h>
#include <unistd.h>

namespace {
const std::string kApp = "virtual pet Pimbolet";

QByteArray fileBytes(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

// Makes every write past `bytes` fail (as on a full disk) until it goes out of scope.
class FileSizeLimit {
  public:
    explicit FileSizeLimit(rlim_t bytes) {
        getrlimit(RLIMIT_FSIZE, &m_old);
        m_oldHandler = std::signal(SIGXFSZ, SIG_IGN);
        rlimit lim = m_old;
        lim.rlim_cur = bytes;
        setrlimit(RLIMIT_FSIZE, &lim);
    }
    ~FileSizeLimit() {
        setrlimit(RLIMIT_FSIZE, &m_old);
        std::signal(SIGXFSZ, m_oldHandler);
    }

  private:
    rlimit m_old{};
    void (*m_oldHandler)(int) = nullptr;
};
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

    {
        FileSizeLimit limit(static_cast<rlim_t>(before.size() + 16));
        try {
            s.SaveSetting(app, "Settings", "name", std::string(4096, 'x'));
            ADD_FAILURE() << "a write that cannot reach the disk must fail";
        } catch (const RuntimeError& e) {
            EXPECT_EQ(e.Number, vberr::PathFileAccess);
            EXPECT_NE(e.Description.find(file.toStdString()), std::string::npos) << e.Description;
        }
    }
    EXPECT_EQ(fileBytes(file), before);
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
