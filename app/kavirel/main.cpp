// Kavirel, the desktop program.
#include "app/shell/CSfApp.h"
#include "app/ui/AppIcon.h"
#include "soundfile/Decoder.h"

#include <QApplication>
#include <clocale>
#include <cstdio>
#include <cstring>
#include <string>

namespace {

constexpr int kExitUsage = 64;

const char* const kUsage = "usage: kavirel [FILE...]\n"
                           "       kavirel --help | -h | --version\n";

const char* const kHelp =
    "\n"
    "Kavirel, the acoustic analysis of recorded sound. Opens each FILE (WAV,\n"
    "AIFF, AU, FLAC, Ogg Vorbis and Opus, MP3 and the other formats named\n"
    "below, or raw PCM after asking for its format) as a head in the project\n"
    "tree, one after another, as File > Open does.\n"
    "\n"
    "  -h, --help   print this help and exit\n"
    "  --version    print the version and exit\n"
    "  --           every argument after it is a FILE\n"
    "\n"
    "Qt's own options, such as -platform and -style, are accepted too.\n"
    "Settings live in ~/.config/TOLQ/Kavirel.conf.\n";

// The names that File > Open's "Sound Files" lists, as lines of the help.
void PrintExtensions() {
    std::string line = "Files that open:";
    for (const std::string& extension : SoundFileExtensions()) {
        if (line.size() + extension.size() + 3 > 76) {
            std::printf("%s\n", line.c_str());
            line = " ";
        }
        line += " ." + extension;
    }
    std::printf("%s\n", line.c_str());
}

// Help and version need no display: they are answered before Qt looks for one.
bool AnswersAtOnce(int argc, char** argv, int* code) {
    for (int i = 1; i < argc && std::strcmp(argv[i], "--") != 0; ++i) {
        if (std::strcmp(argv[i], "--help") == 0 || std::strcmp(argv[i], "-h") == 0) {
            std::fputs(kUsage, stdout);
            std::fputs(kHelp, stdout);
            PrintExtensions();
            *code = 0;
            return true;
        }
        if (std::strcmp(argv[i], "--version") == 0) {
            std::printf("kavirel %s\n", KAVIREL_VERSION);
            *code = 0;
            return true;
        }
    }
    return false;
}

// The files to open, from what Qt has left of the command line; an option
// that neither Qt nor Kavirel knows stops the program.
bool SoundFiles(const QStringList& args, QStringList* files) {
    bool optionsEnd = false;
    for (int i = 1; i < args.size(); ++i) {
        const QString& arg = args[i];
        if (!optionsEnd && arg == "--") {
            optionsEnd = true;
        } else if (!optionsEnd && arg.startsWith('-') && arg.size() > 1) {
            std::fprintf(stderr, "kavirel: unknown option %s\n%s", qPrintable(arg), kUsage);
            return false;
        } else {
            files->push_back(arg);
        }
    }
    return true;
}

} // namespace

int main(int argc, char** argv) {
    int code = 0;
    if (AnswersAtOnce(argc, argv, &code))
        return code;
    QApplication qapp(argc, argv);
    QApplication::setOrganizationName("TOLQ");
    QApplication::setApplicationName("Kavirel");
    QApplication::setApplicationVersion(KAVIREL_VERSION);
    QApplication::setDesktopFileName("org.tolq.Kavirel");
    QApplication::setWindowIcon(ApplicationIcon());
    QStringList args{QApplication::arguments().value(0)};
    if (!SoundFiles(QApplication::arguments(), &args))
        return kExitUsage;
    // Numbers in texts, the data log and the settings are written with a
    // decimal point, whatever the user's language.
    std::setlocale(LC_NUMERIC, "C");
    CSfApp app(args);
    return qapp.exec();
}
