// Draws the program's icon at build time and writes it as an .ico file, and
// optionally the installer's wizard picture with the same motif:
//   MakeIcon <output.ico> [<wizard.bmp>]
// The motif is a QR symbol made by our own encoder ("Vemora", version 1,
// level H) on a white tile with a dark green rim. Six images, every one an
// uncompressed DIB (the 256 x 256 one too, not PNG), in this order:
//   32 x 32 at 8 bpp (256-colour palette), 256 / 48 / 32 / 24 at 32 bpp (alpha),
//   24 x 24 at 24 bpp; 290,902 bytes in all.
// It is portable C++ with no Windows header; the build runs it through the
// cross-compiling emulator.
#include <cstdint>
#include <cstdio>
#include <fstream>
#include <string>
#include <vector>

#include "clsQRCode.h"

namespace {

struct Rgba {
    std::uint8_t r, g, b, a;
};

struct IconFormat {
    int size;
    int bitCount;
};
constexpr IconFormat Images[] = {{32, 8}, {256, 32}, {48, 32}, {32, 32}, {24, 32}, {24, 24}};

// The 8 bpp image's palette: the only colours the artwork uses.
constexpr Rgba Palette[] = {{0, 0, 0, 255}, {255, 255, 255, 255}, {0, 64, 0, 255}};

// The motif at one pixel size. Outside the rounded tile everything is
// transparent; the rim is dark green; inside it a white quiet zone of four
// modules around the symbol (ISO/IEC 18004, 6.3.8), so that a reader still
// finds it in the large image.
std::vector<Rgba> Draw(const ModuleMatrix& symbol, int size)
{
    std::vector<Rgba> pixels(static_cast<std::size_t>(size) * size, Rgba{0, 0, 0, 0});
    const int modules = symbol.Size();
    const int rim = size >= 48 ? size / 16 : 1;
    const int radius = size / 6;
    const int inner = size - 2 * rim;
    const double span = modules + 8.0; // symbol and quiet zone across the inner square
    for (int y = 0; y < size; ++y)
        for (int x = 0; x < size; ++x) {
            // Rounded corners: distance from the nearest corner circle centre.
            const int cx = x < radius ? radius : (x >= size - radius ? size - 1 - radius : x);
            const int cy = y < radius ? radius : (y >= size - radius ? size - 1 - radius : y);
            const int dx = x - cx, dy = y - cy;
            if (dx * dx + dy * dy > radius * radius) continue;
            Rgba& pixel = pixels[static_cast<std::size_t>(y) * size + x];
            if (x < rim || y < rim || x >= size - rim || y >= size - rim) {
                pixel = Palette[2];
                continue;
            }
            const int column = static_cast<int>((x - rim + 0.5) * span / inner) - 4;
            const int row = static_cast<int>((y - rim + 0.5) * span / inner) - 4;
            const bool dark = row >= 0 && column >= 0 && row < modules && column < modules &&
                              symbol.IsDark(row, column);
            pixel = dark ? Palette[0] : Palette[1];
        }
    return pixels;
}

void Put16(std::vector<std::uint8_t>& out, unsigned value)
{
    out.push_back(static_cast<std::uint8_t>(value));
    out.push_back(static_cast<std::uint8_t>(value >> 8));
}
void Put32(std::vector<std::uint8_t>& out, std::uint32_t value)
{
    Put16(out, value & 0xFFFF);
    Put16(out, value >> 16);
}

int PaletteIndex(const Rgba& pixel)
{
    for (int i = 0; i < 3; ++i)
        if (pixel.r == Palette[i].r && pixel.g == Palette[i].g && pixel.b == Palette[i].b) return i;
    return 0;
}

// One icon image: BITMAPINFOHEADER (height doubled for the XOR and AND
// masks), palette for 8 bpp, XOR rows bottom-up, AND mask rows bottom-up;
// every row padded to 4 bytes.
std::vector<std::uint8_t> IconImage(const std::vector<Rgba>& pixels, int size, int bitCount)
{
    const int xorStride = (size * bitCount + 31) / 32 * 4;
    const int andStride = (size + 31) / 32 * 4;
    std::vector<std::uint8_t> out;
    Put32(out, 40);
    Put32(out, static_cast<std::uint32_t>(size));
    Put32(out, static_cast<std::uint32_t>(2 * size));
    Put16(out, 1);
    Put16(out, static_cast<unsigned>(bitCount));
    Put32(out, 0); // BI_RGB
    Put32(out, static_cast<std::uint32_t>((xorStride + andStride) * size));
    Put32(out, 0);
    Put32(out, 0);
    Put32(out, 0);
    Put32(out, 0);
    if (bitCount == 8)
        for (int i = 0; i < 256; ++i) {
            const Rgba colour = i < 3 ? Palette[i] : Palette[0];
            out.insert(out.end(), {colour.b, colour.g, colour.r, 0});
        }
    for (int y = size - 1; y >= 0; --y) {
        std::vector<std::uint8_t> row;
        for (int x = 0; x < size; ++x) {
            const Rgba& p = pixels[static_cast<std::size_t>(y) * size + x];
            if (bitCount == 8) row.push_back(static_cast<std::uint8_t>(PaletteIndex(p)));
            else if (bitCount == 24) row.insert(row.end(), {p.b, p.g, p.r});
            else row.insert(row.end(), {p.b, p.g, p.r, p.a});
        }
        row.resize(static_cast<std::size_t>(xorStride), 0);
        out.insert(out.end(), row.begin(), row.end());
    }
    for (int y = size - 1; y >= 0; --y) {
        std::vector<std::uint8_t> row(static_cast<std::size_t>(andStride), 0);
        for (int x = 0; x < size; ++x)
            if (pixels[static_cast<std::size_t>(y) * size + x].a == 0)
                row[static_cast<std::size_t>(x / 8)] |= static_cast<std::uint8_t>(0x80 >> (x % 8));
        out.insert(out.end(), row.begin(), row.end());
    }
    return out;
}

// The .ico file: ICONDIR, then one 16-byte ICONDIRENTRY per image, then the
// images, which are Images[i] in that order.
std::vector<std::uint8_t> IconFile(const std::vector<std::vector<std::uint8_t>>& images)
{
    constexpr int count = sizeof Images / sizeof Images[0];
    std::vector<std::uint8_t> file;
    Put16(file, 0);
    Put16(file, 1);
    Put16(file, count);
    std::uint32_t offset = 6 + 16 * count;
    for (int i = 0; i < count; ++i) {
        const int size = Images[i].size;
        file.push_back(static_cast<std::uint8_t>(size == 256 ? 0 : size));
        file.push_back(static_cast<std::uint8_t>(size == 256 ? 0 : size));
        file.push_back(0); // colour count: 0 for 256 colours and more
        file.push_back(0);
        Put16(file, 1);
        Put16(file, static_cast<unsigned>(Images[i].bitCount));
        Put32(file, static_cast<std::uint32_t>(images[i].size()));
        Put32(file, offset);
        offset += static_cast<std::uint32_t>(images[i].size());
    }
    for (const auto& image : images) file.insert(file.end(), image.begin(), image.end());
    return file;
}

// The picture on the installer's welcome and finish pages: 164 x 314 pixels
// (the size the NSIS Modern UI lays out), white, the 128-pixel motif near the
// top; an uncompressed 24 bpp BMP, rows bottom-up.
std::vector<std::uint8_t> WizardPicture(const ModuleMatrix& symbol)
{
    constexpr int width = 164, height = 314, motifSize = 128, left = 18, top = 36;
    const std::vector<Rgba> motif = Draw(symbol, motifSize);
    constexpr int stride = (width * 3 + 3) / 4 * 4;
    std::vector<std::uint8_t> file{'B', 'M'};
    Put32(file, 54 + stride * height);
    Put32(file, 0);
    Put32(file, 54);
    Put32(file, 40);
    Put32(file, width);
    Put32(file, height);
    Put16(file, 1);
    Put16(file, 24);
    for (int i = 0; i < 6; ++i) Put32(file, 0); // BI_RGB, sizes and palette unused
    for (int y = height - 1; y >= 0; --y) {
        std::vector<std::uint8_t> row(static_cast<std::size_t>(stride), 255);
        for (int x = left; x < left + motifSize; ++x) {
            if (y < top || y >= top + motifSize) break;
            const Rgba& p = motif[static_cast<std::size_t>(y - top) * motifSize + (x - left)];
            if (p.a == 0) continue;
            const auto at = static_cast<std::size_t>(x) * 3;
            row[at] = p.b;
            row[at + 1] = p.g;
            row[at + 2] = p.r;
        }
        file.insert(file.end(), row.begin(), row.end());
    }
    return file;
}

bool WriteFile(const char* path, const std::vector<std::uint8_t>& bytes)
{
    std::ofstream out(path, std::ios::binary);
    out.write(reinterpret_cast<const char*>(bytes.data()),
              static_cast<std::streamsize>(bytes.size()));
    if (!out) std::fprintf(stderr, "MakeIcon: cannot write %s\n", path);
    return static_cast<bool>(out);
}

} // namespace

int main(int argc, char** argv)
{
    if (argc != 2 && argc != 3) {
        std::fprintf(stderr, "usage: MakeIcon <output.ico> [<wizard.bmp>]\n");
        return 2;
    }
    clsQRCode coder;
    const std::string motif = "Vemora";
    const auto symbol = coder.EncodeMatrix(reinterpret_cast<const std::uint8_t*>(motif.data()),
                                           static_cast<int>(motif.size()), 1, 4, -1);
    if (!symbol) {
        std::fprintf(stderr, "MakeIcon: the encoder made no symbol\n");
        return 1;
    }

    std::vector<std::vector<std::uint8_t>> images;
    for (const IconFormat& format : Images)
        images.push_back(IconImage(Draw(*symbol, format.size), format.size, format.bitCount));

    if (!WriteFile(argv[1], IconFile(images))) return 1;
    if (argc == 3 && !WriteFile(argv[2], WizardPicture(*symbol))) return 1;
    return 0;
}
