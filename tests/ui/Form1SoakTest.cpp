// Long use of the real window: thousands of Creates with texts of every kind
// (ASCII, Chinese, emoji, mixtures, empty, too long). Every symbol that Pic2
// shows is read back by the real readers to the exact UTF-8 bytes of the text;
// every text that no symbol holds is answered by the warning box; and the
// window is still whole and drawing at the end.
#include <gtest/gtest.h>

#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <random>
#include <string>
#include <mutex>
#include <thread>
#include <vector>

#include "FormDriver.h"
#include "clsQRCode.h"

namespace {

class Form1Soak : public FormTest {};

// One watcher for the whole run, instead of a thread per Create: it presses
// OK on every message box the window opens and keeps the title of the last.
class BoxWatcher {
public:
    explicit BoxWatcher(DWORD uiThread) : uiThread_(uiThread), thread_([this] { Run(); }) {}
    ~BoxWatcher()
    {
        stop_ = true;
        thread_.join();
    }
    int Count() const { return count_; }
    std::wstring LastTitle()
    {
        std::lock_guard<std::mutex> lock(mutex_);
        return lastTitle_;
    }

private:
    static BOOL CALLBACK FindBox(HWND window, LPARAM found)
    {
        wchar_t name[16] = L"";
        GetClassNameW(window, name, 16);
        if (std::wstring(name) != L"#32770" || !IsWindowVisible(window)) return TRUE;
        *reinterpret_cast<HWND*>(found) = window;
        return FALSE;
    }
    void Run()
    {
        while (!stop_) {
            HWND box = nullptr;
            EnumThreadWindows(uiThread_, FindBox, reinterpret_cast<LPARAM>(&box));
            if (!box) {
                Sleep(2);
                continue;
            }
            wchar_t title[256] = L"";
            GetWindowTextW(box, title, 256);
            {
                std::lock_guard<std::mutex> lock(mutex_);
                lastTitle_ = title;
            }
            ++count_;
            SendMessageW(box, WM_COMMAND, IDOK, 0);
            while (!stop_ && IsWindow(box)) Sleep(1);
        }
    }

