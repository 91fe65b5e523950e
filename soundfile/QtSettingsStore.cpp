#include "soundfile/QtSettingsStore.h"

#include <QStandardPaths>
#include <QStringList>
#include <QVariant>

namespace {

// IniFormat with organisation and application names would pick
// "Kavirel.ini"; the file other runs and tools know is "Kavirel.conf". Asking
// for the configuration home on every construction also honours a changed
// XDG_CONFIG_HOME, where QSettings would keep the first one of the process.
QString FilePath() {
    return QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation) +
           "/TOLQ/Kavirel.conf";
}

QString KeyPath(const std::string& section, const std::string& key) {
    if (section.empty())
        return QString::fromStdString(key);
    return QString::fromStdString(section + "/" + key);
}

} // namespace

QtSettingsStore::QtSettingsStore() : settings_(FilePath(), QSettings::IniFormat) {}

int QtSettingsStore::GetInt(const std::string& section, const std::string& key, int def) {
    const QVariant value = settings_.value(KeyPath(section, key));
    if (!value.isValid())
        return def;
    // QVariant::toInt narrows a text beyond the int range instead of failing;
    // QString::toInt refuses it.
    bool ok = false;
    const int number = value.toString().toInt(&ok);
    return ok ? number : def;
}

std::string QtSettingsStore::GetString(const std::string& section, const std::string& key,
                                       const std::string& def) {
    const QVariant value = settings_.value(KeyPath(section, key));
    if (!value.isValid())
        return def;
    // An unquoted comma in a hand-edited file makes the INI reader split the
    // text into a list; joining it again keeps a path such as "take 1, 2.txt".
    if (value.userType() == QMetaType::QStringList)
        return value.toStringList().join(", ").toStdString();
    return value.toString().toStdString();
}

void QtSettingsStore::SetInt(const std::string& section, const std::string& key, int value) {
    settings_.setValue(KeyPath(section, key), value);
}

void QtSettingsStore::SetString(const std::string& section, const std::string& key,
                                const std::string& value) {
    settings_.setValue(KeyPath(section, key), QString::fromStdString(value));
}

void QtSettingsStore::Sync() {
    settings_.sync();
}
