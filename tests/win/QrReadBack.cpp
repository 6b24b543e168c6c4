#include "QrReadBack.h"

#include <ocidl.h>
#include <olectl.h>

#include <atomic>
#include <fstream>
#include <functional>
#include <random>
#include <sstream>

#include "OlePicture.h"
#include "ScopedWin.h"

// Both paths are Unix paths of the build tree, given by the build
// (tests/win/CMakeLists.txt). Wine's drive Z: is the Unix root.
#ifndef VEMORA_QRREAD_PROGRAM
#error "VEMORA_QRREAD_PROGRAM must name the native reader program"
#endif
#ifndef VEMORA_QRREAD_WORKDIR
#error "VEMORA_QRREAD_WORKDIR must name a folder for the exchanged files"
#endif

namespace {

// The result file appears within a fraction of a second; the limit is only
// there so that a broken helper fails the test instead of hanging it.
constexpr DWORD ResultWaitLimitMs = 120000;

std::wstring WindowsPathOf(const std::string& unixPath)
{
    std::wstring path = L"Z:";
    for (char c : unixPath)
        path += c == '/' ? L'\\' : static_cast<wchar_t>(static_cast<unsigned char>(c));
    return path;
}

std::string Hex(const std::string& bytes)
{
    static const char digits[] = "0123456789abcdef";
    std::string hex;
    for (unsigned char b : bytes) {
        hex += digits[b >> 4];
        hex += digits[b & 15];
    }
    return hex;
}

std::optional<std::string> Unhex(const std::string& hex)
{
    if (hex.size() % 2) return std::nullopt;
    auto nibble = [](char c) { return c <= '9' ? c - '0' : c - 'a' + 10; };
    std::string bytes;
    for (std::size_t i = 0; i < hex.size(); i += 2)
        bytes += static_cast<char>(nibble(hex[i]) * 16 + nibble(hex[i + 1]));
    return bytes;
}

// "zxing 4142" gives "AB", "zxing none" nothing.
void ParseResultLine(const std::string& line, QrReading& reading)
{
    std::istringstream words(line);
    std::string reader, value;
    words >> reader >> value;
    std::optional<std::string> bytes;
    if (value != "none") bytes = Unhex(value);
    if (reader == "zxing") reading.zxing = bytes;
    else if (reader == "zbar") reading.zbar = bytes;
    else if (reader == "error") reading.error = line;
}

bool WritePgm(const std::wstring& path, const GreyImage& image)
{
    std::ofstream out(path.c_str(), std::ios::binary | std::ios::trunc);
    out << "P5\n" << image.width << ' ' << image.height << "\n255\n";
    out.write(reinterpret_cast<const char*>(image.pixels.data()),
              static_cast<std::streamsize>(image.pixels.size()));
    return static_cast<bool>(out);
}

// Starts the Unix helper. Wine starts a Unix program without a process
// handle to wait on, so the caller polls for the result file instead.
bool StartHelper(const std::vector<std::string>& arguments, std::string* error)
{
    const std::wstring program = WindowsPathOf(VEMORA_QRREAD_PROGRAM);
    std::wstring commandLine = L"\"" + program + L"\"";
    for (const std::string& argument : arguments) {
        commandLine += L" \"";
        for (char c : argument) commandLine += static_cast<wchar_t>(static_cast<unsigned char>(c));
        commandLine += L"\"";
    }

    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process{};
    if (!CreateProcessW(program.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr,
                        nullptr, &startup, &process)) {
        *error = "cannot start " + std::string(VEMORA_QRREAD_PROGRAM) + " (error " +
                 std::to_string(GetLastError()) + ")";
        return false;
    }
    ScopedHandle thread(process.hThread);
    ScopedHandle processHandle(process.hProcess);
    return true;
}

bool WaitForFile(const std::wstring& path)
{
    for (DWORD waited = 0; waited < ResultWaitLimitMs; waited += 5) {
        if (GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES) return true;
        Sleep(5);
    }
    return false;
}

// A file name stem in the work folder that no other read of any test process
// uses. Programs at other display scales run beside this one under Wine
// servers of their own, which hand out the same process ids: a random tag
// drawn once per process tells them apart.
std::string UniqueStem()
{
    static const std::string process =
        std::to_string(GetCurrentProcessId()) + "-" + std::to_string(std::random_device{}());
    static std::atomic<int> counter{0};
    return std::string(VEMORA_QRREAD_WORKDIR) + "/read-" + process + "-" +
           std::to_string(counter++);
}

std::string Describe(const QrReading& reading)
{
    if (!reading.error.empty()) return reading.error;
    return "zxing: " + (reading.zxing ? Hex(*reading.zxing) : std::string("no symbol")) +
           ", zbar: " + (reading.zbar ? Hex(*reading.zbar) : std::string("no symbol"));
}

bool Matches(const QrReading& reading, const std::string& expectedBytes, std::string* decoded)
{
    const bool ok = reading.error.empty() && reading.zxing && *reading.zxing == expectedBytes;
    if (decoded) {
        if (reading.error.empty() && reading.zxing) *decoded = *reading.zxing;
        else *decoded = Describe(reading);
        if (!ok) *decoded += " (expected " + Hex(expectedBytes) + "; " + Describe(reading) + ")";
    }
    return ok;
}

// Puts count pictures into the work folder (put writes picture i, with the
// given ending, to the path it is handed), reads them all in one run of the
// helper and answers in order.
std::vector<QrReading>
ReadBackMany(std::size_t count, const std::string& ending,
             const std::function<bool(std::size_t, const std::wstring&)>& put)
{
    std::vector<QrReading> readings(count);
    if (count == 0) return readings;
    const std::string stem = UniqueStem();
    const std::string listUnix = stem + ".list", resultUnix = stem + ".txt";
    const std::wstring resultPath = WindowsPathOf(resultUnix);
    CreateDirectoryW(WindowsPathOf(VEMORA_QRREAD_WORKDIR).c_str(), nullptr);
    DeleteFileW(resultPath.c_str());

    auto failAll = [&](const std::string& error) {
        for (QrReading& reading : readings) reading.error = error;
        return readings;
    };
    std::vector<std::string> imagesUnix;
    {
        std::ofstream list(WindowsPathOf(listUnix).c_str(), std::ios::binary | std::ios::trunc);
        for (std::size_t i = 0; i < count; ++i) {
            imagesUnix.push_back(stem + "-" + std::to_string(i) + ending);
            if (!put(i, WindowsPathOf(imagesUnix.back())))
                return failAll("cannot write " + imagesUnix.back());
            list << imagesUnix.back() << '\n';
        }
        if (!list) return failAll("cannot write " + listUnix);
    }
    std::string error;
    if (!StartHelper({"--list", listUnix, resultUnix}, &error)) return failAll(error);
    if (!WaitForFile(resultPath))
        return failAll("no answer from " + std::string(VEMORA_QRREAD_PROGRAM));

    std::ifstream in(resultPath.c_str());
    std::size_t index = 0;
    for (std::string line; std::getline(in, line) && index < readings.size();) {
        if (line == "end") ++index;
        else ParseResultLine(line, readings[index]);
    }
    in.close();
    if (index != readings.size())
        failAll("incomplete answer from " + std::string(VEMORA_QRREAD_PROGRAM));
    for (const std::string& image : imagesUnix) DeleteFileW(WindowsPathOf(image).c_str());
    DeleteFileW(WindowsPathOf(listUnix).c_str());
    DeleteFileW(resultPath.c_str());
    return readings;
}

} // namespace

