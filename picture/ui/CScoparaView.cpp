#include "CScoparaView.h"

#include "picture/core/picture_operations.h"
#include "picture/core/picture_writer.h"
#include "picture/ui/PictureExportSource.h"
#include "picture/ui/PicturePrinting.h"
#include "picture/ui/SaveTypeDialog.h"

#include "base/app_settings.h"
#include "base/command_ids.h"
#include "base/command_tables.h"
#include "base/text_lookup.h"
#include "base/view_host.h"

#include "measure/core/burn_in.h"
#include "measure/core/calibration_profiles.h"
#include "measure/core/measure_state.h"
#include "measure/core/measurement_workbook.h"
#include "measure/core/shapes.h"
#include "measure/ui/CExportExcelDlg.h"
#include "measure/ui/CalibrationMenu.h"
#include "measure/ui/ShapeHost.h"
#include "measure/ui/WorkbookExport.h"
#include "picture/core/zoom_commands.h"

#include "platform/message_dialogs.h"
#include "platform/posted_message.h"

#include <QCoreApplication>
#include <QCursor>
#include <QDir>
#include <QFileInfo>
#include <QMenu>
#include <QMouseEvent>
#include <QPainter>
#include <QPrintDialog>
#include <QPrintPreviewDialog>
#include <QPrinter>
#include <QScrollBar>
#include <QTimer>

