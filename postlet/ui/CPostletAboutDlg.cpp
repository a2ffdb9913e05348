#include "CPostletAboutDlg.h"

#include "PostletMessages.h"

#include "postlet/core/postlet_texts.h"

#include <QDialogButtonBox>
#include <QHBoxLayout>
#include <QIcon>
#include <QLabel>
#include <QVBoxLayout>

namespace postlet {

CPostletAboutDlg::CPostletAboutDlg(QWidget* parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("CPostletAboutDlg"));
    setWindowTitle(textOf(texts::AboutPostlet));

    auto* logo = new QLabel;
    logo->setPixmap(QIcon(QStringLiteral(":/icons/postlet.svg")).pixmap(48, 48));
    logo->setAlignment(Qt::AlignTop);
    auto* name = new QLabel(QStringLiteral("<b>%1</b> Version %2").arg(kProgramTitle, version()));
    name->setObjectName(QStringLiteral("productName"));
    auto* what = new QLabel(textOf(texts::PostletPurpose));

    auto* text = new QVBoxLayout;
    text->addWidget(name);
    text->addWidget(what);
    text->addStretch();
    auto* row = new QHBoxLayout;
    row->addWidget(logo);
    row->addSpacing(12);
    row->addLayout(text);

    auto* box = new QDialogButtonBox(QDialogButtonBox::Ok);
    connect(box, &QDialogButtonBox::accepted, this, &QDialog::accept);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(row);
    layout->addWidget(box);
    layout->setSizeConstraint(QLayout::SetFixedSize);
}

}  // namespace postlet
