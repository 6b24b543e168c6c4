// The SVG writer checked by outside tools: the path is parsed back and filled
// the way a renderer fills it, xmllint parses the document and answers
// questions about it, and rsvg-convert rasterises it at print resolution for
// ZXing-cpp and zbar to read.
#include "mdlSvgWriter.h"

#include <gtest/gtest.h>
#include <png.h>
#include <sys/resource.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "CapacityMessage.h"
#include "ZbarReader.h"
#include "ZxingReader.h"
#include "clsQRCode.h"

#ifndef VEMORA_XMLLINT
#error "VEMORA_XMLLINT must name the xmllint program"
#endif
#ifndef VEMORA_RSVG_CONVERT
#error "VEMORA_RSVG_CONVERT must name the rsvg-convert program"
#endif
#ifndef VEMORA_SVG_WORKDIR
#error "VEMORA_SVG_WORKDIR must name a folder for the files the tools read"
#endif

namespace {

// A writer that loops would grow this process by gigabytes before any CTest
// timeout: its address space is capped, so that it fails at once with
// bad_alloc. Not under AddressSanitizer, whose shadow memory alone is larger;
// there the timeout bounds it.
#ifndef __SANITIZE_ADDRESS__
[[maybe_unused]] const bool kAddressSpaceCapped = [] {
    constexpr rlim_t cap = rlim_t{4} << 30;
    const rlimit limit{cap, cap};
    return setrlimit(RLIMIT_AS, &limit) == 0;
}();
#endif

const char kLevelNames[] = "LMQH";

struct Symbol {
    std::string what;
    std::vector<std::uint8_t> message;
    ModuleMatrix matrix;
};

// Every version at every level, filled with data, the masks taken in turn.
const std::vector<Symbol>& EverySymbol()
{
    static const std::vector<Symbol> symbols = [] {
        std::vector<Symbol> made;
        clsQRCode qr;
        qr.SetKanjiAllowed(false);
        for (int version = 1; version <= 40; ++version)
            for (int level = 1; level <= 4; ++level) {
                std::mt19937 random(static_cast<unsigned>(version * 31 + level));
                std::vector<std::uint8_t> message = FillToCapacity(qr, version, level, random);
                const int mask = (version * 3 + level) % 8;
                auto matrix = qr.EncodeMatrix(message.data(), static_cast<int>(message.size()),
                                              version, level, mask);
                if (!matrix) continue; // the size check in each test reports it
                made.push_back({"version " + std::to_string(version) + "-" +
                                    kLevelNames[level - 1] + " mask " + std::to_string(mask),
                                std::move(message), std::move(*matrix)});
            }
        return made;
    }();
    return symbols;
}

// --- The path, filled as SVG fills it -------------------------------------

struct Edge {
    double x, y0, y1; // a vertical edge from y0 to y1 (downwards when y1 > y0)
};

struct ParsedPath {
    std::vector<Edge> verticals;
    // Each subpath's bounding box (left, top, right, bottom) and whether it
    // was a plain axis-aligned rectangle.
    struct Box {
        double left, top, right, bottom;
        bool rectangle;
    };
    std::vector<Box> subpaths;
    std::string error;
};

// Parses path data made of the commands M, H, V, L, Z in both absolute and
// relative form (SVG 1.1, 8.3): the commands a grid of rectangles needs. Any
// other command, or a diagonal segment, is reported as an error.
ParsedPath ParsePath(const std::string& d)
{
    ParsedPath parsed;
    std::size_t at = 0;
    auto skip = [&] {
        while (at < d.size() && (std::isspace(static_cast<unsigned char>(d[at])) || d[at] == ','))
            ++at;
    };
    auto number = [&](double& value) {
        skip();
        char* end = nullptr;
        value = std::strtod(d.c_str() + at, &end);
        if (end == d.c_str() + at) return false;
        at = static_cast<std::size_t>(end - d.c_str());
        return true;
    };
    double x = 0, y = 0, startX = 0, startY = 0;
    std::vector<std::pair<double, double>> points;
    auto closeSubpath = [&] {
        if (points.empty()) return;
        points.emplace_back(startX, startY);
        ParsedPath::Box box{points[0].first, points[0].second, points[0].first, points[0].second,
                            true};
        for (std::size_t i = 1; i < points.size(); ++i) {
            const auto [x0, y0] = points[i - 1];
            const auto [x1, y1] = points[i];
            if (x0 != x1 && y0 != y1) parsed.error = "a diagonal segment";
            if (x0 == x1 && y0 != y1) parsed.verticals.push_back({x0, y0, y1});
            box.left = std::min(box.left, x1), box.right = std::max(box.right, x1);
            box.top = std::min(box.top, y1), box.bottom = std::max(box.bottom, y1);
        }
        box.rectangle = points.size() == 5; // four corners and back to the start
        parsed.subpaths.push_back(box);
        points.clear();
    };
    char command = 0;
    for (skip(); at < d.size(); skip()) {
        if (std::isalpha(static_cast<unsigned char>(d[at]))) command = d[at++];
        const bool relative = std::islower(static_cast<unsigned char>(command));
        double a = 0, b = 0;
        switch (std::toupper(static_cast<unsigned char>(command))) {
        case 'M':
            if (!number(a) || !number(b)) return parsed.error = "a bad M", parsed;
            closeSubpath(); // an open subpath is filled as if closed
            x = relative ? x + a : a, y = relative ? y + b : b;
            startX = x, startY = y;
            points.emplace_back(x, y);
            command = relative ? 'l' : 'L'; // further pairs are line-tos
            break;
        case 'L':
            if (!number(a) || !number(b)) return parsed.error = "a bad L", parsed;
            x = relative ? x + a : a, y = relative ? y + b : b;
            points.emplace_back(x, y);
            break;
        case 'H':
            if (!number(a)) return parsed.error = "a bad H", parsed;
            x = relative ? x + a : a;
            points.emplace_back(x, y);
            break;
        case 'V':
            if (!number(a)) return parsed.error = "a bad V", parsed;
            y = relative ? y + a : a;
            points.emplace_back(x, y);
            break;
        case 'Z':
            closeSubpath();
            x = startX, y = startY;
            break;
        default:
            return parsed.error = std::string("the command ") + command, parsed;
        }
    }
    closeSubpath();
    return parsed;
}

// The cells of a side x side grid whose centres the path covers under the
// nonzero fill rule (SVG's default): a scan line through each row of
// centres, counting the winding of the vertical edges it crosses.
std::vector<std::vector<bool>> FillPath(const ParsedPath& path, int side)
{
    std::vector<std::vector<bool>> cells(side, std::vector<bool>(side, false));
    for (int row = 0; row < side; ++row) {
        const double y = row + 0.5;
        std::vector<std::pair<double, int>> crossings;
        for (const Edge& edge : path.verticals)
            if (std::min(edge.y0, edge.y1) < y && y < std::max(edge.y0, edge.y1))
                crossings.emplace_back(edge.x, edge.y1 > edge.y0 ? 1 : -1);
        std::sort(crossings.begin(), crossings.end());
        int winding = 0;
        std::size_t next = 0;
        for (int column = 0; column < side; ++column) {
            for (; next < crossings.size() && crossings[next].first < column + 0.5; ++next)
                winding += crossings[next].second;
            cells[row][column] = winding != 0;
        }
    }
    return cells;
}

// The value of attribute name in the first element that starts with tag.
std::string Attribute(const std::string& svg, const std::string& tag, const std::string& name)
{
    const std::size_t element = svg.find("<" + tag);
    if (element == std::string::npos) return {};
    const std::size_t end = svg.find('>', element);
    const std::size_t key = svg.find(" " + name + "=\"", element);
    if (key == std::string::npos || key > end) return {};
    const std::size_t value = key + name.size() + 3;
    return svg.substr(value, svg.find('"', value) - value);
}

// --- The outside tools ----------------------------------------------------

// A folder of this test process's own for the files the tools read,
// removed with everything in it when the test ends.
class WorkFolder {
public:
    WorkFolder() : folder_(std::string(VEMORA_SVG_WORKDIR) + "/" + std::to_string(getpid()))
    {
        std::filesystem::create_directories(folder_);
    }
    ~WorkFolder()
    {
        std::error_code ignored;
        std::filesystem::remove_all(folder_, ignored);
    }
    WorkFolder(const WorkFolder&) = delete;
    WorkFolder& operator=(const WorkFolder&) = delete;
    std::string File(const std::string& name) const { return folder_ + "/" + name; }

private:
    std::string folder_;
};

void WriteFile(const std::string& path, const std::string& text)
{
    std::ofstream(path, std::ios::binary | std::ios::trunc) << text;
}

// Runs a command line and gives its standard output; the exit status goes
// into *status.
std::string RunCommand(const std::string& command, int* status)
{
    std::string output;
    FILE* pipe = popen(command.c_str(), "r");
    if (!pipe) {
        *status = -1;
        return output;
    }
    char buffer[4096];
    for (std::size_t n; (n = std::fread(buffer, 1, sizeof buffer, pipe)) > 0;)
        output.append(buffer, n);
    *status = pclose(pipe);
    return output;
}

// A PNG file as 8-bit grey, through libpng's simplified reader; nothing when
// it cannot be read or is not square.
std::optional<ModuleImage> ReadPngGrey(const std::string& path)
{
    png_image image{};
    image.version = PNG_IMAGE_VERSION;
    if (!png_image_begin_read_from_file(&image, path.c_str())) return std::nullopt;
    image.format = PNG_FORMAT_GRAY;
    ModuleImage grey{static_cast<int>(image.width), {}};
    grey.pixels.resize(PNG_IMAGE_SIZE(image));
    // Transparent pixels (none are expected: the background is drawn) come
    // out against white, as on paper.
    png_color white{255, 255, 255};
    if (!png_image_finish_read(&image, &white, grey.pixels.data(), 0, nullptr) ||
        image.width != image.height)
        return std::nullopt;
    return grey;
}

} // namespace

