// Out of memory in the middle of a command: this program's operator new
// throws std::bad_alloc at the n-th allocation of the window's thread, for
// every n up to what the command allocates. The command ends with its
// failure (a warning, or an unpainted control), the window answers and draws
// on, and what it keeps agrees with itself: Pic2 shows nothing or Image1's
// symbol, and the print picture is that symbol.
#include <algorithm>
#include <cstdlib>
#include <new>

#include "FormDriver.h"

namespace {
// Allocations of this thread until the one that fails; 0: none fails.
thread_local long allocationsToFailure = 0;
thread_local long allocationsMade = 0;
} // namespace

void* operator new(std::size_t size)
{
    if (allocationsToFailure > 0 && --allocationsToFailure == 0) throw std::bad_alloc();
    ++allocationsMade;
    if (void* memory = std::malloc(size ? size : 1)) return memory;
    throw std::bad_alloc();
}
// GCC, seeing free inlined where new's pointer ends, takes the pair for a
// mismatch: here they are the pair.
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wmismatched-new-delete"
void operator delete(void* memory) noexcept { std::free(memory); }
void operator delete(void* memory, std::size_t) noexcept { std::free(memory); }
#pragma GCC diagnostic pop

namespace {

bool Dark(DWORD pixel) { return (pixel & 0xFF) < 128; }

// Whether picture (width x width pixels) is the modules x modules symbol at
// the top left of symbol (one pixel per module, stride pixels a row)
// enlarged: each module's centre in picture has the module's colour.
bool ShowsSymbol(const std::vector<DWORD>& picture, int width, const std::vector<DWORD>& symbol,
                 int stride, int modules)
{
    for (int y = 0; y < modules; ++y)
        for (int x = 0; x < modules; ++x) {
            const int px = (2 * x + 1) * width / (2 * modules);
            const int py = (2 * y + 1) * width / (2 * modules);
            if (Dark(picture[std::size_t(py) * std::size_t(width) + std::size_t(px)]) !=
                Dark(symbol[std::size_t(y) * std::size_t(stride) + std::size_t(x)]))
                return false;
        }
    return true;
}

// Modules across a symbol picture with whole square modules: its light
// margin is four modules wide (ISO/IEC 18004, 6.3.8), so the first dark
// pixel of its first dark row is four modules in.
int ModulesAcross(const std::vector<DWORD>& picture, int width)
{
    const auto dark = std::find_if(picture.begin(), picture.end(), Dark);
    const int module = int((dark - picture.begin()) % width) / 4;
    return module > 0 && width % module == 0 ? width / module : 0;
}

class Form1AllocationFailure : public FormTest {
protected:
    // Runs command with the n-th allocation failing (0: none); the boxes it
    // opens are pressed. Gives the allocations made (all of them when n is 0).
    long RunFailingAt(long n, const std::function<void()>& command,
                      std::vector<SeenBox>* boxes = nullptr)
    {
        long made = 0;
        std::vector<SeenBox> seen = ExpectBoxes([&] {
            allocationsMade = 0;
            allocationsToFailure = n;
            command();
            allocationsToFailure = 0;
            made = allocationsMade;
        });
        if (boxes) *boxes = std::move(seen);
        return made;
    }

