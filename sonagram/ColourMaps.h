// The colour maps a sonagram can be drawn with. Each is a 256-entry palette
// and the colour wanted for each colour index 0 (background) .. 255 (the
// loudest); the lookup table takes every index to the palette entry nearest
// its colour, as the grey ramp always has.
#pragma once

#include "sonagram/GreyPalette.h"
#include "sonagram/SonagramCells.h"

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

constexpr int kColourMapCount = 6;

// The name of a map (kMapGrey .. kMapGreyReversed) on the command line and in
// menus: "grey", "viridis", "magma", "inferno", "cividis", "grey-reversed";
// "grey" for anything else.
const char* ColourMapName(int32_t map);
// The map of a name, none for a name no map has.
std::optional<int32_t> ColourMapOfName(const std::string& name);
// The map as a menu shows it: "&Grey", "&Viridis", ..., "Grey &Reversed".
const char* ColourMapTitle(int32_t map);

// The palette of the image: the grey ramp for both grey maps, else the
// published table.
const ColourTable& ColourMapPalette(int32_t map);
// The colour index k should show: the grey 255 - k on the grey map (white
// background, black the loudest), the grey k reversed, entry k of a table.
PaletteColour ColourOfIndex(int32_t map, int index);
// Entry k the palette entry nearest to ColourOfIndex(map, k): the grey map's
// is the grey lookup table.
GreyLookup BuildColourLookup(int32_t map);
// The image bytes of cells drawn with map.
std::vector<uint8_t> ColourImageBytes(const SonagramCells& cells, int32_t map);
