#include "integration_env.h"
#include "platform/qt/atomicfile.h"
#include "platform/qt/qtruntime.h"
#include "platform/qt/qtsettings.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QProcessEnvironment>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <csignal>
#include <functional>
#include <optional>
#include <sys/file.h>
#include <unistd.h>

// Two real processes: the probe asks the single-instance test and prints the answer.
namespace {
struct Probe {
    std::unique_ptr<QProcess> process = std::make_unique<QProcess>();

    // Starts the probe and waits for its answer.
    QString start(const QString& program, const QStringList& args, const QString& cwd = QString(),
                  const QProcessEnvironment& env = QProcessEnvironment::systemEnvironment()) {
        if (!cwd.isEmpty()) process->setWorkingDirectory(cwd);
        process->setProcessEnvironment(env);
        process->setProcessChannelMode(QProcess::ForwardedErrorChannel);
        process->start(program, args);
        if (!process->waitForStarted(5000)) return QStringLiteral("not started");
        while (!process->canReadLine())
            if (!process->waitForReadyRead(10000)) return QStringLiteral("no answer");
        return QString::fromLatin1(process->readLine()).trimmed();
    }
    QString nextLine() {
        while (!process->canReadLine())
            if (!process->waitForReadyRead(10000)) return QStringLiteral("no answer");
        return QString::fromLatin1(process->readLine()).trimmed();
    }
    void kill9() {
        ::kill(static_cast<pid_t>(process->processId()), SIGKILL);
        process->waitForFinished(5000);
    }
    ~Probe() {
        if (process->state() != QProcess::NotRunning) kill9();
    }
};

const QString kProbe = QStringLiteral(INSTANCE_PROBE);
} // namespace

TEST(SingleInstance, MarkLiesBesideTheSettingsFile) {
    EXPECT_EQ(QtRuntime::instanceLockPath(),
              QtSettings::fileName("virtual pet Pimbolet") + QStringLiteral(".lock"));
}

TEST(SingleInstance, OneCopyPerSettingsFileWhateverTheEnvironment) {
    Probe first;
    ASSERT_EQ(first.start(kProbe, {QStringLiteral("hold")}), QStringLiteral("first"));

    const QProcessEnvironment same = QProcessEnvironment::systemEnvironment();
    QTemporaryDir elsewhere;
    ASSERT_TRUE(elsewhere.isValid());
    QProcessEnvironment otherRuntime = same, noRuntime = same, linked = same, other = same;
    otherRuntime.insert(QStringLiteral("XDG_RUNTIME_DIR"), elsewhere.path());
    noRuntime.remove(QStringLiteral("XDG_RUNTIME_DIR"));
    // Another config folder whose settings file is a link to this one's.
    const QString linkedHome = elsewhere.filePath(QStringLiteral("linked"));
    QDir().mkpath(linkedHome + QStringLiteral("/pimbolet"));
    ASSERT_TRUE(QFile::link(QtSettings::fileName("virtual pet Pimbolet"),
                            linkedHome + QStringLiteral("/pimbolet/virtual pet Pimbolet.ini")));
    linked.insert(QStringLiteral("XDG_CONFIG_HOME"), linkedHome);
    other.insert(QStringLiteral("XDG_CONFIG_HOME"), elsewhere.filePath(QStringLiteral("other")));

    EXPECT_EQ(Probe().start(kProbe, {}, {}, otherRuntime), QStringLiteral("running"))
        << "another runtime folder";
    EXPECT_EQ(Probe().start(kProbe, {}, {}, noRuntime), QStringLiteral("running"))
        << "no runtime folder";
    EXPECT_EQ(Probe().start(kProbe, {}, {}, linked), QStringLiteral("running"))
        << "a settings file that links to the same file";
    EXPECT_EQ(Probe().start(kProbe, {}, {}, other), QStringLiteral("first"))
        << "a settings file of its own";
}

TEST(SingleInstance, SecondCopyIsFoundHoweverItWasStarted) {
    Probe first;
    ASSERT_EQ(first.start(kProbe, {QStringLiteral("hold")}), QStringLiteral("first"));

    QTemporaryDir elsewhere;
    ASSERT_TRUE(elsewhere.isValid());
    const QString link = elsewhere.filePath(QStringLiteral("another-name"));
    ASSERT_TRUE(QFile::link(kProbe, link));

    EXPECT_EQ(Probe().start(kProbe, {}), QStringLiteral("running"));
    EXPECT_EQ(Probe().start(kProbe, {}, QDir::rootPath()), QStringLiteral("running"))
        << "started from another folder";
    EXPECT_EQ(Probe().start(link, {}, elsewhere.path()), QStringLiteral("running"))
        << "started through a link under another name";

    // The in-process runtime is one more copy for the same user.
    QtRuntime here;
    EXPECT_TRUE(here.PrevInstance());
}

