#include "export_rows.h"

#include "measurement.h"
#include "shape.h"
#include "shape_list.h"

namespace measure {

namespace {

enum Column { Name = ColName, Angle = ColAngle, Unit = ColUnit };

// The rows of the shapes in list order, numbered per kind; a slot lists no
// circle to circle and keeps three decimals for its four points angle.
std::vector<ExportMeasurement> measurementsOf(std::span<const std::unique_ptr<CShape>> shapes, const MeasureState& settings,
                                              bool slot)
{
    std::vector<ExportMeasurement> out;
    KindCounter counter;
    for (size_t i = 0; i < shapes.size(); ++i) {
        const CShape& s = *shapes[i];
        if (!namePrefix(s.kind) || (slot && s.kind == KindTCircle))
            continue;
        ExportMeasurement m;
        m.kind = s.kind;
        m.source = int(i);
        m.name = measurementName(s.kind, counter.next(s.kind));
        const Readings r = readingsOf(s.kind, s.measured(), unitsPerPixel(settings));
        m.value = r.value;
        m.filled = r.filled;
        if (slot && s.kind == KindFAngle)
            m.angleDecimals = 3;
        out.push_back(m);
    }
    return out;
}

}  // namespace

QStringList exportHeader()
{
    return {QStringLiteral("Name"),      QStringLiteral("Length"),   QStringLiteral("Radius1"),
            QStringLiteral("Radius2"),   QStringLiteral("Diameter"), QStringLiteral("Angle"),
            QStringLiteral("Perimeter"), QStringLiteral("Area"),     QStringLiteral("Unit")};
}

std::vector<ExportMeasurement> pictureMeasurements(const ShapeList& shapes, const MeasureState& settings)
{
    return measurementsOf(shapes.all(), settings, false);
}

std::vector<ExportMeasurement> slotMeasurements(const std::vector<std::unique_ptr<CShape>>& records, const MeasureState& settings)
{
    return measurementsOf(records, settings, true);
}

namespace {

// -1 for the name, the unit and a column the kind leaves empty.
int valueDecimals(const ExportMeasurement& m, int column, int decimals, int angleDecimals)
{
    if (column == Name || column == Unit || column < 0 || column >= kExportColumns || !m.filled[size_t(column)])
        return -1;
    return column == Angle ? angleDecimals : decimals;
}

QString cellText(const ExportMeasurement& m, int column, const MeasureState& settings, int decimals, int angleDecimals)
{
    if (column == Name)
        return m.name;
    if (column == Unit)
        return settings.unit;
    const int shown = valueDecimals(m, column, decimals, angleDecimals);
    return shown < 0 ? QString() : QString::number(m.value[size_t(column)], 'f', shown);
}

}  // namespace

QString workbookCell(const ExportMeasurement& m, int column, const MeasureState& settings)
{
    return cellText(m, column, settings, 3, m.angleDecimals);
}

int workbookDecimals(const ExportMeasurement& m, int column)
{
    return valueDecimals(m, column, 3, m.angleDecimals);
}

QString listCell(const ExportMeasurement& m, int column, const MeasureState& settings)
{
    return cellText(m, column, settings, settings.decimals, settings.decimals);
}

}  // namespace measure
