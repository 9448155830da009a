#include "platform/qt/pulsesounddevice.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QtEndian>

#include <gtest/gtest.h>

// These run without any sound server: nothing here depends on hearing the sound.
namespace {
struct Wave {
    quint16 format = 1;
    quint16 channels = 1;
    quint32 rate = 8000;
    quint16 bits = 16;
    int ms = 250;
    int missingBytes = 0; // the header promises this much more sound than the file holds
};

QByteArray waveBytes(const Wave& w) {
    const quint16 align = static_cast<quint16>(w.channels * w.bits / 8);
    const quint32 frames = w.rate * static_cast<quint32>(w.ms) / 1000;
    QByteArray data(static_cast<qsizetype>(frames * align), '\0');
    for (qsizetype i = 0; i < data.size(); i += 16)
        data[i] = 40; // a faint buzz
    const auto le16 = [](quint16 v) { return QByteArray(1, char(v & 255)) + char(v >> 8); };
    const auto le32 = [&](quint32 v) { return le16(quint16(v & 0xffff)) + le16(quint16(v >> 16)); };
    QByteArray fmt = le16(w.format) + le16(w.channels) + le32(w.rate) + le32(w.rate * align) +
                     le16(align) + le16(w.bits);
    const quint32 promised = static_cast<quint32>(data.size() + w.missingBytes);
    QByteArray body = "WAVE" + QByteArray("LIST") + le32(4) + "INFO" + "fmt " +
                      le32(static_cast<quint32>(fmt.size())) + fmt + "data" + le32(promised) + data;
    return "RIFF" + le32(static_cast<quint32>(body.size())) + body;
}

void waitMs(int ms) {
    QElapsedTimer t;
    t.start();
    while (t.elapsed() < ms)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
}

class Multimedia : public ::testing::Test {
  protected:
    std::string write(const char* name, const QByteArray& bytes) {
        QFile f(dir.filePath(QString::fromLatin1(name)));
        f.open(QIODevice::WriteOnly);
        f.write(bytes);
        return f.fileName().toStdString();
    }
    long openLength(const std::string& path) {
        sound.SetFileName(path);
        sound.Command("Open");
        return sound.Length();
    }

    QTemporaryDir dir;
    PulseSoundDevice sound;
};
} // namespace

TEST_F(Multimedia, LengthInMillisecondsComesFromTheHeader) {
    struct Row {
        const char* name;
        Wave wave;
        long length;
    };
    const std::vector<Row> rows = {
        {"mono16.wav", Wave{}, 250},
        {"stereo8.wav", Wave{1, 2, 22050, 8, 1000, 0}, 1000},
        {"float.wav", Wave{3, 1, 44100, 32, 120, 0}, 120},
    };
    for (const Row& row : rows)
        EXPECT_EQ(openLength(write(row.name, waveBytes(row.wave))), row.length) << row.name;
}

TEST_F(Multimedia, FilesThatCannotBePlayedLeaveNothingOpen) {
    Wave adpcm;
    adpcm.format = 2;
    const std::vector<std::string> paths = {
        dir.filePath(QStringLiteral("missing.wav")).toStdString(),
        write("text.wav", "this is not a wave file\r\n"),
        write("empty.wav", ""),
        write("adpcm.wav", waveBytes(adpcm)),
        write("cut.wav", waveBytes(Wave{}).left(30)),
        write("short-data.wav", waveBytes(Wave{1, 1, 8000, 16, 500, 8000})),
        dir.path().toStdString(),
    };
    for (const std::string& path : paths) {
        EXPECT_EQ(openLength(path), 0) << path;
        sound.Command("Play");
        EXPECT_EQ(sound.Position(), 0) << path;
    }
    EXPECT_EQ(openLength(write("good.wav", waveBytes(Wave{}))), 250) << "the next one plays";
}

