#include "mdlSvgWriter.h"

namespace {

// A length in micrometres as millimetres, without trailing zeros: 14500 ->
// "14.5", 92000 -> "92". Integer arithmetic keeps the text free of the
// locale's decimal separator and of rounding noise.
std::string Millimetres(long long micrometres)
{
    std::string text = std::to_string(micrometres / 1000);
    int fraction = static_cast<int>(micrometres % 1000);
    if (fraction == 0) return text;
    std::string digits = std::to_string(1000 + fraction).substr(1); // three digits
    while (digits.back() == '0') digits.pop_back();
    return text + '.' + digits;
}

// One rectangle per maximal horizontal run of dark modules, in viewBox
// coordinates: "M x y h n v 1 h -n z". Runs never touch on a row, and rows
// meet only along whole edges, so the nonzero fill of the path is exactly
// the dark modules.
void AppendRuns(std::string& path, const ModuleMatrix& matrix)
{
    const int size = matrix.Size();
    for (int row = 0; row < size; ++row) {
        for (int column = 0; column < size;) {
            if (!matrix.IsDark(row, column)) {
                ++column;
                continue;
            }
            const int start = column;
            while (column < size && matrix.IsDark(row, column)) ++column;
            const std::string length = std::to_string(column - start);
            path += 'M' + std::to_string(start + SvgQuietModules) + ' ' +
                    std::to_string(row + SvgQuietModules) + 'h' + length + "v1h-" + length + 'z';
        }
    }
}

} // namespace

std::string SymbolToSvg(const ModuleMatrix& matrix, int moduleMicrometres)
{
    const int side = matrix.Size() + 2 * SvgQuietModules;
    const std::string modules = std::to_string(side);
    const std::string millimetres =
        Millimetres(static_cast<long long>(side) * moduleMicrometres) + "mm";

    std::string svg;
    svg.reserve(4096 + static_cast<std::size_t>(matrix.Size()) * matrix.Size() * 3);
    svg += "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n";
    svg += "<svg xmlns=\"http://www.w3.org/2000/svg\" version=\"1.1\" width=\"" + millimetres +
           "\" height=\"" + millimetres + "\" viewBox=\"0 0 " + modules + ' ' + modules +
           "\" shape-rendering=\"crispEdges\">\n";
    svg += "<rect width=\"" + modules + "\" height=\"" + modules + "\" fill=\"#FFFFFF\"/>\n";
    svg += "<path fill=\"#000000\" d=\"";
    AppendRuns(svg, matrix);
    svg += "\"/>\n</svg>\n";
    return svg;
}
