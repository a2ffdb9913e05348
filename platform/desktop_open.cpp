#include "desktop_open.h"

#include <QDesktopServices>
#include <QUrl>

namespace platform {

namespace {

class XdgOpener : public DesktopOpener {
public:
    bool open(const QString& path) override { return QDesktopServices::openUrl(QUrl::fromLocalFile(path)); }
};

DesktopOpener* g_opener = nullptr;

}  // namespace

DesktopOpener& desktopOpener()
{
    static XdgOpener desktop;
    return g_opener ? *g_opener : desktop;
}

DesktopOpener* setDesktopOpener(DesktopOpener* opener)
{
    DesktopOpener* previous = g_opener;
    g_opener = opener;
    return previous;
}

}  // namespace platform
