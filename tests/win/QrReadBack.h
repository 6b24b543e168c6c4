// Reading a symbol back with real decoders from a Windows test under Wine.
//
// ZXing-cpp and zbar exist only on the Linux side. So the picture is turned
// into a greyscale PGM file in a work folder of the build tree, and a native
// helper program (tests/win/host/vemoraQrRead.cpp, built with the host
// compiler) is started on it through Wine's support for running Unix
// programs; its answer comes back in a result file. Link vemora_test_support
// (vemora_add_windows_test does) and write, for instance:
//
//   std::string decoded;
//   EXPECT_TRUE(DecodesTo(bitmap, expectedBytes, &decoded)) << decoded;
//
// DecodesTo is true when ZXing-cpp reads exactly expectedBytes (byte mode
// content raw, no character-set conversion); decoded then receives what was
// read, or a description of what went wrong. ReadBack gives both readers'
// answers, for tests that want zbar's word as well.
//
// The bitmap must not be selected into a device context during the call
// (GetDIBits requires it). Any picture size works; small pictures with one
// pixel per module are enlarged on the Linux side before decoding.
#pragma once

#include <windows.h>

#include <optional>
#include <string>
#include <vector>

#include "ScopedWin.h"

struct IPictureDisp;

// A top-down greyscale image, one byte per pixel, 0 black .. 255 white.
struct GreyImage {
    int width = 0;
    int height = 0;
    std::vector<unsigned char> pixels;
};

struct QrReading {
    // Empty when the helper ran; otherwise why it could not.
    std::string error;
    // The raw bytes each reader found, or nothing when it found no symbol.
    std::optional<std::string> zxing;
    std::optional<std::string> zbar;
};

// A new 32-bit top-down DIB section of width x height; bits receives its
// pixels (0x00RRGGBB, rows from the top). Null when it cannot be made.
ScopedBitmap NewTopDownDib(int width, int height, void** bits);

// Pixels of a bitmap as top-down 0x00RRGGBB values, with its size; empty for
// a null or unreadable bitmap.
std::vector<DWORD> BitmapPixels(HBITMAP bitmap, int* width, int* height);

// The bitmap's pixels as grey levels, or nothing for a null or unreadable bitmap.
std::optional<GreyImage> BitmapToGrey(HBITMAP bitmap);

QrReading ReadBack(const GreyImage& image);

// UTF-8 of a text: the bytes a symbol of it holds, and failure messages.
std::string Utf8(const std::wstring& text);
// Many images in one run of the helper, answered in order: for long runs,
// where starting the helper per image would dominate.
std::vector<QrReading> ReadBackAll(const std::vector<GreyImage>& images);
// SVG files (Windows paths), rasterised on the Linux side by rsvg-convert at
// 300 dpi from their own size, as a print would be, and read in one run.
std::vector<QrReading> ReadBackSvgFiles(const std::vector<std::wstring>& svgFiles);
QrReading ReadBack(HBITMAP bitmap);

bool DecodesTo(HBITMAP bitmap, const std::string& expectedBytes, std::string* decoded = nullptr);
// The bitmap of an OLE picture (PICTYPE_BITMAP), e.g. the result of clsQRCode::Encode.
bool DecodesTo(IPictureDisp* picture, const std::string& expectedBytes,
               std::string* decoded = nullptr);
// A bitmap file, e.g. one written by the save command.
bool FileDecodesTo(const std::wstring& bitmapFile, const std::string& expectedBytes,
                   std::string* decoded = nullptr);
