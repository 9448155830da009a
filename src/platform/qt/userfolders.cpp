#include "userfolders.h"

#include <QtGlobal>

#include <pwd.h>
#include <unistd.h>

QByteArray homeFolder() {
    const QByteArray home = qgetenv("HOME");
    if (!home.isEmpty()) return home;
    if (const passwd* entry = ::getpwuid(::getuid()); entry && entry->pw_dir && *entry->pw_dir)
        return QByteArray(entry->pw_dir);
    return QByteArrayLiteral("/");
}

QByteArray configHome() {
    const QByteArray chosen = qgetenv("XDG_CONFIG_HOME");
    if (chosen.startsWith('/')) return chosen;
    QByteArray home = homeFolder();
    if (!home.endsWith('/')) home += '/';
    return home + ".config";
}
