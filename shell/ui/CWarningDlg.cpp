#include "CWarningDlg.h"

#include "base/text_lookup.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QStyle>
#include <QVBoxLayout>

namespace shell {

CWarningDlg::CWarningDlg(const QString& text, Buttons buttons, QWidget* parent) : QDialog(parent), m_text(new QLabel(text))
{
    setWindowTitle(base::uiText("Warning", "Warning"));
    setObjectName(buttons == Buttons::OkCancel ? QStringLiteral("CWarningDlg") : QStringLiteral("CWarning2Dlg"));

    auto* icon = new QLabel;
    const int size = style()->pixelMetric(QStyle::PM_MessageBoxIconSize, nullptr, this);
    icon->setPixmap(style()->standardIcon(QStyle::SP_MessageBoxWarning, nullptr, this).pixmap(size, size));
    icon->setAlignment(Qt::AlignTop);
    m_text->setObjectName(buttons == Buttons::OkCancel ? QStringLiteral("1123") : QStringLiteral("1142"));
    m_text->setWordWrap(true);
    m_text->setMinimumWidth(260);
    m_text->setTextInteractionFlags(Qt::TextSelectableByMouse);

    auto* box = new QDialogButtonBox(buttons == Buttons::OkCancel ? QDialogButtonBox::Ok | QDialogButtonBox::Cancel
                                                                  : QDialogButtonBox::Ok);
    connect(box, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(box, &QDialogButtonBox::rejected, this, &QDialog::reject);
    box->button(QDialogButtonBox::Ok)->setDefault(true);

    auto* row = new QHBoxLayout;
    row->addWidget(icon);
    row->addWidget(m_text, 1);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(row);
    m_remember = new QCheckBox(this);
    m_remember->setObjectName(QStringLiteral("Remember"));
    m_remember->hide();
    layout->addWidget(m_remember);
    layout->addWidget(box);
    layout->setSizeConstraint(QLayout::SetFixedSize);
}

QString CWarningDlg::text() const
{
    return m_text->text();
}

void CWarningDlg::setRememberText(const QString& text)
{
    m_remember->setText(text);
    m_remember->setVisible(!text.isEmpty());
}

bool CWarningDlg::remembered() const
{
    return m_remember->isVisible() && m_remember->isChecked();
}

}  // namespace shell
