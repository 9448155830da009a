#include "qtfiles.h"

#include "atomicfile.h"
#include "nativepath.h"

#include "platform/errors.h"

#include <QFile>
#include <QFileInfo>

bool QtFiles::Exists(const std::string& path) {
    const QFileInfo info(nativePath(path));
    return info.isFile() && !info.isHidden();
}

void QtFiles::Kill(const std::string& path) {
    QFile f(nativePath(path));
    if (!f.exists()) throw RuntimeError(errnum::FileNotFound, "File not found: " + path);
    if (!f.remove())
        throw RuntimeError(errnum::PermissionDenied, "Permission denied: " + path + " (" +
                                                         f.errorString().toStdString() + ")");
}

void QtFiles::WriteBytes(const std::string& path, const std::vector<uint8_t>& bytes) {
    // What comes from elsewhere is written to the file of that name itself: a link planted in
    // its place is replaced, never followed to make a file where it leads.
    writeFileAtomically(nativePath(path),
                        QByteArray(reinterpret_cast<const char*>(bytes.data()),
                                   static_cast<qsizetype>(bytes.size())),
                        AtLink::Replace);
}

std::vector<std::string> QtFiles::ReadLines(const std::string& path) {
    QFile f(nativePath(path));
    if (!f.open(QIODevice::ReadOnly))
        throw RuntimeError(errnum::FileNotFound, "File not found: " + path);
    const QByteArray data = f.readAll();
    std::vector<std::string> lines;
    std::string line;
    for (qsizetype i = 0; i < data.size(); ++i) {
        const char c = data[i];
        if (c == '\r') {
            lines.push_back(line);
            line.clear();
            if (i + 1 < data.size() && data[i + 1] == '\n') ++i;
        } else {
            line.push_back(c);
        }
    }
    if (!line.empty()) lines.push_back(line);
    return lines;
}
