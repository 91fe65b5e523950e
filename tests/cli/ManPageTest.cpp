// The manual pages say what the programs do: every command and option the
// help of kavirel-cli and kavirel lists is in their page, the pages name no
// option the programs do not know, and they carry the programs' version.
#include "cli/CliRunner.h"
#include "soundfile/Decoder.h"
#include "support/TestFiles.h"

#include <algorithm>
#include <fstream>
#include <gtest/gtest.h>
#include <regex>
#include <set>
#include <sstream>

namespace {

std::string ReadPage(const std::string& name) {
    std::ifstream in(std::string(KAVIREL_SOURCE_DIR) + "/resources/linux/" + name);
    std::stringstream s;
    s << in.rdbuf();
    // The page as read: roff's escaped minus is a plain one.
    return std::regex_replace(s.str(), std::regex(R"(\\-)"), "-");
}

std::set<std::string> Options(const std::string& text) {
    std::set<std::string> found;
    const std::regex option(R"((^|[^\w-])(--?[a-z][a-z-]*))");
    for (auto it = std::sregex_iterator(text.begin(), text.end(), option);
         it != std::sregex_iterator(); ++it)
        found.insert((*it)[2]);
    return found;
}

Result Help(const std::string& program) {
    TempDir dir;
    return RunProgram(program, "XDG_CONFIG_HOME=" + Quote(dir.Path()), {"--help"}, dir.Path());
}

} // namespace

// A new user learns from the help which files open, every one of them.
TEST(ManPage, DesktopHelpNamesEveryFormatThatOpens) {
    const Result help = Help(KAVIREL_PATH);
    ASSERT_EQ(help.code, 0);
    const std::vector<std::string> extensions = SoundFileExtensions();
    for (const char* usual : {"wav", "aiff", "au", "flac", "ogg", "mp3"})
        EXPECT_NE(std::find(extensions.begin(), extensions.end(), usual), extensions.end())
            << usual;
    for (const std::string& extension : extensions)
        EXPECT_NE(help.out.find(" ." + extension + (extension == extensions.back() ? "\n" : "")),
                  std::string::npos)
            << extension << " missing from\n"
            << help.out;
    for (const char* name : {"FLAC", "Ogg", "MP3", "WAV", "AIFF"})
        EXPECT_NE(help.out.find(name), std::string::npos) << name;
}

TEST(ManPage, NamesEveryCommandAndOptionOfTheHelp) {
    const struct {
        const char* page;
        const char* program;
        std::set<std::string> notOptions; // Qt's, named only as examples
    } pages[] = {
        {"kavirel-cli.1", KAVIREL_CLI_PATH, {}},
        {"kavirel.1", KAVIREL_PATH, {"-platform", "-style"}},
    };
    for (const auto& p : pages) {
        const Result help = Help(p.program);
        ASSERT_EQ(help.code, 0) << p.page;
        const std::string page = ReadPage(p.page);
        ASSERT_FALSE(page.empty()) << p.page;
        EXPECT_NE(page.find("\"Kavirel " KAVIREL_VERSION "\""), std::string::npos) << p.page;

        const std::set<std::string> helpOptions = Options(help.out);
        EXPECT_GE(helpOptions.size(), 3u) << help.out;
        for (const std::string& option : helpOptions)
            EXPECT_NE(page.find(option), std::string::npos) << p.page << " lacks " << option;
        for (const std::string& option : Options(page)) {
            if (!p.notOptions.count(option)) {
                EXPECT_TRUE(helpOptions.count(option)) << p.page << " names " << option;
            }
        }

        const std::regex command(R"(\n  kavirel-cli ([a-z]+))");
        for (auto it = std::sregex_iterator(help.out.begin(), help.out.end(), command);
             it != std::sregex_iterator(); ++it)
            EXPECT_NE(page.find("\n.B " + (*it)[1].str() + "\n"), std::string::npos)
                << p.page << " lacks the command " << (*it)[1];
    }
}
