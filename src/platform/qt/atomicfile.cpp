#include "atomicfile.h"

#include "platform/errors.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <cerrno>
#include <climits>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {
[[noreturn]] void fail(const QString& path, const char* what, int err) {
    throw RuntimeError(vberr::PathFileAccess, "Path/File access error: cannot " +
                                                  std::string(what) + " " + path.toStdString() +
                                                  " (" + std::strerror(err) + ")");
}

// Writes all of it, or sets errno and says no.
bool writeAll(int fd, std::string_view bytes) {
    while (!bytes.empty()) {
        const ssize_t n = ::write(fd, bytes.data(), bytes.size());
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) {
            if (n == 0) errno = ENOSPC;
            return false;
        }
        bytes.remove_prefix(static_cast<size_t>(n));
    }
    return true;
}
} // namespace

QString followLinks(const QString& path) {
    QString at = QFileInfo(path).absoluteFilePath();
    // As many links as the system itself follows before it gives up on a loop.
    for (int hops = 0; hops < 40; ++hops) {
        const QFileInfo info(at);
        if (!info.isSymLink()) return at;
        const QByteArray encoded = QFile::encodeName(at);
        char target[PATH_MAX];
        const ssize_t n = ::readlink(encoded.constData(), target, sizeof target - 1);
        if (n <= 0) return at;
        at = QDir(info.absolutePath())
                 .absoluteFilePath(QFile::decodeName(QByteArray(target, static_cast<int>(n))));
        at = QDir::cleanPath(at);
    }
    return at;
}

void writeFileAtomically(const QString& path, const QByteArray& bytes) {
    writeFileAtomically(path, {std::string_view(bytes.constData(), bytes.size())});
}

void writeFileAtomically(const QString& path, const std::vector<std::string_view>& pieces) {
    // Qt's QSaveFile (and QSettings with it) takes a short write, as on a full disk, for
    // success and renames a truncated file into place; hence plain POSIX calls, each checked.
    // The new file is made in the folder of the file it replaces, so that the rename stays
    // within one file system and a link keeps leading to it.
    const QString real = followLinks(path);
    const QByteArray target = QFile::encodeName(real);
    QByteArray temp = target + ".XXXXXX";
    const int fd = ::mkostemp(temp.data(), O_CLOEXEC);
    if (fd < 0) fail(path, "write", errno);
    const auto abandon = [&](const char* what) {
        const int err = errno;
        ::close(fd);
        ::unlink(temp.constData());
        fail(path, what, err);
    };
    for (const std::string_view piece : pieces)
        if (!writeAll(fd, piece)) abandon("write");
    // Keep the permissions of the file being replaced; a new file gets the usual ones.
    struct stat old {};
    const mode_t mode = ::stat(target.constData(), &old) == 0 ? (old.st_mode & 07777) : 0644;
    if (::fchmod(fd, mode) != 0 || ::fsync(fd) != 0) abandon("write");
    if (::close(fd) != 0) {
        const int err = errno;
        ::unlink(temp.constData());
        fail(path, "write", err);
    }
    if (::rename(temp.constData(), target.constData()) != 0) {
        const int err = errno;
        ::unlink(temp.constData());
        fail(path, "replace", err);
    }
    // The rename itself reaches the disk with the folder's entry.
    const QByteArray folder = QFile::encodeName(QFileInfo(real).absolutePath());
    const int dfd = ::open(folder.constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (dfd >= 0) {
        ::fsync(dfd);
        ::close(dfd);
    }
}