    DWORD uiThread_;
    std::atomic<bool> stop_{false};
    std::atomic<int> count_{0};
    std::mutex mutex_;
    std::wstring lastTitle_;
    std::thread thread_;
};

// Creates in one run; VEMORA_SOAK_CREATES overrides it for a longer soak.
int CreateCount()
{
    const char* value = std::getenv("VEMORA_SOAK_CREATES");
    const int count = value ? std::atoi(value) : 0;
    return count > 0 ? count : 2000;
}

void AppendCodePoint(std::wstring& text, char32_t c)
{
    if (c < 0x10000) {
        text += static_cast<wchar_t>(c);
    } else {
        c -= 0x10000;
        text += static_cast<wchar_t>(0xD800 + (c >> 10));
        text += static_cast<wchar_t>(0xDC00 + (c & 0x3FF));
    }
}

std::wstring RandomText(std::mt19937& random, int n)
{
    auto below = [&](int limit) {
        return static_cast<int>(random() % static_cast<unsigned>(limit));
    };
    auto ascii = [&] {
        return static_cast<char32_t>(below(8) == 0 ? '0' + below(10) : 0x20 + below(95));
    };
    auto chinese = [&] { return static_cast<char32_t>(0x4E00 + below(0x51A6)); };
    auto emoji = [&] { return static_cast<char32_t>(0x1F300 + below(0x350)); };
    std::wstring text;
    // One text in twelve is about the capacity of version 40-M or beyond.
    switch (n % 12) {
    case 0:
    case 9:
    case 1: // ASCII with line breaks
        for (int i = below(200); i > 0; --i) {
            if (below(40) == 0) text += L"\r\n";
            else AppendCodePoint(text, ascii());
        }
        break;
    case 2:
    case 3:
        for (int i = 1 + below(150); i > 0; --i) AppendCodePoint(text, chinese());
        break;
    case 4:
    case 5:
        for (int i = 1 + below(60); i > 0; --i) AppendCodePoint(text, emoji());
        break;
    case 6:
    case 7:
    case 10: // mixtures, digit runs among them
        for (int i = 1 + below(300); i > 0; --i) {
            switch (below(4)) {
            case 0:
                AppendCodePoint(text, chinese());
                break;
            case 1:
                AppendCodePoint(text, emoji());
                break;
            case 2:
                for (int d = below(12); d > 0; --d) text += static_cast<wchar_t>('0' + below(10));
                break;
            default:
                AppendCodePoint(text, ascii());
                break;
            }
        }
        break;
    case 8: // empty
        break;
    default: // about the capacity of version 40-M and beyond
        if (below(2) == 0) {
            for (int i = 2200 + below(2000); i > 0; --i) AppendCodePoint(text, ascii());
        } else {
            for (int i = 700 + below(800); i > 0; --i) AppendCodePoint(text, chinese());
        }
        break;
    }
    return text;
}

TEST_F(Form1Soak, ThousandsOfCreatesReadBackOrWarn)
{
    // The window's start state: automatic version, level M, automatic mask, UTF-8.
    clsQRCode capacity;
    capacity.SetKanjiAllowed(false);
    std::mt19937 random(20261208);
    const int creates = CreateCount();
    constexpr std::size_t batch = 200;

    BoxWatcher watcher(GetCurrentThreadId());
    std::vector<GreyImage> shown;
    std::vector<std::string> expected;
    std::vector<int> createNumber;
    int read = 0, readByZxing = 0, warned = 0;
    ULONGLONG readingMs = 0;
    auto readBack = [&] {
        const ULONGLONG start = GetTickCount64();
        const std::vector<QrReading> readings = ReadBackAll(shown);
        readingMs += GetTickCount64() - start;
        for (std::size_t i = 0; i < readings.size(); ++i) {
            ASSERT_EQ(readings[i].error, "") << "create " << createNumber[i];
            // Large versions get one or two pixels per module in the box, which
            // ZXing gives up on and zbar still reads: either reader will do.
            const bool zxing = readings[i].zxing == expected[i],
                       zbar = readings[i].zbar == expected[i];
            ASSERT_TRUE(zxing || zbar)
                << "create " << createNumber[i] << ": Pic2 does not read back as its "
                << expected[i].size() << " bytes";
            readByZxing += zxing;
            ++read;
        }
        shown.clear();
        expected.clear();
        createNumber.clear();
    };

    for (int n = 0; n < creates; ++n) {
        const std::wstring text = RandomText(random, n);
        SetText(text);
        ASSERT_EQ(Text(), text) << "create " << n;
        const std::string bytes = Utf8(text);
        const bool fits = capacity
                              .EncodeMatrix(reinterpret_cast<const std::uint8_t*>(bytes.data()),
                                            static_cast<int>(bytes.size()), 0, 2, -1)
                              .has_value();
        const int boxesBefore = watcher.Count();
        SendMessageW(Item(Form1::Command1Id), BM_CLICK, 0, 0);
        Pump();
        const bool quiet = watcher.Count() == boxesBefore;
        if (fits) {
            ASSERT_TRUE(quiet) << "create " << n << ": unexpected box "
                               << Narrow(watcher.LastTitle());
            ScopedBitmap image = Pic2Image();
            std::optional<GreyImage> grey = BitmapToGrey(image.get());
            ASSERT_TRUE(grey.has_value()) << "create " << n << ": Pic2 could not be drawn";
            shown.push_back(std::move(*grey));
            expected.push_back(bytes);
            createNumber.push_back(n);
        } else {
            ASSERT_EQ(watcher.Count(), boxesBefore + 1)
                << "create " << n << ": " << bytes.size() << " bytes fit no symbol, yet no warning";
            ASSERT_EQ(watcher.LastTitle(), L"系统提示");
            ASSERT_EQ(Image1Bitmap(), nullptr) << "create " << n << ": a stale symbol is left";
            ++warned;
        }
        if (shown.size() == batch) readBack();
        if (HasFatalFailure()) return;
    }
    readBack();
    EXPECT_EQ(read + warned, creates);
    EXPECT_GT(warned, 0);
    RecordProperty("symbols_read", read);
    RecordProperty("read_by_zxing", readByZxing);
    RecordProperty("warnings", warned);
    std::printf("%d creates: %d symbols read back (%d by ZXing, the rest by zbar), %d warnings; "
                "%.1f s reading\n",
                creates, read, readByZxing, warned,
                static_cast<double>(readingMs) / 1000.0); // exact below 2^53 ms

    // Still whole: the start text once more, read back.
    SetText(L"Olvane");
    ASSERT_TRUE(Create());
    ScopedBitmap last = Pic2Image();
    std::string decoded;
    EXPECT_TRUE(DecodesTo(last.get(), "Olvane", &decoded)) << decoded;
}

} // namespace
