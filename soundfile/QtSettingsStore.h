// The settings of the user, in $XDG_CONFIG_HOME/TOLQ/Kavirel.conf (INI).
#pragma once

#include "soundfile/SettingsStore.h"

#include <QSettings>

class QtSettingsStore : public SettingsStore {
public:
    QtSettingsStore();

    int GetInt(const std::string& section, const std::string& key, int def) override;
    std::string GetString(const std::string& section, const std::string& key,
                          const std::string& def) override;
    void SetInt(const std::string& section, const std::string& key, int value) override;
    void SetString(const std::string& section, const std::string& key,
                   const std::string& value) override;

    // Writes pending changes to the file now, so that another process started
    // before this store is gone sees them. Destruction writes them as well.
    void Sync();

private:
    QSettings settings_;
};
