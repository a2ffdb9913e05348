#pragma once

#include "ExportSource.h"

#include <QDialog>

class QTabWidget;
class QTableWidget;
class QTableWidgetItem;

namespace measure {

struct MeasureState;

// The measurements of a picture or a live slot on five pages (lines,
// polygons, circles, arcs, angles): shown or hidden one by one, label lines
// switched for all, all deleted, or exported to a workbook.
class CExportExcelDlg : public QDialog {
    Q_OBJECT
public:
    CExportExcelDlg(ExportSource& source, const MeasureState& settings, QWidget* parent = nullptr);

    QTabWidget* pages() const { return m_tabs; }
    QTableWidget* page(int index) const;
    // Lists the current page again from the source.
    void refresh();

private:
    void rowChecked(QTableWidgetItem* item);
    void exportClicked();
    void deleteChosen();

    ExportSource& m_source;
    const MeasureState& m_settings;
    QTabWidget* m_tabs;
    std::vector<ExportMeasurement> m_listed;
    bool m_filling = false;
};

}  // namespace measure
