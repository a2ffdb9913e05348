#include "CFileSizeDlg.h"

#include "CDeviceView.h"
#include "base/view_host.h"

#include "capture/device/live_stream.h"

#include "base/app_settings.h"
#include "base/text_lookup.h"

#include <QComboBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRegularExpressionValidator>

namespace capture {

CFileSizeDlg::CFileSizeDlg(CDeviceView& view, base::ViewHost& host, QWidget* parent) : QDialog(parent), m_view(view), m_host(host)
{
    setObjectName(QStringLiteral("CFileSizeDlg"));
    setWindowTitle(base::uiText("ToolbarHitRecord", "Record"));
    m_time = new QLineEdit(QStringLiteral("10"), this);
    m_time->setObjectName(QStringLiteral("1105"));
    m_time->setValidator(new QRegularExpressionValidator(QRegularExpression(QStringLiteral("[0-9]{0,9}")), m_time));
    m_resolution = new QComboBox(this);
    m_resolution->setObjectName(QStringLiteral("1003"));
    m_ok = new QPushButton(tr("OK"), this);
    m_compress = new QPushButton(base::uiText("Compress", "Compress"), this);
    m_exit = new QPushButton(base::uiText("Exit", "Exit"), this);
    m_ok->setDefault(true);

    const QSize current = view.frameSize();
    // The WiFi camera's size is chosen on the camera, not here.
    if (view.stream().description().settingsKey == 6) {
        m_resolution->addItem(QStringLiteral("%1X%2").arg(current.width()).arg(current.height()));
        m_resolution->setEnabled(false);
    } else {
        const ResolutionTable table = view.stream().GetResolutions();
        int selected = -1;
        for (const ResolutionEntry& r : table) {
            if (r.width <= 0 || r.height <= 0)
                continue;
            const QString text = QStringLiteral("%1X%2").arg(r.width).arg(r.height);
            if (m_resolution->findText(text) >= 0)
                continue;  // a size offered in two formats is one choice
            m_resolution->addItem(text);
            if (QSize(r.width, r.height) == current)
                selected = m_resolution->count() - 1;
        }
        m_resolution->setCurrentIndex(selected >= 0 ? selected : m_resolution->count() - 1);
        connect(m_resolution, &QComboBox::activated, this, &CFileSizeDlg::resolutionChosen);
    }

    auto* grid = new QGridLayout;
    grid->addWidget(new QLabel(base::uiText("RecordTime", "Record Time"), this), 0, 0);
    grid->addWidget(m_time, 0, 1);
    grid->addWidget(new QLabel(base::uiText("Resolution", "Resolution"), this), 1, 0);
    grid->addWidget(m_resolution, 1, 1);
    auto* recommend = new QLabel(base::uiText("Recommend", "Recommend: Select compression method"), this);
    recommend->setObjectName(QStringLiteral("1242"));
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(m_ok);
    buttons->addWidget(m_compress);
    buttons->addWidget(m_exit);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(grid);
    layout->addWidget(recommend);
    layout->addLayout(buttons);

    connect(m_ok, &QPushButton::clicked, this, [this] { finish(0); });
    connect(m_compress, &QPushButton::clicked, this, [this] { finish(1); });
    connect(m_exit, &QPushButton::clicked, this, &QDialog::reject);
}

void CFileSizeDlg::finish(quint32 compression)
{
    m_host.settings().registry.g_szCompessName = compression;
    m_recordTime = m_time->text().toInt();  // empty reads as 0
    accept();
}

void CFileSizeDlg::resolutionChosen(int index)
{
    const QStringList parts = m_resolution->itemText(index).split(QLatin1Char('X'));
    if (parts.size() != 2)
        return;
    m_view.changeResolution(QSize(parts[0].toInt(), parts[1].toInt()));
}

}  // namespace capture
