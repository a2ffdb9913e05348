// The thumbnail list's context menu: open, save a copy, delete to the trash
// and print, acting on the pending file or on the files chosen with Ctrl.
#include "CThumbnailsFormViewView.h"

#include "files/core/thumbnail_save.h"
#include "files/core/trash.h"

#include "base/app_paths.h"
#include "base/text_lookup.h"
#include "measure/ui/CExportOptionDlg.h"
#include "picture/core/sidecar_name.h"
#include "picture/ui/PicturePrinting.h"
#include "picture/ui/SaveTypeDialog.h"
#include "platform/desktop_open.h"
#include "platform/message_dialogs.h"

#include <QContextMenuEvent>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QImageReader>
#include <QMenu>
#include <QMetaMethod>

namespace files {

namespace {

QString askTarget(QWidget* parent, const QStringList& types, const QString& chosen, const QString& suggested)
{
    return picture::askSavePath(parent, base::uiText("Save", "Save"), suggested, types, chosen);
}

bool askOptions(QWidget* parent, QSize pictureSize, measure::PictureOptions& options)
{
    measure::CExportOptionDlg dialog(pictureSize, options, parent);
    if (dialog.exec() != QDialog::Accepted)
        return false;
    options = dialog.options();
    return true;
}

// A file no trash takes is deleted for good only when the user agrees.
bool trashOrAsk(const QString& picturePath)
{
    const TrashResult result = moveShownFileToTrash(picturePath);
    if (result != TrashResult::NoTrash)
        return true;
    const QString text =
        base::uiText("NoTrashFile", "There is no trash for %1. Delete it for good?").arg(QFileInfo(picturePath).fileName());
    if (!platform::messageDialogs().confirm(text))
        return false;
    const QString clip = clipOfPicture(picturePath);
    if (!clip.isEmpty() && QFileInfo::exists(clip))
        deleteForGood(clip);
    if (!deleteForGood(picturePath))
        return false;
    QFile::remove(picture::sidecarPath(picturePath));
    return true;
}

}  // namespace

bool CThumbnailsFormViewView::commandEnabled(Command command) const
{
    const bool chosen = !m_model.chosen().isEmpty();
    switch (command) {
    case OpenCommand: return !chosen;
    case SaveCommand:
    case DeleteCommand: return true;
    case PrintCommand: return !chosen && clipOfPicture(m_pending).isEmpty();
    }
    return false;
}

void CThumbnailsFormViewView::runCommand(Command command)
{
    if (!commandEnabled(command))
        return;
    switch (command) {
    case OpenCommand: openPending(); return;
    case SaveCommand: savePending(); return;
    case DeleteCommand: deletePending(); return;
    case PrintCommand: printPending(); return;
    }
}

void CThumbnailsFormViewView::contextMenuEvent(QContextMenuEvent* event)
{
    QMenu menu(this);
    const auto add = [&](Command command, const char* key, const char* text) {
        QAction* action = menu.addAction(base::uiText(key, text));
        action->setEnabled(commandEnabled(command));
        connect(action, &QAction::triggered, this, [this, command] { runCommand(command); });
    };
    add(OpenCommand, "Open", "Open...");
    add(SaveCommand, "Save", "Save");
    add(DeleteCommand, "Delete", "Delete");
    add(PrintCommand, "Print", "Print");
    menu.exec(event->globalPos());
}

// A picture opens in a picture window; a clip's picture plays its clip.
// With nothing pending the user picks a picture.
void CThumbnailsFormViewView::openPending()
{
    if (!m_model.chosen().isEmpty())
        return;
    if (m_pending.isEmpty()) {
        const QString path = QFileDialog::getOpenFileName(this, base::uiText("OpenImageFile", "Open image file"), m_folder,
                                                          QStringLiteral("JPG files (*.jpg *.jpeg);;BMP files (*.bmp)"));
        if (!path.isEmpty())
            Q_EMIT openPictureRequested(path);
        return;
    }
    if (!QFileInfo::exists(m_pending))
        return;
    const QString clip = clipOfPicture(m_pending);
    if (clip.isEmpty()) {
        Q_EMIT openPictureRequested(std::exchange(m_pending, QString()));
        return;
    }
    if (isSignalConnected(QMetaMethod::fromSignal(&CThumbnailsFormViewView::openClipRequested)))
        Q_EMIT openClipRequested(clip);
    else
        openClipWithDesktop(clip);
}

void CThumbnailsFormViewView::openClipWithDesktop(const QString& clip)
{
    platform::desktopOpener().openOrReport(
        clip, [clip](const QString& reason) { platform::messageDialogs().inform(base::openFailedText(clip, reason)); });
}

// Saves copies: a clip's picture saves its clip; one picture is saved in the
// format chosen with the export options; chosen files are copied into the
// chosen folder under their own names.
void CThumbnailsFormViewView::savePending()
{
    if (m_pending.isEmpty())
        return;
    const auto target = m_questions.target ? m_questions.target : askTarget;
    const auto options = m_questions.options ? m_questions.options : askOptions;
    const QStringList chosen = m_model.chosen();
    const QString clip = clipOfPicture(m_pending);
    QStringList notCopied;
    if (!clip.isEmpty()) {
        const QString aviFiles = QStringLiteral("AVI Files (*.avi *.AVI)");
        const QString to = target(this, {aviFiles}, aviFiles,
                                  QDir(m_paths.currentVideoFolder()).filePath(QFileInfo(clip).fileName()));
        if (to.isEmpty())
            return;
        if (chosen.isEmpty()) {
            if (!copyFileReplacing(clip, to))
                notCopied.append(QFileInfo(clip).fileName());
        } else {
            QStringList clips;
            for (const QString& path : chosen) {
                if (const QString c = clipOfPicture(path); !c.isEmpty())
                    clips.append(c);
            }
            notCopied = copyInto(clips, QFileInfo(to).absolutePath());
        }
    } else {
        const QStringList types = picture::pictureSaveTypes();
        const QString to = target(this, types, types.constFirst(),
                                  QDir(m_paths.currentPictureFolder()).filePath(QFileInfo(m_pending).completeBaseName()));
        if (to.isEmpty())
            return;
        if (chosen.isEmpty()) {
            if (!options(this, QImageReader(m_pending).size(), m_saveOptions))
                return;
            const QString failure = savePictureCopy(m_pending, to, m_saveOptions.sizeOption, m_saveOptions.dpi);
            if (!failure.isEmpty())
                platform::messageDialogs().inform(base::saveFailedText(to, failure));
        } else {
            notCopied = copyInto(chosen, QFileInfo(to).absolutePath());
        }
    }
    if (!notCopied.isEmpty())
        platform::messageDialogs().inform(
            base::uiText("NotCopied", "These files were not copied (a file of the same name is there already):\n%1")
                .arg(notCopied.join(QLatin1Char('\n'))));
    m_pending.clear();
    m_model.clearChosen();
}

// Moves the pending file, or every chosen one, to the trash with its clip.
void CThumbnailsFormViewView::deletePending()
{
    if (m_pending.isEmpty())
        return;
    const QStringList targets = m_model.chosen().isEmpty() ? QStringList{m_pending} : m_model.chosen();
    m_model.clearChosen();
    for (const QString& path : targets) {
        if (trashOrAsk(path))
            m_model.remove(path);
    }
    m_pending.clear();
    selectionModel()->clearCurrentIndex();
    m_selected = -1;
}

void CThumbnailsFormViewView::printPending()
{
    if (m_pending.isEmpty() || !commandEnabled(PrintCommand))
        return;
    picture::printPictureFile(m_pending, this);
}

}  // namespace files
