// Analysis windows opened the way the user opens them: through the running
// program's project tree.
#pragma once

#include <cstdint>

class CBaseScrollView;
class CSfApp;
class CSfHead;

// Sets the head's task to frames start .. end of channel and inserts a window
// of the request's kind (InsertRequest) under it; its view, or null when no
// window came.
CBaseScrollView* InsertWindow(CSfApp& app, CSfHead& head, int request, uint32_t start, uint32_t end,
                              int channel = 0);

// Deletes every head, and with them their windows, while the main window
// still stands.
void RemoveAllHeads(CSfApp& app);
