// Where the application keeps its settings between runs. The desktop program
// uses QtSettingsStore; tests use an in-memory store.
#pragma once

#include <string>

class SettingsStore {
public:
    virtual ~SettingsStore() = default;

    // An empty section names a value kept directly under the application,
    // outside every section. A missing value, or one that cannot be read as
    // the asked kind, gives def.
    virtual int GetInt(const std::string& section, const std::string& key, int def) = 0;
    virtual std::string GetString(const std::string& section, const std::string& key,
                                  const std::string& def) = 0;
    virtual void SetInt(const std::string& section, const std::string& key, int value) = 0;
    virtual void SetString(const std::string& section, const std::string& key,
                           const std::string& value) = 0;
};
