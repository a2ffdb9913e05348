#include "camera_pages.h"

#include <QRegularExpression>

#include <algorithm>
#include <array>
#include <limits>

namespace wifi {

namespace {

void setWhy(QString* why, const QString& text)
{
    if (why)
        *why = text;
}

// Pages are HTML with scripts: anything with NULs or other control bytes is
// not one of them (a picture, a truncated transfer gone wrong, random bytes).
bool looksLikeText(const QByteArray& body)
{
    for (const char c : body) {
        const auto b = static_cast<unsigned char>(c);
        if ((b < 0x20 && b != '\t' && b != '\n' && b != '\r' && b != '\f') || b == 0x7f)
            return false;
    }
    return true;
}

// A plain decimal number in [lo, hi]; no signs, no spaces inside.
std::optional<qint64> parseNumber(QStringView s, qint64 lo, qint64 hi)
{
    s = s.trimmed();
    if (s.isEmpty() || s.size() > 12)
        return std::nullopt;
    qint64 v = 0;
    for (const QChar c : s) {
        if (c < QLatin1Char('0') || c > QLatin1Char('9'))
            return std::nullopt;
        v = v * 10 + (c.unicode() - '0');
    }
    if (v < lo || v > hi)
        return std::nullopt;
    return v;
}

// Like parseNumber, with an optional leading minus.
std::optional<qint64> parseSigned(QStringView s, qint64 lo, qint64 hi)
{
    s = s.trimmed();
    bool negative = s.startsWith(QLatin1Char('-'));
    if (negative)
        s = s.mid(1);
    const auto v = parseNumber(s, 0, std::numeric_limits<qint64>::max() / 20);
    if (!v)
        return std::nullopt;
    const qint64 signedValue = negative ? -*v : *v;
    if (signedValue < lo || signedValue > hi)
        return std::nullopt;
    return signedValue;
}

constexpr int kMaxDimension = 10000;

const QRegularExpression& cameraListPattern()
{
    static const QRegularExpression re(QStringLiteral(R"(var\s+cameraList\s*=\s*"([^"]*)\")"));
    return re;
}

// The page's mode list; `end` is where it stops in the page.
std::optional<std::vector<CameraMode>> parseCameraList(const QString& page, qsizetype* end, QString* why)
{
    const QRegularExpressionMatch m = cameraListPattern().match(page);
    if (!m.hasMatch()) {
        setWhy(why, QStringLiteral("The page has no mode list (perhaps the login page)"));
        return std::nullopt;
    }
    *end = m.capturedEnd(0);
    std::vector<CameraMode> modes;
    const QString list = m.captured(1);
    for (const QStringView entry : QStringView(list).split(QLatin1Char('#'))) {
        if (entry.trimmed().isEmpty())
            continue;  // a trailing '#'
        const QList<QStringView> fields = entry.split(QLatin1Char(','));
        if (fields.size() < 4) {
            setWhy(why, QStringLiteral("A mode has fewer than four fields: \"%1\"").arg(entry.left(80)));
            return std::nullopt;
        }
        const auto number = parseNumber(fields[0], 1, kMaxDimension);
        const auto flag = parseNumber(fields[1], 0, kMaxDimension);
        const auto width = parseNumber(fields[2], 1, kMaxDimension);
        const auto height = parseNumber(fields[3], 1, kMaxDimension);
        if (!number || !flag || !width || !height) {
            setWhy(why, QStringLiteral("A mode's numbers make no sense: \"%1\"").arg(entry.left(80)));
            return std::nullopt;
        }
        CameraMode mode;
        mode.number = static_cast<int>(*number);
        mode.usable = *flag == 1;
        mode.width = static_cast<int>(*width);
        mode.height = static_cast<int>(*height);
        mode.text = entry.toString();
        modes.push_back(std::move(mode));
    }
    if (modes.empty()) {
        setWhy(why, QStringLiteral("The mode list is empty"));
        return std::nullopt;
    }
    return modes;
}

// Reading the control block, a JSON-like array of flat objects whose values
// are quoted or bare words: [ {"name": "Brightness", "id": "9963776", ...}, ... ].
class ControlBlockReader {
public:
    explicit ControlBlockReader(QStringView text) : m_text(text) {}

    using Item = std::vector<std::pair<QString, QString>>;

    // All items, or nullopt when the block is broken.
    std::optional<std::vector<Item>> read()
    {
        skipSpace();
        if (!take(QLatin1Char('[')))
            return std::nullopt;
        std::vector<Item> items;
        for (;;) {
            skipSpace();
            if (take(QLatin1Char(']')))
                return items;
            auto item = readItem();
            if (!item)
                return std::nullopt;
            items.push_back(std::move(*item));
            skipSpace();
            if (take(QLatin1Char(',')))
                continue;
            if (take(QLatin1Char(']')))
                return items;
            return std::nullopt;
        }
    }

private:
    std::optional<Item> readItem()
    {
        if (!take(QLatin1Char('{')))
            return std::nullopt;
        Item item;
        for (;;) {
            skipSpace();
            if (take(QLatin1Char('}')))
                return item;
            auto key = readWord();
            skipSpace();
            if (!key || !take(QLatin1Char(':')))
                return std::nullopt;
            skipSpace();
            auto value = readWord();
            if (!value)
                return std::nullopt;
            item.emplace_back(std::move(*key), std::move(*value));
            skipSpace();
            if (take(QLatin1Char(',')))
                continue;
            if (take(QLatin1Char('}')))
                return item;
            return std::nullopt;
        }
    }

    std::optional<QString> readWord()
    {
        if (m_pos >= m_text.size())
            return std::nullopt;
        const QChar quote = m_text[m_pos];
        if (quote == QLatin1Char('"') || quote == QLatin1Char('\'')) {
            const qsizetype close = m_text.indexOf(quote, m_pos + 1);
            if (close < 0)
                return std::nullopt;
            QString word = m_text.mid(m_pos + 1, close - m_pos - 1).toString();
            m_pos = close + 1;
            return word;
        }
        const qsizetype start = m_pos;
        while (m_pos < m_text.size()) {
            const QChar c = m_text[m_pos];
            if (!c.isLetterOrNumber() && c != QLatin1Char('_') && c != QLatin1Char('-') && c != QLatin1Char('.'))
                break;
            ++m_pos;
        }
        if (m_pos == start)
            return std::nullopt;
        return m_text.mid(start, m_pos - start).toString();
    }

    void skipSpace()
    {
        while (m_pos < m_text.size() && m_text[m_pos].isSpace())
            ++m_pos;
    }

    bool take(QChar c)
    {
        if (m_pos < m_text.size() && m_text[m_pos] == c) {
            ++m_pos;
            return true;
        }
        return false;
    }

    QStringView m_text;
    qsizetype m_pos = 0;
};

constexpr std::array<const char*, 6> kControlNames = {"Brightness", "Contrast", "Saturation", "Hue", "Gamma", "Sharpness"};

std::optional<QString> field(const ControlBlockReader::Item& item, const char* key)
{
    for (const auto& [k, v] : item) {
        if (k.compare(QLatin1String(key), Qt::CaseInsensitive) == 0)
            return v;
    }
    return std::nullopt;
}

// The name of the control an item stands for, by its "name" field or, failing
// that, by any value that is one of the names.
int controlIndex(const ControlBlockReader::Item& item)
{
    auto indexOf = [](const QString& text) {
        for (size_t i = 0; i < kControlNames.size(); ++i) {
            if (text.trimmed().compare(QLatin1String(kControlNames[i]), Qt::CaseInsensitive) == 0)
                return static_cast<int>(i);
        }
        return -1;
    };
    if (const auto name = field(item, "name"))
        return indexOf(*name);
    for (const auto& [k, v] : item) {
        if (const int i = indexOf(v); i >= 0)
            return i;
    }
    return -1;
}

std::optional<capture::CameraControl> makeControl(const ControlBlockReader::Item& item, int index)
{
    constexpr qint64 lo = std::numeric_limits<int32_t>::min();
    constexpr qint64 hi = std::numeric_limits<int32_t>::max();
    auto number = [&](const char* key) -> std::optional<qint64> {
        const auto text = field(item, key);
        return text ? parseSigned(*text, lo, hi) : std::nullopt;
    };
    const auto idText = field(item, "id");
    const auto id = idText ? parseNumber(*idText, 1, std::numeric_limits<uint32_t>::max()) : std::nullopt;
    const auto minimum = number("min");
    const auto maximum = number("max");
    const auto defaultValue = number("default");
    const auto value = number("value");
    if (!id || !minimum || !maximum || !defaultValue || !value || *minimum > *maximum)
        return std::nullopt;
    const auto step = field(item, "step") ? number("step") : std::optional<qint64>(1);
    capture::CameraControl control;
    control.id = static_cast<uint32_t>(*id);
    control.name = kControlNames[static_cast<size_t>(index)];
    control.minimum = static_cast<int32_t>(*minimum);
    control.maximum = static_cast<int32_t>(*maximum);
    control.step = step && *step > 0 ? static_cast<int32_t>(*step) : 1;
    control.defaultValue = static_cast<int32_t>(*defaultValue);
    control.value = static_cast<int32_t>(*value);
    return control;
}

// The first "[ {" after `from`: the control block.
std::vector<capture::CameraControl> parseControls(const QString& page, qsizetype from)
{
    static const QRegularExpression blockStart(QStringLiteral(R"(\[\s*\{)"));
    const QRegularExpressionMatch m = blockStart.match(page, from);
    if (!m.hasMatch())
        return {};
    const auto items = ControlBlockReader(QStringView(page).mid(m.capturedStart(0))).read();
    if (!items)
        return {};
    std::array<std::optional<capture::CameraControl>, kControlNames.size()> found;
    for (const auto& item : *items) {
        const int index = controlIndex(item);
        if (index < 0 || found[static_cast<size_t>(index)])
            continue;
        found[static_cast<size_t>(index)] = makeControl(item, index);
    }
    std::vector<capture::CameraControl> controls;
    for (auto& c : found) {
        if (c)
            controls.push_back(std::move(*c));
    }
    return controls;
}

}  // namespace

std::optional<MediaPage> parseMediaPage(const QByteArray& body, QString* why)
{
    if (!looksLikeText(body)) {
        setWhy(why, QStringLiteral("The answer is not a web page"));
        return std::nullopt;
    }
    const QString page = QString::fromLatin1(body);
    qsizetype end = 0;
    auto modes = parseCameraList(page, &end, why);
    if (!modes)
        return std::nullopt;

    static const QRegularExpression savedPattern(QStringLiteral(R"(var\s+video_idx_save\s*=\s*"?\s*([^";\s]*))"));
    const QRegularExpressionMatch saved = savedPattern.match(page, end);
    if (!saved.hasMatch()) {
        setWhy(why, QStringLiteral("The page does not tell which mode the camera uses"));
        return std::nullopt;
    }
    const auto savedIndex = parseNumber(saved.captured(1), 0, kMaxDimension);
    if (!savedIndex) {
        setWhy(why, QStringLiteral("The camera's mode \"%1\" makes no sense").arg(saved.captured(1).left(20)));
        return std::nullopt;
    }

    MediaPage result;
    result.savedIndex = static_cast<int>(*savedIndex);
    for (const CameraMode& mode : *modes) {
        if (mode.usable && mode.number - 1 == result.savedIndex) {
            result.streamSize = QSize(mode.width, mode.height);
            break;
        }
    }
    if (!result.streamSize.isValid()) {
        setWhy(why, QStringLiteral("The camera's mode %1 is not among its usable modes").arg(result.savedIndex + 1));
        return std::nullopt;
    }
    auto anyWidth = [&](int width) {
        return std::any_of(modes->begin(), modes->end(), [&](const CameraMode& m) { return m.width == width; });
    };
    result.cameraModel = anyWidth(2592) ? 4 : anyWidth(1280) ? 1 : 0;
    result.modes = std::move(*modes);
    return result;
}

std::optional<WizardPage> parseWizardPage(const QByteArray& body, QString* why)
{
    if (!looksLikeText(body)) {
        setWhy(why, QStringLiteral("The answer is not a web page"));
        return std::nullopt;
    }
    const QString page = QString::fromLatin1(body);
    qsizetype end = 0;
    const auto modes = parseCameraList(page, &end, why);
    if (!modes)
        return std::nullopt;
    WizardPage result;
    for (const CameraMode& mode : *modes) {
        if (mode.usable && mode.width >= 320 && mode.width < 1600 && mode.height >= 240 && mode.height < 1200)
            result.dialogModes.push_back(mode);
    }
    result.controls = parseControls(page, end);
    return result;
}

QStringList resolutionMenu(const std::vector<CameraMode>& modes)
{
    QStringList menu;
    for (const CameraMode& mode : modes) {
        if (!mode.usable || mode.width < 320 || mode.width > 1280 || mode.height < 240 || mode.height > 1024)
            continue;
        const qsizetype marker = mode.text.indexOf(QLatin1String(",1,"));
        menu << (marker >= 0 ? mode.text.mid(marker + 3) : QStringLiteral("%1,%2").arg(mode.width).arg(mode.height));
        if (menu.size() == 12)
            break;
    }
    return menu;
}

std::optional<int> parseTrigger(const QByteArray& body)
{
    qsizetype i = 0;
    while (i < body.size() && (body[i] == ' ' || body[i] == '\t' || body[i] == '\r' || body[i] == '\n'))
        ++i;
    qint64 v = 0;
    const qsizetype start = i;
    while (i < body.size() && body[i] >= '0' && body[i] <= '9') {
        if (i - start >= 10)
            return std::nullopt;
        v = v * 10 + (body[i] - '0');
        ++i;
    }
    if (i == start || v > std::numeric_limits<int>::max())
        return std::nullopt;
    return static_cast<int>(v);
}

QString modeSwitchPath(int modeNumber)
{
    return QStringLiteral(
               "/apply.cgi?submit_button=media&change_action=&action=Apply&refresh_ddns=1&video_port=8899"
               "&video_idx=%1&video_frame=30&only_stream=0&auth_need=0")
        .arg(modeNumber - 1);
}

QString controlCommandPath(uint32_t id, int value)
{
    return QStringLiteral("/?action=command&dest=0&plugin=0&id=%1&group=01&value=%2").arg(id).arg(value);
}

}  // namespace wifi
