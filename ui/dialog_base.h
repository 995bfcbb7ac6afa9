#pragma once
// The base of every dialog of the setup. An object is bound to one dialog
// window at a time and gets that window's messages through the virtual hooks
// below, which keep this order; it runs the dialog modally (DoModal blocks
// and returns the dialog's result) or modeless (Create returns at once and
// the creating thread pumps the messages). One dialog procedure,
// DialogThunk, serves every object.
#include <windows.h>

#include "ui/window.h"

class CDialogBase : public CWindow {
public:
    explicit CDialogBase(WORD templateId);
    // Destroys a window that still exists, without calling hooks on the
    // object that is being torn down.
    ~CDialogBase() override;

    // Dispatches one message of the bound dialog to the hooks; TRUE means
    // handled, FALSE asks for the dialog manager's default processing.
    virtual INT_PTR DialogProc(UINT message, WPARAM wParam, LPARAM lParam);
    // Two hooks without arguments that nothing calls; they keep the hooks
    // after them in their places.
    virtual void ReservedHook1() {}
    virtual void ReservedHook2() {}

    // Modeless: makes the window (visible only if its template says so) and
    // returns it; an object that already has a window returns that one.
    // Null when the window cannot be made.
    virtual HWND Create(HWND owner, LPARAM value);
    // Modal: runs the dialog until Close and returns the value given to
    // Close, or the platform's failure value (-1) when it cannot be made.
    virtual INT_PTR DoModal(HWND owner, LPARAM value);
    // Ends the window: EndDialog for a modal one, DestroyWindow for a
    // modeless one (which must happen on the thread that made it). The
    // handle is null afterwards, also when there was no window.
    virtual void Close(INT_PTR result);

    virtual void OnInitDialog() {}
    virtual void OnDestroy() {}
    virtual void OnShow() {}
    virtual void OnHide() {}
    virtual void OnOK() {}
    virtual void OnCloseRequest() {}
    virtual void OnCommand(int controlId, int notifyCode) {}
    virtual void OnHScroll(HWND scrollBar, int request, int position) {}
    virtual void OnVScroll(HWND scrollBar, int request, int position) {}
    virtual void OnNotify(int controlId, NMHDR* header) {}
    virtual void OnTimer(UINT_PTR timerId) {}
    virtual void OnDrawItem(int controlId, DRAWITEMSTRUCT* drawItem) {}
    // A tooltip asks for the text of a tool added without one.
    virtual void OnToolTipText(NMHDR* header) {}

    // Balloon tooltips for the dialog's controls (ui/tooltips.cpp), for
    // dialogs that want them: the setup's own two dialogs show none.
    virtual bool CreateToolTip();
    virtual bool AddToolTip(int controlId, const char* text);
    virtual bool AddToolTip(int controlId, UINT stringId);
    virtual bool AddToolTip(int controlId);
    virtual bool AddToolTip(HWND tool, const char* text);
    virtual bool AddToolTip(HWND tool, UINT stringId);
    virtual bool AddToolTip(HWND tool);

    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;

    HWND GetToolTip() const { return m_hToolTip; }

    // The dialog procedure handed to the platform for every dialog object.
    static INT_PTR CALLBACK DialogThunk(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

protected:
    HWND m_hParent;
    HWND m_hOwner;
    LPARAM m_lParam;
    bool m_bModal;
    HWND m_hToolTip;
    WORD m_nTemplateId;

private:
    bool AddToolTipWithText(HWND tool, char* text);
};
