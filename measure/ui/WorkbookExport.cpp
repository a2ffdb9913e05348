#include "WorkbookExport.h"

#include "measure/core/measurement_workbook.h"

#include "base/text_lookup.h"

#include "platform/desktop_open.h"
#include "platform/message_dialogs.h"

namespace measure {

bool writeAndOpenWorkbook(const QString& saveRoot, const std::vector<ExportMeasurement>& measurements,
                          const MeasureState& settings, const QString& picturePath)
{
    const QString book = workbookPath(saveRoot);
    // A workbook that cannot be written (open in the spreadsheet program,
    // say) is said, not passed over in silence.
    if (const QString failure = writeMeasurementWorkbook(book, measurements, settings, picturePath); !failure.isEmpty()) {
        platform::messageDialogs().inform(base::saveFailedText(book, failure));
        return false;
    }
    platform::desktopOpener().open(book);
    return true;
}

}  // namespace measure
