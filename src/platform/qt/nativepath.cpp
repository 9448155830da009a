#include "nativepath.h"

#include <QCoreApplication>

QString nativePath(const std::string& path, const std::string& programFolder) {
    // The folder counts only as a whole name: "/opt/pet" is not the start of "/opt/pets/x".
    const size_t n = programFolder.size();
    const bool inFolder =
        n > 0 && path.starts_with(programFolder) &&
        (path.size() == n || programFolder.back() == '/' || path[n] == '/' || path[n] == '\\');
    const QString folder = QString::fromStdString(inFolder ? programFolder : std::string());
    QString rest = QString::fromStdString(path.substr(inFolder ? n : 0));
    rest.replace(QLatin1Char('\\'), QLatin1Char('/'));
    if (folder.endsWith(QLatin1Char('/'))) rest.prepend(QLatin1Char('/'));
    while (rest.contains(QLatin1String("//")))
        rest.replace(QLatin1String("//"), QLatin1String("/"));
    if (folder.endsWith(QLatin1Char('/'))) rest.remove(0, 1);
    return folder + rest;
}

QString nativePath(const std::string& path) {
    return nativePath(path, QCoreApplication::applicationDirPath().toStdString());
}
