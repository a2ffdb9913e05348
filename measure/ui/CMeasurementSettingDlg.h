#pragma once

#include <QDialog>

class QComboBox;
class QLabel;
class QTreeWidget;

namespace measure {

class ColorPickerButton;
class MeasurePreview;
struct MeasureState;

// "Measure Property": colour, unit, label font size, decimals and line width
// of the measurements, in a property list with a preview. Every change takes
// effect at once on all views; only OK makes the caller store them.
class CMeasurementSettingDlg : public QDialog {
    Q_OBJECT
public:
    // Property identifiers.
    enum Property : int { Colour = 200, Unit = 201, FontSize = 202, Decimals = 203, LineWidth = 204 };

    explicit CMeasurementSettingDlg(MeasureState& state, QWidget* parent = nullptr);

    QTreeWidget* grid() const { return m_grid; }
    ColorPickerButton* colourButton() const { return m_colour; }
    QComboBox* list(Property id) const;
    MeasurePreview* preview() const { return m_preview; }

Q_SIGNALS:
    // A setting changed (the views repaint).
    void settingChanged(int property);

private:
    QComboBox* addList(Property id, const char* groupKey, const char* groupDefault, const char* key, const char* defaultText,
                       const QStringList& choices, const QString& current);
    void addRow(const char* groupKey, const char* groupDefault, const char* key, const char* defaultText, QWidget* editor);
    void changed(Property id, const QString& text);

    MeasureState& m_state;
    QTreeWidget* m_grid;
    QLabel* m_description;
    ColorPickerButton* m_colour;
    QComboBox* m_lists[5] = {};
    MeasurePreview* m_preview;
};

}  // namespace measure
