#pragma once

#include <QString>

#include <string>

// Windows name files with backslashes: in the part of the path after the program's folder,
// both kinds of separator, doubled or not, name one. The folder itself is taken as it stands,
// backslashes and all.
QString nativePath(const std::string& path, const std::string& programFolder);
QString nativePath(const std::string& path);
