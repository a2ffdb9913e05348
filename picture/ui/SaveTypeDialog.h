#pragma once

#include <QFileDialog>
#include <QFileInfo>
#include <QLineEdit>
#include <QRegularExpression>
#include <QStringList>

namespace picture {

// The types a picture can be saved as, for the save dialogs' type list.
inline QStringList pictureSaveTypes()
{
    return {QStringLiteral("BMP Files (*.bmp *.BMP)"), QStringLiteral("JPG Files (*.jpg *.JPG *.jpeg)")};
}

// The extensions a type of the dialog's list names ("JPG Files (*.jpg *.jpeg)"
// names jpg and jpeg), lower-cased, the first being the one a name gets.
inline QStringList extensionsOfType(const QString& type)
{
    static const QRegularExpression pattern(QStringLiteral("\\*\\.([A-Za-z0-9]+)"));
    QStringList extensions;
    for (auto it = pattern.globalMatch(type); it.hasNext();) {
        const QString extension = it.next().captured(1).toLower();
        if (!extensions.contains(extension))
            extensions.append(extension);
    }
    return extensions;
}

// The path to save to: as typed when its name ends in an extension of one of
// the `types`, else with the extension of the `chosen` type added, so the
// chosen type decides the format of a name typed without one.
inline QString pathOfChosenType(const QString& path, const QStringList& types, const QString& chosen)
{
    const QString suffix = QFileInfo(path).suffix().toLower();
    for (const QString& type : types) {
        if (!suffix.isEmpty() && extensionsOfType(type).contains(suffix))
            return path;
    }
    const QStringList chosenExtensions = extensionsOfType(chosen);
    return chosenExtensions.isEmpty() ? path : path + QLatin1Char('.') + chosenExtensions.constFirst();
}

// A save dialog that gives a name typed without an extension the one of the
// type chosen in its list at the moment of saving, before it asks whether
// to replace a file of that name (Qt's own default suffix is fixed, whatever
// type is chosen).
class SaveTypeDialog : public QFileDialog {
public:
    SaveTypeDialog(QWidget* parent, const QString& caption, const QString& suggested, const QStringList& types,
                   const QString& chosen)
        : QFileDialog(parent, caption, suggested, types.join(QLatin1String(";;"))), m_types(types)
    {
        setAcceptMode(QFileDialog::AcceptSave);
        selectNameFilter(chosen);
    }

    void accept() override
    {
        // A folder's name opens the folder, as in any save dialog.
        const QStringList typed = selectedFiles();
        if (typed.size() == 1 && !QFileInfo(typed.constFirst()).isDir()) {
            const QString path = pathOfChosenType(typed.constFirst(), m_types, selectedNameFilter());
            if (path != typed.constFirst())
                setTypedName(path);
        }
        QFileDialog::accept();
    }

private:
    // selectFile() leaves the name field alone while it has the keyboard, as
    // it has whenever the user has just typed there: write into the field.
    void setTypedName(const QString& path)
    {
        if (auto* name = findChild<QLineEdit*>(QStringLiteral("fileNameEdit")))
            name->setText(path);
        else
            selectFile(path);
    }

    QStringList m_types;
};

// Asks where to save as one of `types`, `chosen` chosen first; empty when cancelled.
inline QString askSavePath(QWidget* parent, const QString& caption, const QString& suggested, const QStringList& types,
                           const QString& chosen)
{
    SaveTypeDialog dialog(parent, caption, suggested, types, chosen);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return {};
    return dialog.selectedFiles().constFirst();
}

}  // namespace picture
