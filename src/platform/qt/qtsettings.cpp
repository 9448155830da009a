#include "atomicfile.h"
#include "inifile.h"
#include "qtimpl.h"

#include "platform/errors.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>

// One INI file per application name under $XDG_CONFIG_HOME/pimbolet/. Every save reads the
// file, changes the one line of its key and replaces the whole file at once, so it is on the
// disk when the call returns, never half-written, and whatever else the file holds stays.

QString QtSettings::fileName(const std::string& app) {
    QString name = QString::fromStdString(app);
    name.replace(QLatin1Char('/'), QLatin1Char('_'));
    return QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation) +
           QStringLiteral("/pimbolet/") + name + QStringLiteral(".ini");
}

namespace {
[[noreturn]] void cannotRead(const QString& path, const QString& why) {
    throw RuntimeError(vberr::PathFileAccess, "Path/File access error: cannot read " +
                                                  path.toStdString() + " (" + why.toStdString() +
                                                  ")");
}

// The file's text, mapped while it is read: nothing is copied, and however big the file, its
// pages go back to the system when this goes. No file yet reads as empty; a file that exists
// but cannot be read is an error, so that a save never replaces settings it could not see.
class SettingsText {
  public:
    explicit SettingsText(const QString& path) : m_file(path) {
        const QFileInfo info(path);
        if (!info.exists()) return; // also a link to a file not made yet
        if (!info.isFile()) cannotRead(path, QStringLiteral("not a plain file"));
        if (!m_file.open(QIODevice::ReadOnly)) cannotRead(path, m_file.errorString());
        const qint64 size = m_file.size();
        if (size == 0) return;
        const uchar* data = m_file.map(0, size);
        if (!data) cannotRead(path, m_file.errorString());
        m_text = std::string_view(reinterpret_cast<const char*>(data), static_cast<size_t>(size));
    }
    std::string_view text() const { return m_text; }

  private:
    QFile m_file; // unmapped and closed with it
    std::string_view m_text;
};
} // namespace

std::string QtSettings::GetSetting(const std::string& app, const std::string& section,
                                   const std::string& key, const std::string& def) {
    // Reading never fails: settings that cannot be read are absent. (Saving them will fail.)
    try {
        const SettingsText file(fileName(app));
        return ini::find(file.text(), section, key).value_or(def);
    } catch (const RuntimeError&) {
        return def;
    }
}

void QtSettings::SaveSetting(const std::string& app, const std::string& section,
                             const std::string& key, const std::string& value) {
    const QString path = fileName(app);
    const SettingsText file(path);
    const ini::Edit edit = ini::withValue(file.text(), section, key, value);
    const QString folder = QFileInfo(path).absolutePath();
    if (!QDir().mkpath(folder))
        throw RuntimeError(vberr::PathFileAccess,
                           "Path/File access error: cannot make the folder " +
                               folder.toStdString() + " for the settings");
    writeFileAtomically(path, edit.pieces(file.text()));
}
