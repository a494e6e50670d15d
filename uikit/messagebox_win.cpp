#include "uikit/messagebox_win.h"

#include "common/textutil.h"
#include "uikit/application_win.h"
#include "uikit/button_win.h"
#include "uikit/diaglog_win.h"
#include "uikit/hostdialog_win.h"
#include "uikit/image_win.h"

namespace uikit {
namespace {

MessageBoxHook& Hook()
{
    static MessageBoxHook hook;
    return hook;
}

PickerFunction& Picker()
{
    static PickerFunction hook;
    return hook;
}

// Frame of the system message-box icon strip for an icon flag; -1 for no icon.
int IconFrame(UINT type)
{
    switch (type & MB_ICONMASK) {
    case MB_ICONASTERISK:
        return 0;
    case MB_ICONQUESTION:
        return 1;
    case MB_ICONEXCLAMATION:
        return 2;
    case MB_ICONHAND:
        return 3;
    default:
        return -1;
    }
}

std::string XmlEscape(const std::wstring& text)
{
    std::string out;
    for (char c : ToUtf8(text)) {
        switch (c) {
        case '&':
            out += "&amp;";
            break;
        case '<':
            out += "&lt;";
            break;
        case '>':
            out += "&gt;";
            break;
        case '"':
            out += "&quot;";
            break;
        default:
            out.push_back(c);
        }
    }
    return out;
}

// The index of the default button that the type's MB_DEFBUTTONn asks for; the first for
// one the box does not have, as the system's box does.
std::size_t DefaultButton(UINT type, std::size_t buttonCount)
{
    const std::size_t asked = (type & MB_DEFMASK) >> 8;
    return asked < buttonCount ? asked : 0;
}

int CloseResult(const std::vector<MessageBoxButton>& buttons)
{
    for (const int answer : {IDCANCEL, IDNO}) {
        for (const MessageBoxButton& button : buttons) {
            if (button.result == answer)
                return answer;
        }
    }
    return buttons.size() == 1 && buttons.front().result == IDOK ? IDOK : 0;
}

class SMessageBoxDlg : public SHostDialog {
public:
    SMessageBoxDlg(std::wstring text, std::wstring caption, UINT type)
        : SHostDialog(kMessageBoxLayoutId), text_(std::move(text)), caption_(std::move(caption)), type_(type)
    {
    }

protected:
    LRESULT OnMessage(UINT msg, WPARAM, LPARAM, BOOL& handled) override
    {
        handled = FALSE;
        if (msg == WM_INITDIALOG) {
            Fill();
            handled = TRUE;
            return TRUE;
        }
        return 0;
    }

private:
    void Fill()
    {
        SetWindowTextW(hwnd_, caption_.c_str());
        if (SControl* title = FindControl("msgbox_title", "text"))
            title->SetText(caption_);
        if (SControl* body = FindControl("msgbox_text", "text"))
            body->SetText(text_);
        if (auto* icon = dynamic_cast<SImage*>(FindControl("msgbox_icon", "img"))) {
            const int frame = IconFrame(type_);
            if (frame < 0)
                icon->SetVisible(false);
            else
                icon->SetFrame(frame);
        }
        const auto buttons = MessageBoxButtons(type_);
        const std::size_t defaultIndex = DefaultButton(type_, buttons.size());
        SControl* row = FindControl("msgbox_buttons");
        std::string markup;
        for (std::size_t i = 0; i < buttons.size(); ++i) {
            const std::string name = "msgbox_btn_" + std::to_string(buttons[i].result);
            // The default button, which has the focus when the box opens, is what Enter presses.
            markup += "<button name=\"" + name + "\" class=\"cls_msgbox_btn\" text=\"" + XmlEscape(buttons[i].text) +
                      (i == defaultIndex ? "\" default=\"1\"/>" : "\"/>");
            OnCommand(name, [this, result = buttons[i].result] { EndDialog(result); });
            if (i == defaultIndex)
                defaultName_ = name;
        }
        if (row)
            CreateChildren(row, markup);
        // Closing (the close button, Esc, Alt+F4) answers like Cancel, or No, or OK when
        // that is the only button; a box without any of these cannot be closed that way.
        const int closeResult = CloseResult(buttons);
        OnCommand("btn_close", [this, closeResult] {
            if (closeResult)
                EndDialog(closeResult);
        });
        Relayout();
    }

    void SetInitialFocus() override
    {
        if (SControl* button = FindControl(defaultName_, "button"))
            SetFocus(button->Hwnd());
        else
            SHostDialog::SetInitialFocus();
    }

    LRESULT WndProc(UINT msg, WPARAM wParam, LPARAM lParam) override
    {
        if (msg == WM_CLOSE) {
            EventArgs args{EventKind::Command, nullptr, "btn_close"};
            FireEvent(args);
            return 0;
        }
        return SHostDialog::WndProc(msg, wParam, lParam);
    }

    std::wstring text_;
    std::wstring caption_;
    UINT type_;
    std::string defaultName_;
};

}  // namespace

std::vector<MessageBoxButton> MessageBoxButtons(UINT type)
{
    static constexpr MessageBoxButton ok{L"确定(&O)", IDOK};
    static constexpr MessageBoxButton cancel{L"取消(&C)", IDCANCEL};
    static constexpr MessageBoxButton abort{L"中止(&A)", IDABORT};
    static constexpr MessageBoxButton retry{L"重试(&R)", IDRETRY};
    static constexpr MessageBoxButton yes{L"是(&Y)", IDYES};
    static constexpr MessageBoxButton no{L"否(&N)", IDNO};
    static constexpr MessageBoxButton ignore{L"忽略(&I)", IDIGNORE};
    switch (type & MB_TYPEMASK) {
    case MB_OKCANCEL:
        return {ok, cancel};
    case MB_ABORTRETRYIGNORE:
        return {abort, retry, ignore};
    case MB_YESNOCANCEL:
        return {yes, no, cancel};
    case MB_YESNO:
        return {yes, no};
    case MB_RETRYCANCEL:
        return {retry, cancel};
    default:
        return {ok};
    }
}

int MessageBox(HWND owner, const std::wstring& text, const std::wstring& caption, UINT type)
{
    if (const MessageBoxHook& hook = Hook())
        return hook(owner, text, caption, type);
    SMessageBoxDlg dialog(text, caption, type);
    const INT_PTR result = dialog.DoModal(owner);
    if (result < 0) {
        DiagLog(L"message box cannot be shown: " + text);
        return 0;
    }
    return static_cast<int>(result);
}

void SetMessageBoxHook(MessageBoxHook hook)
{
    Hook() = std::move(hook);
}

void SetPickerHook(PickerFunction hook)
{
    Picker() = std::move(hook);
}

std::vector<std::wstring> RunPicker(const PickerRequest& request, const PickerFunction& real)
{
    if (const PickerFunction& hook = Picker())
        return hook(request);
    return real ? real(request) : std::vector<std::wstring>{};
}

}  // namespace uikit
