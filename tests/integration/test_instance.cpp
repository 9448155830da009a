#include "integration_env.h"
#include "platform/qt/qtimpl.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QProcessEnvironment>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <csignal>

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
