#include "CliDesktop.h"
#include "Commands.h"
#include "OpenFile.h"
#include "OutputFormat.h"
#include "drawing/DelimitedTable.h"
#include "soundfile/Overview.h"
#include "soundfile/OverviewTable.h"
#include "soundfile/SfInfo.h"
#include "soundfile/TolqDsp.h"

#include <cstdio>
#include <string>
#include <utility>
#include <vector>

namespace {

// Closes the file of a command when it ends.
struct OpenedFile {
    SfInfo info;
    ~OpenedFile() { sfclose(info.handle); }
};

// The description of info as name and value pairs, in the order the tab
// form prints them.
std::vector<std::pair<std::string, std::string>> InfoFields(const SfInfo& info) {
    const double seconds = info.rate > 0 ? double(info.frames) / double(info.rate) : 0.0;
    std::vector<std::pair<std::string, std::string>> fields = {
        {"file", info.path},
        {"format", FormatName(info)},
        {"rate_hz", std::to_string(info.rate)},
        {"channels", std::to_string(info.channels)},
        {"bytes_per_sample", std::to_string(info.bytesPerSample)},
        {"length_s", TableNumber(seconds)},
        {"data_offset", std::to_string(info.dataOffset)},
        {"frames", std::to_string(info.frames)},
        {"block_align", std::to_string(info.blockAlign)},
        {"flags", std::to_string(info.flags)}};
    if (!info.decodedPath.empty())
        fields.emplace_back("decoded", info.decodedPath);
    return fields;
}

// info in csv (a name,value table) or json (one object of the fields).
void PrintInfo(const SfInfo& info, TableFormat format) {
    const auto fields = InfoFields(info);
    std::string text;
    if (format == TableFormat::Json) {
        text = "{";
        for (size_t i = 0; i < fields.size(); ++i) {
            // The file name stays a text even where it looks like a number.
            const std::string& name = fields[i].first;
            const std::string value = name == "file" || name == "format" || name == "decoded"
                                          ? JsonString(fields[i].second)
                                          : JsonValue(fields[i].second);
            text += (i > 0 ? ", " : "") + JsonString(fields[i].first) + ": " + value;
        }
        text += "}\n";
    } else {
        DataTable table;
        table.columns = {"name", "value"};
        for (const auto& [name, value] : fields)
            table.rows.push_back({name, value});
        return PrintTable(table, format);
    }
    std::fwrite(text.data(), 1, text.size(), stdout);
}

} // namespace

int RunInfo(int argc, char** argv) {
    CliArgs args(argc, argv, 2, {}, {"raw", "format"});
    TableFormat format = TableFormat::Tsv;
    if (!args.Ok() || args.Words().size() != 1 || !FormatOption(args, format))
        return UsageError(args, "info");
    OpenedFile file;
    const int code = OpenSoundFile(args, file.info);
    if (code == kExitUsage)
        return UsageError(args, "info");
    if (code != kExitOk)
        return code;
    const SfInfo& info = file.info;
    if (format != TableFormat::Tsv) {
        PrintInfo(info, format);
        return kExitOk;
    }
    std::printf("%s\nDataOffset:\t%lld\nFrames:\t%u\nBlockAlign:\t%d\nFlags:\t%d\n",
                FileInfoText(info).c_str(), static_cast<long long>(info.dataOffset), info.frames,
                info.blockAlign, info.flags);
    if (!info.decodedPath.empty())
        std::printf("Decoded:\t%s\n", info.decodedPath.c_str());
    return kExitOk;
}

int RunOverview(int argc, char** argv) {
    CliArgs args(argc, argv, 2, {}, {"screen-width", "raw", "format"});
    int width = 0;
    TableFormat format = TableFormat::Tsv;
    if (!args.Ok() || args.Words().size() != 1 || !ScreenWidthOption(args, width) ||
        !FormatOption(args, format))
        return UsageError(args, "overview");
    OpenedFile file;
    const int code = OpenSoundFile(args, file.info);
    if (code == kExitUsage)
        return UsageError(args, "overview");
    if (code != kExitOk)
        return code;
    CliDesktop desktop(std::nullopt);
    bool fromCache = false;
    if (!BuildOverview(file.info, desktop, width, &fromCache)) {
        std::fprintf(stderr, "%s: the overview cannot be built\n", file.info.path.c_str());
        return kExitRefused;
    }
    if (format != TableFormat::Tsv) {
        PrintTable(OverviewTable(file.info, width), format);
        return kExitOk;
    }
    std::printf("# channels=%d width=%d method=%d source=%s\n", file.info.channels, width,
                file.info.overviewMethod, fromCache ? "cache" : "computed");
    for (float v : file.info.overview)
        std::printf("%.9g\n", double(v));
    return kExitOk;
}