ScopedBitmap NewTopDownDib(int width, int height, void** bits)
{
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    return ScopedBitmap(CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, bits, nullptr, 0));
}

std::vector<DWORD> BitmapPixels(HBITMAP bitmap, int* width, int* height)
{
    BITMAP size{};
    if (!bitmap || !GetObjectW(bitmap, sizeof size, &size) || size.bmWidth <= 0 ||
        size.bmHeight <= 0)
        return {};
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = size.bmWidth;
    info.bmiHeader.biHeight = -size.bmHeight; // top-down rows
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    std::vector<DWORD> pixels(static_cast<std::size_t>(size.bmWidth) * size.bmHeight);
    ScopedGetDC screen(nullptr);
    if (GetDIBits(screen.get(), bitmap, 0, static_cast<UINT>(size.bmHeight), pixels.data(), &info,
                  DIB_RGB_COLORS) != size.bmHeight)
        return {};
    for (DWORD& pixel : pixels) pixel &= 0x00FFFFFF;
    *width = size.bmWidth;
    *height = size.bmHeight;
    return pixels;
}

std::optional<GreyImage> BitmapToGrey(HBITMAP bitmap)
{
    int width = 0, height = 0;
    const std::vector<DWORD> pixels = BitmapPixels(bitmap, &width, &height);
    if (pixels.empty()) return std::nullopt;
    GreyImage grey{width, height, {}};
    grey.pixels.reserve(pixels.size());
    for (const DWORD c : pixels) // ITU-R BT.601 luma
        grey.pixels.push_back(static_cast<unsigned char>(
            (299 * ((c >> 16) & 0xFF) + 587 * ((c >> 8) & 0xFF) + 114 * (c & 0xFF)) / 1000));
    return grey;
}

