#include "qtimpl.h"

#include "platform/errors.h"

#include <QSettings>
#include <QStringList>

// The store keeps one INI file per application name under $XDG_CONFIG_HOME/pimbolet/.
// QSettings writes the whole file to a temporary beside it, flushes it to the disk and renames
// it over the old one, under a lock file: a save is never left half-written, and a save that
// fails leaves the previous file as it was.

namespace {
QString settingsKey(const std::string& section, const std::string& key) {
    return QString::fromStdString(section) + QLatin1Char('/') + QString::fromStdString(key);
}

std::unique_ptr<QSettings> open(const std::string& app) {
    auto s = std::make_unique<QSettings>(QSettings::IniFormat, QSettings::UserScope,
                                         QStringLiteral("pimbolet"), QString::fromStdString(app));
    // Only a whole-file rename counts as a save; never fall back to writing in place.
    s->setAtomicSyncRequired(true);
    return s;
}
} // namespace

QString QtSettings::fileName(const std::string& app) {
    return open(app)->fileName();
}

std::string QtSettings::GetSetting(const std::string& app, const std::string& section,
                                   const std::string& key, const std::string& def) {
    const auto s = open(app);
    const QVariant v = s->value(settingsKey(section, key));
    if (!v.isValid()) return def;
    // A hand-edited value with an unquoted comma reads back as a list; keep it as written.
    if (v.metaType().id() == QMetaType::QStringList)
        return v.toStringList().join(QStringLiteral(", ")).toStdString();
    return v.toString().toStdString();
}

void QtSettings::SaveSetting(const std::string& app, const std::string& section,
                             const std::string& key, const std::string& value) {
    const auto s = open(app);
    s->setValue(settingsKey(section, key), QString::fromStdString(value));
    s->sync();
    switch (s->status()) {
    case QSettings::NoError:
        return;
    case QSettings::FormatError:
        throw RuntimeError(vberr::PathFileAccess, "The settings file " +
                                                      s->fileName().toStdString() +
                                                      " cannot be read, so it was not overwritten");
    case QSettings::AccessError:
        break;
    }
    throw RuntimeError(vberr::PathFileAccess,
                       "Path/File access error: the settings could not be written to " +
                           s->fileName().toStdString() +
                           " (no permission, disk full or folder missing); the file was left "
                           "as it was");
}
