#include "FakeViewServices.h"

FakeViewServices::FakeViewServices() : settings(store), player(output, store, desktop) {}

std::string FakeViewServices::LastInfo() const {
    return desktop.infoTexts.empty() ? std::string() : desktop.infoTexts.back();
}
