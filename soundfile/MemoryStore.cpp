#include "soundfile/MemoryStore.h"

int MemoryStore::GetInt(const std::string& section, const std::string& key, int def) {
    return Number(section, key).value_or(def);
}

std::string MemoryStore::GetString(const std::string& section, const std::string& key,
                                   const std::string& def) {
    return Text(section, key).value_or(def);
}

void MemoryStore::SetInt(const std::string& section, const std::string& key, int value) {
    values_[{section, key}] = {false, value, {}};
}

void MemoryStore::SetString(const std::string& section, const std::string& key,
                            const std::string& value) {
    values_[{section, key}] = {true, 0, value};
}

bool MemoryStore::Has(const std::string& section, const std::string& key) const {
    return values_.count({section, key}) != 0;
}

std::optional<int> MemoryStore::Number(const std::string& section, const std::string& key) const {
    const auto it = values_.find({section, key});
    if (it == values_.end() || it->second.isText)
        return std::nullopt;
    return it->second.number;
}

std::optional<std::string> MemoryStore::Text(const std::string& section,
                                             const std::string& key) const {
    const auto it = values_.find({section, key});
    if (it == values_.end() || !it->second.isText)
        return std::nullopt;
    return it->second.text;
}

std::string MemoryStore::Keys() const {
    std::string keys;
    for (const auto& entry : values_)
        keys += entry.first.first + "/" + entry.first.second + " ";
    return keys;
}