    // The window answers and draws; Pic2 is blank or shows Image1's symbol,
    // and when there is one, the print picture is made of the same modules.
    void ExpectConsistent(long n)
    {
        SCOPED_TRACE("allocation " + std::to_string(n));
        wchar_t title[16] = {};
        EXPECT_GT(SendMessageW(Form(), WM_GETTEXT, 16, reinterpret_cast<LPARAM>(title)), 0);
        RedrawWindow(Form(), nullptr, nullptr,
                     RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
        int width = 0, height = 0, size = 0;
        const ScopedBitmap shownBitmap = Pic2Image();
        const std::vector<DWORD> shown = BitmapPixels(shownBitmap.get(), &width, &height);
        const std::vector<DWORD> symbol = BitmapPixels(Image1Bitmap(), &size, &height);
        ASSERT_FALSE(shown.empty());
        if (symbol.empty()) {
            EXPECT_EQ(std::count(shown.begin(), shown.end(), DWORD{0xFFFFFF}), long(shown.size()));
            return;
        }
        EXPECT_TRUE(ShowsSymbol(shown, width, symbol, size, size));
        const auto before = SavedFiles();
        const SeenBox box = ExpectBox([&] { Command(Form1::mnuSavePrintPngId, 0); });
        ASSERT_EQ(box.icon, SeenBox::Icon::Information) << Narrow(box.text);
        const auto after = SavedFiles();
        ASSERT_EQ(after.size(), before.size() + 1);
        const auto made = std::find_if(after.begin(), after.end(), [&](const std::wstring& file) {
            return std::find(before.begin(), before.end(), file) == before.end();
        });
        ASSERT_NE(made, after.end());
        const ScopedBitmap print = LoadPng(SaveFolder() + L"\\" + *made);
        const std::vector<DWORD> printed = BitmapPixels(print.get(), &width, &height);
        const int modules = ModulesAcross(printed, width);
        ASSERT_GT(modules, 0);
        EXPECT_TRUE(ShowsSymbol(printed, width, symbol, size, modules));
        for (const auto& file : after) DeleteFileW((SaveFolder() + L"\\" + file).c_str());
    }

    void Command(int id, int code)
    {
        SendMessageW(Form(), WM_COMMAND, MAKEWPARAM(id, code), 0);
    }

    // Each n up to what command allocates, from the state prepare makes;
    // every run opens at most one box, a warning or, for a success, a
    // confirmation, and the window stays consistent.
    void EveryAllocationFails(const std::function<void()>& prepare,
                              const std::function<void()>& command,
                              const std::function<void(const std::vector<SeenBox>&)>& check = {})
    {
        prepare();
        // A command that allocates nothing cannot run out of memory here.
        const long count = RunFailingAt(0, command);
        for (long n = 1; n <= count; ++n) {
            prepare();
            std::vector<SeenBox> boxes;
            RunFailingAt(n, command, &boxes);
            EXPECT_LE(boxes.size(), 1u) << "allocation " << n;
            if (check) check(boxes);
            ExpectConsistent(n);
        }
        std::cout << count << " allocations, each failed once\n";
    }

    void CreateShown(const wchar_t* text)
    {
        SetText(text);
        ASSERT_TRUE(Create());
    }
};

TEST_F(Form1AllocationFailure, Create)
{
    // Failed, it warns as for a picture that cannot be made and shows none;
    // otherwise the new symbol is shown.
    EveryAllocationFails([&] { CreateShown(L"first symbol"); SetText(L"the second, 第二"); },
                         [&] { SendMessageW(Item(Form1::Command1Id), BM_CLICK, 0, 0); },
                         [&](const std::vector<SeenBox>& boxes) {
                             EXPECT_EQ(boxes.empty(), Image1Bitmap() != nullptr);
                             for (const SeenBox& box : boxes)
                                 EXPECT_EQ(box.text, L"内容可以编码，但无法生成二维码图片，请稍后再试！");
                         });
}

TEST_F(Form1AllocationFailure, SaveAndPrintSaveTellTheTruth)
{
    for (const int id : {int(Form1::Command2Id), int(Form1::mnuSavePrintPngId)}) {
        SCOPED_TRACE(id);
        const int code = id == Form1::Command2Id ? BN_CLICKED : 0;
        CreateShown(L"saved");
        const long count = RunFailingAt(0, [&] { Command(id, code); });
        std::cout << count << " allocations, each failed once\n";
        for (long n = 1; n <= count; ++n) {
            const auto before = SavedFiles();
            std::vector<SeenBox> boxes;
            RunFailingAt(n, [&] { Command(id, code); }, &boxes);
            ASSERT_EQ(boxes.size(), 1u) << "allocation " << n;
            // A confirmation only for a file written, a warning only for none.
            const bool saved = boxes[0].icon == SeenBox::Icon::Information;
            EXPECT_EQ(SavedFiles().size(), before.size() + (saved ? 1 : 0)) << Narrow(boxes[0].text);
            ExpectConsistent(n);
        }
    }
}

TEST_F(Form1AllocationFailure, CopyAndPaint)
{
    EveryAllocationFails([&] { CreateShown(L"copied"); },
                         [&] { Command(Form1::Pic2Id, STN_CLICKED); });
    EveryAllocationFails([&] { InvalidateRect(Form(), nullptr, TRUE); },
                         [&] {
                             RedrawWindow(Form(), nullptr, nullptr,
                                          RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN |
                                              RDW_UPDATENOW);
                         });
}

} // namespace
