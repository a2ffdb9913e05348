#include "CPropertiesToolBar.h"

#include "base/command_ids.h"
#include "base/text_lookup.h"

#include <QAction>
#include <QIcon>

namespace files {

namespace {

struct PaneButton {
    int id;
    const char* key;
    const char* defaultText;
    const char* icon;
};

constexpr PaneButton kButtons[] = {
    {base::cmd::ShowPictures, "ShowPictures", "Pictures", "show-pictures"},
    {base::cmd::ShowVideos, "ShowVideos", "Videos", "show-videos"},
    {base::cmd::OpenFolderInFileManager, "OpenInFileManager", "Open the folder in the file manager", "open-folder"},
    {base::cmd::SortFolders, "SortFolders", "Sort the folders", "sort-folders"},
};

}  // namespace

CPropertiesToolBar::CPropertiesToolBar(QWidget* parent) : QToolBar(parent)
{
    setObjectName(QStringLiteral("CPropertiesToolBar"));
    setIconSize(QSize(16, 16));
    setMovable(false);
    setFloatable(false);
    for (const PaneButton& b : kButtons) {
        QAction* a = addAction(QIcon(QStringLiteral(":/icons/%1.svg").arg(QLatin1String(b.icon))), QString());
        a->setData(b.id);
        connect(a, &QAction::triggered, this, [this, id = b.id] { Q_EMIT commandTriggered(id); });
    }
    relabel();
}

QAction* CPropertiesToolBar::action(int id) const
{
    for (QAction* a : actions()) {
        if (a->data().toInt() == id)
            return a;
    }
    return nullptr;
}

void CPropertiesToolBar::relabel()
{
    for (const PaneButton& b : kButtons) {
        const QString text = base::uiText(b.key, b.defaultText);
        action(b.id)->setText(text);
        action(b.id)->setToolTip(text);
    }
}

}  // namespace files
