#include "UserToolbars.h"

#include "CommandRouter.h"

#include "base/command_ids.h"
#include "base/registry_settings.h"

#include "platform/registry.h"

#include <QMainWindow>
#include <QToolBar>

namespace shell {

namespace {

const QString kKey = base::kWorkspaceKey + QLatin1String("\\UserToolbars");

QString commandsValue(int id)
{
    return QString::number(id) + QLatin1String(".Commands");
}

}  // namespace

UserToolbars::UserToolbars(QMainWindow* window, CommandRouter& router, platform::Registry& registry)
    : QObject(window), m_window(window), m_router(router), m_registry(registry)
{
}

void UserToolbars::load()
{
    const platform::RegistryTree tree = m_registry.snapshot();
    for (int id = kFirstId; id <= kLastId; ++id) {
        QString name;
        if (tree.queryString(kKey, QString::number(id), 0, name) != platform::RegStatus::Ok)
            continue;
        Entry entry;
        entry.name = name;
        QString list;
        tree.queryString(kKey, commandsValue(id), 0, list);
        for (const QString& part : list.split(QLatin1Char(','), Qt::SkipEmptyParts)) {
            bool ok = false;
            const int command = part.toInt(&ok);
            if (ok && m_router.find(command))
                entry.commands.append(command);
        }
        build(id, m_bars[id] = entry);
    }
}

QList<int> UserToolbars::ids() const
{
    QList<int> out;
    for (const auto& entry : m_bars)
        out.append(entry.first);
    return out;
}

QString UserToolbars::name(int id) const
{
    const auto it = m_bars.find(id);
    return it == m_bars.end() ? QString() : it->second.name;
}

QList<int> UserToolbars::commands(int id) const
{
    const auto it = m_bars.find(id);
    return it == m_bars.end() ? QList<int>() : it->second.commands;
}

QToolBar* UserToolbars::toolbar(int id) const
{
    const auto it = m_bars.find(id);
    return it == m_bars.end() ? nullptr : it->second.bar;
}

int UserToolbars::create(const QString& name)
{
    for (int id = kFirstId; id <= kLastId; ++id) {
        if (m_bars.count(id))
            continue;
        Entry& entry = m_bars[id];
        entry.name = name;
        build(id, entry);
        save();
        Q_EMIT changed();
        return id;
    }
    return 0;
}

void UserToolbars::rename(int id, const QString& name)
{
    const auto it = m_bars.find(id);
    if (it == m_bars.end())
        return;
    it->second.name = name;
    it->second.bar->setWindowTitle(name);
    save();
    Q_EMIT changed();
}

void UserToolbars::remove(int id)
{
    const auto it = m_bars.find(id);
    if (it == m_bars.end())
        return;
    m_window->removeToolBar(it->second.bar);
    delete it->second.bar;
    m_bars.erase(it);
    save();
    Q_EMIT changed();
}

void UserToolbars::setCommands(int id, const QList<int>& commands)
{
    const auto it = m_bars.find(id);
    if (it == m_bars.end())
        return;
    it->second.commands = commands;
    fill(it->second);
    save();
    Q_EMIT changed();
}

void UserToolbars::build(int id, Entry& entry)
{
    entry.bar = new QToolBar(entry.name, m_window);
    entry.bar->setObjectName(QStringLiteral("UserToolbar%1").arg(id));
    entry.bar->setIconSize(QSize(21, 21));
    m_window->addToolBar(Qt::TopToolBarArea, entry.bar);
    fill(entry);
}

void UserToolbars::fill(Entry& entry)
{
    entry.bar->clear();
    for (int command : entry.commands)
        entry.bar->addAction(m_router.action(command));
    entry.bar->addSeparator();
    entry.bar->addAction(m_router.action(base::cmd::Customize));
}

void UserToolbars::save() const
{
    m_registry.update([&](platform::RegistryTree& t) {
        t.deleteTree(kKey);
        t.createKey(kKey);
        for (const auto& [id, entry] : m_bars) {
            QStringList list;
            for (int command : entry.commands)
                list.append(QString::number(command));
            t.setValue(kKey, platform::RegValue::ofString(QString::number(id), entry.name));
            t.setValue(kKey, platform::RegValue::ofString(commandsValue(id), list.join(QLatin1Char(','))));
        }
    });
}

}  // namespace shell
