#include "soundfile/QtSettingsStore.h"

#include <QStandardPaths>
#include <QStringList>
#include <QVariant>
#include <sys/stat.h>

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

std::string SettingsFileProblem() {
    const std::string path = FilePath().toStdString();
    // stat, not open: opening a named pipe would wait for a writer.
    struct stat st;
    if (::stat(path.c_str(), &st) != 0 || S_ISREG(st.st_mode))
        return std::string();
    return "The settings file " + path +
           " is not a regular file: the default settings are used and nothing is saved there.";
}

QtSettingsStore::QtSettingsStore() {
    if (SettingsFileProblem().empty())
        settings_ = std::make_unique<QSettings>(FilePath(), QSettings::IniFormat);
}

QVariant QtSettingsStore::Value(const std::string& section, const std::string& key) const {
    if (settings_) {
        const QVariant value = settings_->value(KeyPath(section, key));
        // Qt writes the section "General" as "[%General]" and reads a
        // hand-written "[General]" as keys outside every section, where only
        // the open-file dialog's own keys (FO...) are kept.
        if (!value.isValid() && section == "General" && key.rfind("FO", 0) != 0)
            return settings_->value(QString::fromStdString(key));
        return value;
    }
    const auto found = memory_.find(KeyPath(section, key));
    return found == memory_.end() ? QVariant() : found->second;
}

int QtSettingsStore::GetInt(const std::string& section, const std::string& key, int def) {
    const QVariant value = Value(section, key);
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
    const QVariant value = Value(section, key);
    if (!value.isValid())
        return def;
    // An unquoted comma in a hand-edited file makes the INI reader split the
    // text into a list; joining it again keeps a path such as "take 1, 2.txt".
    if (value.userType() == QMetaType::QStringList)
        return value.toStringList().join(", ").toStdString();
    return value.toString().toStdString();
}

void QtSettingsStore::SetInt(const std::string& section, const std::string& key, int value) {
    if (settings_)
        settings_->setValue(KeyPath(section, key), value);
    else
        memory_[KeyPath(section, key)] = value;
}

void QtSettingsStore::SetString(const std::string& section, const std::string& key,
                                const std::string& value) {
    if (settings_)
        settings_->setValue(KeyPath(section, key), QString::fromStdString(value));
    else
        memory_[KeyPath(section, key)] = QString::fromStdString(value);
}

std::string QtSettingsStore::Sync() {
    if (!settings_)
        return SettingsFileProblem();
    // QSettings writes through a temporary file renamed over the old one.
    settings_->sync();
    if (settings_->status() == QSettings::AccessError)
        return "The settings cannot be written to " + FilePath().toStdString() + ".";
    return std::string();
}
