#pragma once

#include <QByteArray>
#include <QString>

#include <map>
#include <string>

// The settings file's format: "[section]" lines, each followed by "key=value" lines, UTF-8.
// Values are kept exactly, spaces included; backslash escapes stand for backslash, CR, LF and
// NUL (and in names for the characters that would end a name). Section and key names compare
// without regard to ASCII case, as the settings store's callers expect.
namespace ini {

struct NoCase {
    bool operator()(const std::string& a, const std::string& b) const;
};
using Section = std::map<std::string, std::string, NoCase>;
using Sections = std::map<std::string, Section, NoCase>;

// Lenient: lines it does not understand are passed over.
Sections parse(const QByteArray& text);
QByteArray serialize(const Sections& sections);

} // namespace ini

// Replaces the file at `path` with `bytes` as a whole: written to a temporary file beside it,
// every write checked, flushed to the disk, then renamed over the old one. On any failure the
// old file is left as it was and a RuntimeError says what went wrong.
void writeFileAtomically(const QString& path, const QByteArray& bytes);
