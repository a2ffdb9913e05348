// The calibration, measurement-settings and pitch dialogs.
#include "measure/core/calibration_profiles.h"
#include "measure/core/measure_state.h"
#include "measure/ui/CCalibrationDlg.h"
#include "measure/ui/CMeasurementSettingDlg.h"
#include "measure/ui/CPitchDlg.h"
#include "measure/ui/CalibrationMenu.h"
#include "measure/ui/ColorPickerButton.h"
#include "measure/ui/MeasurePreview.h"

#include "platform/posted_message.h"

#include "sandbox.h"
#include "scripted_dialogs.h"

#include <QComboBox>
#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPainter>
#include <QPushButton>
#include <QtTest>

using namespace measure;

namespace {

// Stands in for the main window: counts the messages it gets.
class Receiver : public QObject {
public:
    QList<int> numbers;
    QList<qintptr> wParams;

protected:
    void customEvent(QEvent* e) override
    {
        auto* m = static_cast<platform::PostedMessage*>(e);
        numbers.append(m->number());
        wParams.append(m->wParam());
    }
};

QStringList menuTexts(QMenu* menu)
{
    QStringList out;
    for (QAction* a : menu->actions()) {
        if (!a->isSeparator())
            out << a->text();
    }
    return out;
}

}  // namespace

class MeasureDialogsTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void calibrationDialogSavesOnlyCompleteInput()
    {
        testing_support::Sandbox box;
        testing_support::ScriptedDialogs dialogs;
        const QString settings = box.path() + QLatin1String("/Setting");
        MeasureState state;
        Receiver mainWindow;
        CCalibrationDlg dlg(state, settings, &mainWindow);
        QCOMPARE(dlg.magnificationEdit()->text(), QStringLiteral("60.0"));
        QCOMPARE(dlg.unitBox()->currentText(), QStringLiteral("mm"));
        QVERIFY(!dlg.okButton()->isEnabled());

        state.knownLinePixels = 100;  // what the live view measured
        platform::postMessage(&dlg, platform::msg::KnownLineDrawn);
        QCoreApplication::sendPostedEvents(&dlg);
        QVERIFY(dlg.okButton()->isEnabled());

        dlg.nameEdit()->setText(QStringLiteral("10x"));
        dlg.accept();  // no length yet
        QCOMPARE(dialogs.messages, QStringList{QStringLiteral("Incomplete information")});
        QVERIFY(!state.isCalibrated());
        QVERIFY(QDir(settings + QLatin1String("/calibration")).entryList(QDir::Files).isEmpty());

        dlg.lengthEdit()->setText(QStringLiteral("abc"));
        dlg.accept();
        QCOMPARE(dialogs.messages.last(), QStringLiteral("Invalid value"));
        QVERIFY(!state.isCalibrated());

        dlg.lengthEdit()->setText(QStringLiteral("0,5"));
        dlg.show();
        dlg.okButton()->click();
        QCOMPARE(dlg.result(), int(QDialog::Accepted));
        QVERIFY(!dlg.isVisible());
        QCOMPARE(state.calibrationName, QStringLiteral("10x"));
        QVERIFY(qAbs(state.scalePixels - 65.7534) < 1e-9);
        QCoreApplication::sendPostedEvents(&mainWindow);
        QCOMPARE(mainWindow.numbers, QList<int>{platform::msg::CalibrationListChanged});

        std::unique_ptr<QMenu> menu(createCalibrationMenu(state, settings, nullptr));
        QCOMPARE(menuTexts(menu.get()), (QStringList{"NO Calibration", "New Calibration", "Calibration Folder", "10x"}));
        QCOMPARE(menu->actions().last()->data().toInt(), 1208);
        QVERIFY(menu->actions().last()->isChecked());
    }

    // A line drawn over a micrometer's ticks is measured on them at once; the
    // division size typed gives the length, and the profile is saved as ever.
    // Detect on a picture without ticks says so and keeps the line as drawn.
    void calibrationDialogDetectsTheMicrometer()
    {
        testing_support::Sandbox box;
        testing_support::ScriptedDialogs dialogs;
        const QString settings = box.path() + QLatin1String("/Setting");
        constexpr double kPeriod = 6.35;  // pixels a division
        QImage ruler(480, 200, QImage::Format_RGB32);
        ruler.fill(QColor(225, 222, 215));
        {
            QPainter p(&ruler);
            p.setRenderHint(QPainter::Antialiasing);
            p.setPen(QPen(QColor(30, 30, 35), 1.5, Qt::SolidLine, Qt::FlatCap));
            for (int i = 0; i <= 60; ++i)
                p.drawLine(QPointF(40 + i * kPeriod, 120), QPointF(40 + i * kPeriod, i % 10 ? 95 : 80));
        }
        QImage shown = ruler;
        MeasureState state;
        CCalibrationDlg dlg(state, settings, nullptr);
        dlg.setPictureSource([&shown] { return shown; });
        TickScale marked;
        connect(&dlg, &CCalibrationDlg::ticksFound, &dlg, [&marked](const TickScale& s) { marked = s; });
        QVERIFY(!dlg.detectButton()->isEnabled());

        // From just before tick 2 to just after tick 42, a little aslant.
        const QLineF line(40 + 1.6 * kPeriod, 110, 40 + 42.3 * kPeriod, 106);
        state.knownLinePixels = line.length();
        dlg.setReferenceLine(line);
        platform::postMessage(&dlg, platform::msg::KnownLineDrawn);
        QCoreApplication::sendPostedEvents(&dlg);
        QCOMPARE(marked.ticks.size(), size_t(41));
        QVERIFY(qAbs(state.knownLinePixels / (40 * kPeriod) - 1) < 0.0005);
        QCOMPARE(dlg.proposalLabel()->text(), QStringLiteral("40 divisions = %1 px").arg(state.knownLinePixels, 0, 'f', 2));

        QTest::keyClicks(dlg.divisionEdit(), QStringLiteral("0,01"));
        QCOMPARE(dlg.lengthEdit()->text(), QStringLiteral("0.4"));
        dlg.nameEdit()->setText(QStringLiteral("40x"));
        dlg.accept();
        QVERIFY(dialogs.messages.isEmpty());
        QCOMPARE(state.calibrationName, QStringLiteral("40x"));
        QCOMPARE(state.unit, QStringLiteral("mm"));
        QVERIFY(qAbs(state.toUnits(kPeriod) / 0.01 - 1) < 0.0005);

        // A blank picture: the manual way, with the line as drawn.
        shown.fill(QColor(128, 128, 128));
        dlg.detectButton()->click();
        QCOMPARE(dlg.proposalLabel()->text(), QStringLiteral("No micrometer scale found along the line"));
        QVERIFY(marked.ticks.empty());
        QCOMPARE(state.knownLinePixels, line.length());
        QVERIFY(!dlg.divisionEdit()->isEnabled());
        QVERIFY(dlg.lengthEdit()->text().isEmpty());
    }

    void magnificationIsCheckedWhenLeft()
    {
        testing_support::Sandbox box;
        testing_support::ScriptedDialogs dialogs;
        MeasureState state;
        state.unit = QStringLiteral("furlong");
        CCalibrationDlg dlg(state, box.path(), nullptr);
        QCOMPARE(dlg.unitBox()->currentText(), QStringLiteral("cm"));  // an unknown unit selects cm
        dlg.show();
        QVERIFY(QTest::qWaitForWindowExposed(&dlg));
        dlg.magnificationEdit()->setFocus();
        dlg.magnificationEdit()->setText(QStringLiteral("1.2.3"));
        dlg.nameEdit()->setFocus();
        QCOMPARE(dialogs.messages, QStringList{QStringLiteral("Invalid value")});
        QCOMPARE(dlg.magnificationEdit()->text(), QStringLiteral("1.2.3"));  // kept as typed
        dlg.magnificationEdit()->setFocus();
        dlg.magnificationEdit()->setText(QStringLiteral("40"));
        dlg.nameEdit()->setFocus();
        QCOMPARE(dialogs.messages.size(), 1);
    }

    void calibrationMenuCommandsChooseAndClear()
    {
        testing_support::Sandbox box;
        testing_support::ScriptedDialogs dialogs;
        const QString settings = box.path() + QLatin1String("/Setting");
        testing_support::writeFile(settings + QLatin1String("/calibration/4x.txt"), "um 20.5");
        testing_support::writeFile(settings + QLatin1String("/calibration/broken.txt"), "um");
        MeasureState state;
        Receiver mainWindow;
        std::unique_ptr<QMenu> menu(createCalibrationMenu(state, settings, nullptr));
        QCOMPARE(state.profiles, (QStringList{"4x.txt", "broken.txt"}));

        chooseProfileCommand(state, settings, 0, &mainWindow);
        QCOMPARE(state.calibrationName, QStringLiteral("4x.txt"));
        chooseProfileCommand(state, settings, 1, &mainWindow);
        QCOMPARE(state.calibrationName, QStringLiteral("4x.txt"));
        QVERIFY(dialogs.messages.last().endsWith(QStringLiteral("broken.txt")));
        refuseCalibrationInPicture();
        QCOMPARE(dialogs.messages.last(), QStringLiteral("Please calibrate in the video"));
        noCalibrationCommand(state, settings, &mainWindow);
        QVERIFY(!state.isCalibrated());
        QCoreApplication::sendPostedEvents(&mainWindow);
        QCOMPARE(mainWindow.wParams, (QList<qintptr>{0, 1}));
    }

    void settingsTakeEffectAtOnceAndShowInThePreview()
    {
        testing_support::Sandbox box;
        MeasureState state;
        state.decimals = 2;
        state.lineWidth = 3;
        CMeasurementSettingDlg dlg(state);
        QCOMPARE(dlg.list(CMeasurementSettingDlg::Decimals)->currentText(), QStringLiteral("2"));
        QCOMPARE(dlg.list(CMeasurementSettingDlg::LineWidth)->currentText(), QStringLiteral("3"));
        QCOMPARE(dlg.list(CMeasurementSettingDlg::FontSize)->count(), 71);
        QVERIFY(!dlg.list(CMeasurementSettingDlg::Unit)->isEditable());
        dlg.show();
        QVERIFY(QTest::qWaitForWindowExposed(&dlg));
        const QImage before = dlg.preview()->grab().toImage();

        QSignalSpy changed(&dlg, &CMeasurementSettingDlg::settingChanged);
        dlg.list(CMeasurementSettingDlg::Decimals)->setCurrentText(QStringLiteral("5"));
        dlg.list(CMeasurementSettingDlg::LineWidth)->setCurrentText(QStringLiteral("5"));
        dlg.colourButton()->choose(QColor(0, 0x80, 0));
        dlg.list(CMeasurementSettingDlg::Unit)->setCurrentText(QStringLiteral("um"));
        QCOMPARE(state.decimals, 5);
        QCOMPARE(state.lineWidth, 5);
        QCOMPARE(state.colour, QColor(0, 0x80, 0));
        QCOMPARE(state.unit, QStringLiteral("um"));
        QCOMPARE(state.scaleLength, 328.767);
        QCOMPARE(changed.count(), 4);

        const QImage after = dlg.preview()->grab().toImage();
        QVERIFY(before != after);
        // The left bar, 20 pixels in, is drawn in the new colour.
        const int midY = after.height() / 2;
        QCOMPARE(QColor(after.pixel(20, midY - 10)), QColor(0, 0x80, 0));

        dlg.reject();  // Cancel: what changed stays in effect for this session
        QCOMPARE(state.decimals, 5);
    }

    void colourPickerDefaultIsTheButtonFaceColour()
    {
        ColorPickerButton button;
        QSignalSpy chosen(&button, &ColorPickerButton::colourChosen);
        button.choose(ColorPickerButton::defaultColour());
        QCOMPARE(button.colour(), QApplication::palette().color(QPalette::Button));
        QCOMPARE(chosen.count(), 1);
    }

    void pitchDialogAcceptsOnlyPositiveNumbers()
    {
        testing_support::ScriptedDialogs dialogs;
        CPitchDlg dlg(QStringLiteral("um"));
        QCOMPARE(dlg.edit()->text(), QStringLiteral("0.2"));
        for (const char* bad : {"abc", "", "0"}) {
            dlg.edit()->setText(QLatin1String(bad));
            dlg.accept();
            QCOMPARE(dlg.result(), int(QDialog::Rejected));
        }
        QCOMPARE(dialogs.messages, (QStringList{"Digital format error", "Digital format error", "Digital format error"}));
        dlg.edit()->setText(QStringLiteral("0.5"));
        dlg.accept();
        QCOMPARE(dlg.result(), int(QDialog::Accepted));
        QCOMPARE(dlg.pitch(), 0.5);
        QCOMPARE(dlg.pitchText(), QStringLiteral("0.5"));
    }
};

QTEST_MAIN(MeasureDialogsTest)
#include "measure_dialogs_test.moc"
