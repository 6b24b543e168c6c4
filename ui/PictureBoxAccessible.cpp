#include "PictureBoxAccessible.h"

#include "SystemLibrary.h"

namespace {

// oleacc from the system folder, looked up once: the program imports no DLL
// that a copy beside it could stand in for.
struct Oleacc {
    decltype(&CreateStdAccessibleObject) createStdAccessibleObject = nullptr;
    decltype(&LresultFromObject) lresultFromObject = nullptr;
};

const Oleacc& OleaccFunctions()
{
    static const Oleacc functions = [] {
        Oleacc found;
        // Kept loaded for the process's life, as the functions are.
        const HMODULE oleacc = LoadSystemLibrary(L"oleacc.dll");
        found.createStdAccessibleObject =
            EntryPoint<decltype(&CreateStdAccessibleObject)>(oleacc, "CreateStdAccessibleObject");
        found.lresultFromObject =
            EntryPoint<decltype(&LresultFromObject)>(oleacc, "LresultFromObject");
        return found;
    }();
    return functions;
}

bool IsSelf(const VARIANT& child) { return child.vt == VT_I4 && child.lVal == CHILDID_SELF; }

} // namespace

LRESULT PictureBoxAccessible::Answer(HWND window, WPARAM flags)
{
    const Oleacc& oleacc = OleaccFunctions();
    if (!oleacc.createStdAccessibleObject || !oleacc.lresultFromObject) return 0;
    ScopedComPtr<IAccessible> standard;
    if (FAILED(oleacc.createStdAccessibleObject(window, OBJID_CLIENT, __uuidof(IAccessible),
                                                standard.put_void())) ||
        !standard)
        return 0;
    ScopedComPtr<IAccessible> own(new PictureBoxAccessible(window, std::move(standard)));
    // LresultFromObject takes a reference of its own for the reader.
    const LRESULT answer = oleacc.lresultFromObject(__uuidof(IAccessible), flags, own.get());
    return answer < 0 ? 0 : answer;
}

STDMETHODIMP PictureBoxAccessible::QueryInterface(REFIID iid, void** object)
{
    if (!object) return E_POINTER;
    *object = nullptr;
    if (iid != __uuidof(IUnknown) && iid != __uuidof(IDispatch) && iid != __uuidof(IAccessible))
        return E_NOINTERFACE;
    *object = static_cast<IAccessible*>(this);
    AddRef();
    return S_OK;
}

STDMETHODIMP_(ULONG) PictureBoxAccessible::AddRef() { return ++references_; }

STDMETHODIMP_(ULONG) PictureBoxAccessible::Release()
{
    const ULONG left = --references_;
    if (left == 0) delete this;
    return left;
}

STDMETHODIMP PictureBoxAccessible::get_accName(VARIANT child, BSTR* name)
{
    if (!name) return E_POINTER;
    *name = nullptr;
    if (!IsSelf(child)) return standard_->get_accName(child, name);
    const int length = GetWindowTextLengthW(window_);
    if (length <= 0) return S_FALSE;
    *name = SysAllocStringLen(nullptr, static_cast<UINT>(length));
    if (!*name) return E_OUTOFMEMORY;
    GetWindowTextW(window_, *name, length + 1);
    return S_OK;
}

// A graphic: the box shows a picture (that a click copies it, its name says).
STDMETHODIMP PictureBoxAccessible::get_accRole(VARIANT child, VARIANT* role)
{
    if (!role) return E_POINTER;
    if (!IsSelf(child)) return standard_->get_accRole(child, role);
    VariantInit(role);
    role->vt = VT_I4;
    role->lVal = ROLE_SYSTEM_GRAPHIC;
    return S_OK;
}

