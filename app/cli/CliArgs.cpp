#include "CliArgs.h"

#include "drawing/TypedTime.h"

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstdlib>
#include <sstream>

CliArgs::CliArgs(int argc, char** argv, int first, const std::vector<std::string>& flags,
                 const std::vector<std::string>& options) {
    for (int i = first; i < argc; ++i) {
        const std::string arg = argv[i];
        if (arg.rfind("--", 0) != 0 || arg.size() == 2) {
            words_.push_back(arg);
            continue;
        }
        const std::string name = arg.substr(2);
        const bool known = std::find(options.begin(), options.end(), name) != options.end();
        if (std::find(flags.begin(), flags.end(), name) != flags.end()) {
            options_[name] = "1";
        } else if (!known) {
            Fail("unknown option " + arg);
        } else if (i + 1 < argc) {
            options_[name] = argv[++i];
        } else {
            Fail("option " + arg + " needs a value");
        }
    }
}

void CliArgs::Fail(const std::string& message) {
    if (error_.empty())
        error_ = message;
}

std::string CliArgs::Text(const std::string& name, const std::string& def) const {
    const auto it = options_.find(name);
    return it == options_.end() ? def : it->second;
}

long CliArgs::Int(const std::string& name, long def) {
    if (!Has(name))
        return def;
    const std::string text = Text(name);
    char* end = nullptr;
    errno = 0;
    const long v = std::strtol(text.c_str(), &end, 10);
    if (text.empty() || *end != '\0' || errno == ERANGE) {
        Fail("--" + name + " needs a whole number, not \"" + text + "\"");
        return def;
    }
    return v;
}

double CliArgs::Real(const std::string& name, double def) {
    if (!Has(name))
        return def;
    const std::string text = Text(name);
    char* end = nullptr;
    const double v = std::strtod(text.c_str(), &end);
    if (text.empty() || *end != '\0' || !std::isfinite(v)) {
        Fail("--" + name + " needs a number, not \"" + text + "\"");
        return def;
    }
    return v;
}

uint32_t CliArgs::Position(const std::string& name, uint32_t def, float rate, uint32_t frames) {
    if (!Has(name))
        return def;
    const std::string text = Text(name);
    const std::optional<int64_t> position = ReadTimeText(text, rate);
    if (!position) {
        Fail("--" + name + " needs frames or a time such as 1m30s, 2.5s or 1h, not \"" + text +
             "\"");
        return def;
    }
    if (*position < 0) {
        Fail("--" + name + " must not be negative");
        return def;
    }
    if (*position > int64_t(frames)) {
        Fail("--" + name + " must not lie beyond the end of the file, frame " +
             std::to_string(frames));
        return def;
    }
    return uint32_t(*position);
}

std::optional<RawFormat> CliArgs::Raw() {
    if (!Has("raw"))
        return std::nullopt;
    std::vector<std::string> parts;
    std::stringstream in(Text("raw"));
    for (std::string part; std::getline(in, part, ',');)
        parts.push_back(part);
    RawFormat raw;
    long numbers[4] = {};
    bool good = parts.size() == 5 && (parts[4] == "LSB" || parts[4] == "MSB");
    for (size_t i = 0; good && i < 4; ++i) {
        char* end = nullptr;
        errno = 0;
        numbers[i] = std::strtol(parts[i].c_str(), &end, 10);
        good = !parts[i].empty() && *end == '\0' && errno != ERANGE &&
               (i == 3 || (numbers[i] >= INT32_MIN && numbers[i] <= INT32_MAX));
    }
    if (!good) {
        Fail("--raw needs RATE,CHANNELS,BPS,OFFSET,LSB|MSB, not \"" + Text("raw") + "\"");
        return std::nullopt;
    }
    raw.rate = int32_t(numbers[0]);
    raw.channels = int32_t(numbers[1]);
    raw.bytesPerSample = int32_t(numbers[2]);
    raw.dataOffset = numbers[3];
    raw.msbFirst = parts[4] == "MSB";
    return raw;
}