TEST(mdlSvgWriterTest, ThePathFillsExactlyTheDarkModulesOneRectanglePerRun)
{
    ASSERT_EQ(EverySymbol().size(), 160u) << "every version at every level";
    for (const Symbol& symbol : EverySymbol()) {
        const std::string svg = SymbolToSvg(symbol.matrix);
        const int side = symbol.matrix.Size() + 8;
        const ParsedPath path = ParsePath(Attribute(svg, "path", "d"));
        ASSERT_EQ(path.error, "") << symbol.what;

        // The filled cells are the matrix at (4, 4), and the margin is light.
        const auto cells = FillPath(path, side);
        int wrong = 0;
        for (int row = 0; row < side; ++row)
            for (int column = 0; column < side; ++column) {
                const int r = row - 4, c = column - 4;
                const bool inside = r >= 0 && c >= 0 && r < side - 8 && c < side - 8;
                wrong += cells[row][column] != (inside && symbol.matrix.IsDark(r, c));
            }
        EXPECT_EQ(wrong, 0) << symbol.what << ": cells filled wrongly";

        // Runs merged: every subpath is one module high, and no two on a row
        // overlap or touch (they would have been one run).
        std::map<double, std::vector<std::pair<double, double>>> rows;
        for (const ParsedPath::Box& box : path.subpaths) {
            EXPECT_TRUE(box.rectangle && box.bottom - box.top == 1) << symbol.what;
            rows[box.top].emplace_back(box.left, box.right);
        }
        for (auto& [top, spans] : rows) {
            std::sort(spans.begin(), spans.end());
            for (std::size_t i = 1; i < spans.size(); ++i)
                EXPECT_LT(spans[i - 1].second, spans[i].first) << symbol.what << ", row " << top;
        }
        if (HasFailure()) return;
    }
}

