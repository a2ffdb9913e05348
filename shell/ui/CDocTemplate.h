#pragma once

#include <QString>

#include <functional>
#include <memory>
#include <vector>

class QWidget;

namespace shell {

// The seven kinds of document the main window can hold, in the order they
// are registered.
enum class DocKind { Picture, UsbSlot1, UsbSlot2, UsbSlot3, UsbSlot4, UsbSlot5, WifiSlot };

// One kind of document with its view. The subsystem that owns a kind plugs
// in the factory that builds its view; until then the kind cannot be opened.
class CDocTemplate {
public:
    using ViewFactory = std::function<QWidget*(const QString& path)>;

    CDocTemplate(DocKind kind, QString docClass, QString viewClass);

    DocKind kind() const { return m_kind; }
    const QString& docClass() const { return m_docClass; }
    const QString& viewClass() const { return m_viewClass; }
    static constexpr int resourceId() { return 128; }
    static QString frameClass() { return QStringLiteral("CChildFrame"); }

    void setViewFactory(ViewFactory factory) { m_factory = std::move(factory); }
    bool canOpen() const { return static_cast<bool>(m_factory); }
    // A new view for `path` (empty for a live slot), or nullptr when the kind
    // cannot be opened.
    QWidget* createView(const QString& path) const;

private:
    DocKind m_kind;
    QString m_docClass;
    QString m_viewClass;
    ViewFactory m_factory;
};

// The registered document kinds, in registration order.
class DocTemplateList {
public:
    // Registers the seven kinds: the picture document, USB slots 1 to 5, the
    // WiFi slot.
    void registerAll();

    CDocTemplate* find(DocKind kind) const;
    const std::vector<std::unique_ptr<CDocTemplate>>& all() const { return m_templates; }

private:
    std::vector<std::unique_ptr<CDocTemplate>> m_templates;
};

}  // namespace shell
