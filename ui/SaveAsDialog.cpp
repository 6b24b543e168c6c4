#include "SaveAsDialog.h"

#include <shobjidl.h>

#include <atomic>
#include <cwchar>
#include <cwctype>
#include <vector>

#include "ScopedWin.h"

namespace {

// The drop-down's group and control ids within the dialog's customisation.
constexpr DWORD ChoiceGroupId = 1;
constexpr DWORD ChoiceComboId = 2;

bool EndsWithIgnoringCase(const std::wstring& text, const wchar_t* ending)
{
    const std::wstring tail(ending);
    if (text.size() < tail.size()) return false;
    for (std::size_t i = 0; i < tail.size(); ++i)
        if (std::towlower(text[text.size() - tail.size() + i]) != std::towlower(tail[i]))
            return false;
    return true;
}

// name with the ending of one of the types taken off and ending put on.
std::wstring WithEnding(std::wstring name, std::span<const SaveAsType> types, const wchar_t* ending)
{
    for (const SaveAsType& type : types)
        if (EndsWithIgnoringCase(name, type.ending)) {
            name.resize(name.size() - std::wcslen(type.ending));
            break;
        }
    return name.empty() ? name : name + ending;
}

// The dialog's events: a change of type sets the default extension and puts
// that type's ending on the name in the box. Lives on the stack of Show,
// which unadvises it before returning, so its reference count only guards
// against misuse and never deletes.
class TypeFollower final : public IFileDialogEvents {
public:
    explicit TypeFollower(std::span<const SaveAsType> types) : types_(types) {}

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override
    {
        if (!object) return E_POINTER;
        *object = iid == IID_IUnknown || iid == IID_IFileDialogEvents
                      ? static_cast<IFileDialogEvents*>(this)
                      : nullptr;
        if (!*object) return E_NOINTERFACE;
        AddRef();
        return S_OK;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return ++references_; }
    ULONG STDMETHODCALLTYPE Release() override { return --references_; }

