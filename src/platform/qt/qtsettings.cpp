#include "qtsettings.h"

#include "atomicfile.h"
#include "platform/inifile.h"
#include "userfolders.h"

#include "platform/errors.h"

#include <QFile>

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

// One INI file per application name under $XDG_CONFIG_HOME/pimbolet/, a folder that only this
// user may enter when the program makes it. Every save reads the file, changes the one line of its
// key and replaces the whole file at once, so it is on the disk when the call returns, never
// half-written, and whatever else the file holds stays.

QByteArray QtSettings::filePath(const std::string& app) {
    QByteArray name = QByteArray::fromStdString(app);
    name.replace('/', '_');
    return configHome() + "/pimbolet/" + name + ".ini";
}

QString QtSettings::fileName(const std::string& app) {
    return QFile::decodeName(filePath(app));
}

namespace {
[[noreturn]] void cannotRead(const QByteArray& path, const char* why) {
    throw RuntimeError(errnum::PathFileAccess, "Path/File access error: cannot read " +
                                                   path.toStdString() + " (" + why + ")");
}

// The file's whole text. Read, not mapped: another program may shorten the file while it is
// read, which must give a shorter text, never a fault. Only a file that is not there reads as
// empty; one that exists but cannot be read (no file descriptor left, no permission, not a plain
// file) is an error, so that it is never taken for a first run and a save never replaces
// settings it could not see.
class SettingsText {
  public:
    explicit SettingsText(const QByteArray& path) {
        // Opened without waiting: a FIFO or a device in the file's place would otherwise hold
        // the program in open() for good, deaf to the signals that end it. (A plain file reads
        // the same either way.)
        const int fd = ::open(path.constData(), O_RDONLY | O_CLOEXEC | O_NONBLOCK | O_NOCTTY);
        if (fd < 0) {
            // Also a link to a file not made yet, and a file in place of a folder on the way.
            if (errno == ENOENT || errno == ENOTDIR) return;
            cannotRead(path, std::strerror(errno));
        }
        struct stat st {};
        if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
            ::close(fd);
            cannotRead(path, "not a plain file");
        }
        m_text.reserve(static_cast<size_t>(st.st_size));
        char block[1 << 16];
        for (;;) {
            const ssize_t n = ::read(fd, block, sizeof block);
            if (n < 0 && errno == EINTR) continue;
            if (n < 0) {
                const int err = errno;
                ::close(fd);
                cannotRead(path, std::strerror(err));
            }
            if (n == 0) break;
            m_text.append(block, static_cast<size_t>(n));
        }
        ::close(fd);
    }
    std::string_view text() const { return m_text; }

  private:
    std::string m_text;
};
} // namespace

std::string QtSettings::GetSetting(const std::string& app, const std::string& section,
                                   const std::string& key, const std::string& def) {
    const SettingsText file(filePath(app));
    return ini::find(file.text(), section, key).value_or(def);
}

void QtSettings::SaveSetting(const std::string& app, const std::string& section,
                             const std::string& key, const std::string& value) {
    const QByteArray path = filePath(app);
    const SettingsText file(path);
    const ini::Edit edit = ini::withValue(file.text(), section, key, value);
    const QByteArray folder = path.left(path.lastIndexOf('/'));
    if (!makePrivateFolders(folder))
        throw RuntimeError(errnum::PathFileAccess,
                           "Path/File access error: cannot make the folder " +
                               folder.toStdString() + " for the settings (" + std::strerror(errno) +
                               ")");
    writeFileAtomically(path, edit.pieces(file.text()));
}
