// Pic2 as a screen reader reads it through oleacc: a graphic named after the
// symbol it shows, or saying that there is none.
#include <oleacc.h>

#include "FormDriver.h"

namespace {

class Form1Accessible : public FormTest {
protected:
    // Pic2's name as a reader gets it, its role checked on the way.
    std::wstring Pic2Name()
    {
        ScopedComPtr<IAccessible> object;
        EXPECT_EQ(AccessibleObjectFromWindow(Item(Form1::Pic2Id), OBJID_CLIENT,
                                             __uuidof(IAccessible), object.put_void()),
                  S_OK);
        if (!object) return L"(none)";
        VARIANT self{};
        self.vt = VT_I4;
        self.lVal = CHILDID_SELF;
        VARIANT role{};
        EXPECT_EQ(object->get_accRole(self, &role), S_OK);
        EXPECT_EQ(role.vt, VT_I4);
        EXPECT_EQ(role.lVal, ROLE_SYSTEM_GRAPHIC);
        BSTR name = nullptr;
        EXPECT_EQ(object->get_accName(self, &name), S_OK);
        std::wstring text = name ? std::wstring(name, SysStringLen(name)) : L"(none)";
        SysFreeString(name);
        return text;
    }

    ScopedCoInit com_;
};

TEST_F(Form1Accessible, Pic2IsAGraphicNamedAfterItsSymbol)
{
    EXPECT_EQ(Pic2Name(), L"尚未创建二维码");
    SetText(L"HELLO");
    Select(0, 3);
    Select(1, 2);
    ASSERT_TRUE(Create());
    EXPECT_EQ(Pic2Name(), L"二维码：版本 3，纠错等级 Q（单击复制）");

    // A Create that makes no picture leaves none, and says so.
    pictureFails_ = true;
    EXPECT_FALSE(Create());
    EXPECT_EQ(Pic2Name(), L"尚未创建二维码");
    pictureFails_ = false;
    Select(0, 0);
    Select(1, 1);
    ASSERT_TRUE(Create());
    EXPECT_EQ(Pic2Name(), L"二维码：版本 1，纠错等级 M（单击复制）");

    // Laid out at another scale, the same symbol.
    const UINT dpi = form_->Dpi() == 144 ? 120 : 144;
    RECT frame{};
    GetWindowRect(Form(), &frame);
    monitorDpi_ = dpi;
    SendMessageW(Form(), WM_DPICHANGED, MAKEWPARAM(dpi, dpi), reinterpret_cast<LPARAM>(&frame));
    Pump();
    ASSERT_EQ(form_->Dpi(), dpi);
    EXPECT_EQ(Pic2Name(), L"二维码：版本 1，纠错等级 M（单击复制）");
}

} // namespace
