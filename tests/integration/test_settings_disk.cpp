#include "integration_env.h"
#include "platform/errors.h"
#include "platform/qt/atomicfile.h"
#include "platform/qt/qtsettings.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <chrono>
#include <fstream>
#include <functional>
#include <optional>
#include <pwd.h>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>

// The settings file among other programs, odd environments and the user's umask.
namespace {
// Sets an environment variable (or unsets it, given nothing) for the life of the guard.
class EnvVar {
  public:
    EnvVar(const char* name, const std::optional<QByteArray>& value) : m_name(name) {
        if (const char* old = ::getenv(name)) m_old = QByteArray(old);
        if (value)
            ::setenv(name, value->constData(), 1);
        else
            ::unsetenv(name);
    }
    ~EnvVar() {
        if (m_old)
            ::setenv(m_name, m_old->constData(), 1);
        else
            ::unsetenv(m_name);
    }
    EnvVar(const EnvVar&) = delete;
    EnvVar& operator=(const EnvVar&) = delete;

  private:
    const char* m_name;
    std::optional<QByteArray> m_old;
};

class Umask {
  public:
    explicit Umask(mode_t mask) : m_old(::umask(mask)) {}
    ~Umask() { ::umask(m_old); }
    Umask(const Umask&) = delete;
    Umask& operator=(const Umask&) = delete;

  private:
    mode_t m_old;
};

mode_t modeOf(const QByteArray& path) {
    struct stat st {};
    return ::stat(path.constData(), &st) == 0 ? (st.st_mode & 07777) : 01000;
}

QByteArray folderOf(const QByteArray& path) {
    return path.left(path.lastIndexOf('/'));
}

void writeFile(const QByteArray& path, const QByteArray& bytes) {
    FILE* f = std::fopen(path.constData(), "wb");
    ASSERT_NE(f, nullptr) << path.constData();
    std::fwrite(bytes.constData(), 1, static_cast<size_t>(bytes.size()), f);
    std::fclose(f);
}
} // namespace

TEST(SettingsOnDisk, FileShortenedWhileItIsReadGivesAShorterTextNeverASignal) {
    const std::string app = "shrinking app";
    const QByteArray file = QtSettings::filePath(app);
    QtSettings s;
    s.SaveSetting(app, "Settings", "name", "x");
    // Each round the file is made 50 MB long and another program cuts it to 20 bytes a little
    // later, each round later than the one before, while the settings are read.
    for (int round = 0; round < 20; ++round) {
        SCOPED_TRACE(round);
        ASSERT_EQ(::truncate(file.constData(), 50 << 20), 0);
        std::thread other([&] {
            std::this_thread::sleep_for(std::chrono::microseconds(200 * round));
            ::truncate(file.constData(), 20);
        });
        const std::string name = s.GetSetting(app, "Settings", "name", "gone");
        other.join();
        EXPECT_EQ(name, "x");
    }
}

TEST(SettingsOnDisk, NewFileAndFolderFollowTheUmaskAndAReplacedFileKeepsItsMode) {
    QTemporaryDir home;
    ASSERT_TRUE(home.isValid());
    EnvVar config("XDG_CONFIG_HOME", QFile::encodeName(home.path()) + "/made/config");
    struct Row {
        const char* app;
        mode_t umask;
        std::optional<mode_t> before; // the mode of a file already there
        mode_t after;
    };
    for (const Row& row : {Row{"private app", 077, {}, 0600}, Row{"usual app", 022, {}, 0644},
                           Row{"open app", 0, {}, 0666}, Row{"kept app", 077, 0640, 0640},
                           Row{"kept open app", 022, 0666, 0666}}) {
        SCOPED_TRACE(row.app);
        const QByteArray file = QtSettings::filePath(row.app);
        if (row.before) {
            ASSERT_TRUE(QDir().mkpath(QFile::decodeName(folderOf(file))));
            writeFile(file, "[Settings]\nname=x\n");
            ::chmod(file.constData(), *row.before);
        }
        Umask mask(row.umask);
        QtSettings().SaveSetting(row.app, "Settings", "sound", "1");
        EXPECT_EQ(modeOf(file), row.after);
    }
    // The first save made every missing folder on the way, for this user alone.
    for (const char* folder : {"/made", "/made/config", "/made/config/pimbolet"})
        EXPECT_EQ(modeOf(QFile::encodeName(home.path()) + folder), 0700u) << folder;
}

