#pragma once

#include <QByteArray>
#include <QString>

#include <string_view>
#include <vector>

// The file a path names in the end: the path itself, or where its symbolic links lead (also
// to a file that does not exist yet). Dotfile managers keep settings as links.
QString followLinks(const QString& path);

// Replaces the file at `path` (the file its links lead to, when it is a link) with the pieces
// as a whole: written to a temporary file beside that file, every write checked, flushed to
// the disk, then renamed over it. On any failure the old file is left as it was and a
// RuntimeError says what went wrong.
void writeFileAtomically(const QString& path, const std::vector<std::string_view>& pieces);
void writeFileAtomically(const QString& path, const QByteArray& bytes);
