#include "reelix/ui/CAboutDlg.h"

#include "reelix/core/reelix_texts.h"

#include <QCoreApplication>
#include <QDialogButtonBox>
#include <QHBoxLayout>
#include <QIcon>
#include <QLabel>
#include <QVBoxLayout>

namespace reelix {

CAboutDlg::CAboutDlg(QWidget* parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("CAboutDlg"));
    setWindowTitle(reelix::text("AboutReelix", "About Reelix"));

    auto* logo = new QLabel;
    logo->setPixmap(QIcon(QStringLiteral(":/reelix/reelix.svg")).pixmap(64, 64));
    logo->setAlignment(Qt::AlignTop);

    auto* name = new QLabel(QStringLiteral("<b>Reelix</b> %1").arg(QCoreApplication::applicationVersion()));
    name->setObjectName(QStringLiteral("productName"));
    auto* what = new QLabel(reelix::text("ReelixPurpose", "Plays the clips recorded with Vellumet."));
    auto* copyright = new QLabel(reelix::text("Copyright", "Copyright (C) 2026 The Vellumet developers"));

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

}  // namespace reelix
