// The About dialog (template 102 of the resources): OK, Esc and the close
// box all end it.
#include "ui/win32/win32_front_end.h"

INT_PTR CALLBACK AboutDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM) {
    switch (message) {
    case WM_INITDIALOG: return TRUE;  // the system focuses OK, the first tab stop
    case WM_COMMAND:
        if (LOWORD(wParam) == IDOK || LOWORD(wParam) == IDCANCEL) EndDialog(dialog, LOWORD(wParam));
        return FALSE;
    default: return FALSE;
    }
}