// Everything else as the system's object answers it.
STDMETHODIMP PictureBoxAccessible::GetTypeInfoCount(UINT* count)
{
    return standard_->GetTypeInfoCount(count);
}
STDMETHODIMP PictureBoxAccessible::GetTypeInfo(UINT index, LCID locale, ITypeInfo** info)
{
    return standard_->GetTypeInfo(index, locale, info);
}
STDMETHODIMP PictureBoxAccessible::GetIDsOfNames(REFIID iid, LPOLESTR* names, UINT count,
                                                 LCID locale, DISPID* ids)
{
    return standard_->GetIDsOfNames(iid, names, count, locale, ids);
}
STDMETHODIMP PictureBoxAccessible::Invoke(DISPID id, REFIID iid, LCID locale, WORD flags,
                                          DISPPARAMS* parameters, VARIANT* result,
                                          EXCEPINFO* exception, UINT* argumentError)
{
    return standard_->Invoke(id, iid, locale, flags, parameters, result, exception, argumentError);
}
STDMETHODIMP PictureBoxAccessible::get_accParent(IDispatch** parent)
{
    return standard_->get_accParent(parent);
}
STDMETHODIMP PictureBoxAccessible::get_accChildCount(long* count)
{
    return standard_->get_accChildCount(count);
}
STDMETHODIMP PictureBoxAccessible::get_accChild(VARIANT child, IDispatch** object)
{
    return standard_->get_accChild(child, object);
}
STDMETHODIMP PictureBoxAccessible::get_accValue(VARIANT child, BSTR* value)
{
    return standard_->get_accValue(child, value);
}
STDMETHODIMP PictureBoxAccessible::get_accDescription(VARIANT child, BSTR* description)
{
    return standard_->get_accDescription(child, description);
}
STDMETHODIMP PictureBoxAccessible::get_accState(VARIANT child, VARIANT* state)
{
    return standard_->get_accState(child, state);
}
STDMETHODIMP PictureBoxAccessible::get_accHelp(VARIANT child, BSTR* help)
{
    return standard_->get_accHelp(child, help);
}
STDMETHODIMP PictureBoxAccessible::get_accHelpTopic(BSTR* file, VARIANT child, long* topic)
{
    return standard_->get_accHelpTopic(file, child, topic);
}
STDMETHODIMP PictureBoxAccessible::get_accKeyboardShortcut(VARIANT child, BSTR* shortcut)
{
    return standard_->get_accKeyboardShortcut(child, shortcut);
}
STDMETHODIMP PictureBoxAccessible::get_accFocus(VARIANT* child)
{
    return standard_->get_accFocus(child);
}
STDMETHODIMP PictureBoxAccessible::get_accSelection(VARIANT* children)
{
    return standard_->get_accSelection(children);
}
STDMETHODIMP PictureBoxAccessible::get_accDefaultAction(VARIANT child, BSTR* action)
{
    return standard_->get_accDefaultAction(child, action);
}
STDMETHODIMP PictureBoxAccessible::accSelect(long flags, VARIANT child)
{
    return standard_->accSelect(flags, child);
}
STDMETHODIMP PictureBoxAccessible::accLocation(long* left, long* top, long* width, long* height,
                                               VARIANT child)
{
    return standard_->accLocation(left, top, width, height, child);
}
STDMETHODIMP PictureBoxAccessible::accNavigate(long direction, VARIANT start, VARIANT* end)
{
    return standard_->accNavigate(direction, start, end);
}
STDMETHODIMP PictureBoxAccessible::accHitTest(long left, long top, VARIANT* child)
{
    return standard_->accHitTest(left, top, child);
}
STDMETHODIMP PictureBoxAccessible::accDoDefaultAction(VARIANT child)
{
    return standard_->accDoDefaultAction(child);
}
STDMETHODIMP PictureBoxAccessible::put_accName(VARIANT child, BSTR name)
{
    return standard_->put_accName(child, name);
}
STDMETHODIMP PictureBoxAccessible::put_accValue(VARIANT child, BSTR value)
{
    return standard_->put_accValue(child, value);
}
