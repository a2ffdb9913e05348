#pragma once

#include <QDialog>

class QLineEdit;
class QPlainTextEdit;

namespace files {

// Folder Property: the current folder's name, place, pictures and note, to
// read; nothing is written.
class CPropertyFolderDlg : public QDialog {
    Q_OBJECT
public:
    explicit CPropertyFolderDlg(const QString& folder, QWidget* parent = nullptr);

    QLineEdit* nameField() const { return m_name; }
    QLineEdit* locationField() const { return m_location; }
    QLineEdit* sizeField() const { return m_size; }
    QLineEdit* numberField() const { return m_number; }
    QLineEdit* createdField() const { return m_created; }
    QPlainTextEdit* noteField() const { return m_note; }

private:
    QLineEdit* m_name;
    QLineEdit* m_location;
    QLineEdit* m_size;
    QLineEdit* m_number;
    QLineEdit* m_created;
    QPlainTextEdit* m_note;
};

}  // namespace files
