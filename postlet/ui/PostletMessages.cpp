#include "PostletMessages.h"

#include <QApplication>
#include <QMessageBox>

namespace postlet {

void showPostletMessage(const QString& text)
{
    platform::messageDialogs().inform(text, kProgramTitle);
}

void showPostletWarning(const QString& text)
{
    // The shared dialogs know one kind of message; ours can tell a failure.
    if (auto* boxes = dynamic_cast<PostletMessageBoxes*>(&platform::messageDialogs()))
        boxes->warn(text, kProgramTitle);
    else
        platform::messageDialogs().inform(text, kProgramTitle);
}

bool confirmPostlet(const QString& text)
{
    return platform::messageDialogs().confirm(text, kProgramTitle);
}

void PostletMessageBoxes::inform(const QString& text, const QString& caption)
{
    QMessageBox::information(QApplication::activeWindow(), caption, text);
}

void PostletMessageBoxes::warn(const QString& text, const QString& caption)
{
    QMessageBox::warning(QApplication::activeWindow(), caption, text);
}

bool PostletMessageBoxes::confirm(const QString& text, const QString& caption)
{
    return QMessageBox::question(QApplication::activeWindow(), caption, text, QMessageBox::Ok | QMessageBox::Cancel)
        == QMessageBox::Ok;
}

}  // namespace postlet
