// The one table of the measurement kinds.
#include "kind_table.h"

namespace measure {

namespace {

constexpr LabelLine kLength{1, ShowLength, "L:", ColLength, Quantity::Length};
constexpr LabelLine kRadius{1, ShowRadius, "R:", ColRadius1, Quantity::Length};
constexpr LabelLine kLengthRows[] = {kLength};
constexpr LabelLine kAngleRows[] = {{1, ShowAngle, "<:", ColAngle, Quantity::Angle}};
constexpr LabelLine kPolygonRows[] = {{1, ShowCircumference, "C:", ColPerimeter, Quantity::Length},
                                      {2, ShowArea, "A:", ColArea, Quantity::Area}};
constexpr LabelLine kRadiusCircleRows[] = {
    kRadius, {2, ShowCircumference, "C:", ColPerimeter, Quantity::Length}, {3, ShowArea, "A:", ColArea, Quantity::Area}};
constexpr LabelLine kDiameterCircleRows[] = {{1, ShowDiameter, "D:", ColDiameter, Quantity::Length},
                                             {2, ShowCircumference, "C:", ColPerimeter, Quantity::Length},
                                             {3, ShowArea, "A:", ColArea, Quantity::Area}};
constexpr LabelLine kArcRows[] = {kRadius,
                                  {2, ShowAngle, "<:", ColAngle, Quantity::Angle},
                                  {3, ShowCircumference, "C:", ColPerimeter, Quantity::Length},
                                  {4, ShowArea, "A:", ColArea, Quantity::Area}};
// The second radius shows together with the first.
constexpr LabelLine kCircleToCircleRows[] = {
    kRadius, {2, ShowLength, "L:", ColLength, Quantity::Length}, {3, ShowRadius, "R:", ColRadius2, Quantity::Length}};

constexpr unsigned kAfterOne = 1u << 1;
constexpr unsigned kAfterOneOrTwo = 1u << 1 | 1u << 2;
constexpr unsigned kWhileVertices = 0x3FEu;  // after 1 to 9 clicks
constexpr unsigned kAfterOneOrThree = 1u << 1 | 1u << 3;
constexpr unsigned kAfterTwo = 1u << 2;

using enum Kept;
using enum Distinct;
// clang-format off
constexpr KindInfo kKinds[] = {
    // kind             tool               slots follows         repeat distinct  name  label lines          kept                       live kept          page
    {KindLine,          ToolLine,          3,  kAfterOne,        false, FirstTwo,   "DL", kLengthRows,         {Length},                  {Length},          0},
    {KindContinualLine, ToolContinualLine, 11, kWhileVertices,   false, Unchecked,  "ML", kLengthRows,         {Length},                  {Length},          0},
    {KindDotLine,       ToolDotLine,       4,  kAfterOneOrTwo,   true,  FirstThree, "PL", kLengthRows,         {Length},                  {Length},          0},
    {KindPolygon,       ToolPolygon,       11, kWhileVertices,   false, Unchecked,  "PG", kPolygonRows,        {Perimeter, Area},         {Perimeter, Area}, 1},
    {KindRCircle,       ToolRCircle,       3,  kAfterOne,        false, FirstTwo,   "RC", kRadiusCircleRows,   {Radius},                  {Radius},          2},
    {KindCircle,        ToolCircle,        3,  kAfterOne,        false, FirstTwo,   "DC", kDiameterCircleRows, {Radius},                  {Diameter},        2},
    {KindTPCircle,      ToolTPCircle,      4,  kAfterTwo,        false, FirstThree, "TC", kRadiusCircleRows,   {Radius},                  {Radius},          2},
    {KindArc,           ToolArc,           4,  kAfterOneOrTwo,   true,  FirstThree, "AR", kArcRows,            {Radius, Angle},           {Radius, Angle},   3},
    {KindTAngle,        ToolTAngle,        4,  kAfterOneOrTwo,   true,  FirstThree, "TA", kAngleRows,          {Angle},                   {Angle},           4},
    {KindFAngle,        ToolFAngle,        5,  kAfterOneOrThree, false, FirstFour,  "FA", kAngleRows,          {Angle},                   {Angle},           4},
    {KindTCircle,       ToolTCircle,       5,  kAfterOneOrThree, false, TwoPairs,   "CC", kCircleToCircleRows, {Radius, Radius2, Length}, {Length},          2},
    {KindText,          ToolText,          2,  0,                false, Unchecked,  nullptr, {},               {},                        {},                -1},
};
// clang-format on

}  // namespace

const KindInfo* kindInfo(int kind)
{
    for (const KindInfo& k : kKinds) {
        if (k.kind == kind)
            return &k;
    }
    return nullptr;
}

const KindInfo* toolInfo(int toolCode)
{
    for (const KindInfo& k : kKinds) {
        if (k.tool == toolCode)
            return &k;
    }
    return nullptr;
}

int kindOfTool(int toolCode)
{
    const KindInfo* k = toolInfo(toolCode);
    return k ? k->kind : 0;
}

int toolOfKind(int kind)
{
    const KindInfo* k = kindInfo(kind);
    return k ? k->tool : ToolNone;
}

int vertexCount(int kind)
{
    const KindInfo* k = kindInfo(kind);
    return k ? k->slots - 1 : 0;
}

int labelSlot(int kind)
{
    const KindInfo* k = kindInfo(kind);
    return k && k->prefix ? k->slots - 1 : -1;
}

const char* namePrefix(int kind)
{
    const KindInfo* k = kindInfo(kind);
    return k ? k->prefix : nullptr;
}

bool showsLine(int kind, ShowFlag flag)
{
    const KindInfo* k = kindInfo(kind);
    if (!k)
        return false;
    for (const LabelLine& line : k->labels) {
        if (line.flag == flag)
            return true;
    }
    return false;
}

int exportPageOf(int kind)
{
    const KindInfo* k = kindInfo(kind);
    return k ? k->exportPage : -1;
}

}  // namespace measure