TEST(SingleInstance, CopyKilledHardDoesNotBlockTheNextStart) {
    {
        Probe crashed;
        ASSERT_EQ(crashed.start(kProbe, {QStringLiteral("hold")}), QStringLiteral("first"));
        crashed.kill9();
    }
    Probe next;
    EXPECT_EQ(next.start(kProbe, {QStringLiteral("hold")}), QStringLiteral("first"));
    EXPECT_EQ(Probe().start(kProbe, {}), QStringLiteral("running"));
}

TEST(SingleInstance, ChildProcessOutlivingTheProgramDoesNotKeepItRunning) {
    {
        Probe parent;
        ASSERT_EQ(parent.start(kProbe, {QStringLiteral("hold"), QStringLiteral("child")}),
                  QStringLiteral("first"));
        parent.kill9();
    }
    EXPECT_EQ(Probe().start(kProbe, {}), QStringLiteral("first"));
}

TEST(SingleInstance, TheHolderItselfIsNotAnotherCopy) {
    QtRuntime runtime;
    ASSERT_FALSE(runtime.PrevInstance());
    EXPECT_FALSE(runtime.PrevInstance()) << "asking twice";
    EXPECT_EQ(Probe().start(kProbe, {}), QStringLiteral("running"));
}

TEST(ProgramFolder, IsTheRealFolderWhenStartedThroughALinkFromElsewhere) {
    QTemporaryDir elsewhere;
    const QString link = elsewhere.filePath(QStringLiteral("pimbolet"));
    ASSERT_TRUE(QFile::link(kProbe, link));
    Probe probe;
    probe.start(link, {}, QDir::rootPath());
    const QString folder = QFileInfo(kProbe).canonicalPath();
    EXPECT_EQ(probe.nextLine(), folder) << "where the wave files lie beside the program";
}

namespace {
// Something other than a lock file where the lock file belongs.
struct InThePlaceOfTheMark {
    const char* what;
    std::function<void(const QString&)> make;
};

// Where the planted link leads: a file that must never be made.
QString dangling() {
    return QString::fromStdString(itest::runtimeDir()) + QStringLiteral("/made-through-a-link");
}

std::vector<InThePlaceOfTheMark> blockers() {
    return {{"a folder", [](const QString& mark) { QDir().mkpath(mark); }},
            {"a dangling link", [](const QString& mark) { QFile::link(dangling(), mark); }}};
}

void clear(const QString& mark) {
    if (QFileInfo(mark).isDir() && !QFileInfo(mark).isSymLink())
        QDir(mark).removeRecursively();
    else
        QFile::remove(mark);
}
} // namespace

TEST(SingleInstance, MarkThatCannotBeOpenedStillRefusesASecondCopy) {
    const QString mark = QtRuntime::instanceLockPath();
    for (const InThePlaceOfTheMark& blocker : blockers()) {
        SCOPED_TRACE(blocker.what);
        clear(mark);
        blocker.make(mark);
        {
            Probe first;
            ASSERT_EQ(first.start(kProbe, {QStringLiteral("hold")}), QStringLiteral("first"));
            EXPECT_EQ(Probe().start(kProbe, {}), QStringLiteral("running"));
        }
        EXPECT_FALSE(QFileInfo::exists(dangling())) << "a link is never followed";
        clear(mark);
    }
}

namespace {
// Another user, for files and folders that are not this user's (the tests run as root).
constexpr uid_t kOtherUser = 65534;

// The probe's answer and what it said on stderr, started once with this runtime folder.
struct Said {
    QString answer;
    QList<QByteArray> lines;
};
Said askWithRuntimeFolder(const std::optional<QString>& runtime) {
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    if (runtime)
        env.insert(QStringLiteral("XDG_RUNTIME_DIR"), *runtime);
    else
        env.remove(QStringLiteral("XDG_RUNTIME_DIR"));
    QProcess probe;
    probe.setProcessEnvironment(env);
    probe.start(kProbe, {});
    if (!probe.waitForFinished(10000)) return {QStringLiteral("no answer"), {}};
    const QByteArray err = probe.readAllStandardError().trimmed();
    return {QString::fromLatin1(probe.readAllStandardOutput().split('\n').value(0)),
            err.isEmpty() ? QList<QByteArray>{} : err.split('\n')};
}

// A runtime folder under `parent` with this owner and mode.
QString runtimeFolder(const QTemporaryDir& parent, const char* name, uid_t owner, mode_t mode) {
    const QString folder = parent.filePath(QString::fromLatin1(name));
    QDir().mkpath(folder);
    const QByteArray path = QFile::encodeName(folder);
    EXPECT_EQ(::chown(path.constData(), owner, static_cast<gid_t>(-1)), 0) << name;
    EXPECT_EQ(::chmod(path.constData(), mode), 0) << name;
    return folder;
}
} // namespace