TEST(SettingsOnDisk, ConfigFolderFollowsTheXdgRulesAndKeepsItsBytes) {
    QTemporaryDir home;
    ASSERT_TRUE(home.isValid());
    const QByteArray homePath = QFile::encodeName(home.path());
    const passwd* user = ::getpwuid(::getuid());
    ASSERT_NE(user, nullptr);
    const QByteArray tail = "/pimbolet/some app.ini";
    struct Row {
        const char* what;
        std::optional<QByteArray> home, config;
        QByteArray file;
    };
    for (const Row& row : {
             Row{"an absolute config folder", homePath, homePath + "/cfg",
                 homePath + "/cfg" + tail},
             Row{"a relative one is ignored", homePath, QByteArray("cfg"),
                 homePath + "/.config" + tail},
             Row{"an empty one is ignored", homePath, QByteArray(), homePath + "/.config" + tail},
             Row{"no home: the password database's",
                 {},
                 {},
                 QByteArray(user->pw_dir) + "/.config" + tail},
         }) {
        SCOPED_TRACE(row.what);
        EnvVar h("HOME", row.home);
        EnvVar c("XDG_CONFIG_HOME", row.config);
        EXPECT_EQ(QtSettings::filePath("some app"), row.file);
    }

    // A folder name in Latin-1 is no UTF-8: the file lies in the folder of exactly those bytes.
    const QByteArray latin1 = homePath + "/caf\xe9";
    EnvVar c("XDG_CONFIG_HOME", latin1);
    QtSettings s;
    s.SaveSetting("some app", "Settings", "name", "Pim");
    EXPECT_NE(modeOf(latin1 + tail), 01000u) << "the file is there";
    EXPECT_EQ(s.GetSetting("some app", "Settings", "name", ""), "Pim");
    EXPECT_EQ(modeOf(homePath + "/caf\xef\xbf\xbd"), 01000u) << "no folder named with U+FFFD";
    // Qt cannot name this folder to remove it.
    ::unlink((latin1 + tail).constData());
    ::rmdir(folderOf(latin1 + tail).constData());
    ::rmdir(latin1.constData());
}

// A link's target is found from the folder that really holds the link: the file written (and the
// running mark, named after it) is the file that reading opens, and no other file changes.
TEST(SettingsOnDisk, LinksLeadWhereTheSystemFollowsThem) {
    QTemporaryDir top;
    ASSERT_TRUE(top.isValid());
    const QByteArray root = QFile::encodeName(QDir(top.path()).canonicalPath());
    const auto link = [&](const QByteArray& at, const QByteArray& to) {
        ASSERT_TRUE(QDir().mkpath(QFile::decodeName(folderOf(root + at))));
        ASSERT_EQ(::symlink(to.constData(), (root + at).constData()), 0) << at.constData();
    };
    const auto put = [&](const QByteArray& at, const QByteArray& bytes) {
        ASSERT_TRUE(QDir().mkpath(QFile::decodeName(folderOf(root + at))));
        writeFile(root + at, bytes);
    };
    const auto text = [&](const QByteArray& at) {
        std::ifstream in((root + at).constData());
        return std::string(std::istreambuf_iterator<char>(in), {});
    };
    const std::string app = "linked app";
    const QByteArray ini = "/linked app.ini";
    struct Row {
        const char* what;
        std::function<void()> lay;
        const char* real;  // the file the system opens, or none
        const char* decoy; // where ".." taken as text would lead
    };
    const std::vector<Row> rows = {
        {"a relative link in a linked settings folder",
         [&] {
             link("/1/config/pimbolet", root + "/1/elsewhere/pim");
             link("/1/elsewhere/pim" + ini, "../dotfiles/pet.ini");
         },
         "/1/elsewhere/dotfiles/pet.ini", "/1/config/dotfiles/pet.ini"},
        {"a link whose target goes up from a linked folder",
         [&] {
             link("/2/config/pimbolet" + ini, "../via/../dotfiles/pet.ini");
             link("/2/config/via", "../deep/down");
             ASSERT_TRUE(QDir().mkpath(QFile::decodeName(root + "/2/deep/down")));
         },
         "/2/deep/dotfiles/pet.ini", "/2/config/dotfiles/pet.ini"},
        {"two relative links in a row",
         [&] {
             link("/3/config/pimbolet", "../elsewhere/pim");
             link("/3/elsewhere/pim" + ini, "../hop.ini");
             link("/3/elsewhere/hop.ini", "dotfiles/pet.ini");
         },
         "/3/elsewhere/dotfiles/pet.ini", "/3/config/hop.ini"},
        {"a link into a folder that is not there",
         [&] {
             link("/4/config/pimbolet", root + "/4/elsewhere/pim");
             link("/4/elsewhere/pim" + ini, "../missing/pet.ini");
         },
         nullptr, "/4/config/missing/pet.ini"},
    };
    const std::string birth = "[Settings]\nbirth=2020-01-02 03:04:05\n";
    const std::string unrelated = "an unrelated file\n";
    for (size_t i = 0; i < rows.size(); ++i) {
        const Row& row = rows[i];
        SCOPED_TRACE(row.what);
        EnvVar home("XDG_CONFIG_HOME", root + "/" + QByteArray::number(int(i + 1)) + "/config");
        row.lay();
        if (row.real) put(row.real, QByteArray::fromStdString(birth));
        put(row.decoy, QByteArray::fromStdString(unrelated));
        QtSettings s;
        if (row.real) {
            EXPECT_EQ(followLinks(QtSettings::filePath(app)).toStdString(),
                      (root + row.real).toStdString());
            EXPECT_EQ(s.GetSetting(app, "Settings", "birth", "0"), "2020-01-02 03:04:05");
            s.SaveSetting(app, "Settings", "name", "Pim");
            EXPECT_EQ(text(row.real), birth + "name=Pim\n");
        } else {
            EXPECT_EQ(s.GetSetting(app, "Settings", "birth", "0"), "0");
            EXPECT_THROW(s.SaveSetting(app, "Settings", "name", "Pim"), RuntimeError);
        }
        EXPECT_EQ(text(row.decoy), unrelated) << "the file that \"..\" as text names";
    }
}
