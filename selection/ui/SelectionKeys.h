// The keys of the cursor-and-selection editor as the windows receive them.
#pragma once

#include "selection/SelectionEditor.h"

#include <optional>

class QKeyEvent;

// Left, Right, Home, End and Ctrl+A as editor keys; none for any other key.
std::optional<SelectionKey> SelectionKeyOf(const QKeyEvent* event);
