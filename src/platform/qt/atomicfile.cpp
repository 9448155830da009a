#include "atomicfile.h"

#include "platform/errors.h"

#include <QFile>
#include <QRandomGenerator>

#include <cerrno>
#include <climits>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {
[[noreturn]] void fail(const QByteArray& path, const char* what, int err) {
    throw RuntimeError(errnum::PathFileAccess, "Path/File access error: cannot " +
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

const char kNameLetters[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789";
// A temporary file is named after the file it replaces, then this mark and twelve letters: a
// name no user would give a file, so that a leftover is never taken for one of the user's.
constexpr char kNameMark[] = ".pimbolet-saving-";
constexpr qsizetype kMarkSize = sizeof kNameMark - 1;
constexpr int kNameTail = 12;

QByteArray folderOf(const QByteArray& path) {
    const qsizetype slash = path.lastIndexOf('/');
    if (slash < 0) return QByteArrayLiteral(".");
    return slash == 0 ? QByteArrayLiteral("/") : path.left(slash);
}

QByteArray absolute(const QByteArray& path) {
    if (path.startsWith('/')) return path;
    char here[PATH_MAX];
    if (!::getcwd(here, sizeof here)) return path;
    return QByteArray(here) + '/' + path;
}

// The path's folder as the system finds it, every link in it followed, then the last name:
// ".." after a link leads up from where the link leads, never back up the path's own text. A
// folder that cannot be found is kept as it is written, so that what is opened there fails
// as the system's own look-up would.
QByteArray realFolder(const QByteArray& path) {
    const QByteArray name = path.mid(path.lastIndexOf('/') + 1);
    char real[PATH_MAX];
    if (name.isEmpty() || name == "." || name == "..")
        return ::realpath(path.constData(), real) ? QByteArray(real) : path;
    if (!::realpath(folderOf(path).constData(), real)) return path;
    const QByteArray folder(real);
    return folder.endsWith('/') ? folder + name : folder + '/' + name;
}

// A new file beside `target`, made here and nowhere a link leads. Made with the usual
// permissions, so that the system takes the umask off them. The save holds a lock on it until
// it has its final name: one that nobody holds was left by a save cut short. Should a start
// have taken it for one before the lock (the lock is then held, or the name already gone),
// another name is made.
int createTemporary(const QByteArray& target, QByteArray& name) {
    for (int tries = 0; tries < 100; ++tries) {
        name = target + kNameMark;
        for (int i = 0; i < kNameTail; ++i)
            name += kNameLetters[QRandomGenerator::global()->bounded(
                static_cast<int>(sizeof kNameLetters - 1))];
        const int fd =
            ::open(name.constData(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0666);
        if (fd < 0) {
            if (errno == EEXIST) continue;
            return -1;
        }
        struct stat st {};
        const bool taken = ::flock(fd, LOCK_EX | LOCK_NB) != 0 && errno == EWOULDBLOCK;
        if (!taken && ::fstat(fd, &st) == 0 && st.st_nlink > 0) return fd;
        ::close(fd);
    }
    return -1;
}

// Whether a name is that of a temporary file, of the file `of` when one is named.
bool isTemporaryName(const QByteArray& name, const QByteArray& of) {
    const qsizetype base = name.size() - kMarkSize - kNameTail;
    if (base <= 0 || name.mid(base, kMarkSize) != kNameMark) return false;
    if (!of.isEmpty() && (base != of.size() || !name.startsWith(of))) return false;
    for (qsizetype i = base + kMarkSize; i < name.size(); ++i)
        if (name[i] == '\0' || !std::strchr(kNameLetters, name[i])) return false;
    return true;
}

// Removes the entry of the folder if it is a plain file of this user's that no save holds.
void removeIfLeftOver(int folder, const char* name) {
    struct stat seen {};
    if (::fstatat(folder, name, &seen, AT_SYMLINK_NOFOLLOW) != 0 || !S_ISREG(seen.st_mode) ||
        seen.st_uid != ::geteuid())
        return;
    const int fd = ::openat(folder, name, O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) return;
    struct stat opened {};
    if (::fstat(fd, &opened) == 0 && opened.st_dev == seen.st_dev && opened.st_ino == seen.st_ino &&
        ::flock(fd, LOCK_EX | LOCK_NB) == 0)
        ::unlinkat(folder, name, 0);
    ::close(fd);
}

void removeTemporaryFiles(const QByteArray& folder, const QByteArray& of) {
    DIR* dir = ::opendir(folder.constData());
    if (!dir) return;
    while (const dirent* entry = ::readdir(dir))
        if (isTemporaryName(QByteArray(entry->d_name), of))
            removeIfLeftOver(::dirfd(dir), entry->d_name);
    ::closedir(dir);
}
} // namespace

QByteArray followLinks(const QByteArray& path) {
    QByteArray at = realFolder(absolute(path));
    // As many links as the system itself follows before it gives up on a loop.
    for (int hops = 0; hops < 40; ++hops) {
        char target[PATH_MAX];
        const ssize_t n = ::readlink(at.constData(), target, sizeof target - 1);
        if (n <= 0) return at;
        const QByteArray to(target, static_cast<qsizetype>(n));
        at = realFolder(to.startsWith('/') ? to : folderOf(at) + '/' + to);
    }
    return at;
}

QString followLinks(const QString& path) {
    return QFile::decodeName(followLinks(QFile::encodeName(path)));
}

bool makePrivateFolders(const QByteArray& path) {
    const QByteArray full = absolute(path);
    for (qsizetype end = 1; end <= full.size(); ++end) {
        if (end < full.size() && full[end] != '/') continue;
        const QByteArray folder = full.left(end);
        if (::mkdir(folder.constData(), 0700) == 0) continue;
        if (errno != EEXIST) return false;
        struct stat st {};
        if (::stat(folder.constData(), &st) != 0) return false;
        if (!S_ISDIR(st.st_mode)) {
            errno = ENOTDIR;
            return false;
        }
    }
    return true;
}

void writeFileAtomically(const QString& path, const QByteArray& bytes, AtLink atLink) {
    writeFileAtomically(QFile::encodeName(path),
                        {std::string_view(bytes.constData(), static_cast<size_t>(bytes.size()))},
                        atLink);
}

void writeFileAtomically(const QByteArray& path, const std::vector<std::string_view>& pieces,
                         AtLink atLink) {
    // Qt's QSaveFile (and QSettings with it) takes a short write, as on a full disk, for
    // success and renames a truncated file into place; hence plain POSIX calls, each checked.
    // The new file is made in the folder of the file it replaces, so that the rename stays
    // within one file system and a link keeps leading to it.
    const QByteArray target = atLink == AtLink::Follow ? followLinks(path) : absolute(path);
    QByteArray temp;
    const int fd = createTemporary(target, temp);
    if (fd < 0) fail(path, "write", errno);
    const auto abandon = [&](const char* what) {
        const int err = errno;
        ::close(fd);
        ::unlink(temp.constData());
        fail(path, what, err);
    };
    for (const std::string_view piece : pieces)
        if (!writeAll(fd, piece)) abandon("write");
    // A replaced file keeps its permissions (a link's own say nothing).
    struct stat old {};
    if (::lstat(target.constData(), &old) == 0 && S_ISREG(old.st_mode) &&
        ::fchmod(fd, old.st_mode & 07777) != 0)
        abandon("write");
    if (::fsync(fd) != 0) abandon("write");
    // Still open, so still held, until it has its final name; the fsync has put every byte on
    // the disk, so closing it later cannot lose one.
    if (::rename(temp.constData(), target.constData()) != 0) abandon("replace");
    ::close(fd);
    // The rename itself reaches the disk with the folder's entry.
    const int dfd = ::open(folderOf(target).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (dfd >= 0) {
        ::fsync(dfd);
        ::close(dfd);
    }
}

void removeTemporaryFilesOf(const QByteArray& file) {
    removeTemporaryFiles(folderOf(file), file.mid(file.lastIndexOf('/') + 1));
}

void removeTemporaryFilesIn(const QByteArray& folder) {
    removeTemporaryFiles(folder, {});
}
