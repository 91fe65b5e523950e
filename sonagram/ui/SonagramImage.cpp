#include "sonagram/ui/SonagramImage.h"

#include "sonagram/GreyPalette.h"
#include "sonagram/SonagramCells.h"

#include <cstring>
#include <vector>

QImage SonagramImage(const SonagramCells& cells) {
    if (cells.width <= 0 || cells.height <= 0 ||
        cells.index.size() != size_t(cells.width) * size_t(cells.height))
        return QImage();
    const ColourTable& table = SonagramColourTable();
    QImage image(cells.width, cells.height, QImage::Format_Indexed8);
    if (image.isNull())
        return image;
    QList<QRgb> colours;
    colours.reserve(256);
    for (const PaletteColour& c : table)
        colours.push_back(qRgb(c.red, c.green, c.blue));
    image.setColorTable(colours);
    const std::vector<uint8_t> bytes = ImageBytes(cells, table);
    // Rows of the image are padded to whole words; the cells are not.
    for (int y = 0; y < cells.height; ++y)
        std::memcpy(image.scanLine(y), bytes.data() + size_t(y) * cells.width, size_t(cells.width));
    return image;
}
