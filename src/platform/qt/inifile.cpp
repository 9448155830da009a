#include "inifile.h"

#include "platform/errors.h"

#include <QFile>
#include <QFileInfo>

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace ini {

bool NoCase::operator()(const std::string& a, const std::string& b) const {
    const auto lower = [](unsigned char c) { return (c >= 'A' && c <= 'Z') ? c + 32 : c; };
    return std::lexicographical_compare(
        a.begin(), a.end(), b.begin(), b.end(),
        [&](unsigned char x, unsigned char y) { return lower(x) < lower(y); });
}

namespace {
std::string escape(const std::string& s, bool name) {
    static const char* hex = "0123456789abcdef";
    std::string out;
    for (size_t i = 0; i < s.size(); ++i) {
        const char c = s[i];
        const bool starts = i == 0 && (c == ';' || c == '#');
        if (c == '\\')
            out += "\\\\";
        else if (c == '\n')
            out += "\\n";
        else if (c == '\r')
            out += "\\r";
        else if (c == '\0')
            out += "\\0";
        else if (name && (c == '=' || c == '[' || c == ']' || starts || c == ' ')) {
            out += "\\x";
            out += hex[static_cast<unsigned char>(c) >> 4];
            out += hex[static_cast<unsigned char>(c) & 15];
        } else
            out += c;
    }
    return out;
}

std::string unescape(const std::string& s) {
    std::string out;
    for (size_t i = 0; i < s.size(); ++i) {
        if (s[i] != '\\' || i + 1 == s.size()) {
            out += s[i];
            continue;
        }
        const char e = s[++i];
        if (e == 'n')
            out += '\n';
        else if (e == 'r')
            out += '\r';
        else if (e == '0')
            out += '\0';
        else if (e == 'x' && i + 2 < s.size() &&
                 std::isxdigit(static_cast<unsigned char>(s[i + 1])) &&
                 std::isxdigit(static_cast<unsigned char>(s[i + 2]))) {
            out += static_cast<char>(std::stoi(s.substr(i + 1, 2), nullptr, 16));
            i += 2;
        } else if (e == '\\')
            out += '\\';
        else {
            out += '\\';
            out += e;
        }
    }
    return out;
}

std::string trimmed(const std::string& s) {
    const size_t b = s.find_first_not_of(" \t");
    if (b == std::string::npos) return {};
    return s.substr(b, s.find_last_not_of(" \t") - b + 1);
}
} // namespace

Sections parse(const QByteArray& text) {
    Sections sections;
    Section* current = nullptr;
    // A file saved by a Windows editor may start with a byte-order mark.
    const QByteArray body = text.startsWith("\xEF\xBB\xBF") ? text.mid(3) : text;
    for (const QByteArray& raw : body.split('\n')) {
        std::string line = raw.toStdString();
        if (!line.empty() && line.back() == '\r') line.pop_back();
        const std::string t = trimmed(line);
        if (t.empty() || t[0] == ';' || t[0] == '#') continue;
        if (t.front() == '[' && t.back() == ']') {
            current = &sections[unescape(trimmed(t.substr(1, t.size() - 2)))];
            continue;
        }
        const size_t eq = line.find('=');
        if (!current || eq == std::string::npos) continue;
        // The value is taken as it stands after the "=": spaces there are part of it.
        (*current)[unescape(trimmed(line.substr(0, eq)))] = unescape(line.substr(eq + 1));
    }
    return sections;
}

QByteArray serialize(const Sections& sections) {
    std::string out;
    for (const auto& [name, section] : sections) {
        if (!out.empty()) out += '\n';
        out += '[' + escape(name, true) + "]\n";
        for (const auto& [key, value] : section)
            out += escape(key, true) + '=' + escape(value, false) + '\n';
    }
    return QByteArray::fromStdString(out);
}

} // namespace ini

namespace {
[[noreturn]] void fail(const QString& path, const char* what, int err) {
    throw RuntimeError(vberr::PathFileAccess, "Path/File access error: cannot " +
                                                  std::string(what) + " " + path.toStdString() +
                                                  " (" + std::strerror(err) + ")");
}
} // namespace

void writeFileAtomically(const QString& path, const QByteArray& bytes) {
    // Qt's QSaveFile (and QSettings with it) takes a short write, as on a full disk, for
    // success and renames a truncated file into place; hence plain POSIX calls, each checked.
    const QByteArray target = QFile::encodeName(path);
    QByteArray temp = target + ".XXXXXX";
    const int fd = ::mkostemp(temp.data(), O_CLOEXEC);
    if (fd < 0) fail(path, "write", errno);
    const auto abandon = [&](const char* what) {
        const int err = errno;
        ::close(fd);
        ::unlink(temp.constData());
        fail(path, what, err);
    };
    for (qsizetype done = 0; done < bytes.size();) {
        const ssize_t n =
            ::write(fd, bytes.constData() + done, static_cast<size_t>(bytes.size() - done));
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) {
            if (n == 0) errno = ENOSPC;
            abandon("write");
        }
        done += n;
    }
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
    const QByteArray folder = QFile::encodeName(QFileInfo(path).absolutePath());
    const int dfd = ::open(folder.constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (dfd >= 0) {
        ::fsync(dfd);
        ::close(dfd);
    }
}
