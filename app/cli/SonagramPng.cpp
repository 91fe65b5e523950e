#include "SonagramPng.h"

#include "sonagram/ColourMaps.h"
#include "soundfile/ReplaceFile.h"

#include <QBuffer>
#include <QByteArray>
#include <QList>
#include <QString>
#include <QtGui/QImage>
#include <cstring>

bool WriteSonagramPng(const SonagramCells& cells, int32_t map, const std::string& path,
                      const std::string& source, std::string& problem) {
    problem = path + " cannot be written: the sonagram holds no image.";
    if (cells.width <= 0 || cells.height <= 0)
        return false;
    QImage image(cells.width, cells.height, QImage::Format_Indexed8);
    if (image.isNull())
        return false;
    const ColourTable& table = ColourMapPalette(map);
    QList<QRgb> colours;
    for (const PaletteColour& c : table)
        colours.append(qRgb(c.red, c.green, c.blue));
    image.setColorTable(colours);
    // QImage pads its rows to four bytes, so they are copied one by one.
    const std::vector<uint8_t> bytes = ColourImageBytes(cells, map);
    for (int row = 0; row < cells.height; ++row)
        std::memcpy(image.scanLine(row), bytes.data() + std::size_t(row) * cells.width,
                    std::size_t(cells.width));
    QByteArray png;
    QBuffer buffer(&png);
    if (!buffer.open(QIODevice::WriteOnly) || !image.save(&buffer, "PNG"))
        return false;
    return ReplaceFileContents(path, png.constData(), size_t(png.size()), problem, source);
}
