#include "WarningDialogs.h"

#include "CWarningDlg.h"

#include <QApplication>

namespace shell {

void WarningDialogs::inform(const QString& text, const QString& caption)
{
    CWarning2Dlg dlg(text, QApplication::activeWindow());
    if (!caption.isEmpty())
        dlg.setWindowTitle(caption);
    dlg.exec();
}

bool WarningDialogs::confirm(const QString& text, const QString& caption)
{
    CWarningDlg dlg(text, CWarningDlg::Buttons::OkCancel, QApplication::activeWindow());
    if (!caption.isEmpty())
        dlg.setWindowTitle(caption);
    return dlg.exec() == QDialog::Accepted;
}

bool WarningDialogs::confirmRemembered(const QString& text, const QString& rememberText, bool& remember, const QString& caption)
{
    CWarningDlg dlg(text, CWarningDlg::Buttons::OkCancel, QApplication::activeWindow());
    if (!caption.isEmpty())
        dlg.setWindowTitle(caption);
    dlg.setRememberText(rememberText);
    const bool ok = dlg.exec() == QDialog::Accepted;
    remember = dlg.remembered();
    return ok;
}

}  // namespace shell
