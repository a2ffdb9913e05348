#include "CAboutDlg.h"

#include "base/text_lookup.h"

#include <QDialogButtonBox>
#include <QHBoxLayout>
#include <QIcon>
#include <QLabel>
#include <QVBoxLayout>

namespace shell {

CAboutDlg::CAboutDlg(QWidget* parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("CAboutDlg"));
    setWindowTitle(base::uiText("About", "About"));

    auto* logo = new QLabel;
    logo->setPixmap(QIcon(QStringLiteral(":/icons/vellumet.svg")).pixmap(64, 64));
    logo->setAlignment(Qt::AlignTop);

    auto* name = new QLabel(QStringLiteral("<b>Vellumet</b> %1").arg(version()));
    name->setObjectName(QStringLiteral("productName"));
    auto* what = new QLabel(base::uiText("VellumetPurpose", "Live pictures, measurements and files for digital microscopes."));
    auto* copyright = new QLabel(base::uiText("Copyright", "Copyright (C) 2026 The Vellumet developers"));
    copyright->setObjectName(QStringLiteral("1122"));

    auto* text = new QVBoxLayout;
    text->addWidget(name);
    text->addWidget(what);
    text->addWidget(copyright);
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

}  // namespace shell
