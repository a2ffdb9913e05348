#pragma once

#include <QAbstractItemView>
#include <QApplication>
#include <QElapsedTimer>
#include <QFileDialog>
#include <QFileSystemModel>
#include <QItemSelectionModel>
#include <QLineEdit>
#include <QTimer>

#include <functional>
#include <memory>

namespace testing_support {

// Answers the next modal file dialog as a user does: chooses `nameFilter`,
// types `path` into the name field and presses its accept button. The name
// is typed, not selected: selectFile() leaves the field alone once it has the
// keyboard, which it gets at a moment of the window system's choosing. It
// waits until the dialog has read its folder, clears any file selected in the
// list (a selection wins over the typed name) and accepts only once the typed
// name is what the dialog would return.
// `check`, when given, looks at the dialog as it opened.
inline void answerFileDialog(const QString& nameFilter, const QString& path, std::function<void(QFileDialog*)> check = nullptr)
{
    auto* timer = new QTimer;
    auto since = std::make_shared<QElapsedTimer>();
    QObject::connect(timer, &QTimer::timeout, timer, [timer, since, nameFilter, path, check] {
        auto* dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
        if (!dialog)
            return;
        if (!since->isValid()) {
            since->start();
            if (check)
                check(dialog);
        }
        const auto* model = dialog->findChild<QFileSystemModel*>();
        const QModelIndex folder = model ? model->index(dialog->directory().absolutePath()) : QModelIndex();
        const bool read = !model || (model->rowCount(folder) > 0 && !model->canFetchMore(folder));
        if (!read && since->elapsed() < 3000)
            return;
        dialog->selectNameFilter(nameFilter);
        if (auto* name = dialog->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"))) {
            // The field has the keyboard while the user types, as it has when
            // the dialog saves.
            QApplication::setActiveWindow(dialog);
            name->setFocus(Qt::OtherFocusReason);
            name->setText(path);
        } else
            dialog->selectFile(path);
        for (auto* view : dialog->findChildren<QAbstractItemView*>()) {
            if (view->selectionModel())
                view->selectionModel()->clearSelection();
        }
        if (!dialog->selectedFiles().value(0).startsWith(path) && since->elapsed() < 3000)
            return;
        timer->stop();
        timer->deleteLater();
        QMetaObject::invokeMethod(dialog, "accept");  // as its Save button does
    });
    timer->start(10);
}

}  // namespace testing_support
