#include "CWindowsDlg.h"

#include "base/text_lookup.h"

#include <QDialogButtonBox>
#include <QListWidget>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QPushButton>
#include <QVBoxLayout>

namespace shell {

CWindowsDlg::CWindowsDlg(QMdiArea* area, QWidget* parent) : QDialog(parent), m_area(area), m_list(new QListWidget)
{
    setObjectName(QStringLiteral("CWindowsDlg"));
    setWindowTitle(base::uiText("OpenWindows", "Open windows"));
    m_list->setSelectionMode(QAbstractItemView::ExtendedSelection);

    auto* box = new QDialogButtonBox(QDialogButtonBox::Close);
    QPushButton* activate = box->addButton(QStringLiteral("&Activate"), QDialogButtonBox::ActionRole);
    QPushButton* closeWindows = box->addButton(base::uiText("CloseWindows", "Close &Window(s)"), QDialogButtonBox::ActionRole);
    connect(activate, &QPushButton::clicked, this, &CWindowsDlg::activateSelected);
    connect(closeWindows, &QPushButton::clicked, this, &CWindowsDlg::closeSelected);
    connect(m_list, &QListWidget::itemDoubleClicked, this, &CWindowsDlg::activateSelected);
    connect(box, &QDialogButtonBox::rejected, this, &QDialog::reject);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_list);
    layout->addWidget(box);
    resize(420, 300);
    fill();
}

void CWindowsDlg::fill()
{
    m_list->clear();
    for (QMdiSubWindow* w : m_area->subWindowList(QMdiArea::StackingOrder)) {
        auto* item = new QListWidgetItem(w->windowIcon(), w->windowTitle(), m_list);
        item->setData(Qt::UserRole, QVariant::fromValue(static_cast<QObject*>(w)));
        if (w == m_area->activeSubWindow())
            m_list->setCurrentItem(item);
    }
}

void CWindowsDlg::activateSelected()
{
    const QList<QListWidgetItem*> items = m_list->selectedItems();
    if (items.isEmpty())
        return;
    if (auto* w = qobject_cast<QMdiSubWindow*>(items.first()->data(Qt::UserRole).value<QObject*>())) {
        m_area->setActiveSubWindow(w);
        accept();
    }
}

void CWindowsDlg::closeSelected()
{
    for (QListWidgetItem* item : m_list->selectedItems()) {
        if (auto* w = qobject_cast<QMdiSubWindow*>(item->data(Qt::UserRole).value<QObject*>()))
            w->close();
    }
    fill();
}

}  // namespace shell
