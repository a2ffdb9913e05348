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
      m_unit(new QComboBox),
      m_proposal(new QLabel),
      m_division(new QLineEdit),
      m_detect(new QPushButton(uiText("Detect", "Detect")))
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

    // Detect beside the line's length; what it found under them.
    auto* lineRow = new QHBoxLayout;
    lineRow->addWidget(m_instruction, 1);
    lineRow->addWidget(m_detect);
    m_detect->setEnabled(false);  // until a line is drawn on a picture
    m_proposal->setWordWrap(true);
    m_proposal->hide();
    m_division->setEnabled(false);  // until a scale is found
    connect(m_detect, &QPushButton::clicked, this, &CCalibrationDlg::detect);
    connect(m_division, &QLineEdit::textEdited, this, &CCalibrationDlg::divisionTyped);

    auto* form = new QFormLayout;
    form->addRow(uiText("ProfileName", "Profile Name:"), m_name);
    form->addRow(uiText("Magnification", "Magnification:"), magnificationRow);
    form->addRow(lineRow);
    form->addRow(m_proposal);
    form->addRow(uiText("DivisionSize", "Division size"), m_division);
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
        m_detect->setEnabled(m_line && m_pictureSource);
        // A line over the micrometer's ticks is measured on them at once; any
        // other line stays as drawn, without a word.
        const TickScale scale = findScale();
        propose(scale);
        m_proposal->setVisible(scale.found);
        return;
    }
    QDialog::customEvent(event);
}

void CCalibrationDlg::setPictureSource(std::function<QImage()> source)
{
    m_pictureSource = std::move(source);
}

void CCalibrationDlg::setReferenceLine(QLineF line)
{
    m_line = line;
}

TickScale CCalibrationDlg::findScale() const
{
    if (!m_line || !m_pictureSource)
        return {};
    QImage picture = m_pictureSource();
    if (picture.isNull())
        return {};
    picture.convertTo(QImage::Format_Grayscale8);
    const PixelRows rows{picture.constBits(), picture.width(), picture.height(), static_cast<int>(picture.bytesPerLine()), 1};
    return findTicks(rows, *m_line);
}

void CCalibrationDlg::detect()
{
    propose(findScale());
}

void CCalibrationDlg::propose(const TickScale& scale)
{
    m_proposal->show();
    Q_EMIT ticksFound(scale);
    if (!scale.found) {
        // The manual way stays: the reference is the line as drawn, and a
        // length worked out from the divisions no longer holds.
        if (m_divisions > 0 && m_line) {
            m_state.knownLinePixels = m_line->length();
            m_length->clear();
        }
        m_divisions = 0;
        m_division->clear();
        m_division->setEnabled(false);
        m_instruction->setText(uiText("LineTaken", "Line: %1 px").arg(m_state.knownLinePixels, 0, 'f', 1));
        m_proposal->setText(uiText("NoScaleFound", "No micrometer scale found along the line"));
        return;
    }
    m_divisions = scale.divisions;
    m_state.knownLinePixels = scale.lengthPixels;
    m_instruction->setText(uiText("LineTaken", "Line: %1 px").arg(scale.lengthPixels, 0, 'f', 2));
    m_proposal->setText(uiText("DivisionsFound", "%1 divisions = %2 px").arg(scale.divisions).arg(scale.lengthPixels, 0, 'f', 2));
    m_division->setEnabled(true);
    divisionTyped();  // a size typed before keeps its meaning
}

void CCalibrationDlg::divisionTyped()
{
    const auto size = parseDecimal(m_division->text());
    if (m_divisions > 0 && size && *size > 0)
        m_length->setText(QString::number(*size * m_divisions, 'g', 10));
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
            QStringLiteral("The calibration profile could not be saved in %1").arg(m_settingsFolder));
        return;
    default: tell("InfoInvalid", "Invalid value"); return;
    }
    platform::postMessage(m_mainWindow, platform::msg::CalibrationListChanged);
    Q_EMIT profileSaved(calibrationFolderOf(m_settingsFolder) + QLatin1Char('/') + name + QLatin1String(".txt"));
    QDialog::accept();
}

}  // namespace measure