std::string Utf8(const std::wstring& text)
{
    if (text.empty()) return {};
    const int size = WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()),
                                         nullptr, 0, nullptr, nullptr);
    std::string bytes(static_cast<std::size_t>(size), '\0');
    WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), bytes.data(), size,
                        nullptr, nullptr);
    return bytes;
}

QrReading ReadBack(const GreyImage& image)
{
    const std::string stem = UniqueStem();
    const std::string imageUnix = stem + ".pgm";
    const std::string resultUnix = stem + ".txt";
    const std::wstring imagePath = WindowsPathOf(imageUnix);
    const std::wstring resultPath = WindowsPathOf(resultUnix);

    QrReading reading;
    CreateDirectoryW(WindowsPathOf(VEMORA_QRREAD_WORKDIR).c_str(), nullptr);
    DeleteFileW(resultPath.c_str());
    if (!WritePgm(imagePath, image)) {
        reading.error = "cannot write " + imageUnix;
        return reading;
    }
    if (!StartHelper({imageUnix, resultUnix}, &reading.error)) return reading;
    if (!WaitForFile(resultPath)) {
        reading.error = "no answer from " + std::string(VEMORA_QRREAD_PROGRAM);
        return reading;
    }
    std::ifstream in(resultPath.c_str());
    for (std::string line; std::getline(in, line);) ParseResultLine(line, reading);
    in.close();
    DeleteFileW(imagePath.c_str());
    DeleteFileW(resultPath.c_str());
    return reading;
}

std::vector<QrReading> ReadBackAll(const std::vector<GreyImage>& images)
{
    return ReadBackMany(images.size(), ".pgm", [&](std::size_t i, const std::wstring& path) {
        return WritePgm(path, images[i]);
    });
}

std::vector<QrReading> ReadBackSvgFiles(const std::vector<std::wstring>& svgFiles)
{
    return ReadBackMany(svgFiles.size(), ".svg", [&](std::size_t i, const std::wstring& path) {
        return CopyFileW(svgFiles[i].c_str(), path.c_str(), FALSE) != FALSE;
    });
}

QrReading ReadBack(HBITMAP bitmap)
{
    const std::optional<GreyImage> grey = BitmapToGrey(bitmap);
    if (!grey) return QrReading{"not a readable bitmap", std::nullopt, std::nullopt};
    return ReadBack(*grey);
}

bool DecodesTo(HBITMAP bitmap, const std::string& expectedBytes, std::string* decoded)
{
    return Matches(ReadBack(bitmap), expectedBytes, decoded);
}

bool DecodesTo(IPictureDisp* picture, const std::string& expectedBytes, std::string* decoded)
{
    const HBITMAP bitmap = PictureBitmap(picture);
    if (!bitmap) {
        if (decoded) *decoded = "not a bitmap picture";
        return false;
    }
    return DecodesTo(bitmap, expectedBytes, decoded);
}

bool FileDecodesTo(const std::wstring& bitmapFile, const std::string& expectedBytes,
                   std::string* decoded)
{
    ScopedBitmap bitmap(static_cast<HBITMAP>(LoadImageW(
        nullptr, bitmapFile.c_str(), IMAGE_BITMAP, 0, 0, LR_LOADFROMFILE | LR_CREATEDIBSECTION)));
    if (!bitmap) {
        if (decoded) *decoded = "cannot load the bitmap file";
        return false;
    }
    return DecodesTo(bitmap.get(), expectedBytes, decoded);
}
