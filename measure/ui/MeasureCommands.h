#pragma once

#include "ExportSource.h"

namespace base {
class ViewHost;
struct CommandState;
}  // namespace base

namespace measure {

struct MeasureState;
class ZoomedImageView;

// A window that measures on a picture: a saved picture's window or a live
// microscope's. What the measuring commands need of it.
class MeasuringWindow {
public:
    virtual ~MeasuringWindow() = default;
    virtual ZoomedImageView& measuringView() = 0;
    virtual base::ViewHost& viewHost() const = 0;
    // The chosen measuring tool (a picture tool code), 0 for none.
    virtual int measuringTool() const = 0;
    virtual void setMeasuringTool(int toolCode) = 0;
    virtual void undoShape() = 0;
    virtual void deleteAllShapes() = 0;
    virtual ExportSource exportSource() = 0;
    // New Calibration: the next line drawn becomes the reference (a saved
    // picture refuses it).
    virtual void newCalibration() = 0;
    // What this window measures with: the program's calibration, or a
    // picture's own.
    virtual MeasureState& measureState();
};

// The commands the picture and live windows answer alike: the measuring
// tools, Undo, Delete All, Export and the calibration button with its menu.
bool isMeasureCommand(int id);
void updateMeasureCommand(const MeasuringWindow& window, int id, base::CommandState& state);
void runMeasureCommand(MeasuringWindow& window, int id);

}  // namespace measure
