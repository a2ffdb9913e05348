#include "CVideoSettingDlg.h"

#include "CDeviceView.h"
#include "CSavePropertyDlg.h"

#include "capture/device/latest_frame.h"
#include "capture/device/live_stream.h"

#include "base/app_settings.h"
#include "base/text_lookup.h"
#include "base/view_host.h"

#include "platform/message_dialogs.h"
#include "platform/message_numbers.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QEvent>
#include <QFile>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalBlocker>
#include <QSlider>
#include <QTimer>
#include <QVBoxLayout>

#include <linux/videodev2.h>

#include <algorithm>
#include <iterator>
#include <vector>

namespace capture {

namespace {

// The object names of one property row: slider, label, value box, automatic box.
struct RowIds {
    const char* slider;
    const char* label;
    const char* box;
    const char* automatic;
};
constexpr RowIds kRowIds[] = {
    {"1083", "1073", "1093", nullptr}, {"1084", "1074", "1094", nullptr}, {"1085", "1075", "1095", nullptr},
    {"1090", "1080", "1100", nullptr}, {"1088", "1078", "1098", nullptr}, {"1086", "1076", "1096", nullptr},
    {"1087", "1077", "1097", "1128"},  {"1092", "1082", "1102", "1113"},
};

QString valueText(int value)
{
    return QString::asprintf("%3d", value);
}

// A network camera's six controls, in the order its own pages list them.
constexpr uint32_t kNetworkOrder[] = {V4L2_CID_BRIGHTNESS, V4L2_CID_CONTRAST, V4L2_CID_SATURATION,
                                      V4L2_CID_HUE,        V4L2_CID_GAMMA,    V4L2_CID_SHARPNESS};

size_t networkRank(uint32_t id)
{
    return size_t(std::find(std::begin(kNetworkOrder), std::end(kNetworkOrder), id) - std::begin(kNetworkOrder));
}

}  // namespace

CVideoSettingDlg::CVideoSettingDlg(CDeviceView& view, QWidget* parent)
    : QDialog(parent),
      m_view(view),
      m_devices(new QComboBox),
      m_formats(new QComboBox),
      m_resolutions(new QComboBox),
      m_profiles(new QComboBox),
      m_prefix(new QLineEdit),
      m_note(new QLabel),
      m_others(new QGroupBox(base::uiText("MoreControls", "More controls"))),
      m_otherGrid(new QGridLayout(m_others)),
      m_flagsLater(new QTimer(this)),
      m_sizeSettled(new QTimer(this))
{
    setObjectName(QStringLiteral("CVideoSettingDlg"));
    // A change reaches the camera on its capture thread; which controls it
    // then holds inactive (an automatic focus, say) is read back a moment later.
    m_flagsLater->setSingleShot(true);
    m_flagsLater->setInterval(150);
    connect(m_flagsLater, &QTimer::timeout, this, &CVideoSettingDlg::readFlags);
    build();
    refresh();
}

void CVideoSettingDlg::build()
{
    const bool network = m_view.stream().keepsItsMode();
    setWindowTitle(network ? base::uiText("VideoSetting", "Video Setting") : base::uiText("Setting", "Setting"));
    auto* top = new QGridLayout;
    auto label = [](const char* id, const QString& text) {
        auto* l = new QLabel(text);
        l->setObjectName(QLatin1String(id));
        return l;
    };
    m_devices->setObjectName(QStringLiteral("1081"));
    m_formats->setObjectName(QStringLiteral("1071"));
    m_resolutions->setObjectName(QStringLiteral("1072"));
    QLabel* deviceLabel = label("1079", base::uiText("DeviceName", "Device Name"));
    top->addWidget(deviceLabel, 0, 0);
    top->addWidget(m_devices, 0, 1, 1, 3);
    deviceLabel->setVisible(!network);  // a network camera is its window's only one
    m_devices->setVisible(!network);
    top->addWidget(label("1069", base::uiText("Format", "Format")), 1, 0);
    top->addWidget(m_formats, 1, 1);
    top->addWidget(label("1070", base::uiText("Resolution", "Resolution")), 1, 2);
    top->addWidget(m_resolutions, 1, 3);
    connect(m_devices, &QComboBox::activated, this, &CVideoSettingDlg::deviceChosen);
    connect(m_formats, &QComboBox::activated, this, &CVideoSettingDlg::formatChosen);
    connect(m_resolutions, &QComboBox::activated, this, &CVideoSettingDlg::resolutionChosen);

    auto* properties = new QGroupBox(base::uiText("VideoProperty", "Property"));
    auto* grid = new QGridLayout(properties);
    std::vector<size_t> order(propertyRows().size());
    for (size_t i = 0; i < order.size(); ++i)
        order[i] = i;
    if (network)
        std::stable_sort(order.begin(), order.end(), [](size_t a, size_t b) {
            return networkRank(propertyRows()[a].control) < networkRank(propertyRows()[b].control);
        });
    int line = 0;
    for (const size_t index : order) {
        const PropertyRow& property = propertyRows()[index];
        const RowIds& ids = kRowIds[index];
        const QString text = base::uiText(property.key, property.english);
        Row& row = m_rows[property.control] = addRow(grid, line, text);
        row.id = property.control;
        row.slider->setObjectName(QLatin1String(ids.slider));
        row.label->setObjectName(QLatin1String(ids.label));
        row.box->setObjectName(QLatin1String(ids.box));
        if (ids.automatic) {
            row.automatic = new QCheckBox(base::uiText("Auto", "Auto"));
            row.automatic->setObjectName(QLatin1String(ids.automatic));
            grid->addWidget(row.automatic, line, 3);
            const uint32_t automatic = property.automatic;
            connect(row.automatic, &QCheckBox::toggled, this,
                    [this, id = row.id, automatic](bool on) { automaticToggled(m_rows.at(id), automatic, on); });
        }
        connect(row.slider, &QSlider::valueChanged, this, [this, id = row.id](int v) { sliderMoved(m_rows.at(id), v); });
        ++line;
    }
    m_others->setObjectName(QStringLiteral("otherControls"));

    m_profiles->setObjectName(QStringLiteral("1091"));
    m_profiles->setEditable(true);
    m_profiles->setInsertPolicy(QComboBox::NoInsert);
    m_profiles->setMinimumWidth(160);
    connect(m_profiles, &QComboBox::activated, this, [this](int index) { chooseProfile(m_profiles->itemText(index)); });
    auto* save = new QPushButton(base::uiText("Save", "Save"));
    save->setObjectName(QStringLiteral("190"));
    connect(save, &QPushButton::clicked, this, &CVideoSettingDlg::saveProfileAs);
    auto* defaults = new QPushButton(base::uiText("Default", "Default"));
    defaults->setObjectName(QStringLiteral("104"));
    connect(defaults, &QPushButton::clicked, this, &CVideoSettingDlg::resetToDefaults);
    auto* profileRow = new QHBoxLayout;
    profileRow->addWidget(label("1234", base::uiText("Profile", "Profile")));
    profileRow->addWidget(m_profiles, 1);
    profileRow->addWidget(save);
    profileRow->addWidget(defaults);

    m_prefix->setObjectName(QStringLiteral("1271"));
    m_prefix->setMaxLength(base::kMaxPrefixLength);
    auto* prefixRow = new QHBoxLayout;
    prefixRow->addWidget(label("1273", base::uiText("FilePrefix", "Image and video name prefix ")));
    prefixRow->addWidget(m_prefix, 1);

    m_note->setObjectName(QStringLiteral("profileNote"));
    m_note->setWordWrap(true);
    m_note->hide();

    auto* buttons = m_buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel);
    buttons->button(QDialogButtonBox::Cancel)->setText(base::uiText("Exit", "Exit"));
    connect(buttons, &QDialogButtonBox::accepted, this, &CVideoSettingDlg::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    m_sizeSettled->setInterval(100);
    connect(m_sizeSettled, &QTimer::timeout, this, &CVideoSettingDlg::checkSizeSettled);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(top);
    layout->addWidget(properties);
    layout->addWidget(m_others);
    layout->addLayout(profileRow);
    layout->addWidget(m_note);
    layout->addLayout(prefixRow);
    layout->addWidget(buttons);
}

CVideoSettingDlg::Row CVideoSettingDlg::addRow(QGridLayout* grid, int line, const QString& text)
{
    Row row;
    row.label = new QLabel(text);
    row.slider = new QSlider(Qt::Horizontal);
    row.slider->setMinimumWidth(200);
    row.box = new QLineEdit;
    row.box->setReadOnly(true);
    row.box->setMaximumWidth(60);
    row.box->setAlignment(Qt::AlignRight);
    grid->addWidget(row.label, line, 0);
    grid->addWidget(row.slider, line, 1);
    grid->addWidget(row.box, line, 2);
    return row;
}

void CVideoSettingDlg::refresh()
{
    m_controls = m_view.stream().controls();
    m_prefix->setText(m_view.host().settings().toggles.imagePrefixSelected);
    fillDevices();
    fillFormats();
    fillResolutions();
    fillOtherControls();
    showControls();
    fillProfiles();
    const QString chosen = defaultProfileName(profiles());
    if (chosen.isEmpty() || !QFile::exists(profilePath(profiles(), chosen)))
        return;
    if (m_view.stream().keepsItsMode())
        showProfileName(chosen);  // a network camera keeps its own settings: only the name is shown
    else
        chooseProfile(chosen);
}

void CVideoSettingDlg::showProfileName(const QString& name)
{
    const QSignalBlocker blocker(m_profiles);
    m_profiles->setCurrentIndex(m_profiles->findText(name));
}

QString CVideoSettingDlg::profiles() const
{
    return profileFolder(m_view.host().settings().paths.settingsFolder(), m_view.stream().description().profileKind);
}

CameraControl* CVideoSettingDlg::control(uint32_t id)
{
    return findControl(m_controls, id);
}

void CVideoSettingDlg::fillDevices()
{
    const QSignalBlocker blocker(m_devices);
    m_devices->clear();
    for (const CameraChoice& choice : m_view.cameraChoices()) {
        m_devices->addItem(choice.name, choice.devicePath);
        if (choice.current)
            m_devices->setCurrentIndex(m_devices->count() - 1);
    }
}

void CVideoSettingDlg::fillFormats()
{
    const QSignalBlocker blocker(m_formats);
    m_formats->clear();
    const ResolutionTable table = m_view.stream().GetResolutions();
    const bool onlyMjpeg = countResolutions(table) > 0
        && std::none_of(table.begin(), table.end(), [](const ResolutionEntry& r) { return r.format == FormatYUY2; });
    const int32_t model = m_view.stream().cameraModel();
    if (onlyMjpeg) {
        m_formats->addItem(QStringLiteral("MJPEG"));  // a network camera sends nothing else
    } else if (model == 1 || model == 4 || model == 5 || model == 6) {
        m_formats->addItems({QStringLiteral("YUY2"), QStringLiteral("MJPEG")});
    } else if (model == 2 || model == 3) {
        m_formats->addItem(QStringLiteral("YUY2"));
    }
    m_formats->setEnabled(!onlyMjpeg);
    m_formats->setCurrentIndex(m_view.stream().format() == FormatMJPG && m_formats->count() > 1 ? 1 : 0);
}

void CVideoSettingDlg::fillResolutions()
{
    const QSignalBlocker blocker(m_resolutions);
    m_resolutions->clear();
    for (const ResolutionEntry& r : m_view.stream().GetResolutions()) {
        if (r.width <= 0 || r.height <= 0)
            continue;
        m_resolutions->addItem(QStringLiteral("%1X%2").arg(r.width).arg(r.height));
        if (QSize(r.width, r.height) == m_view.frameSize())
            m_resolutions->setCurrentIndex(m_resolutions->count() - 1);
    }
}

void CVideoSettingDlg::fillProfiles()
{
    const QSignalBlocker blocker(m_profiles);
    m_profiles->clear();
    m_profiles->addItems(listProfiles(profiles()));
    m_profiles->setCurrentIndex(-1);
    m_profiles->setEditText(QString());
}

void CVideoSettingDlg::fillOtherControls()
{
    for (auto it = m_rows.begin(); it != m_rows.end();) {
        if (!isPropertyControl(it->first)) {
            delete it->second.label;
            delete it->second.slider;
            delete it->second.box;
            delete it->second.automatic;
            delete it->second.choices;
            it = m_rows.erase(it);
        } else {
            ++it;
        }
    }
    int line = 0;
    for (const CameraControl& c : m_controls) {
        if (isPropertyControl(c.id))
            continue;
        Row row;
        row.id = c.id;
        row.label = new QLabel(QString::fromStdString(c.name));
        m_otherGrid->addWidget(row.label, line, 0);
        const uint32_t id = c.id;
        if (!c.choices.empty()) {
            row.choices = new QComboBox;
            for (const CameraControl::Choice& choice : c.choices)
                row.choices->addItem(QString::fromStdString(choice.name), choice.value);
            m_otherGrid->addWidget(row.choices, line, 1, 1, 2);
            connect(row.choices, &QComboBox::activated, this,
                    [this, id](int index) { apply(id, m_rows.at(id).choices->itemData(index).toInt()); });
        } else if (c.isSwitch) {
            row.automatic = new QCheckBox;
            m_otherGrid->addWidget(row.automatic, line, 1);
            connect(row.automatic, &QCheckBox::toggled, this, [this, id](bool on) { apply(id, on ? 1 : 0); });
        } else {
            delete row.label;
            row = addRow(m_otherGrid, line, QString::fromStdString(c.name));
            row.id = c.id;
            connect(row.slider, &QSlider::valueChanged, this, [this, id](int v) { sliderMoved(m_rows.at(id), v); });
        }
        m_rows[id] = row;
        ++line;
    }
    m_others->setVisible(line > 0);
}

void CVideoSettingDlg::showControls()
{
    for (auto& [id, row] : m_rows)
        showRow(row);
}

void CVideoSettingDlg::showRow(Row& row)
{
    const CameraControl* c = control(row.id);
    const QSignalBlocker sliderBlock(row.slider);
    const QSignalBlocker autoBlock(row.automatic);
    const QSignalBlocker choiceBlock(row.choices);
    const uint32_t automaticId = automaticModeOf(row.id);
    const CameraControl* automatic = automaticId ? control(automaticId) : nullptr;
    const bool automaticOn = automatic && isAutomaticOn(automaticId, automatic->value);
    if (row.label)
        row.label->setEnabled(c != nullptr);
    // A network camera's rows are the controls it has; a USB camera's list
    // stays the same for every model, its missing controls greyed.
    const bool shown = c || !m_view.stream().keepsItsMode();
    for (QWidget* w : std::initializer_list<QWidget*>{row.label, row.slider, row.box, row.automatic, row.choices}) {
        if (w)
            w->setVisible(shown);
    }
    const bool inactive = c && (c->flags & V4L2_CTRL_FLAG_INACTIVE);
    if (row.slider) {
        row.slider->setEnabled(c && !automaticOn && (automaticId || !inactive));
        if (c) {
            row.slider->setRange(c->minimum, c->maximum);
            row.slider->setSingleStep(std::max(1, c->step));
            row.slider->setPageStep(std::max(1, c->step) * 10);
            row.slider->setValue(c->value);
        }
    }
    if (row.box) {
        row.box->setEnabled(c != nullptr);
        row.box->setText(c ? valueText(c->value) : QString());
    }
    if (row.automatic) {
        // A property's automatic box, or a switch among the other controls.
        row.automatic->setEnabled(automaticId ? automatic != nullptr : c != nullptr);
        row.automatic->setChecked(automaticId ? automaticOn : (c && c->value != 0));
    }
    if (row.choices && c) {
        row.choices->setCurrentIndex(row.choices->findData(c->value));
        row.choices->setEnabled(!inactive);
    }
}

void CVideoSettingDlg::apply(uint32_t id, int32_t value)
{
    if (CameraControl* c = control(id)) {
        c->value = value;
        m_view.stream().setControl(id, value);
        if (!m_view.stream().keepsItsMode())  // a network camera's controls carry no flags
            m_flagsLater->start();
    }
}

void CVideoSettingDlg::readFlags()
{
    for (const CameraControl& now : m_view.stream().controls()) {
        if (CameraControl* c = control(now.id))
            c->flags = now.flags;
    }
    showControls();
}

void CVideoSettingDlg::applyAll(const ControlSettings& settings)
{
    for (const auto& [id, value] : settings.settings)
        apply(id, value);
    showControls();
}

void CVideoSettingDlg::sliderMoved(Row& row, int value)
{
    const CameraControl* c = control(row.id);
    if (!c)
        return;
    const int32_t fitted = fittedValue(*c, value);
    apply(row.id, fitted);
    row.box->setText(valueText(fitted));
}

void CVideoSettingDlg::automaticToggled(Row& row, uint32_t automatic, bool on)
{
    const CameraControl* mode = control(automatic);
    if (!mode)
        return;
    apply(automatic, automaticValue(*mode, on));
    if (CameraControl* c = control(row.id)) {
        // White balance turns manual at the slider's value; exposure starts
        // from the camera's default either way.
        if (on || automatic == V4L2_CID_EXPOSURE_AUTO)
            c->value = c->defaultValue;
        if (!on)
            apply(row.id, c->value);
    }
    showRow(row);
}

void CVideoSettingDlg::resetToDefaults()
{
    if (m_view.stream().keepsItsMode()) {
        // The camera and the sliders go to the camera's defaults; the kept
        // values stay, so a later Save writes those last set by a slider or
        // a profile.
        for (const uint32_t id : kNetworkOrder) {
            const CameraControl* c = control(id);
            const auto row = m_rows.find(id);
            if (!c || row == m_rows.end())
                continue;
            m_view.stream().setControl(id, c->defaultValue);
            const QSignalBlocker blocker(row->second.slider);
            row->second.slider->setValue(c->defaultValue);
            row->second.box->setText(valueText(c->defaultValue));
        }
        forgetProfile();
        return;
    }
    const ControlSettings settings = defaultSettings(m_controls);
    for (const PropertyRow& property : propertyRows()) {
        CameraControl* c = control(property.control);
        if (c && property.control != V4L2_CID_EXPOSURE_ABSOLUTE)
            c->value = c->defaultValue;
    }
    applyAll(settings);
    forgetProfile();
}

void CVideoSettingDlg::forgetProfile()
{
    m_profiles->setCurrentIndex(-1);
    m_profiles->setEditText(QString());
    forgetDefaultProfile(profiles());
}

void CVideoSettingDlg::saveProfileAs()
{
    CSavePropertyDlg dialog(profiles(), m_view.stream().description().profileKind, profileValuesOf(m_controls), this);
    if (dialog.exec() != QDialog::Accepted)
        return;
    fillProfiles();
    writeDefaultProfile(profiles(), profilePath(profiles(), dialog.name()));
    m_profiles->setCurrentIndex(m_profiles->findText(dialog.name()));
}

void CVideoSettingDlg::chooseProfile(const QString& name)
{
    QStringList unreadable;
    const QString path = profilePath(profiles(), name);
    const ProfileValues values = readProfile(path, m_view.stream().description().profileKind, &unreadable);
    const ControlSettings settings = settingsForProfile(values, m_controls);
    applyAll(settings);
    QStringList notes;
    if (!settings.lacking.isEmpty())
        notes << base::uiText("NotOnCamera", "Not on this camera: %1").arg(settings.lacking.join(QStringLiteral(", ")));
    if (!unreadable.isEmpty())
        notes << base::uiText("NotANumber", "Not a number in the profile: %1").arg(unreadable.join(QStringLiteral(", ")));
    m_profileNote = notes.join(QLatin1Char('\n'));
    m_note->setText(m_profileNote);
    m_note->setVisible(!m_profileNote.isEmpty());
    showProfileName(name);
    writeDefaultProfile(profiles(), path);
}

QString CVideoSettingDlg::profileNote() const
{
    return m_profileNote;
}

void CVideoSettingDlg::deviceChosen(int index)
{
    const QString path = m_devices->itemData(index).toString();
    if (!m_view.switchCamera(path)) {
        fillDevices();
        return;
    }
    refresh();
}

void CVideoSettingDlg::formatChosen(int index)
{
    const bool mjpeg = m_formats->itemText(index) == QLatin1String("MJPEG");
    base::AppSettings& s = m_view.host().settings();
    const int key = m_view.stream().description().settingsKey;
    if (key >= 1 && static_cast<size_t>(key) <= s.registry.g_szYuyOrMjpeg.size())
        s.registry.g_szYuyOrMjpeg[static_cast<size_t>(key - 1)] = mjpeg ? 2 : 1;
    m_view.stream().SetFormat(mjpeg ? FormatMJPG : FormatYUY2);
    m_view.host().saveRegistrySettings();
    fillResolutions();
}

void CVideoSettingDlg::resolutionChosen(int index)
{
    const QStringList parts = m_resolutions->itemText(index).split(QLatin1Char('X'));
    if (parts.size() != 2)
        return;
    // A network camera drops its stream to change mode; OK and Exit wait
    // until pictures come again (at most a quarter of a minute).
    m_view.stream().latestFrame().frameArrived.store(0);
    m_buttons->setEnabled(false);
    m_view.changeResolution(QSize(parts[0].toInt(), parts[1].toInt()));
    fillResolutions();
    m_sizeSince.start();
    m_sizeSettled->start();
}

void CVideoSettingDlg::checkSizeSettled()
{
    LiveStream& stream = m_view.stream();
    if ((stream.latestFrame().frameArrived.load() && !stream.isReconnecting()) || !stream.isRunning()
        || m_sizeSince.hasExpired(15000)) {
        m_sizeSettled->stop();
        m_buttons->setEnabled(true);
    }
}

void CVideoSettingDlg::accept()
{
    base::AppSettings& s = m_view.host().settings();
    s.toggles.imagePrefixSelected = m_prefix->text().trimmed().left(base::kMaxPrefixLength);
    m_view.host().saveImageToggles();
    QDialog::accept();
}

void CVideoSettingDlg::customEvent(QEvent* event)
{
    if (static_cast<int>(event->type()) == platform::msg::RefreshVideoSettings)
        refresh();
    QDialog::customEvent(event);
}

}  // namespace capture
