#include "CCalibrationDlg.h"

#include "measure/core/calibration_profiles.h"
#include "measure/core/number_text.h"

#include "base/text_lookup.h"

#include "platform/message_dialogs.h"
#include "platform/posted_message.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QEvent>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace measure {

using base::uiText;

namespace {

void tell(const char* key, const char* defaultText)
{
    platform::messageDialogs().inform(uiText(key, defaultText, base::kMessageCapacity));
}

}  // namespace

CCalibrationDlg::CCalibrationDlg(MeasureState& state, const QString& settingsFolder, QObject* mainWindow, QWidget* parent)
    : QDialog(parent),
      m_state(state),
      m_settingsFolder(settingsFolder),
      m_mainWindow(mainWindow),
      m_name(new QLineEdit),
      m_magnification(new QLineEdit(QStringLiteral("60.0"))),
      m_instruction(new QLineEdit(uiText("DrawALine", "Please draw a known line"))),
      m_length(new QLineEdit),
      m_unit(new QComboBox)
{
    setObjectName(QStringLiteral("CCalibrationDlg"));
    setWindowTitle(uiText("ToolbarHitCalibration", "Calibration"));
    m_instruction->setReadOnly(true);
    m_instruction->setFocusPolicy(Qt::NoFocus);
    m_magnification->installEventFilter(this);

    for (const char* u : kUnits)
        m_unit->addItem(QLatin1String(u));
    const int current = m_unit->findText(state.unit);
    m_unit->setCurrentIndex(current >= 0 ? current : m_unit->findText(QStringLiteral("cm")));

    auto* magnificationRow = new QHBoxLayout;
    magnificationRow->addWidget(m_magnification, 1);
    magnificationRow->addWidget(new QLabel(QStringLiteral("( >= 1.0 )")));

    auto* form = new QFormLayout;
    form->addRow(uiText("ProfileName", "Profile Name:"), m_name);
    form->addRow(uiText("Magnification", "Magnification:"), magnificationRow);
    form->addRow(m_instruction);
    form->addRow(uiText("EnterKnowDistance", "Please enter actual length"), m_length);
    form->addRow(uiText("TiUnit", "Unit"), m_unit);

    auto* box = new QDialogButtonBox;
    m_ok = box->addButton(QDialogButtonBox::Ok);
    box->addButton(uiText("Exit", "Exit"), QDialogButtonBox::RejectRole);
    m_ok->setEnabled(false);  // until a reference line is drawn
    connect(box, &QDialogButtonBox::accepted, this, &CCalibrationDlg::accept);
    connect(box, &QDialogButtonBox::rejected, this, &QDialog::reject);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addWidget(box);
    setMinimumWidth(340);
}

bool CCalibrationDlg::eventFilter(QObject* watched, QEvent* event)
{
    // Checked when the field is left; the text stays as typed.
    if (watched == m_magnification && event->type() == QEvent::FocusOut && !isValidMagnification(m_magnification->text()))
        tell("InfoInvalid", "Invalid value");
    return QDialog::eventFilter(watched, event);
}

void CCalibrationDlg::customEvent(QEvent* event)
{
    if (static_cast<int>(event->type()) == platform::msg::KnownLineDrawn) {
        // The line is taken: say how long it is, so the user knows.
        m_instruction->setText(uiText("LineTaken", "Line: %1 px").arg(m_state.knownLinePixels, 0, 'f', 1));
        m_ok->setEnabled(true);
        return;
    }
    QDialog::customEvent(event);
}

void CCalibrationDlg::accept()
{
    const QString name = m_name->text().trimmed();
    if (name.isEmpty() || m_magnification->text().trimmed().isEmpty() || m_length->text().trimmed().isEmpty()) {
        tell("InfoIncomplete", "Incomplete information");
        return;
    }
    const auto length = parseDecimal(m_length->text());
    if (!length) {
        tell("InfoInvalid", "Invalid value");
        return;
    }
    switch (saveNewProfile(m_state, m_settingsFolder, name, m_unit->currentText(), *length)) {
    case ProfileResult::Ok: break;
    case ProfileResult::CannotWrite:
        platform::messageDialogs().inform(
            uiText("CalibrationNotSaved", "The calibration profile could not be saved in %1", base::kMessageCapacity)
                .arg(m_settingsFolder));
        return;
    default: tell("InfoInvalid", "Invalid value"); return;
    }
    platform::postMessage(m_mainWindow, platform::msg::CalibrationListChanged);
    Q_EMIT profileSaved(calibrationFolderOf(m_settingsFolder) + QLatin1Char('/') + name + QLatin1String(".txt"));
    QDialog::accept();
}

}  // namespace measure
