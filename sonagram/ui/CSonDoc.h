// The document of a sonagram window: binds the window to its sonagram item.
#pragma once

#include "app/ui/CBaseDoc.h"
#include "sonagram/CSfSon.h"

class CSonDoc : public CBaseDoc {
public:
    explicit CSonDoc(CSfSon* item) : CBaseDoc(item) {}
};
