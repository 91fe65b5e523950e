#include "sonagram/ColourMaps.h"

#include "sonagram/ColourMapTables.h"
#include "soundfile/FftSettings.h"

#include <array>

namespace {

struct MapNames {
    const char* name;
    const char* title;
};

constexpr std::array<MapNames, kColourMapCount> kNames{{
    {"grey", "&Grey"},
    {"viridis", "&Viridis"},
    {"magma", "&Magma"},
    {"inferno", "&Inferno"},
    {"cividis", "&Cividis"},
    {"grey-reversed", "Grey &Reversed"},
}};

bool Known(int32_t map) {
    return map >= 0 && map < kColourMapCount;
}

int SquaredDistance(const PaletteColour& a, const PaletteColour& b) {
    const int r = a.red - b.red;
    const int g = a.green - b.green;
    const int bl = a.blue - b.blue;
    return r * r + g * g + bl * bl;
}

} // namespace

const char* ColourMapName(int32_t map) {
    return kNames[Known(map) ? map : kMapGrey].name;
}

std::optional<int32_t> ColourMapOfName(const std::string& name) {
    for (int32_t map = 0; map < kColourMapCount; ++map)
        if (name == kNames[map].name)
            return map;
    return std::nullopt;
}

const char* ColourMapTitle(int32_t map) {
    return kNames[Known(map) ? map : kMapGrey].title;
}

const ColourTable& ColourMapPalette(int32_t map) {
    switch (map) {
    case kMapViridis:
        return ViridisTable();
    case kMapMagma:
        return MagmaTable();
    case kMapInferno:
        return InfernoTable();
    case kMapCividis:
        return CividisTable();
    default:
        return SonagramColourTable();
    }
}

PaletteColour ColourOfIndex(int32_t map, int index) {
    if (map == kMapGreyReversed) {
        const auto grey = uint8_t(index);
        return PaletteColour{grey, grey, grey};
    }
    if (!Known(map) || map == kMapGrey) {
        const auto grey = uint8_t(255 - index);
        return PaletteColour{grey, grey, grey};
    }
    return ColourMapPalette(map)[size_t(index)];
}

GreyLookup BuildColourLookup(int32_t map) {
    const ColourTable& palette = ColourMapPalette(map);
    GreyLookup lookup;
    for (int k = 0; k < 256; ++k) {
        const PaletteColour wanted = ColourOfIndex(map, k);
        int nearest = 0;
        for (int j = 1; j < 256; ++j)
            if (SquaredDistance(palette[j], wanted) < SquaredDistance(palette[nearest], wanted))
                nearest = j;
        lookup[k] = uint8_t(nearest);
    }
    return lookup;
}

std::vector<uint8_t> ColourImageBytes(const SonagramCells& cells, int32_t map) {
    const GreyLookup lookup = BuildColourLookup(map);
    std::vector<uint8_t> bytes(cells.index.size());
    for (std::size_t i = 0; i < bytes.size(); ++i)
        bytes[i] = lookup[cells.index[i]];
    return bytes;
}
