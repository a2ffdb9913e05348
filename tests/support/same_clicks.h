#pragma once

// The clicks of each of the twelve measuring tools, and how the results of
// a picture window and of a live window are compared: the tests that measure
// the same points in both kinds of window share them.
#include "measure/core/export_rows.h"
#include "measure/core/measure_state.h"
#include "measure/core/measurement.h"
#include "measure/core/shapes.h"
#include "measure/core/video_shape.h"

#include <QPoint>
#include <QStringList>

#include <vector>

namespace testing_support {

// Picture points of each tool's clicks, the last one the label anchor.
struct ToolClicks {
    const char* name;
    int tool;
    std::vector<QPoint> points;
    bool rightClickBeforeLast = false;  // polyline and polygon end at a right click on their last vertex
};

inline std::vector<ToolClicks> everyTool()
{
    using namespace measure;
    return {
        {"line", ToolLine, {{20, 30}, {170, 110}, {60, 150}}},
        {"polyline", ToolContinualLine, {{20, 30}, {90, 40}, {130, 120}, {160, 150}}, true},
        {"point to line", ToolDotLine, {{40, 90}, {10, 20}, {190, 35}, {150, 150}}},
        {"polygon", ToolPolygon, {{20, 30}, {170, 40}, {120, 150}, {40, 120}, {90, 90}}, true},
        {"radius circle", ToolRCircle, {{100, 80}, {137, 111}, {160, 150}}},
        {"diameter circle", ToolCircle, {{60, 70}, {141, 97}, {160, 150}}},
        {"three points circle", ToolTPCircle, {{70, 80}, {100, 43}, {133, 91}, {150, 150}}},
        // Ends (100, 40) and (60, 80) around (100, 80) through (140, 80): three quarters of a turn.
        {"arc", ToolArc, {{100, 40}, {60, 80}, {140, 80}, {170, 20}}},
        {"three points angle", ToolTAngle, {{150, 60}, {70, 20}, {40, 130}, {150, 150}}},
        {"four points angle", ToolFAngle, {{10, 20}, {180, 50}, {30, 140}, {170, 90}, {150, 150}}},
        {"circle to circle", ToolTCircle, {{20, 40}, {60, 52}, {110, 90}, {170, 130}, {100, 20}}},
        {"text", ToolText, {{40, 60}, {150, 150}}},
    };
}

// Label rows as "row, shown or not, text".
inline QStringList labelTexts(const std::vector<measure::LabelRow>& rows)
{
    QStringList out;
    for (const measure::LabelRow& r : rows)
        out << QString::number(r.row) + (r.shown ? QStringLiteral("+") : QStringLiteral("-")) + r.text;
    return out;
}

// The label rows of a live record that is the first of its kind on the picture.
inline std::vector<measure::LabelRow> recordLabels(const measure::CVideoShap& record, const measure::MeasureState& settings)
{
    return measure::labelRows(record.kind, 0,
                              measure::readingsOf(record.kind, record.measured(), measure::unitsPerPixel(settings)), record.show,
                              settings);
}

// Every cell of the rows, as the workbook writes them.
inline QStringList workbookCells(const std::vector<measure::ExportMeasurement>& rows, const measure::MeasureState& settings)
{
    QStringList out;
    for (const measure::ExportMeasurement& m : rows) {
        for (int c = 0; c < measure::kExportColumns; ++c)
            out << measure::workbookCell(m, c, settings);
    }
    return out;
}

// How the workbook rows of one measurement made with `tool` differ between a
// picture and a live slot; empty when they agree. A slot leaves circle to
// circle out, and its four points angle keeps three decimals.
inline QString workbookDifference(int tool, const std::vector<measure::ExportMeasurement>& picture,
                                  const std::vector<measure::ExportMeasurement>& live, const measure::MeasureState& settings)
{
    if (tool == measure::ToolTCircle)
        return live.empty() ? QString() : QStringLiteral("a slot's workbook lists circle to circle");
    if (picture.size() != 1 || live.size() != 1)
        return QStringLiteral("%1 picture rows, %2 live rows").arg(picture.size()).arg(live.size());
    if (tool == measure::ToolFAngle) {
        const double p = picture[0].value[measure::ColAngle];
        const double l = live[0].value[measure::ColAngle];
        return p == l ? QString() : QStringLiteral("angle %1 on the picture, %2 live").arg(p, 0, 'g', 17).arg(l, 0, 'g', 17);
    }
    const QStringList p = workbookCells(picture, settings);
    const QStringList l = workbookCells(live, settings);
    return p == l ? QString() : QStringLiteral("picture [%1], live [%2]").arg(p.join(QLatin1Char('|')), l.join(QLatin1Char('|')));
}

}  // namespace testing_support
