#include "CDocTemplate.h"

namespace shell {

CDocTemplate::CDocTemplate(DocKind kind, QString docClass, QString viewClass)
    : m_kind(kind), m_docClass(std::move(docClass)), m_viewClass(std::move(viewClass))
{
}

QWidget* CDocTemplate::createView(const QString& path) const
{
    return m_factory ? m_factory(path) : nullptr;
}

void DocTemplateList::registerAll()
{
    struct Entry {
        DocKind kind;
        const char* doc;
        const char* view;
    };
    static constexpr Entry kEntries[] = {
        {DocKind::Picture, "CScoparaDoc", "CScoparaView"},        {DocKind::UsbSlot1, "CDeviceDoc", "CDeviceView"},
        {DocKind::UsbSlot2, "CDeviceTWODoc", "CDeviceTWOView"},   {DocKind::UsbSlot3, "CDeviceTHREEDoc", "CDeviceTHREEView"},
        {DocKind::UsbSlot4, "CDeviceFOURDoc", "CDeviceFOURView"}, {DocKind::UsbSlot5, "CDeviceFIVEDoc", "CDeviceFIVEView"},
        {DocKind::WifiSlot, "CDeviceSixDoc", "CDeviceSixView"},
    };
    m_templates.clear();
    for (const Entry& e : kEntries)
        m_templates.push_back(std::make_unique<CDocTemplate>(e.kind, QLatin1String(e.doc), QLatin1String(e.view)));
}

CDocTemplate* DocTemplateList::find(DocKind kind) const
{
    for (const auto& t : m_templates) {
        if (t->kind() == kind)
            return t.get();
    }
    return nullptr;
}

}  // namespace shell
