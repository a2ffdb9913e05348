#pragma once

#include <QApplication>
#include <QFileDialog>
#include <QLineEdit>
#include <QTest>
#include <QTimer>

#include <functional>

namespace testing_support {

// Answers the next modal file dialog as a user does: chooses `nameFilter`,
// types `path` into the name field, which has the keyboard as it has while
// the user types, and presses the accept button. `check`, when given, looks
// at the dialog as it opened.
inline void answerFileDialog(const QString& nameFilter, const QString& path, std::function<void(QFileDialog*)> check = nullptr)
{
    auto* timer = new QTimer;
    QObject::connect(timer, &QTimer::timeout, timer, [timer, nameFilter, path, check] {
        auto* dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
        if (!dialog)
            return;
        timer->stop();
        timer->deleteLater();
        if (check)
            check(dialog);
        dialog->selectNameFilter(nameFilter);
        auto* name = dialog->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
        if (!name) {
            dialog->reject();
            QFAIL("the file dialog has no name field");
        }
        QApplication::setActiveWindow(dialog);
        name->setFocus(Qt::OtherFocusReason);
        name->setText(path);
        QMetaObject::invokeMethod(dialog, "accept");  // as its Save button does
    });
    timer->start(10);
}

}  // namespace testing_support
