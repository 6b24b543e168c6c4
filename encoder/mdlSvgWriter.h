// Writes a finished symbol as an SVG vector picture for printing. Portable:
// no Windows header, built and tested on Linux too.
#pragma once

#include <string>

#include "ModuleMatrix.h"

// The quiet zone around the symbol, in modules: the least ISO/IEC 18004 (6.3.8)
// allows for a QR Code symbol.
constexpr int SvgQuietModules = 4;

// The printed size of one module by default, in micrometres. 0.5 mm is about six printer
// dots at 300 dpi and twelve at 600 dpi, so dot gain and rounding move a
// module's edge by a small part of its width; a phone camera resolves it from
// the usual reading distance of 15 to 30 cm; and every version fits a label
// or a page: version 1 prints 14.5 mm wide with its margin, version 40
// 92.5 mm. Programs that place the picture may scale it freely.
constexpr int SvgModuleMicrometres = 500;

// The symbol of a finished matrix (0 light, 1 dark) as a standalone SVG 1.1
// document in UTF-8: a viewBox in modules, (size + 8) a side with the
// four-module light margin; a white background; one path holding the dark
// modules, each horizontal run of them one rectangle; shape-rendering
// "crispEdges", so that rasterisers snap module edges to whole pixels instead
// of blending them; width and height in millimetres at moduleMicrometres
// (positive) a module, exactly: (size + 8) x moduleMicrometres. No script,
// style sheet or external reference.
std::string SymbolToSvg(const ModuleMatrix& matrix, int moduleMicrometres = SvgModuleMicrometres);
