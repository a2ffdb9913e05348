#include "export_rows.h"

#include "shape.h"
#include "shape_list.h"
#include "video_shape.h"

namespace measure {

namespace {

constexpr double kPi = 3.1415927;
constexpr double kTwoPi = 6.2831855;

enum Column { Name, Length, Radius1, Radius2, Diameter, Angle, Perimeter, Area, Unit };

const char* prefixOf(int kind)
{
    switch (kind) {
    case KindLine: return "DL";
    case KindContinualLine: return "ML";
    case KindDotLine: return "PL";
    case KindPolygon: return "PG";
    case KindRCircle: return "RC";
    case KindCircle: return "DC";
    case KindTPCircle: return "TC";
    case KindArc: return "AR";
    case KindTAngle: return "TA";
    case KindFAngle: return "FA";
    case KindTCircle: return "CC";
    default: return nullptr;
    }
}

void set(ExportMeasurement& m, int column, double v)
{
    m.value[size_t(column)] = v;
    m.filled[size_t(column)] = true;
}

void circle(ExportMeasurement& m, double radius)
{
    set(m, Radius1, radius);
    set(m, Perimeter, kTwoPi * radius);
    set(m, Area, kPi * radius * radius);
}

// The values of one measurement from its three stored values (pixels or
// degrees). `diameter` is what the diameter circle keeps, already scaled.
ExportMeasurement measurement(int kind, double v1, double v2, double v3, double diameter, double s)
{
    ExportMeasurement m;
    m.kind = kind;
    switch (kind) {
    case KindLine:
    case KindContinualLine:
    case KindDotLine: set(m, Length, v1 * s); break;
    case KindPolygon:
        set(m, Perimeter, v1 * s);
        set(m, Area, v2 * s * s);
        break;
    case KindRCircle:
    case KindTPCircle: circle(m, v1 * s); break;
    case KindCircle:
        set(m, Diameter, diameter);
        set(m, Perimeter, kPi * diameter);
        set(m, Area, diameter * kPi * diameter * 0.25);
        break;
    case KindArc: {
        const double r = v1 * s;
        set(m, Radius1, r);
        set(m, Angle, v2);
        set(m, Perimeter, r * kTwoPi * v2 / 360);
        set(m, Area, r * (r * kPi) * v2 / 360);
        break;
    }
    case KindTAngle:
    case KindFAngle: set(m, Angle, v1); break;
    case KindTCircle:
        set(m, Radius1, v1 * s);
        set(m, Length, v3 * s);
        set(m, Radius2, v2 * s);
        break;
    default: break;
    }
    return m;
}

void number(std::vector<ExportMeasurement>& list)
{
    std::array<int, 14> counters{};
    for (ExportMeasurement& m : list)
        m.name = QLatin1String(prefixOf(m.kind)) + QString::number(counters[size_t(m.kind)]++);
}

}  // namespace

QStringList exportHeader()
{
    return {QStringLiteral("Name"),  QStringLiteral("Length"),    QStringLiteral("Radius1"),
            QStringLiteral("Radius2"), QStringLiteral("Diameter"), QStringLiteral("Angle"),
            QStringLiteral("Perimeter"), QStringLiteral("Area"),  QStringLiteral("Unit")};
}

std::vector<ExportMeasurement> pictureMeasurements(const ShapeList& shapes, const MeasureState& settings)
{
    const double s = settings.scaleLength / settings.scalePixels;
    std::vector<ExportMeasurement> out;
    for (size_t i = 0; i < shapes.size(); ++i) {
        const CShape& shape = shapes.at(i);
        if (!prefixOf(shape.kind))
            continue;
        // A diameter circle keeps its radius.
        ExportMeasurement m = measurement(shape.kind, shape.value1, shape.value2, shape.value3, 2 * shape.value1 * s, s);
        m.source = int(i);
        out.push_back(m);
    }
    number(out);
    return out;
}

std::vector<ExportMeasurement> slotMeasurements(const std::vector<const CVideoShap*>& records, const MeasureState& settings)
{
    const double s = settings.scaleLength / settings.scalePixels;
    std::vector<ExportMeasurement> out;
    for (size_t i = 0; i < records.size(); ++i) {
        const CVideoShap& r = *records[i];
        if (!prefixOf(r.kind) || r.kind == KindTCircle)
            continue;
        // A live diameter circle keeps its diameter.
        ExportMeasurement m = measurement(r.kind, r.value1, r.value2, r.value3, r.value1 * s, s);
        m.source = int(i);
        if (r.kind == KindFAngle)
            m.angleDecimals = 3;
        out.push_back(m);
    }
    number(out);
    return out;
}

namespace {

QString cellText(const ExportMeasurement& m, int column, const MeasureState& settings, int decimals, int angleDecimals)
{
    if (column == Name)
        return m.name;
    if (column == Unit)
        return settings.unit;
    if (column < 0 || column >= kExportColumns || !m.filled[size_t(column)])
        return {};
    return QString::number(m.value[size_t(column)], 'f', column == Angle ? angleDecimals : decimals);
}

}  // namespace

std::vector<ExportMeasurement> slotMeasurements(const std::vector<std::unique_ptr<CVideoShap>>& records, const MeasureState& settings)
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

QString listCell(const ExportMeasurement& m, int column, const MeasureState& settings)
{
    return cellText(m, column, settings, settings.decimals, settings.decimals);
}

int exportPageOf(int kind)
{
    switch (kind) {
    case KindLine:
    case KindContinualLine:
    case KindDotLine: return 0;
    case KindPolygon: return 1;
    case KindRCircle:
    case KindCircle:
    case KindTPCircle:
    case KindTCircle: return 2;
    case KindArc: return 3;
    case KindTAngle:
    case KindFAngle: return 4;
    default: return -1;
    }
}

}  // namespace measure
