#include "SonagramPng.h"

#include "sonagram/ColourMaps.h"
#include "soundfile/ReplaceFile.h"

#include <png.h>

#include <csetjmp>
#include <new>
#include <vector>

namespace {

// libpng hands the encoded bytes here; they are kept in memory and written to
// the file in one piece.
void AppendBytes(png_structp png, png_bytep data, png_size_t length) {
    auto* out = static_cast<std::vector<uint8_t>*>(png_get_io_ptr(png));
    bool stored = true;
    try {
        out->insert(out->end(), data, data + length);
    } catch (const std::bad_alloc&) {
        stored = false;
    }
    // libpng's error jumps back to its caller; it must not leave a handler.
    if (!stored)
        png_error(png, "out of memory");
}

void NoFlush(png_structp) {}

// The image as an 8-bit palette PNG (libpng reports failures by a jump back
// here, so nothing with a destructor is made between setjmp and the end).
bool EncodePalettePng(const std::vector<uint8_t>& indices, int width, int height,
                      const ColourTable& table, std::vector<uint8_t>& out) {
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    if (!png)
        return false;
    png_infop info = png_create_info_struct(png);
    if (!info || setjmp(png_jmpbuf(png))) {
        png_destroy_write_struct(&png, &info);
        return false;
    }
    png_color palette[256];
    for (std::size_t i = 0; i < table.size(); ++i)
        palette[i] = {table[i].red, table[i].green, table[i].blue};
    png_set_write_fn(png, &out, AppendBytes, NoFlush);
    png_set_IHDR(png, info, png_uint_32(width), png_uint_32(height), 8, PNG_COLOR_TYPE_PALETTE,
                 PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
    png_set_PLTE(png, info, palette, int(table.size()));
    png_write_info(png, info);
    for (int row = 0; row < height; ++row)
        png_write_row(png, indices.data() + std::size_t(row) * std::size_t(width));
    png_write_end(png, info);
    png_destroy_write_struct(&png, &info);
    return true;
}

} // namespace

bool WriteSonagramPng(const SonagramCells& cells, int32_t map, const std::string& path,
                      const std::string& source, std::string& problem) {
    problem = path + " cannot be written: the sonagram holds no image.";
    if (cells.width <= 0 || cells.height <= 0)
        return false;
    std::vector<uint8_t> png;
    if (!EncodePalettePng(ColourImageBytes(cells, map), cells.width, cells.height,
                          ColourMapPalette(map), png)) {
        problem = path + " cannot be written: there is no memory to encode the image.";
        return false;
    }
    return ReplaceFileContents(path, png.data(), png.size(), problem, source);
}
