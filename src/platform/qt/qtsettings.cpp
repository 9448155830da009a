#include "inifile.h"
#include "qtimpl.h"

#include "platform/errors.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>

// One INI file per application name under $XDG_CONFIG_HOME/pimbolet/. Every save reads the
// file, changes one value and replaces the whole file at once, so it is on the disk when the
// call returns and never half-written.

QString QtSettings::fileName(const std::string& app) {
    QString name = QString::fromStdString(app);
    name.replace(QLatin1Char('/'), QLatin1Char('_'));
    return QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation) +
           QStringLiteral("/pimbolet/") + name + QStringLiteral(".ini");
}

namespace {
// The file's sections; none when there is no file yet. A file that exists but cannot be read
// is an error, so that a save never replaces settings it could not see.
ini::Sections load(const QString& path) {
    QFile f(path);
    if (!f.exists()) return {};
    if (!f.open(QIODevice::ReadOnly))
        throw RuntimeError(vberr::PathFileAccess, "Path/File access error: cannot read " +
                                                      path.toStdString() + " (" +
                                                      f.errorString().toStdString() + ")");
    return ini::parse(f.readAll());
}
} // namespace

std::string QtSettings::GetSetting(const std::string& app, const std::string& section,
                                   const std::string& key, const std::string& def) {
    // Reading never fails: settings that cannot be read are absent. (Saving them will fail.)
    ini::Sections sections;
    try {
        sections = load(fileName(app));
    } catch (const RuntimeError&) {
        return def;
    }
    const auto s = sections.find(section);
    if (s == sections.end()) return def;
    const auto v = s->second.find(key);
    return v == s->second.end() ? def : v->second;
}

void QtSettings::SaveSetting(const std::string& app, const std::string& section,
                             const std::string& key, const std::string& value) {
    const QString path = fileName(app);
    ini::Sections sections = load(path);
    sections[section][key] = value;
    const QString folder = QFileInfo(path).absolutePath();
    if (!QDir().mkpath(folder))
        throw RuntimeError(vberr::PathFileAccess,
                           "Path/File access error: cannot make the folder " +
                               folder.toStdString() + " for the settings");
    writeFileAtomically(path, ini::serialize(sections));
}
