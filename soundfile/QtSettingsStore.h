// The settings of the user, in $XDG_CONFIG_HOME/TOLQ/Kavirel.conf (INI).
#pragma once

#include "soundfile/SettingsStore.h"

#include <QSettings>
#include <map>
#include <memory>

// Why the settings file cannot be used (it is a named pipe, a device or a
// folder, which would block or answer nonsense); empty when it can.
std::string SettingsFileProblem();

class QtSettingsStore : public SettingsStore {
public:
    // Reads the settings file; where it cannot be used (SettingsFileProblem),
    // the store starts with the defaults and keeps changes in memory only.
    QtSettingsStore();

    int GetInt(const std::string& section, const std::string& key, int def) override;
    std::string GetString(const std::string& section, const std::string& key,
                          const std::string& def) override;
    void SetInt(const std::string& section, const std::string& key, int value) override;
    void SetString(const std::string& section, const std::string& key,
                   const std::string& value) override;

    // Writes pending changes to the file now, so that another process started
    // before this store is gone sees them. Returns why they could not be
    // written, empty on success. Destruction writes them as well.
    std::string Sync();

private:
    QVariant Value(const std::string& section, const std::string& key) const;

    std::unique_ptr<QSettings> settings_;
    std::map<QString, QVariant> memory_;
};