TEST_F(Multimedia, PositionRunsWhilePlayingAndEqualsLengthAtTheEnd) {
    const std::string path = write("say1.wav", waveBytes(Wave{}));
    EXPECT_EQ(sound.Length(), 0) << "nothing open yet";
    ASSERT_EQ(openLength(path), 250);
    sound.Command("Play");
    EXPECT_NE(sound.Position(), sound.Length()) << "still playing";
    waitMs(100);
    EXPECT_GT(sound.Position(), 0);
    EXPECT_LT(sound.Position(), sound.Length());
    waitMs(250);
    EXPECT_EQ(sound.Position(), sound.Length()) << "played to its end";

    sound.Command("Close");
    EXPECT_EQ(sound.Length(), 0);
    EXPECT_EQ(sound.Position(), 0);

    // The same file again starts from the beginning.
    ASSERT_EQ(openLength(path), 250);
    sound.Command("Play");
    EXPECT_LT(sound.Position(), sound.Length());
}

TEST_F(Multimedia, PathsWithBackslashesAndDoubledSeparatorsOpen) {
    write("laugh.wav", waveBytes(Wave{}));
    const std::string path = dir.path().toStdString() + "\\\\laugh.wav";
    EXPECT_EQ(openLength(path), 250);
}

TEST_F(Multimedia, FileReplacedUnderTheSameNameIsReadAnew) {
    const std::string path = write("say2.wav", waveBytes(Wave{}));
    ASSERT_EQ(openLength(path), 250);
    sound.Command("Play");
    sound.Command("Close");
    Wave longer;
    longer.ms = 700;
    QFile::remove(QString::fromStdString(path));
    write("say2.wav", waveBytes(longer));
    EXPECT_EQ(openLength(path), 700);
}

// Before, a file of zeros after its wave header was scanned eight bytes at a time: minutes for
// this one. Now no more than a few chunks are looked at, whatever the file's size.
TEST_F(Multimedia, HugeFileOfZerosAfterAWaveHeaderIsRefusedAtOnce) {
    const std::string path = write("zeros.wav", "RIFF\xff\xff\xff\x7fWAVE");
    ASSERT_TRUE(QFile::resize(QString::fromStdString(path), qint64{2} << 30));
    EXPECT_EQ(openLength(path), 0);
}

TEST_F(Multimedia, FileThatCannotBePlayedIsNotReadAgainUntilItChanges) {
    QByteArray bytes = waveBytes(Wave{});
    QByteArray broken = bytes;
    broken.replace(8, 4, "WAVX");
    const std::string path = write("say3.wav", broken);
    const QString file = QString::fromStdString(path);
    ASSERT_EQ(openLength(path), 0);
    const QDateTime changed = QFileInfo(file).lastModified();

    // Mended in place with its size and time of change as they were: it is not read again.
    write("say3.wav", bytes);
    QFile f(file);
    ASSERT_TRUE(f.open(QIODevice::ReadWrite));
    ASSERT_TRUE(f.setFileTime(changed, QFileDevice::FileModificationTime));
    f.close();
    EXPECT_EQ(openLength(path), 0);

    // Once its time of change moves, it is read and plays.
    ASSERT_TRUE(f.open(QIODevice::ReadWrite));
    ASSERT_TRUE(f.setFileTime(changed.addSecs(5), QFileDevice::FileModificationTime));
    f.close();
    EXPECT_EQ(openLength(path), 250);
}

TEST_F(Multimedia, EveryShippedWaveOpens) {
    const QDir cdata(QStringLiteral(PIMBOLET_SOURCE_DIR "/resources/cdata"));
    for (const char* name :
         {"say1", "say2", "say3", "say4", "pain1", "pain2", "pain3", "pain4", "laugh"}) {
        const long length =
            openLength(cdata.filePath(QString::fromLatin1(name) + ".wav").toStdString());
        EXPECT_GT(length, 100) << name;
        EXPECT_LT(length, 10000) << name;
        sound.Command("Close");
    }
}