    HRESULT STDMETHODCALLTYPE OnTypeChange(IFileDialog* dialog) override
    {
        UINT index = 0; // counted from 1
        if (!dialog || FAILED(dialog->GetFileTypeIndex(&index)) || index < 1 ||
            index > types_.size())
            return S_OK;
        const wchar_t* ending = types_[index - 1].ending;
        dialog->SetDefaultExtension(ending + 1); // without its dot
        ScopedCoTaskString name;
        if (SUCCEEDED(dialog->GetFileName(name.put())) && name)
            dialog->SetFileName(WithEnding(name.get(), types_, ending).c_str());
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE OnFileOk(IFileDialog*) override { return S_OK; }
    HRESULT STDMETHODCALLTYPE OnFolderChanging(IFileDialog*, IShellItem*) override { return S_OK; }
    HRESULT STDMETHODCALLTYPE OnFolderChange(IFileDialog*) override { return S_OK; }
    HRESULT STDMETHODCALLTYPE OnSelectionChange(IFileDialog*) override { return S_OK; }
    HRESULT STDMETHODCALLTYPE OnShareViolation(IFileDialog*, IShellItem*,
                                               FDE_SHAREVIOLATION_RESPONSE*) override
    {
        return E_NOTIMPL;
    }
    HRESULT STDMETHODCALLTYPE OnOverwrite(IFileDialog*, IShellItem*,
                                          FDE_OVERWRITE_RESPONSE*) override
    {
        return E_NOTIMPL; // the dialog's own question
    }

private:
    std::span<const SaveAsType> types_;
    std::atomic<ULONG> references_{1};
};

// Types, options, folder and name; false when the dialog refuses one that
// it needs.
bool SetUp(IFileSaveDialog* dialog, std::span<const SaveAsType> types, const std::wstring& folder,
           const std::wstring& name)
{
    std::vector<COMDLG_FILTERSPEC> specs;
    for (const SaveAsType& type : types) specs.push_back({type.name, type.pattern});
    FILEOPENDIALOGOPTIONS options = 0;
    if (FAILED(dialog->SetFileTypes(static_cast<UINT>(specs.size()), specs.data())) ||
        FAILED(dialog->SetFileTypeIndex(1)) || FAILED(dialog->GetOptions(&options)) ||
        FAILED(dialog->SetOptions(options | FOS_OVERWRITEPROMPT | FOS_FORCEFILESYSTEM |
                                  FOS_PATHMUSTEXIST | FOS_NOCHANGEDIR)))
        return false;
    dialog->SetDefaultExtension(types.front().ending + 1);
    dialog->SetFileName(name.c_str());
    ScopedComPtr<IShellItem> start;
    if (SUCCEEDED(SHCreateItemFromParsingName(folder.c_str(), nullptr, IID_PPV_ARGS(start.put()))))
        dialog->SetFolder(start.get()); // else the dialog's own choice
    return true;
}

// The drop-down in a group under its label; a dialog without customisation
// goes without it.
void AddChoice(IFileSaveDialog* dialog, const wchar_t* label,
               std::span<const wchar_t* const> items, std::size_t defaultItem)
{
    const auto customize = QueryInterfaceOf<IFileDialogCustomize>(dialog, IID_IFileDialogCustomize);
    if (!customize || FAILED(customize->StartVisualGroup(ChoiceGroupId, label))) return;
    if (SUCCEEDED(customize->AddComboBox(ChoiceComboId))) {
        for (std::size_t i = 0; i < items.size(); ++i)
            customize->AddControlItem(ChoiceComboId, static_cast<DWORD>(i), items[i]);
        customize->SetSelectedControlItem(ChoiceComboId, static_cast<DWORD>(defaultItem));
    }
    customize->EndVisualGroup();
}

// What the user chose in a dialog that has answered S_OK.
void ReadChoice(IFileSaveDialog* dialog, std::span<const SaveAsType> types,
                std::size_t itemCount, SaveAsChoice& choice)
{
    ScopedComPtr<IShellItem> result;
    ScopedCoTaskString path;
    if (FAILED(dialog->GetResult(result.put())) ||
        FAILED(result->GetDisplayName(SIGDN_FILESYSPATH, path.put())) || !path)
        return;
    UINT type = 1;
    if (FAILED(dialog->GetFileTypeIndex(&type)) || type < 1 || type > types.size()) type = 1;
    choice.type = type - 1;
    const auto customize = QueryInterfaceOf<IFileDialogCustomize>(dialog, IID_IFileDialogCustomize);
    DWORD item = 0;
    if (customize && SUCCEEDED(customize->GetSelectedControlItem(ChoiceComboId, &item)) &&
        item < itemCount)
        choice.choiceItem = item;
    choice.path = path.get();
    const wchar_t* ending = types[choice.type].ending;
    choice.confirmed = EndsWithIgnoringCase(choice.path, ending);
    if (!choice.confirmed) choice.path += ending;
    choice.outcome = SaveAsChoice::Outcome::Chosen;
}

} // namespace

SaveAsChoice SaveAsDialog::Show(HWND owner, const std::wstring& folder,
                                const std::wstring& name) const
{
    SaveAsChoice choice;
    choice.choiceItem = defaultItem_;
    // COM for this call; the program's thread has it already (counted).
    const ScopedCoInit com(COINIT_APARTMENTTHREADED);
    ScopedComPtr<IFileSaveDialog> dialog;
    if (types_.empty() ||
        FAILED(CoCreateInstance(CLSID_FileSaveDialog, nullptr, CLSCTX_INPROC_SERVER,
                                IID_PPV_ARGS(dialog.put()))) ||
        !SetUp(dialog.get(), types_, folder, name))
        return choice;
    AddChoice(dialog.get(), choiceLabel_, choiceItems_, defaultItem_);

    TypeFollower follower(types_);
    DWORD cookie = 0;
    const bool advised = SUCCEEDED(dialog->Advise(&follower, &cookie));
    const HRESULT shown = dialog->Show(owner);
    if (advised) dialog->Unadvise(cookie);
    if (shown == HRESULT_FROM_WIN32(ERROR_CANCELLED)) {
        choice.outcome = SaveAsChoice::Outcome::Cancelled;
        return choice;
    }
    if (SUCCEEDED(shown)) ReadChoice(dialog.get(), types_, choiceItems_.size(), choice);
    return choice;
}
