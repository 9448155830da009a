#include "qtimpl.h"

#include "platform/errors.h"

#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QSettings>

bool QtFiles::Exists(const std::string& path) {
    const QFileInfo info(nativePath(path));
    return info.isFile() && !info.isHidden();
}

void QtFiles::Kill(const std::string& path) {
    QFile f(nativePath(path));
    if (!f.exists()) throw RuntimeError(vberr::FileNotFound, "File not found: " + path);
    if (!f.remove())
        throw RuntimeError(vberr::PermissionDenied,
                           "Permission denied: " + path + " (" + f.errorString().toStdString() +
                               ")");
}

void QtFiles::WriteBytes(const std::string& path, const std::vector<uint8_t>& bytes) {
    QSaveFile f(nativePath(path));
    const bool ok = f.open(QIODevice::WriteOnly) &&
                    f.write(reinterpret_cast<const char*>(bytes.data()),
                            static_cast<qint64>(bytes.size())) ==
                        static_cast<qint64>(bytes.size()) &&
                    f.commit();
    if (!ok)
        throw RuntimeError(vberr::PathFileAccess, "Path/File access error: " + path + " (" +
                                                      f.errorString().toStdString() + ")");
}

std::vector<std::string> QtFiles::ReadLines(const std::string& path) {
    QFile f(nativePath(path));
    if (!f.open(QIODevice::ReadOnly))
        throw RuntimeError(vberr::FileNotFound, "File not found: " + path);
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

namespace {
QString settingsKey(const std::string& section, const std::string& key) {
    return QString::fromStdString(section) + QLatin1Char('/') + QString::fromStdString(key);
}
} // namespace

std::string QtSettings::GetSetting(const std::string& app, const std::string& section,
                                   const std::string& key, const std::string& def) {
    QSettings s(QSettings::IniFormat, QSettings::UserScope, QStringLiteral("pimbolet"),
                QString::fromStdString(app));
    const QVariant v = s.value(settingsKey(section, key));
    return v.isValid() ? v.toString().toStdString() : def;
}

void QtSettings::SaveSetting(const std::string& app, const std::string& section,
                             const std::string& key, const std::string& value) {
    // QSettings writes the whole file anew and renames it into place: a save is never left
    // half-written.
    QSettings s(QSettings::IniFormat, QSettings::UserScope, QStringLiteral("pimbolet"),
                QString::fromStdString(app));
    s.setValue(settingsKey(section, key), QString::fromStdString(value));
    s.sync();
    if (s.status() != QSettings::NoError)
        throw RuntimeError(vberr::PathFileAccess,
                           "Path/File access error: cannot save the settings in " +
                               s.fileName().toStdString());
}
