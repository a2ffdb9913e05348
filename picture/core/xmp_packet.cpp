#include "xmp_packet.h"

#include <QLocale>
#include <QXmlStreamReader>
#include <QXmlStreamWriter>

#include <cmath>

namespace picture {

namespace {

const QString kNamespace = QStringLiteral("http://ns.vellumet.org/picture/1.0/");
const QString kRdf = QStringLiteral("http://www.w3.org/1999/02/22-rdf-syntax-ns#");

// The values as read, before they are checked to add up.
struct Values {
    std::optional<double> pixelsPerUnit;
    QString unit;
    QString profile;
    int width = 0;
    int height = 0;
    std::optional<int> slot;
    QString camera;
    bool any = false;
};

void take(Values& v, QStringView name, const QString& text)
{
    bool ok = false;
    if (name == u"PixelsPerUnit") {
        const double d = text.toDouble(&ok);
        if (ok && std::isfinite(d))
            v.pixelsPerUnit = d;
    } else if (name == u"Unit") {
        v.unit = text;
    } else if (name == u"Profile") {
        v.profile = text;
    } else if (name == u"PictureWidth") {
        v.width = text.toInt(&ok);
    } else if (name == u"PictureHeight") {
        v.height = text.toInt(&ok);
    } else if (name == u"Slot") {
        if (const int s = text.toInt(&ok); ok && s >= 0 && s <= 6)
            v.slot = s;
    } else if (name == u"Camera") {
        v.camera = text;
    } else {
        return;
    }
    v.any = true;
}

}  // namespace

std::vector<uint8_t> xmpPayload(const PictureMetadata& metadata)
{
    QByteArray packet;
    QXmlStreamWriter xml(&packet);
    xml.setAutoFormatting(true);
    xml.setAutoFormattingIndent(1);
    xml.writeProcessingInstruction(QStringLiteral("xpacket"),
                                   QStringLiteral("begin=\"%1\" id=\"W5M0MpCehiHzreSzNTczkc9d\"").arg(QChar(0xFEFF)));
    xml.writeNamespace(QStringLiteral("adobe:ns:meta/"), QStringLiteral("x"));
    xml.writeNamespace(kRdf, QStringLiteral("rdf"));
    xml.writeNamespace(kNamespace, QStringLiteral("vellumet"));
    xml.writeStartElement(QStringLiteral("adobe:ns:meta/"), QStringLiteral("xmpmeta"));
    xml.writeStartElement(kRdf, QStringLiteral("RDF"));
    xml.writeStartElement(kRdf, QStringLiteral("Description"));
    xml.writeAttribute(kRdf, QStringLiteral("about"), QString());
    const auto field = [&xml](const QString& name, const QString& value) { xml.writeTextElement(kNamespace, name, value); };
    if (metadata.scale) {
        const PictureScale& s = *metadata.scale;
        field(QStringLiteral("PixelsPerUnit"), QString::number(s.pixelsPerUnit, 'g', QLocale::FloatingPointShortest));
        field(QStringLiteral("Unit"), s.unit);
        field(QStringLiteral("Profile"), s.profile);
        field(QStringLiteral("PictureWidth"), QString::number(s.size.width()));
        field(QStringLiteral("PictureHeight"), QString::number(s.size.height()));
    }
    field(QStringLiteral("Slot"), QString::number(metadata.slot));
    if (!metadata.camera.isEmpty())
        field(QStringLiteral("Camera"), metadata.camera);
    xml.writeEndElement();
    xml.writeEndElement();
    xml.writeEndElement();
    xml.writeProcessingInstruction(QStringLiteral("xpacket"), QStringLiteral("end=\"w\""));

    // Readers look for the packet's wrapper at its very start.
    packet = packet.trimmed();
    std::vector<uint8_t> payload(kXmpSignature, kXmpSignature + kXmpSignatureSize);
    payload.insert(payload.end(), packet.begin(), packet.end());
    return payload;
}

bool readXmpPacket(const uint8_t* packet, size_t size, PictureMetadata& metadata)
{
    if (!packet || size == 0 || size > (1u << 20))
        return false;
    QXmlStreamReader xml(QByteArray::fromRawData(reinterpret_cast<const char*>(packet), qsizetype(size)));
    Values v;
    while (!xml.atEnd()) {
        switch (xml.readNext()) {
        case QXmlStreamReader::DTD: return false;  // no entities of its own in an XMP packet
        case QXmlStreamReader::StartElement:
            // Other writers may put the fields as attributes of the description.
            for (const QXmlStreamAttribute& a : xml.attributes()) {
                if (a.namespaceUri() == kNamespace)
                    take(v, a.name(), a.value().toString());
            }
            if (xml.namespaceUri() == kNamespace) {
                const QString name = xml.name().toString();
                take(v, name, xml.readElementText(QXmlStreamReader::SkipChildElements));
            }
            break;
        default: break;
        }
    }
    if (xml.hasError() || !v.any)
        return false;
    PictureScale scale{v.pixelsPerUnit.value_or(0), v.unit, v.profile, QSize(v.width, v.height)};
    if (scale.isValid())
        metadata.scale = scale;
    if (v.slot)
        metadata.slot = *v.slot;
    if (!v.camera.isEmpty())
        metadata.camera = v.camera;
    return true;
}

}  // namespace picture
