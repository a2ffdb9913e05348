#include "WorkbookExport.h"

#include "measure/core/measurement_workbook.h"

#include "base/text_lookup.h"

#include "platform/desktop_open.h"
#include "platform/message_dialogs.h"

namespace measure {

bool writeAndOpenWorkbook(const QString& saveRoot, const std::vector<ExportMeasurement>& measurements,
                          const MeasureState& settings, const QString& picturePath,
                          const std::function<void(const QString&)>& statusShown)
{
    const QString book = workbookPath(saveRoot);
    // A workbook that cannot be written (open in the spreadsheet program,
    // say) is said, not passed over in silence.
    if (const QString failure = writeMeasurementWorkbook(book, measurements, settings, picturePath); !failure.isEmpty()) {
        platform::messageDialogs().inform(base::saveFailedText(book, failure));
        return false;
    }
    if (statusShown)
        statusShown(base::fileStatusText("WorkbookSaved", "Workbook saved: %1 in %2", book));
    platform::desktopOpener().openOrReport(book, [book](const QString& reason) {
        QString text = base::uiText("WorkbookNotOpened", "The workbook was saved, but no program could open it. It is here:")
            + QLatin1Char('\n') + book;
        if (!reason.isEmpty())
            text += QLatin1Char('\n') + reason;
        platform::messageDialogs().inform(text);
    });
    return true;
}

}  // namespace measure
