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

} // namespace

std::wstring TimeOfDayName(const SYSTEMTIME& time)
{
    wchar_t name[32];
    std::swprintf(name, 32, L"%02u时%02u分%02u秒 ", static_cast<unsigned>(time.wHour % 100),
                  static_cast<unsigned>(time.wMinute % 100),
                  static_cast<unsigned>(time.wSecond % 100));
    return name;
}

std::wstring NumberedPngName(const std::wstring& base, int n)
{
    if (n <= 1) return base + L".png";
    // The time-of-day base ends in a space already: "21时05分03秒 (2).png".
    const wchar_t* gap = !base.empty() && base.back() == L' ' ? L"" : L" ";
    return base + gap + L"(" + std::to_wstring(n) + L").png";
}

std::vector<std::uint8_t> EncodePng(const std::uint8_t* bgrx, int width, int height, int stride)
{
    if (!bgrx || width <= 0 || height <= 0 || stride < 4 * width) return {};

    // COM for this call only; a thread that has it already keeps its own.
    const HRESULT init = CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    std::vector<std::uint8_t> png;
    {
        ScopedComPtr<IWICImagingFactory> factory;
        ScopedComPtr<IStream> stream;
        ScopedComPtr<IWICBitmapEncoder> encoder;
        ScopedComPtr<IWICBitmapFrameEncode> frame;
        WICPixelFormatGUID format = GUID_WICPixelFormat32bppBGR;
        const UINT size = static_cast<UINT>(stride) * static_cast<UINT>(height);
        if (SUCCEEDED(CoCreateInstance(CLSID_WICImagingFactory, nullptr, CLSCTX_INPROC_SERVER,
                                       IID_PPV_ARGS(factory.put()))) &&
            SUCCEEDED(CreateStreamOnHGlobal(nullptr, TRUE, stream.put())) &&
            SUCCEEDED(factory->CreateEncoder(GUID_ContainerFormatPng, nullptr, encoder.put())) &&
            SUCCEEDED(encoder->Initialize(stream.get(), WICBitmapEncoderNoCache)) &&
            SUCCEEDED(encoder->CreateNewFrame(frame.put(), nullptr)) &&
            SUCCEEDED(frame->Initialize(nullptr)) &&
            SUCCEEDED(frame->SetSize(static_cast<UINT>(width), static_cast<UINT>(height))) &&
            SUCCEEDED(frame->SetPixelFormat(&format)) && format == GUID_WICPixelFormat32bppBGR &&
            SUCCEEDED(frame->WritePixels(static_cast<UINT>(height), static_cast<UINT>(stride), size,
                                         const_cast<BYTE*>(bgrx))) &&
            SUCCEEDED(frame->Commit()) && SUCCEEDED(encoder->Commit()))
            png = StreamBytes(stream.get());
    }
    if (SUCCEEDED(init)) CoUninitialize();
    return png;
}

SaveResult WriteNewPngFile(const std::wstring& folder, const std::wstring& base,
                           const std::vector<std::uint8_t>& bytes)
{
    SaveResult result;
    // A drive root already ends with its separator.
    const std::wstring prefix = !folder.empty() && (folder.back() == L'\\' || folder.back() == L'/')
                                    ? folder
                                    : folder + L"\\";
    for (int n = 1; n < 10000; ++n) {
        const std::wstring path = prefix + NumberedPngName(base, n);
        ScopedHandle file(CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                      FILE_ATTRIBUTE_NORMAL, nullptr));
        if (!file) {
            const DWORD error = GetLastError();
            if (error == ERROR_FILE_EXISTS || error == ERROR_ALREADY_EXISTS) continue;
            result.error = error;
            return result;
        }
        if (!WriteAll(file.get(), bytes)) {
            result.error = GetLastError();
            file.reset();
            DeleteFileW(path.c_str()); // no half picture left behind
            return result;
        }
        result.path = path;
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
