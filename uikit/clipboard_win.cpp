#include "uikit/clipboard_win.h"

#include <cstring>

namespace uikit {
namespace {

// The clipboard, open while this lives.
class OpenedClipboard {
public:
    explicit OpenedClipboard(HWND owner) : open_(OpenClipboard(owner) != FALSE) {}
    ~OpenedClipboard()
    {
        if (open_)
            CloseClipboard();
    }
    OpenedClipboard(const OpenedClipboard&) = delete;
    OpenedClipboard& operator=(const OpenedClipboard&) = delete;
    explicit operator bool() const { return open_; }

private:
    const bool open_;
};

}  // namespace

bool SetClipboardText(HWND owner, const std::wstring& text)
{
    const OpenedClipboard clipboard(owner);
    if (!clipboard || !EmptyClipboard())
        return false;
    const size_t bytes = (text.size() + 1) * sizeof(wchar_t);
    HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE, bytes);
    if (!memory)
        return false;
    if (void* target = GlobalLock(memory)) {
        std::memcpy(target, text.c_str(), bytes);
        GlobalUnlock(memory);
        // The clipboard owns the memory from here on.
        if (SetClipboardData(CF_UNICODETEXT, memory))
            return true;
    }
    GlobalFree(memory);
    return false;
}

}  // namespace uikit