namespace picture {

namespace cmd = base::cmd;

namespace {

struct OperationCommand {
    int id;
    int operation;
};

// The picture commands and the operations they run.
constexpr OperationCommand kOperations[] = {
    {cmd::HorizontalFlip, OpMirror}, {cmd::VerticalFlip, OpFlipVertical}, {cmd::Negative, OpNegative},
    {cmd::RedChannel, OpRedChannel}, {cmd::GreenChannel, OpGreenChannel}, {cmd::BlueChannel, OpBlueChannel},
};

int operationOf(int id)
{
    for (const OperationCommand& o : kOperations) {
        if (o.id == id)
            return o.operation;
    }
    return 0;
}

const QColor kBackground(160, 160, 160);

}  // namespace

CScoparaView::CScoparaView(std::unique_ptr<CScoparaDoc> document, base::ViewHost& host, QWidget* parent)
    : measure::ZoomedImageView(parent),
      m_doc(std::move(document)),
      m_host(host),
      m_overlays(host),
      m_runner(new PictureOperationRunner(this))
{
    connect(m_runner, &PictureOperationRunner::progress, this, [this](int percent) { m_host.showProgress(percent); });
    connect(m_runner, &PictureOperationRunner::finished, this,
            [this](std::shared_ptr<CxImage> result, int) { operationDone(std::move(result)); });
    setObjectName(QStringLiteral("CScoparaView"));
    setWindowTitle(m_doc->title());
    viewport()->setMouseTracking(true);
    viewport()->setAttribute(Qt::WA_OpaquePaintEvent);
    m_measure = host.measure();
    m_shapes = std::make_unique<measure::ShapeHost>(viewport(), *this, m_measure, &m_doc->shapes());
    connect(m_shapes.get(), &measure::ShapeHost::shapesChanged, viewport(), qOverload<>(&QWidget::update));
    connect(m_shapes.get(), &measure::ShapeHost::hint, this, [this](const QString& text) { m_host.showHint(text); });
    const base::AppSettings& s = host.settings();
    m_zoom.x = s.registry.m_zoon_ratio_x;
    m_zoom.y = s.registry.m_zoon_ratio_y;
    // Initial update: the active calibration and the name in the toolbar.
    measure::loadActiveProfile(host.measure(), s.paths.settingsFolder());
    platform::postMessage(host.mainWindow(), platform::msg::RefreshCalibrationName, 0);
    measureState();
    layOut();
}

CScoparaView::~CScoparaView()
{
    // A running operation is told to stop and waited for; it works on a copy
    // of its own, so nothing of the window is touched meanwhile.
    delete m_runner;
}

CScoparaView* CScoparaView::open(const QString& path, base::ViewHost& host, QWidget* parent)
{
    auto doc = std::make_unique<CScoparaDoc>();
    if (!doc->open(path)) {
        platform::messageDialogs().inform(base::openFailedText(path, doc->openError()));
        return nullptr;
    }
    auto* view = new CScoparaView(std::move(doc), host, parent);
    view->adoptPictureScale(view->document().metadata());
    return view;
}

void CScoparaView::adoptPictureScale(const std::optional<PictureMetadata>& metadata)
{
    m_pictureScale.reset();
    m_usePictureScale = false;
    if (!metadata || !metadata->scale || !metadata->scale->isValid() || m_doc->size().isEmpty())
        return;
    m_pictureScale = metadata->scale;
    const measure::MeasureState& active = m_host.measure();
    m_usePictureScale = true;
    const measure::MeasureState own = measureState();
    // The same scale under another name or unit is no question to ask.
    if (active.isCalibrated() && std::abs(active.scalePixels / own.scalePixels - 1.0) > 0.001) {
        const QString question =
            base::uiText("PictureScaleQuestion",
                         "This picture was taken with the calibration \"%1\" (%2 pixels per %3). The active calibration "
                         "is \"%4\" (%5 pixels per %3). Measure this picture with its own calibration?",
                         base::kMessageCapacity)
                .arg(m_pictureScale->profile, QString::number(own.scalePixels / own.scaleLength, 'f', 2), own.unit,
                     measure::profileDisplayName(active.calibrationName),
                     QString::number(active.scalePixels / active.scaleLength, 'f', 2));
        m_usePictureScale = platform::messageDialogs().confirm(question);
    }
    measureState();
    showScaleStatus();
    viewport()->update();
}

measure::MeasureState& CScoparaView::measureState()
{
    m_measure = m_host.measure();
    if (m_usePictureScale && m_pictureScale) {
        // Kept for the picture's size when it was written; the picture may
        // have been resized since.
        const PictureScale& own = *m_pictureScale;
        const QString shownUnit = m_measure.unit;
        const double perPixelOfWidth = own.pixelsPerUnit * m_doc->size().width() / own.size.width();
        m_measure.unit = own.unit;
        m_measure.scaleLength = measure::unitScaleLength(own.unit);
        m_measure.scalePixels = perPixelOfWidth * m_measure.scaleLength;
        m_measure.calibrationName = own.profile.isEmpty() ? QStringLiteral("-") : own.profile;
        m_measure.calibrationSize = m_doc->size();
        m_measure.setUnit(shownUnit);
    }
    return m_measure;
}

void CScoparaView::showScaleStatus()
{
    if (!m_usePictureScale)
        return;
    m_host.showStatusMessage(
        base::uiText("PictureScaleUsed", "Measured with the picture's own calibration: %1 pixels per %2 (%3)")
            .arg(QString::number(m_measure.scalePixels / m_measure.scaleLength, 'f', 2), m_measure.unit,
                 m_pictureScale->profile));
}

void CScoparaView::focusInEvent(QFocusEvent* event)
{
    measure::ZoomedImageView::focusInEvent(event);
    showScaleStatus();
}

void CScoparaView::layOut()
{
    setImage(m_doc->size(), m_zoom.x, m_zoom.y);
}

// The visible part is composed off-screen (picture, shapes, overlay) and
// copied to the window in one go, so a repaint never shows half a frame.
void CScoparaView::paintEvent(QPaintEvent*)
{
    measureState();
    const QSize page = viewport()->size();
    if (m_offscreen.size() != page)
        m_offscreen = QImage(page, QImage::Format_RGB32);
    m_offscreen.fill(kBackground);
    {
        QPainter off(&m_offscreen);
        off.translate(-scrollOffset());
        drawContent(off);
    }
    QPainter p(viewport());
    p.drawImage(0, 0, m_offscreen);
    m_shapes->paintTemporary(p);
}

measure::OverlayParams CScoparaView::overlayAt(double fx, double fy) const
{
    measure::OverlayParams o = m_overlays.overlay();
    o.frameWidth = m_doc->size().width();
    o.frameHeight = m_doc->size().height();
    o.zoomX = fx;
    // The scale cross is measured along the horizontal axis in both directions.
    o.zoomY = o.mode == measure::OverlayScaleCross ? fx : fy;
    o.lineWidth = m_measure.lineWidth;
    o.circlesToHalfWidth = true;
    return o;
}

measure::BurnIn CScoparaView::burnInAt(double fx, double fy) const
{
    measure::BurnIn what;
    what.scaleX = fx;
    what.scaleY = fy;
    what.shapes = &m_doc->shapes();
    what.overlay = overlayAt(fx, fy);
    return what;
}

void CScoparaView::drawContent(QPainter& p) const
{
    p.setRenderHint(QPainter::SmoothPixmapTransform, m_zoom.x < 1.0 || m_zoom.y < 1.0);
    p.drawImage(QRect(QPoint(0, 0), zoomedSize()), m_doc->display());
    measure::paintBurnIn(p, burnInAt(m_zoom.x, m_zoom.y), m_measure);
}

QImage CScoparaView::renderShown() const
{
    QImage shown(zoomedSize(), QImage::Format_RGB32);
    shown.fill(Qt::white);
    QPainter p(&shown);
    drawContent(p);
    return shown;
}

void CScoparaView::print(int command)
{
    const double screenDpi = logicalDpiX();
    if (command == cmd::FilePrintPreview) {
        QPrintPreviewDialog preview(this);
        connect(&preview, &QPrintPreviewDialog::paintRequested, this,
                [this, screenDpi](QPrinter* printer) { printAsShown(*printer, renderShown(), screenDpi); });
        preview.exec();
        return;
    }
    QPrinter printer(QPrinter::HighResolution);
    if (command == cmd::FilePrint) {
        QPrintDialog dialog(&printer, this);
        if (dialog.exec() != QDialog::Accepted)
            return;
    }
    printAsShown(printer, renderShown(), screenDpi);
}

void CScoparaView::mousePressEvent(QMouseEvent* event)
{
    if (m_overlays.mode() == measure::OverlayCrosshair && m_shapes->tool() == 0 && event->button() == Qt::LeftButton) {
        const QPoint at = mapping().mapToImage(event->position().toPoint());
        if (QRect(QPoint(0, 0), m_doc->size()).contains(at)) {
            m_overlays.moveCrosshair(at.x(), at.y());
            viewport()->update();
            return;
        }
    }
    if (!m_shapes->mousePress(event))
        ZoomedImageView::mousePressEvent(event);
}

void CScoparaView::mouseMoveEvent(QMouseEvent* event)
{
    copyToMagnifier(event->position().toPoint());
    if (!m_shapes->mouseMove(event))
        ZoomedImageView::mouseMoveEvent(event);
}

void CScoparaView::mouseReleaseEvent(QMouseEvent* event)
{
    if (!m_shapes->mouseRelease(event))
        ZoomedImageView::mouseReleaseEvent(event);
}

void CScoparaView::copyToMagnifier(QPoint windowPos)
{
    const int mode = m_host.magnifierMode();
    QByteArray* buffer = m_host.magnifierBuffer();
    if (mode < 1 || mode > 3 || !buffer)
        return;
    const int side = base::magnifierSide(mode);
    if (buffer->size() < (side * 3 + 3) / 4 * 4 * side)
        return;
    const QPoint at = mapping().mapToImage(windowPos);
    if (!QRect(QPoint(0, 0), m_doc->size()).contains(at))
        return;
    if (m_doc->picture().CopyBlock(at.x(), at.y(), side, side, reinterpret_cast<uint8_t*>(buffer->data())))
        platform::postMessage(m_host.magnifierWindow(), platform::msg::MagnifierUpdated);
}

bool CScoparaView::saveAs(const QString& path)
{
    const QString failure = m_doc->save(path, measureState());
    if (!failure.isEmpty()) {
        platform::messageDialogs().inform(base::saveFailedText(path, failure));
        return false;
    }
    m_doc->setPath(path);
    setWindowTitle(m_doc->title());
    if (parentWidget())
        parentWidget()->setWindowTitle(m_doc->title());
    m_host.showStatusMessage(base::fileStatusText("PictureSaved", "Picture saved: %1 in %2", path));
    return true;
}

QString CScoparaView::writeExport(const measure::PictureOptions& options, const QString& path) const
{
    const double fx = measure::exportFactor(options.sizeOption, m_zoom.x);
    const double fy = measure::exportFactor(options.sizeOption, m_zoom.y);
    const QSize size(static_cast<int>(m_doc->size().width() * fx + 0.5), static_cast<int>(m_doc->size().height() * fy + 0.5));
    if (size.isEmpty())
        return QStringLiteral("no picture");
    QImage out(size, QImage::Format_RGB32);
    {
        QPainter p(&out);
        p.setRenderHint(QPainter::SmoothPixmapTransform);
        p.drawImage(QRect(QPoint(0, 0), size), m_doc->display());
    }
    if (options.imprint)
        out = measure::burntIn(out, burnInAt(fx, fy), m_measure);
    CxImage image;
    if (!image.CreateFromQImage(out.convertToFormat(QImage::Format_RGB888)))
        return QString::fromUtf8(image.GetLastError());
    image.SetXDPI(options.dpi);
    image.SetYDPI(options.dpi);
    const uint32_t format = formatOfPath(path);
    if (format == CXIMAGE_FORMAT_UNKNOWN)
        return QStringLiteral("unknown picture format");
    // The export measures as the picture does: its scale follows the size.
    std::optional<picture::PictureMetadata> metadata = m_doc->metadata();
    if (metadata) {
        metadata = picture::scaledTo(*metadata, size);
        metadata->dpi = options.dpi;
    }
    return picture::writePictureFile(image, path, format, metadata);
}

void CScoparaView::saveExport(const measure::PictureOptions& options, const QString& path)
{
    if (const QString failure = writeExport(options, path); !failure.isEmpty())
        platform::messageDialogs().inform(base::saveFailedText(path, failure));
    else
        m_host.showStatusMessage(base::fileStatusText("PictureSaved", "Picture saved: %1 in %2", path));
}

bool CScoparaView::exportWorkbook(const measure::PictureOptions& options)
{
    const QString root = m_host.settings().paths.saveRoot;
    const QString picture = measure::workbookPicturePath(root);
    const bool withPicture = writeExport(options, picture).isEmpty();
    return measure::writeAndOpenWorkbook(root, measure::pictureMeasurements(m_doc->shapes(), measureState()), m_measure,
                                         withPicture ? picture : QString(),
                                         [this](const QString& text) { m_host.showStatusMessage(text); });
}

void CScoparaView::activated()
{
    m_shapes->abandon();
    const QSize size = m_doc->size();
    m_host.setPaneText(2, QStringLiteral("%1:%2").arg(size.width()).arg(size.height()));
}

bool CScoparaView::handlesCommand(int id) const
{
    switch (id) {
    case cmd::Crosshair:
    case cmd::GridLines:
    case cmd::CircleGrid:
    case cmd::ScaleCrosshair:
    case cmd::FileSave:
    case cmd::FileSaveAs:
    case cmd::FilePrint:
    case cmd::FilePrintDirect:
    case cmd::FilePrintPreview: return true;
    default: return picture::ZoomCommands::handles(id) || measure::isMeasureCommand(id) || operationOf(id) != 0;
    }
}

void CScoparaView::updateCommand(int id, base::CommandState& state) const
{
    picture::ZoomCommands::update(id, state, m_zoom);
    m_overlays.update(id, state, m_overlays.mode());
    measure::updateMeasureCommand(*this, id, state);
    if (const int operation = operationOf(id)) {
        state.enabled = !m_runner->running();
        state.checkable = true;
        state.checked = m_operation == operation;
    }
}

void CScoparaView::runCommand(int id)
{
    if (measure::isMeasureCommand(id)) {
        measure::runMeasureCommand(*this, id);
        return;
    }
    if (picture::ZoomCommands::run(id, m_zoom, m_host, m_doc->size(), {.extraArea = QSize(30 - 15, 0)})) {
        // A new zoom starts at the picture's origin, with no shape half placed.
        m_shapes->setTool(0);
        horizontalScrollBar()->setValue(0);
        verticalScrollBar()->setValue(0);
        layOut();
        return;
    }
    switch (id) {
    case cmd::Crosshair:
    case cmd::GridLines:
    case cmd::CircleGrid:
    case cmd::ScaleCrosshair:
        if (m_overlays.run(id, this, m_overlays.mode()))
            viewport()->update();
        return;
    case cmd::FileSave: save(); return;
    case cmd::FileSaveAs: {
        const QString proposed = QFileInfo(m_doc->path()).dir().filePath(saveAsName(m_doc->title()));
        const QStringList types = pictureSaveTypes();
        const QString ownType = formatOfPath(m_doc->path()) == CXIMAGE_FORMAT_JPG ? types.at(1) : types.at(0);
        const QString path = askSavePath(this, QString(), proposed, types, ownType);
        if (!path.isEmpty())
            saveAs(path);
        return;
    }
    case cmd::FilePrint:
    case cmd::FilePrintDirect:
    case cmd::FilePrintPreview: print(id); return;
    default:
        if (const int operation = operationOf(id))
            runOperation(operation);
    }
}

int CScoparaView::measuringTool() const
{
    return m_shapes->tool();
}

void CScoparaView::setMeasuringTool(int toolCode)
{
    m_shapes->setTool(toolCode);
}

void CScoparaView::undoShape()
{
    m_shapes->undo();
}

void CScoparaView::deleteAllShapes()
{
    m_shapes->deleteAll();
}

measure::ExportSource CScoparaView::exportSource()
{
    return picture::exportSource(*this);
}

void CScoparaView::newCalibration()
{
    measure::refuseCalibrationInPicture();
}

bool CScoparaView::operationRunning() const
{
    return m_runner->running();
}

// Flips run again to turn back. The colour operations start from the picture
// as loaded, and the active one chosen again only brings that back.
void CScoparaView::runOperation(int operation)
{
    if (m_runner->running())
        return;
    const bool flip = operation == OpMirror || operation == OpFlipVertical;
    if (!flip) {
        m_doc->restoreBackup();
        viewport()->update();
        if (m_operation == operation) {
            m_operation = 0;
            return;
        }
    }
    m_operation = flip && m_operation == operation ? 0 : operation;
    m_runner->start(m_doc->picture(), operation);
}

void CScoparaView::operationDone(std::shared_ptr<CxImage> result)
{
    if (result) {
        m_doc->picture() = std::move(*result);
        m_doc->pictureChanged();
    }
    QTimer::singleShot(111, this, [this] { m_host.showProgress(-1); });
    viewport()->update();
}

void CScoparaView::finishOperation()
{
    if (!m_runner->running())
        return;
    m_runner->wait();
    QCoreApplication::sendPostedEvents(m_runner, platform::msg::PictureOpProgress);
}

void CScoparaView::save()
{
    const QString path = m_doc->path();
    if (!m_doc->shapes().empty() && QFileInfo::exists(path) && !replaceWithMeasured())
        return;
    saveAs(path);
}

// Save draws the shapes into the picture for good: the clean capture is
// gone unless the user means it.
bool CScoparaView::replaceWithMeasured()
{
    const QString question = QStringLiteral("ReplaceMeasured");
    std::map<QString, bool>& answers = m_host.sessionAnswers();
    if (const auto kept = answers.find(question); kept != answers.end()) {
        if (!kept->second)
            m_host.showStatusMessage(base::uiText("NotReplaced", "The picture was not replaced: Save As keeps both."));
        return kept->second;
    }
    bool remember = false;
    const bool replace = platform::messageDialogs().confirmRemembered(
        base::uiText("ReplaceMeasured", "Replace the picture with the measured one? Save As keeps both.", base::kMessageCapacity),
        base::uiText("AskNoMore", "Do not ask again until Vellumet is closed"), remember);
    if (remember)
        answers[question] = replace;
    return replace;
}

void CScoparaView::measureSettingsChanged()
{
    // Without a calibration no measuring tool but Add Text stays chosen.
    const int tool = m_shapes->tool();
    if (!measureState().isCalibrated() && tool != measure::ToolNone && tool != measure::ToolText)
        m_shapes->setTool(measure::ToolNone);
    viewport()->update();
}

}  // namespace picture
