#include "CPitchDlg.h"

#include "measure/core/number_text.h"

#include "base/text_lookup.h"

#include "platform/message_dialogs.h"

#include <QDialogButtonBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QVBoxLayout>

namespace measure {

CPitchDlg::CPitchDlg(const QString& unit, QWidget* parent) : QDialog(parent), m_edit(new QLineEdit(QStringLiteral("0.2")))
{
    setObjectName(QStringLiteral("CPitchDlg"));
    setWindowTitle(base::uiText("Pitch", "Pitch"));
    auto* row = new QHBoxLayout;
    row->addWidget(m_edit, 1);
    row->addWidget(new QLabel(unit));
    auto* box = new QDialogButtonBox(QDialogButtonBox::Ok);
    box->addButton(base::uiText("Exit", "Exit"), QDialogButtonBox::RejectRole);
    connect(box, &QDialogButtonBox::accepted, this, &CPitchDlg::accept);
    connect(box, &QDialogButtonBox::rejected, this, &QDialog::reject);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(row);
    layout->addWidget(box);
    m_edit->selectAll();
}

void CPitchDlg::accept()
{
    // A pitch of zero would draw the grid's lines on top of each other forever.
    const auto value = parsePitch(m_edit->text());
    if (!value) {
        platform::messageDialogs().inform(base::uiText("DigitalError", "Digital format error", base::kMessageCapacity));
        return;
    }
    m_pitch = *value;
    m_pitchText = m_edit->text();
    QDialog::accept();
}

}  // namespace measure