TEST(SingleInstance, MarkThatCannotBeTakenBesideTheSettingsIsSaidInOneLine) {
    const uid_t me = ::geteuid();
    const QString mark = QtRuntime::instanceLockPath();
    QDir().mkpath(mark);
    QTemporaryDir parent;
    struct Row {
        const char* what;
        std::optional<QString> runtime;
    };
    for (const Row& row : {
             Row{"the runtime folder's mark taken instead",
                 runtimeFolder(parent, "private", me, 0700)},
             Row{"no runtime folder", {}},
             Row{"a runtime folder shared with others", runtimeFolder(parent, "shared", me, 01777)},
         }) {
        SCOPED_TRACE(row.what);
        const Said said = askWithRuntimeFolder(row.runtime);
        EXPECT_EQ(said.answer, QStringLiteral("first"));
        ASSERT_EQ(said.lines.size(), 1);
        EXPECT_TRUE(said.lines[0].startsWith("pimbolet: cannot lock " + QFile::encodeName(mark)))
            << said.lines[0].constData();
    }
    clear(mark);
}

TEST(SingleInstance, OnlyTheUsersOwnMarkInAPrivateRuntimeFolderCounts) {
    if (::geteuid() != 0) GTEST_SKIP() << "needs another user's files";
    const uid_t me = ::geteuid();
    QTemporaryDir parent;
    ASSERT_TRUE(parent.isValid());
    // The name of the mark in a runtime folder, as a copy makes it.
    const QString named = runtimeFolder(parent, "named", me, 0700);
    ASSERT_EQ(askWithRuntimeFolder(named).answer, QStringLiteral("first"));
    const QStringList marks = QDir(named).entryList(QDir::Files);
    ASSERT_EQ(marks.size(), 1);

    struct Row {
        const char* what;
        uid_t folderOwner;
        mode_t folderMode;
        uid_t markOwner;
        const char* answer;
    };
    for (const Row& row : {
             Row{"a shared sticky folder, another user's mark", me, 01777, kOtherUser, "first"},
             Row{"a shared sticky folder, a mark of the user's", me, 01777, me, "first"},
             Row{"a folder the group may enter", me, 0750, me, "first"},
             Row{"another user's private folder", kOtherUser, 0700, me, "first"},
             Row{"a private folder, another user's mark", me, 0700, kOtherUser, "first"},
             Row{"a private folder, the user's own mark", me, 0700, me, "running"},
         }) {
        SCOPED_TRACE(row.what);
        const QString folder = runtimeFolder(parent, row.what, row.folderOwner, row.folderMode);
        const QString path = folder + QLatin1Char('/') + marks[0];
        QFile held(path);
        ASSERT_TRUE(held.open(QIODevice::ReadWrite));
        ASSERT_EQ(::fchown(held.handle(), row.markOwner, static_cast<gid_t>(-1)), 0);
        ASSERT_EQ(::flock(held.handle(), LOCK_EX | LOCK_NB), 0);
        EXPECT_EQ(askWithRuntimeFolder(folder).answer, QString::fromLatin1(row.answer));
    }
}

TEST(SingleInstance, TheCopyThatTakesTheLockRemovesSavesCutShort) {
    const QString settings = followLinks(QtSettings::fileName("virtual pet Pimbolet"));
    QDir().mkpath(QFileInfo(settings).absolutePath());
    const auto put = [](const QString& path) {
        QFile f(path);
        f.open(QIODevice::WriteOnly);
        f.write(QByteArray(4096, 'x'));
    };
    const QString stale = settings + QStringLiteral(".pimbolet-saving-Ab3dE9xY7kQ2");
    // A user's files, also named as an earlier version named its temporary files.
    const QStringList kept = {
        settings + QStringLiteral(".backup"), settings + QStringLiteral(".saving-backup"),
        settings + QStringLiteral(".saving-Ab3dE9"), settings + QStringLiteral(".XyZ123")};
    put(stale);
    for (const QString& path : kept)
        put(path);
    Probe first;
    ASSERT_EQ(first.start(kProbe, {QStringLiteral("hold")}), QStringLiteral("first"));
    EXPECT_FALSE(QFileInfo::exists(stale));
    for (const QString& path : kept)
        EXPECT_TRUE(QFileInfo::exists(path)) << "not a temporary file: " << path.toStdString();

    // A copy that finds another running leaves that copy's saves alone.
    put(stale);
    EXPECT_EQ(Probe().start(kProbe, {}), QStringLiteral("running"));
    EXPECT_TRUE(QFileInfo::exists(stale));
    for (const QString& path : kept + QStringList{stale})
        QFile::remove(path);
}
