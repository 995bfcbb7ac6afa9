#include "ui/dialog_base.h"

CDialogBase::CDialogBase(WORD templateId)
    : m_hParent(nullptr), m_hOwner(nullptr), m_lParam(0), m_bModal(false), m_hToolTip(nullptr),
      m_nTemplateId(templateId)
{
}

CDialogBase::~CDialogBase()
{
    HWND window = *m_phWnd;
    if (window) {
        // The derived parts are gone already: let no hook see the messages of
        // the window's end.
        SetWindowLongPtrA(window, GWLP_USERDATA, 0);
        DestroyWindow(window);
        *m_phWnd = nullptr;
    }
}

HWND CDialogBase::Create(HWND owner, LPARAM value)
{
    if (*m_phWnd)
        return *m_phWnd;
    m_bModal = false;
    m_hParent = m_hOwner = owner;
    m_lParam = value;
    return CreateDialogParamA(m_hInstance, MAKEINTRESOURCEA(m_nTemplateId), owner, DialogThunk,
                              reinterpret_cast<LPARAM>(this));
}

INT_PTR CDialogBase::DoModal(HWND owner, LPARAM value)
{
    m_lParam = value;
    m_hParent = m_hOwner = owner;
    m_bModal = true;
    return DialogBoxParamA(m_hInstance, MAKEINTRESOURCEA(m_nTemplateId), owner, DialogThunk,
                           reinterpret_cast<LPARAM>(this));
}

void CDialogBase::Close(INT_PTR result)
{
    HWND window = *m_phWnd;
    if (window) {
        if (m_bModal)
            EndDialog(window, result);
        else
            DestroyWindow(window);
    }
    *m_phWnd = nullptr;
}

LRESULT CDialogBase::WindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    return DialogProc(message, wParam, lParam);
}

INT_PTR CDialogBase::DialogProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_INITDIALOG:
        m_hParent = GetParent(*m_phWnd);
        OnInitDialog();
        return TRUE;
    case WM_DESTROY:
        OnDestroy();
        // The tooltip window is owned by the dialog and goes with it.
        m_hToolTip = nullptr;
        return FALSE;
    case WM_CLOSE: OnCloseRequest(); return FALSE;
    case WM_SHOWWINDOW:
        if (wParam == 1)
            OnShow();
        else
            OnHide();
        return FALSE;
    case WM_COMMAND: {
        int id = LOWORD(wParam);
        if (id == IDOK)
            OnOK();
        OnCommand(id, HIWORD(wParam));
        // Cancel, Esc and the close box end the dialog with 0; a hook that
        // closed it already makes this a no-op.
        if (id == IDCANCEL)
            Close(0);
        return TRUE;
    }
    case WM_NOTIFY: {
        NMHDR* header = reinterpret_cast<NMHDR*>(lParam);
        OnNotify(static_cast<int>(wParam), header);
        if (header && header->code == static_cast<UINT>(-520)) // TTN_NEEDTEXTA
            OnToolTipText(header);
        return TRUE;
    }
    case WM_DRAWITEM: OnDrawItem(static_cast<int>(wParam), reinterpret_cast<DRAWITEMSTRUCT*>(lParam)); return TRUE;
    case WM_TIMER: OnTimer(wParam); return TRUE;
    case WM_HSCROLL: OnHScroll(reinterpret_cast<HWND>(lParam), LOWORD(wParam), HIWORD(wParam)); return TRUE;
    case WM_VSCROLL: OnVScroll(reinterpret_cast<HWND>(lParam), LOWORD(wParam), HIWORD(wParam)); return TRUE;
    default: return FALSE;
    }
}

INT_PTR CALLBACK CDialogBase::DialogThunk(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    CDialogBase* dialog = reinterpret_cast<CDialogBase*>(GetWindowLongPtrA(window, GWLP_USERDATA));
    if (!dialog) {
        if (message != WM_INITDIALOG || !lParam)
            return FALSE;
        dialog = reinterpret_cast<CDialogBase*>(lParam);
        SetWindowLongPtrA(window, GWLP_USERDATA, lParam);
        *dialog->m_phWnd = window;
        return dialog->DialogProc(message, wParam, lParam);
    }
    if (message == WM_COMMAND) {
        HWND remembered = *dialog->m_phWnd;
        *dialog->m_phWnd = window;
        INT_PTR result = dialog->DialogProc(message, wParam, lParam);
        // A hook that closed the dialog leaves the cell null.
        if (*dialog->m_phWnd)
            *dialog->m_phWnd = remembered;
        return result;
    }
    INT_PTR result = dialog->DialogProc(message, wParam, lParam);
    if (message == WM_DESTROY) {
        SetWindowLongPtrA(window, GWLP_USERDATA, 0);
        *dialog->m_phWnd = nullptr;
    }
    return result;
}
