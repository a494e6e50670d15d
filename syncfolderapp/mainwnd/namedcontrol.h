#pragma once

// Looking up the main window's controls, once, by name and kind.

#include "common/textutil.h"
#include "uikit/diaglog_win.h"
#include "uikit/hostwnd_win.h"

// The control `name` of `kind` below the window as a T; null, with a line in the
// toolkit's diagnostic log, when it is missing or of another kind.
template <typename T>
T* FindNamed(const uikit::SHostWnd& host, const char* name, const char* kind)
{
    T* control = dynamic_cast<T*>(host.FindControl(name, kind));
    if (control == nullptr)
        uikit::DiagLog(L"main window: control " + FromUtf8(name) + L" of kind " + FromUtf8(kind) + L" not found");
    return control;
}

// A control on a page the window builds when first needed: looked up (FindNamed) on first
// use, so that holding it does not build the page.
template <typename T>
class NamedControl {
public:
    NamedControl(const uikit::SHostWnd& host, const char* name, const char* kind)
        : host_(host), name_(name), kind_(kind)
    {
    }

    T* Get() const
    {
        if (!lookedUp_) {
            control_ = FindNamed<T>(host_, name_, kind_);
            lookedUp_ = true;
        }
        return control_;
    }
    T* operator->() const { return Get(); }
    operator T*() const { return Get(); }

private:
    const uikit::SHostWnd& host_;
    const char* name_;
    const char* kind_;
    mutable T* control_ = nullptr;
    mutable bool lookedUp_ = false;
};
