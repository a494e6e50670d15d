#include "common/pickers.h"

#include <cderr.h>
#include <commdlg.h>
#include <shobjidl.h>

#include "common/pickerbuffer.h"
#include "common/systemlibrary.h"
#include "common/winhandle.h"

namespace {

// Releases a COM interface when it goes out of scope.
template <typename T>
class ComRef {
public:
    ComRef() = default;
    ~ComRef()
    {
        if (ptr_)
            ptr_->Release();
    }
    ComRef(const ComRef&) = delete;
    ComRef& operator=(const ComRef&) = delete;

    T* Get() const { return ptr_; }
    T* operator->() const { return ptr_; }
    T** Out() { return &ptr_; }
    void** OutVoid() { return reinterpret_cast<void**>(&ptr_); }

private:
    T* ptr_ = nullptr;
};

constexpr DWORD kSelectFilesFlags =
    OFN_EXPLORER | OFN_FILEMUSTEXIST | OFN_PATHMUSTEXIST | OFN_ALLOWMULTISELECT | OFN_NOCHANGEDIR | OFN_HIDEREADONLY;
static_assert(kSelectFilesFlags == 0x81A0C, "the open-file dialog's flags");

constexpr size_t kInitialFileBuffer = 20800;
// A selection that needs more than this is refused rather than asked for again.
constexpr size_t kMaxFileBuffer = 16u << 20;
constexpr int kMaxDialogAttempts = 3;

// The filter: display text "*.*", pattern " *.*", then the closing empty string.
const wchar_t kFilter[] = L"*.*\0 *.*\0";

// The open-file dialog lives in comdlg32, which brings the printing libraries with it
// (their set-up took a noticeable part of the program's start-up): the library is loaded
// from the system folder when the dialog is first asked for, and kept.
struct OpenFileDialogApi {
    Module module;
    decltype(&GetOpenFileNameW) open = nullptr;
    decltype(&CommDlgExtendedError) lastError = nullptr;
};

const OpenFileDialogApi& OpenFileDialog()
{
    static const OpenFileDialogApi api = [] {
        OpenFileDialogApi loaded;
        loaded.module = LoadSystemLibrary(L"comdlg32.dll");
        if (loaded.module) {
            loaded.open = FindFunction<decltype(&GetOpenFileNameW)>(loaded.module.Get(), "GetOpenFileNameW");
            loaded.lastError =
                FindFunction<decltype(&CommDlgExtendedError)>(loaded.module.Get(), "CommDlgExtendedError");
        }
        return loaded;
    }();
    return api;
}

}  // namespace

std::wstring SelectFolder(HWND owner, const std::wstring& initialFolder)
{
    ComRef<IFileOpenDialog> dialog;
    if (FAILED(CoCreateInstance(CLSID_FileOpenDialog, nullptr, CLSCTX_ALL, IID_IFileOpenDialog, dialog.OutVoid())))
        return {};

    {
        ComRef<IShellItem> folder;
        if (!initialFolder.empty() &&
            SUCCEEDED(SHCreateItemFromParsingName(initialFolder.c_str(), nullptr, IID_IShellItem, folder.OutVoid())))
            dialog->SetFolder(folder.Get());
    }

    FILEOPENDIALOGOPTIONS options = 0;
    if (FAILED(dialog->GetOptions(&options)))
        return {};
    if (FAILED(dialog->SetOptions(options | FOS_PICKFOLDERS | FOS_FORCEFILESYSTEM)))
        return {};
    if (FAILED(dialog->Show(owner)))
        return {};

    ComRef<IShellItem> chosen;
    if (FAILED(dialog->GetResult(chosen.Out())))
        return {};
    PWSTR path = nullptr;
    if (FAILED(chosen->GetDisplayName(SIGDN_FILESYSPATH, &path)) || path == nullptr)
        return {};
    std::wstring result(path);
    CoTaskMemFree(path);
    return result;
}

std::vector<std::wstring> SelectFiles(HWND owner, const std::wstring& title, const std::wstring& initialDir)
{
    const OpenFileDialogApi& dialog = OpenFileDialog();
    if (!dialog.open || !dialog.lastError)
        return {};
    size_t bufferSize = kInitialFileBuffer;
    for (int attempt = 0; attempt < kMaxDialogAttempts; ++attempt) {
        std::wstring buffer(bufferSize, L'\0');
        OPENFILENAMEW ofn{};
        ofn.lStructSize = sizeof(ofn);
        ofn.hwndOwner = owner;
        ofn.lpstrFilter = kFilter;
        ofn.nFilterIndex = 1;
        ofn.lpstrFile = buffer.data();
        ofn.nMaxFile = static_cast<DWORD>(buffer.size());
        ofn.lpstrInitialDir = initialDir.c_str();
        ofn.lpstrTitle = title.c_str();
        ofn.Flags = kSelectFilesFlags;

        if (dialog.open(&ofn))
            return ParseSelectedFiles(buffer, ofn.nFileOffset);
        if (dialog.lastError() != FNERR_BUFFERTOOSMALL)
            return {};

        // The selection did not fit: the first two bytes of the buffer hold the size it
        // needs (a 16-bit count, so a huge selection may report less than it needs, in
        // which case the buffer doubles). The operator is asked again with room for it.
        const size_t reported = static_cast<unsigned short>(buffer[0]);
        size_t next = reported > bufferSize ? reported + 1 : bufferSize * 2;
        if (next > kMaxFileBuffer)
            return {};
        bufferSize = next;
    }
    return {};
}
