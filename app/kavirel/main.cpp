// Kavirel, the desktop program.
#include "app/shell/CSfApp.h"
#include "app/ui/AppIcon.h"

#include <QApplication>
#include <clocale>

int main(int argc, char** argv) {
    QApplication qapp(argc, argv);
    QApplication::setOrganizationName("TOLQ");
    QApplication::setApplicationName("Kavirel");
    QApplication::setWindowIcon(ApplicationIcon());
    // Numbers in texts, the data log and the settings are written with a
    // decimal point, whatever the user's language.
    std::setlocale(LC_NUMERIC, "C");
    CSfApp app(qapp.arguments());
    return qapp.exec();
}
