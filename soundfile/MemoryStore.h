// Settings kept in memory for the life of the object: whatever was never set
// reads as the program's built-in default, which is what the Python module's
// analyses start from and what the tests check against. Numbers and texts
// stay apart as in the settings file: a value of the other kind reads as the
// default.
#pragma once

#include "soundfile/SettingsStore.h"

#include <map>
#include <optional>
#include <string>
#include <utility>

class MemoryStore : public SettingsStore {
public:
    int GetInt(const std::string& section, const std::string& key, int def) override;
    std::string GetString(const std::string& section, const std::string& key,
                          const std::string& def) override;
    void SetInt(const std::string& section, const std::string& key, int value) override;
    void SetString(const std::string& section, const std::string& key,
                   const std::string& value) override;

    bool Has(const std::string& section, const std::string& key) const;
    std::optional<int> Number(const std::string& section, const std::string& key) const;
    std::optional<std::string> Text(const std::string& section, const std::string& key) const;
    // "section/key " for every stored value, in sorted order.
    std::string Keys() const;
    int Count() const { return int(values_.size()); }
    void Clear() { values_.clear(); }

private:
    struct Value {
        bool isText;
        int number;
        std::string text;
    };
    std::map<std::pair<std::string, std::string>, Value> values_;
};