TEST(mdlSvgWriterTest, XmllintFindsAWellFormedSvgWithNothingOutside)
{
    // The facts about the document, as one XPath answer from xmllint's parse.
    const std::string facts =
        "concat(local-name(/*), '|', namespace-uri(/*), '|', /*/@viewBox, '|', /*/@width, '|', "
        "/*/@height, '|', /*/@shape-rendering, '|', count(//*), '|', "
        "local-name(/*/*[1]), ' ', /*/*[1]/@width, ' ', /*/*[1]/@height, ' ', /*/*[1]/@fill, '|', "
        "local-name(/*/*[2]), ' ', /*/*[2]/@fill, '|', "
        "count(//@*[local-name()='href' or local-name()='style' or starts-with(name(), 'on')]), "
        "'|', count(//processing-instruction() | //comment()))";
    const WorkFolder work;
    for (const Symbol& symbol : EverySymbol()) {
        const std::string svg = SymbolToSvg(symbol.matrix);
        const std::string file = work.File("symbol.svg");
        WriteFile(file, svg);
        int status = 0;
        RunCommand(std::string(VEMORA_XMLLINT) + " --noout --nonet '" + file + "' 2>&1", &status);
        ASSERT_EQ(status, 0) << symbol.what << ": not well-formed";
        std::string answer = RunCommand(std::string(VEMORA_XMLLINT) + " --nonet --xpath \"" +
                                            facts + "\" '" + file + "' 2>&1",
                                        &status);
        ASSERT_EQ(status, 0) << answer;
        while (!answer.empty() && std::isspace(static_cast<unsigned char>(answer.back())))
            answer.pop_back();

        const int side = symbol.matrix.Size() + 8;
        const std::string s = std::to_string(side);
        // 0.5 mm a module, written the way any SVG reader parses a length.
        const double millimetres = side * 0.5;
        char length[32];
        std::snprintf(length, sizeof length, "%gmm", millimetres);
        EXPECT_EQ(answer, "svg|http://www.w3.org/2000/svg|0 0 " + s + " " + s + "|" + length + "|" +
                              length + "|crispEdges|3|rect " + s + " " + s +
                              " #FFFFFF|path #000000|0|0")
            << symbol.what;

        // UTF-8 by its declaration, and plain ASCII throughout, so any
        // reader takes it; nothing refers outside the file.
        EXPECT_EQ(svg.rfind("<?xml version=\"1.0\" encoding=\"UTF-8\"?>", 0), 0u);
        EXPECT_TRUE(std::all_of(svg.begin(), svg.end(),
                                [](char c) { return static_cast<unsigned char>(c) < 0x80; }));
        for (const char* outside : {"url(", "<script", "<!DOCTYPE", "<!ENTITY", "xlink"})
            EXPECT_EQ(svg.find(outside), std::string::npos) << outside;
        if (HasFailure()) return;
    }
}

