// The published tables of the perceptually uniform colour maps, 256 entries
// each from the darkest to the lightest.
#pragma once

#include "sonagram/GreyPalette.h"

const ColourTable& ViridisTable();
const ColourTable& MagmaTable();
const ColourTable& InfernoTable();
const ColourTable& CividisTable();
