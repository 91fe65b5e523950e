// Writes the program's icon as the PNG files of the hicolor icon theme,
// DIR/NxN/apps/NAME.png, for the desktops that do not draw the scalable one.
#include "app/ui/AppIcon.h"

#include <QDir>
#include <QString>
#include <cstdio>
#include <cstdlib>

int main(int argc, char** argv) {
    if (argc < 4) {
        std::fprintf(stderr, "usage: kavirel-icon-files DIR NAME SIZE...\n");
        return 64;
    }
    const QString dir = QString::fromLocal8Bit(argv[1]);
    const QString name = QString::fromLocal8Bit(argv[2]);
    for (int i = 3; i < argc; ++i) {
        const int size = std::atoi(argv[i]);
        const QString apps = QString("%1/%2x%2/apps").arg(dir).arg(size);
        const QString file = apps + "/" + name + ".png";
        if (size <= 0 || !QDir().mkpath(apps) || !ApplicationIconImage(size).save(file, "PNG")) {
            std::fprintf(stderr, "kavirel-icon-files: %s cannot be written\n", qPrintable(file));
            return 1;
        }
    }
    return 0;
}
