#include "CExportOptionDlg.h"

#include "base/text_lookup.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QDialogButtonBox>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QRadioButton>
#include <QVBoxLayout>

namespace measure {

namespace {

constexpr int kDpis[] = {96, 180, 240, 300};

}  // namespace

CExportOptionDlg::CExportOptionDlg(QSize pictureSize, const measure::PictureOptions& offered, QWidget* parent)
    : QDialog(parent),
      m_sizes(new QButtonGroup(this)),
      m_dpis(new QButtonGroup(this)),
      m_imprint(new QCheckBox(base::uiText("ImprintMeasurement", "Imprint measurements")))
{
    setObjectName(QStringLiteral("CExportOptionDlg"));
    setWindowTitle(base::uiText("ExportOption", "Export Option"));
    auto* sizes = new QGroupBox(base::uiText("ExportImageSize", "Image Size"));
    auto* sizeColumn = new QVBoxLayout(sizes);
    for (int option = 1; option <= 3; ++option) {
        auto* b = new QRadioButton(QStringLiteral("%1X%2").arg(pictureSize.width() / option).arg(pictureSize.height() / option));
        m_sizes->addButton(b, option);
        sizeColumn->addWidget(b);
        b->setChecked(option == offered.sizeOption);
    }
    if (!m_sizes->checkedButton())
        m_sizes->button(1)->setChecked(true);
    auto* dpiRow = new QHBoxLayout;
    for (const int d : kDpis) {
        auto* b = new QRadioButton(QString::number(d));
        m_dpis->addButton(b, d);
        dpiRow->addWidget(b);
        b->setChecked(d == offered.dpi);
    }
    if (!m_dpis->checkedButton())
        m_dpis->button(96)->setChecked(true);
    m_imprint->setChecked(offered.imprint);
    auto* box = new QDialogButtonBox(QDialogButtonBox::Ok);
    box->addButton(base::uiText("Exit", "Exit"), QDialogButtonBox::RejectRole);
    connect(box, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(box, &QDialogButtonBox::rejected, this, &QDialog::reject);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(sizes);
    layout->addWidget(m_imprint);
    layout->addLayout(dpiRow);
    layout->addWidget(box);
}

measure::PictureOptions CExportOptionDlg::options() const
{
    return {m_sizes->checkedId(), m_imprint->isChecked(), m_dpis->checkedId()};
}

}  // namespace measure
