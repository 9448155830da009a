#pragma once

#include "platform/services.h"

#include <QByteArray>
#include <QString>

class QtSettings : public SettingsStore {
  public:
    // The file that holds the settings of this application name, as the file system's bytes
    // and as text for showing.
    static QByteArray filePath(const std::string& app);
    static QString fileName(const std::string& app);
    std::string GetSetting(const std::string& app, const std::string& section,
                           const std::string& key, const std::string& def) override;
    void SaveSetting(const std::string& app, const std::string& section, const std::string& key,
                     const std::string& value) override;
};
