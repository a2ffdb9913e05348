#include "PostletMessages.h"

#include <QApplication>
#include <QMessageBox>

namespace postlet {

void showPostletMessage(const QString& text)
{
    platform::messageDialogs().inform(text, kProgramTitle);
}

void PostletMessageBoxes::inform(const QString& text, const QString& caption)
{
    QMessageBox::information(QApplication::activeWindow(), caption, text);
}

bool PostletMessageBoxes::confirm(const QString& text, const QString& caption)
{
    return QMessageBox::question(QApplication::activeWindow(), caption, text, QMessageBox::Ok | QMessageBox::Cancel)
        == QMessageBox::Ok;
}

}  // namespace postlet
