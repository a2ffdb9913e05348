// Saved pictures in windows of their own: Ctrl+O, the File menu's recent
// pictures or the command line open one, a picture that is open already
// comes to the top instead of a second window. One that cannot be read is
// told with its path.
#include "CMainFrame.h"

#include "CScoparaApp.h"
#include "CommandRouter.h"

#include "base/command_ids.h"
#include "base/text_lookup.h"
#include "shell/core/recent_files.h"

#include "picture/ui/CScoparaView.h"

#include "platform/message_dialogs.h"

#include <QFileDialog>
#include <QFileInfo>
#include <QMdiArea>
#include <QMdiSubWindow>

namespace shell {

void CMainFrame::createPictureWindows()
{
    if (CDocTemplate* kind = m_app.docTemplates().find(DocKind::Picture))
        kind->setViewFactory([this](const QString& path) -> QWidget* { return picture::CScoparaView::open(path, *this); });
    m_router->handleInFrame(base::cmd::FileOpen, [this] {
        const QString path = QFileDialog::getOpenFileName(this, QString(), m_app.settings().paths.currentPictureFolder(),
                                                          tr("Pictures (*.bmp *.jpg *.jpeg *.BMP *.JPG *.JPEG)"));
        if (!path.isEmpty())
            openPicture(path);
    });
    for (int i = 0; i < kRecentFileCount; ++i) {
        m_router->handleInFrame(kRecentFileFirstCommand + i, [this, i] {
            const QStringList recent = readRecentFiles(m_app.registry());
            if (i < recent.size())
                openPicture(recent[i]);
        });
    }
}

picture::CScoparaView* CMainFrame::openPicture(const QString& path)
{
    const QFileInfo wanted(path);
    for (QMdiSubWindow* w : m_mdiArea->subWindowList()) {
        auto* open = qobject_cast<picture::CScoparaView*>(w->widget());
        if (open && QFileInfo(open->document().path()) == wanted) {
            bringToFront(open);
            return open;
        }
    }
    const CDocTemplate* kind = m_app.docTemplates().find(DocKind::Picture);
    auto* view = kind ? qobject_cast<picture::CScoparaView*>(kind->createView(path)) : nullptr;
    if (!view) {
        forgetRecentFile(m_app.registry(), wanted.absoluteFilePath());
        return nullptr;
    }
    rememberRecentFile(m_app.registry(), wanted.absoluteFilePath());
    showChildFrame(view);
    return view;
}

}  // namespace shell
