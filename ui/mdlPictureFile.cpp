#include "mdlPictureFile.h"

#include <objbase.h>
#include <wincodec.h>

#include <algorithm>
#include <cwchar>

#include "ScopedWin.h"

namespace {

// Writes all bytes; false with GetLastError() set when the disk refused some.
bool WriteAll(HANDLE file, const std::vector<std::uint8_t>& bytes)
{
    std::size_t done = 0;
    while (done < bytes.size()) {
        const DWORD chunk =
            static_cast<DWORD>(std::min<std::size_t>(bytes.size() - done, 1u << 20));
        DWORD written = 0;
        if (!WriteFile(file, bytes.data() + done, chunk, &written, nullptr)) return false;
        if (written == 0) {
            SetLastError(ERROR_DISK_FULL);
            return false;
        }
        done += written;
    }
    return true;
}

// The encoded bytes of a memory stream, from its start.
std::vector<std::uint8_t> StreamBytes(IStream* stream)
{
    STATSTG stat{};
    if (FAILED(stream->Stat(&stat, STATFLAG_NONAME)) || stat.cbSize.QuadPart > (1u << 30))
        return {};
    std::vector<std::uint8_t> bytes(static_cast<std::size_t>(stat.cbSize.QuadPart));
    LARGE_INTEGER origin{};
    if (FAILED(stream->Seek(origin, STREAM_SEEK_SET, nullptr))) return {};
    ULONG read = 0;
    if (FAILED(stream->Read(bytes.data(), static_cast<ULONG>(bytes.size()), &read)) ||
        read != bytes.size())
        return {};
    return bytes;
}

// Pixels handed to the PNG encoder: rows from the top, stride bytes apart.
struct WicPixels {
    const std::uint8_t* bits;
    int width;
    int height;
    int stride;
    WICPixelFormatGUID format;
};

// A PNG of the pixels through WIC, the pixel format kept as it is (a WIC
// encoder that would convert it fails the call instead), with dotsPerInch
// written into the file when it is positive. Empty on failure.
std::vector<std::uint8_t> EncodeWicPng(const WicPixels& pixels, double dotsPerInch)
{
    // COM for this call only; a thread that has it already keeps its own
    // (the initialisation is counted, and undone after the objects below).
    const ScopedCoInit com(COINIT_APARTMENTTHREADED);
    std::vector<std::uint8_t> png;
    {
        ScopedComPtr<IWICImagingFactory> factory;
        ScopedComPtr<IStream> stream;
        ScopedComPtr<IWICBitmapEncoder> encoder;
        ScopedComPtr<IWICBitmapFrameEncode> frame;
        WICPixelFormatGUID format = pixels.format;
        const UINT size = static_cast<UINT>(pixels.stride) * static_cast<UINT>(pixels.height);
        if (SUCCEEDED(CoCreateInstance(CLSID_WICImagingFactory, nullptr, CLSCTX_INPROC_SERVER,
                                       IID_PPV_ARGS(factory.put()))) &&
            SUCCEEDED(CreateStreamOnHGlobal(nullptr, TRUE, stream.put())) &&
            SUCCEEDED(factory->CreateEncoder(GUID_ContainerFormatPng, nullptr, encoder.put())) &&
            SUCCEEDED(encoder->Initialize(stream.get(), WICBitmapEncoderNoCache)) &&
            SUCCEEDED(encoder->CreateNewFrame(frame.put(), nullptr)) &&
            SUCCEEDED(frame->Initialize(nullptr)) &&
            SUCCEEDED(frame->SetSize(static_cast<UINT>(pixels.width),
                                     static_cast<UINT>(pixels.height))) &&
            (dotsPerInch <= 0 || SUCCEEDED(frame->SetResolution(dotsPerInch, dotsPerInch))) &&
            SUCCEEDED(frame->SetPixelFormat(&format)) && format == pixels.format &&
            SUCCEEDED(frame->WritePixels(static_cast<UINT>(pixels.height),
                                         static_cast<UINT>(pixels.stride), size,
                                         const_cast<BYTE*>(pixels.bits))) &&
            SUCCEEDED(frame->Commit()) && SUCCEEDED(encoder->Commit()))
            png = StreamBytes(stream.get());
    }
    return png;
}

} // namespace

std::wstring TimeOfDayName(const SYSTEMTIME& time)
{
    wchar_t name[32];
    std::swprintf(name, 32, L"%02u时%02u分%02u秒 ", static_cast<unsigned>(time.wHour % 100),
                  static_cast<unsigned>(time.wMinute % 100),
                  static_cast<unsigned>(time.wSecond % 100));
    return name;
}

std::wstring NumberedFileName(const std::wstring& base, int n, const std::wstring& ending)
{
    if (n <= 1) return base + ending;
    // The time-of-day base ends in a space already: "21时05分03秒 (2).png".
    const wchar_t* gap = !base.empty() && base.back() == L' ' ? L"" : L" ";
    return base + gap + L"(" + std::to_wstring(n) + L")" + ending;
}

std::vector<std::uint8_t> EncodePng(const std::uint8_t* bgrx, int width, int height, int stride)
{
    if (!bgrx || width <= 0 || height <= 0 || stride < 4 * width) return {};
    return EncodeWicPng({bgrx, width, height, stride, GUID_WICPixelFormat32bppBGR}, 0);
}

