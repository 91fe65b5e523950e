// Settings that hold nothing but what is set during their life: every value
// reads as the program's built-in default. The module's analyses start from
// these, so that a user's settings file never changes what a script computes.
#pragma once

#include "soundfile/SettingsStore.h"

#include <map>
#include <string>
#include <utility>

class BuiltInSettings : public SettingsStore {
public:
    int GetInt(const std::string& section, const std::string& key, int def) override;
    std::string GetString(const std::string& section, const std::string& key,
                          const std::string& def) override;
    void SetInt(const std::string& section, const std::string& key, int value) override;
    void SetString(const std::string& section, const std::string& key,
                   const std::string& value) override;

private:
    using Key = std::pair<std::string, std::string>;
    std::map<Key, int> numbers_;
    std::map<Key, std::string> texts_;
};