TEST(mdlSvgWriterTest, RasterisedAt300DpiBothReadersReadTheExactBytes)
{
    // As a print would rasterise it: the document's own size in millimetres
    // at 300 dots per inch, about 5.9 pixels a module, so module edges fall
    // between pixels and only crispEdges keeps them black or white.
    const WorkFolder work;
    for (const Symbol& symbol : EverySymbol()) {
        const std::string svg = work.File("print.svg"), png = work.File("print.png");
        WriteFile(svg, SymbolToSvg(symbol.matrix));
        std::remove(png.c_str());
        int status = 0;
        const std::string said = RunCommand(std::string(VEMORA_RSVG_CONVERT) +
                                                " --dpi-x 300 --dpi-y 300 --format png --output '" +
                                                png + "' '" + svg + "' 2>&1",
                                            &status);
        ASSERT_EQ(status, 0) << said;
        const std::optional<ModuleImage> image = ReadPngGrey(png);
        ASSERT_TRUE(image) << symbol.what << ": rsvg-convert wrote no square PNG";

        const double inches = (symbol.matrix.Size() + 8) * 0.5 / 25.4;
        EXPECT_NEAR(image->side, inches * 300, 1.0) << symbol.what;
        EXPECT_TRUE(std::all_of(image->pixels.begin(), image->pixels.end(),
                                [](std::uint8_t v) { return v == 0 || v == 255; }))
            << symbol.what << ": blended pixels, module edges not crisp";

        const auto zxing = ReadSymbolImage(*image);
        ASSERT_TRUE(zxing) << symbol.what << ": ZXing-cpp finds no symbol";
        EXPECT_EQ(zxing->bytes, symbol.message) << symbol.what;
        const auto zbar = ReadImageWithZbar(*image);
        ASSERT_TRUE(zbar) << symbol.what << ": zbar finds no symbol";
        EXPECT_EQ(*zbar, symbol.message) << symbol.what;
        if (HasFailure()) return;
    }
}