std::uint32_t PrintPixelsPerMetre(int modulePixels, int moduleMicrometres)
{
    if (modulePixels <= 0 || moduleMicrometres <= 0) return 0;
    const long long scaled = 1000000LL * modulePixels;
    return static_cast<std::uint32_t>((scaled + moduleMicrometres / 2) / moduleMicrometres);
}

namespace {

// Whether k pixels a module, at the whole rate PrintPixelsPerMetre gives,
// state side modules of moduleMicrometres within a micrometre. The stated
// width is 10^6 k side / rate micrometres against side * moduleMicrometres
// exactly; multiplied out by the rate, in whole numbers.
bool StatesWidthWithinAMicrometre(int side, int k, int moduleMicrometres)
{
    const long long rate = PrintPixelsPerMetre(k, moduleMicrometres);
    if (rate <= 0) return false;
    const long long off = 1000000LL * k - static_cast<long long>(moduleMicrometres) * rate;
    return side * (off < 0 ? -off : off) < rate;
}

} // namespace

int PrintModulePixels(int size, int moduleMicrometres)
{
    const int side = size + 8;
    if (side <= 0) return 1;
    const int least = std::max(1, (PrintMinimumPixels + side - 1) / side);
    if (moduleMicrometres <= 0) return least;
    // The nearest whole rate misses the exact one by at most half a pixel a
    // metre, so a large enough k always comes within a micrometre; for the
    // sizes offered it is the least k or, at 0.75 mm, the next multiple of 3.
    for (int k = least; k * side <= PrintMaximumPixels; ++k)
        if (StatesWidthWithinAMicrometre(side, k, moduleMicrometres)) return k;
    return least;
}

std::vector<std::uint8_t> EncodePrintPng(const ModuleMatrix& matrix, int moduleMicrometres)
{
    const int k = PrintModulePixels(matrix.Size(), moduleMicrometres);
    const int side = k * (matrix.Size() + 8);
    // One bit per pixel, most significant bit first, 1 white and 0 black
    // (WIC's BlackWhite format); rows padded to whole 32-bit words.
    const int stride = (side + 31) / 32 * 4;
    std::vector<std::uint8_t> bits(static_cast<std::size_t>(stride) * side, 0xFF);
    for (int row = 0; row < matrix.Size(); ++row)
        for (int column = 0; column < matrix.Size(); ++column) {
            if (!matrix.IsDark(row, column)) continue;
            const int top = (row + 4) * k, left = (column + 4) * k;
            for (int y = top; y < top + k; ++y)
                for (int x = left; x < left + k; ++x)
                    bits[static_cast<std::size_t>(y) * stride + x / 8] &=
                        static_cast<std::uint8_t>(~(0x80u >> (x % 8)));
        }
    // WIC takes dots per inch and writes the pHYs chunk's pixels a metre
    // rounded to the nearest whole number: the exact product lands on the
    // rate asked for.
    const double dotsPerInch = PrintPixelsPerMetre(k, moduleMicrometres) * 0.0254;
    if (dotsPerInch <= 0) return {};
    return EncodeWicPng({bits.data(), side, side, stride, GUID_WICPixelFormatBlackWhite},
                        dotsPerInch);
}

DWORD WriteFileAt(const std::wstring& path, const std::vector<std::uint8_t>& bytes,
                  DWORD disposition)
{
    ScopedHandle file(CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, disposition,
                                  FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file) return GetLastError();
    if (!WriteAll(file.get(), bytes)) {
        const DWORD error = GetLastError();
        file.reset();
        DeleteFileW(path.c_str()); // no half picture left behind
        return error;
    }
    return ERROR_SUCCESS;
}

SaveResult WriteNewFile(const std::wstring& folder, const std::wstring& base,
                        const std::wstring& ending, const std::vector<std::uint8_t>& bytes)
{
    SaveResult result;
    // A drive root already ends with its separator.
    const std::wstring prefix = !folder.empty() && (folder.back() == L'\\' || folder.back() == L'/')
                                    ? folder
                                    : folder + L"\\";
    for (int n = 1; n < 10000; ++n) {
        std::wstring path = prefix + NumberedFileName(base, n, ending);
        result.error = WriteFileAt(path, bytes, CREATE_NEW);
        if (result.error == ERROR_FILE_EXISTS || result.error == ERROR_ALREADY_EXISTS) continue;
        // Moved, not copied: once the file is written nothing may fail.
        if (result.error == ERROR_SUCCESS) result.path = std::move(path);
        return result;
    }
    result.error = ERROR_FILE_EXISTS;
    return result;
}

std::wstring SystemErrorText(DWORD error)
{
    wchar_t* text = nullptr;
    const DWORD length = FormatMessageW(
        FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
        nullptr, error, 0, reinterpret_cast<wchar_t*>(&text), 0, nullptr);
    std::wstring message = length && text ? std::wstring(text, length) : std::wstring();
    if (text) LocalFree(text);
    // The caller ends its sentence itself: drop the line break and the final
    // full stop, Chinese or Latin, that the system's texts end with.
    while (!message.empty() &&
           (message.back() == L'\n' || message.back() == L'\r' || message.back() == L' ' ||
            message.back() == L'.' || message.back() == L'\u3002'))
        message.pop_back();
    if (message.empty()) message = L"错误代码 " + std::to_wstring(error);
    return message;
}
