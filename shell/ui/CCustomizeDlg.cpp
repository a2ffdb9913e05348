#include "CCustomizeDlg.h"

#include "base/text_lookup.h"

#include "CommandRouter.h"
#include "UserToolbars.h"

#include <QAction>
#include <QDialogButtonBox>
#include <QGridLayout>
#include <QInputDialog>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

namespace shell {

CCustomizeDlg::CCustomizeDlg(UserToolbars& toolbars, CommandRouter& router, const QList<int>& commands, QWidget* parent)
    : QDialog(parent), m_userToolbars(toolbars), m_toolbars(new QListWidget), m_commands(new QListWidget)
{
    setObjectName(QStringLiteral("CCustomizeDlg"));
    setWindowTitle(base::uiText("CustomizeTitle", "Customize"));

    for (int id : commands) {
        QAction* a = router.action(id);
        auto* item = new QListWidgetItem(a->icon(), a->toolTip(), m_commands);
        item->setData(Qt::UserRole, id);
        item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsUserCheckable);
        item->setCheckState(Qt::Unchecked);
    }

    auto* newButton = new QPushButton(QStringLiteral("&New..."));
    auto* renameButton = new QPushButton(QStringLiteral("&Rename..."));
    auto* deleteButton = new QPushButton(QStringLiteral("&Delete"));
    connect(newButton, &QPushButton::clicked, this, [this] {
        bool ok = false;
        const QString name = QInputDialog::getText(
            this, windowTitle(), base::uiText("ToolbarName", "Toolbar name:"), QLineEdit::Normal,
            base::uiText("CustomToolbar", "Custom %1").arg(m_userToolbars.ids().size() + 1), &ok);
        if (ok)
            newToolbar(name);
    });
    connect(renameButton, &QPushButton::clicked, this, [this] {
        bool ok = false;
        const QString name = QInputDialog::getText(this, windowTitle(), base::uiText("ToolbarName", "Toolbar name:"),
                                                   QLineEdit::Normal, m_userToolbars.name(selectedToolbar()), &ok);
        if (ok)
            renameToolbar(name);
    });
    connect(deleteButton, &QPushButton::clicked, this, &CCustomizeDlg::deleteToolbar);
    connect(m_toolbars, &QListWidget::currentRowChanged, this, &CCustomizeDlg::showCommandsOfSelected);
    connect(m_commands, &QListWidget::itemChanged, this, &CCustomizeDlg::commandToggled);

    auto* buttons = new QVBoxLayout;
    buttons->addWidget(newButton);
    buttons->addWidget(renameButton);
    buttons->addWidget(deleteButton);
    buttons->addStretch();

    auto* grid = new QGridLayout;
    grid->addWidget(new QLabel(base::uiText("Toolbars", "Toolbars:")), 0, 0);
    grid->addWidget(new QLabel(base::uiText("ToolbarCommands", "Commands on the toolbar:")), 0, 2);
    grid->addWidget(m_toolbars, 1, 0);
    grid->addLayout(buttons, 1, 1);
    grid->addWidget(m_commands, 1, 2);
    grid->setColumnStretch(0, 1);
    grid->setColumnStretch(2, 1);

    auto* box = new QDialogButtonBox(QDialogButtonBox::Close);
    connect(box, &QDialogButtonBox::rejected, this, &QDialog::accept);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(grid);
    layout->addWidget(box);
    resize(560, 420);
    fillToolbars(0);
}

int CCustomizeDlg::selectedToolbar() const
{
    const QListWidgetItem* item = m_toolbars->currentItem();
    return item ? item->data(Qt::UserRole).toInt() : 0;
}

void CCustomizeDlg::fillToolbars(int select)
{
    m_toolbars->clear();
    for (int id : m_userToolbars.ids()) {
        auto* item = new QListWidgetItem(m_userToolbars.name(id), m_toolbars);
        item->setData(Qt::UserRole, id);
        if (id == select)
            m_toolbars->setCurrentItem(item);
    }
    if (!m_toolbars->currentItem() && m_toolbars->count() > 0)
        m_toolbars->setCurrentRow(0);
    showCommandsOfSelected();
}

void CCustomizeDlg::showCommandsOfSelected()
{
    const int id = selectedToolbar();
    const QList<int> on = m_userToolbars.commands(id);
    m_filling = true;
    for (int i = 0; i < m_commands->count(); ++i) {
        QListWidgetItem* item = m_commands->item(i);
        item->setCheckState(on.contains(item->data(Qt::UserRole).toInt()) ? Qt::Checked : Qt::Unchecked);
        item->setFlags(id ? (Qt::ItemIsEnabled | Qt::ItemIsUserCheckable) : Qt::ItemIsUserCheckable);
    }
    m_filling = false;
}

void CCustomizeDlg::commandToggled(QListWidgetItem*)
{
    const int id = selectedToolbar();
    if (m_filling || !id)
        return;
    QList<int> on;  // in the order of the command list
    for (int i = 0; i < m_commands->count(); ++i) {
        if (m_commands->item(i)->checkState() == Qt::Checked)
            on.append(m_commands->item(i)->data(Qt::UserRole).toInt());
    }
    m_userToolbars.setCommands(id, on);
}

void CCustomizeDlg::newToolbar(const QString& name)
{
    if (name.trimmed().isEmpty())
        return;
    if (const int id = m_userToolbars.create(name.trimmed()))
        fillToolbars(id);
}

void CCustomizeDlg::renameToolbar(const QString& name)
{
    const int id = selectedToolbar();
    if (!id || name.trimmed().isEmpty())
        return;
    m_userToolbars.rename(id, name.trimmed());
    fillToolbars(id);
}

void CCustomizeDlg::deleteToolbar()
{
    if (const int id = selectedToolbar()) {
        m_userToolbars.remove(id);
        fillToolbars(0);
    }
}

}  // namespace shell
