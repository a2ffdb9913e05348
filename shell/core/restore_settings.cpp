#include "restore_settings.h"

#include "base/registry_settings.h"

#include "platform/message_dialogs.h"

#include <QDir>
#include <QFile>

namespace shell {

void restoreSettings(platform::Registry& registry, const QString& calibrationFolder, const QString& rebootText)
{
    registry.deleteTree(base::kAppRootKey);
    const QDir dir(calibrationFolder);
    for (const QString& name : dir.entryList(QDir::Files | QDir::Hidden | QDir::System))
        QFile::remove(dir.filePath(name));
    platform::messageDialogs().inform(rebootText);
}

}  // namespace shell
