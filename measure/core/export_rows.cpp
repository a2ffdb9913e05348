#include "export_rows.h"

#include "measurement.h"
#include "shape.h"
#include "shape_list.h"
#include "video_shape.h"

namespace measure {

namespace {

enum Column { Name = ColName, Angle = ColAngle, Unit = ColUnit };

ExportMeasurement measurement(int kind, const MeasuredValues& values, const MeasureState& settings)
{
    ExportMeasurement m;
    m.kind = kind;
    const Readings r = readingsOf(kind, values, unitsPerPixel(settings));
    m.value = r.value;
    m.filled = r.filled;
    return m;
}

void number(std::vector<ExportMeasurement>& list)
{
    KindCounter counter;
    for (ExportMeasurement& m : list)
        m.name = measurementName(m.kind, counter.next(m.kind));
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
    std::vector<ExportMeasurement> out;
    for (size_t i = 0; i < shapes.size(); ++i) {
        const CShape& shape = shapes.at(i);
        if (!namePrefix(shape.kind))
            continue;
        ExportMeasurement m = measurement(shape.kind, shape.measured(), settings);
        m.source = int(i);
        out.push_back(m);
    }
    number(out);
    return out;
}

std::vector<ExportMeasurement> slotMeasurements(const std::vector<const CVideoShap*>& records, const MeasureState& settings)
{
    std::vector<ExportMeasurement> out;
    for (size_t i = 0; i < records.size(); ++i) {
        const CVideoShap& r = *records[i];
        if (!namePrefix(r.kind) || r.kind == KindTCircle)
            continue;
        ExportMeasurement m = measurement(r.kind, r.measured(), settings);
        m.source = int(i);
        if (r.kind == KindFAngle)
            m.angleDecimals = 3;
        out.push_back(m);
    }
    number(out);
    return out;
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

std::vector<ExportMeasurement> slotMeasurements(const std::vector<std::unique_ptr<CVideoShap>>& records,
                                                const MeasureState& settings)
{
    std::vector<const CVideoShap*> pointers;
    for (const auto& r : records)
        pointers.push_back(r.get());
    return slotMeasurements(pointers, settings);
}

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
