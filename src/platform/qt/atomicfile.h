#pragma once

#include <QByteArray>
#include <QString>

#include <string_view>
#include <vector>

// Paths here are the file system's own bytes: a folder name that is no UTF-8 is used as it is.

// The file a path names in the end, as the system finds it when it opens the path: its folders
// with every link in them followed, and where the path's own symbolic links lead (also to a file
// that does not exist yet). Dotfile managers keep settings as links.
QByteArray followLinks(const QByteArray& path);
QString followLinks(const QString& path);

// Makes the folder and any missing folder above it, each new one readable by this user only.
// False, with errno set, when one cannot be made or something else is in its place.
bool makePrivateFolders(const QByteArray& path);

// Whether a link at the path is followed to the file it names, or replaced like any file.
enum class AtLink { Follow, Replace };

// Replaces the file at `path` (by default the file its links lead to, when it is a link) with
// the pieces as a whole: written to a temporary file beside that file, every write checked,
// flushed to the disk, then renamed over it. A replaced file keeps its permissions; a new one
// gets the usual ones less the user's umask. On any failure the old file is left as it was and
// a RuntimeError says what went wrong.
void writeFileAtomically(const QByteArray& path, const std::vector<std::string_view>& pieces,
                         AtLink atLink = AtLink::Follow);
void writeFileAtomically(const QString& path, const QByteArray& bytes,
                         AtLink atLink = AtLink::Follow);

// Removes the temporary files that replacements which never ended left beside `file`, or in
// `folder` for any file: only plain files of this user's that no replacement holds now.
void removeTemporaryFilesOf(const QByteArray& file);
void removeTemporaryFilesIn(const QByteArray& folder);
