#pragma once

#include <array>
#include <span>

namespace measure {

// Measurement kinds, as the tools number them.
enum ShapeKind : int {
    KindLine = 1,
    KindContinualLine = 2,
    KindDotLine = 3,
    KindPolygon = 4,
    KindRCircle = 5,
    KindCircle = 6,
    KindTPCircle = 7,
    KindArc = 8,
    KindTAngle = 9,
    KindFAngle = 10,
    KindTCircle = 11,
    KindText = 13,
};

// Tool codes of the measuring tools.
enum ToolCode : int {
    ToolNone = 0,
    ToolLine = 108,
    ToolContinualLine = 114,
    ToolDotLine = 118,
    ToolPolygon = 113,
    ToolRCircle = 166,
    ToolCircle = 111,
    ToolTPCircle = 188,
    ToolArc = 112,
    ToolTAngle = 115,
    ToolFAngle = 116,
    ToolTCircle = 119,
    ToolText = 121,
};

// Which label line a show flag governs (selector - 2 of the show-flag toggle).
enum ShowFlag : int { ShowName, ShowLength, ShowRadius, ShowDiameter, ShowCircumference, ShowArea, ShowAngle, ShowUnit };
using ShowFlags = std::array<int, 8>;

// The columns of a measurement's readings, as the workbook orders them.
enum ReadingColumn : int { ColName, ColLength, ColRadius1, ColRadius2, ColDiameter, ColAngle, ColPerimeter, ColArea, ColUnit };
constexpr int kReadingColumns = 9;

// What a label number is: it decides what follows it.
enum class Quantity { Length, Area, Angle };

// One label line: its row, the show flag that governs it, its prefix and
// the reading it prints.
struct LabelLine {
    int row;
    ShowFlag flag;
    const char* prefix;
    ReadingColumn column;
    Quantity quantity;
};

// What value 1 to 3 of a record hold, from its measured values.
enum class Kept { None, Length, Radius, Radius2, Diameter, Angle, Perimeter, Area };
using KeptMeanings = std::array<Kept, 3>;

// When the clicks of a tool make a shape.
enum class Distinct {
    Unchecked,   // the polyline and polygon
    FirstTwo,    // p1 differs from p0
    FirstThree,  // p0, p1, p2 all differ
    FirstFour,   // p0 to p3 all differ
    TwoPairs,    // p1 differs from p0, p3 from p2
};

// Everything that differs between the kinds but their formulas and figures.
struct KindInfo {
    int kind;
    int tool;
    int slots;           // the clicks that place it, its label anchor last (text: one point and the text box)
    unsigned follows;    // bit n: after n clicks the point under the mouse goes into slot n
    bool refusesRepeat;  // a click on an earlier point is not taken
    Distinct distinct;   // checked when the last click is released
    const char* prefix;  // the name without its number; null for text
    std::span<const LabelLine> labels;
    KeptMeanings kept;      // value 1 to 3 of a picture's shape
    KeptMeanings liveKept;  // value 1 to 3 of a live record
    int exportPage;         // the export dialog's page: lines, polygons, circles, arcs, angles; -1 none
};

// The row of a kind; null for no kind.
const KindInfo* kindInfo(int kind);
// The row of the kind a tool places; null for no tool.
const KindInfo* toolInfo(int toolCode);

// The shape kind a tool places; 0 for no tool.
int kindOfTool(int toolCode);
// The tool that places a kind; ToolNone for none.
int toolOfKind(int kind);
// The vertices of a kind, in click order, without the label anchor: the
// polyline and polygon take as many as were placed (at most ten).
int vertexCount(int kind);
// The slot of a kind's label anchor; -1 for kinds without one.
int labelSlot(int kind);
// "DL", "ML", ... the name of a kind without its number; null for text.
const char* namePrefix(int kind);
// Whether a kind has a label line that `flag` governs.
bool showsLine(int kind, ShowFlag flag);
// Which of the export dialog's five pages lists a kind: 0 lines, 1 polygons,
// 2 circles, 3 arcs, 4 angles; -1 for none.
int exportPageOf(int kind);

}  // namespace measure
