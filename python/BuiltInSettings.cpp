#include "BuiltInSettings.h"

int BuiltInSettings::GetInt(const std::string& section, const std::string& key, int def) {
    const auto it = numbers_.find({section, key});
    return it == numbers_.end() ? def : it->second;
}

std::string BuiltInSettings::GetString(const std::string& section, const std::string& key,
                                       const std::string& def) {
    const auto it = texts_.find({section, key});
    return it == texts_.end() ? def : it->second;
}

void BuiltInSettings::SetInt(const std::string& section, const std::string& key, int value) {
    numbers_[{section, key}] = value;
}

void BuiltInSettings::SetString(const std::string& section, const std::string& key,
                                const std::string& value) {
    texts_[{section, key}] = value;
}
