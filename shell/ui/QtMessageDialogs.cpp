#include "QtMessageDialogs.h"

#include <QApplication>
#include <QMessageBox>

namespace shell {

void QtMessageDialogs::inform(const QString& text, const QString& caption)
{
    QMessageBox::information(QApplication::activeWindow(), caption, text, QMessageBox::Ok);
}

bool QtMessageDialogs::confirm(const QString& text, const QString& caption)
{
    return QMessageBox::question(QApplication::activeWindow(), caption, text, QMessageBox::Ok | QMessageBox::Cancel,
                                 QMessageBox::Ok)
        == QMessageBox::Ok;
}

}  // namespace shell
