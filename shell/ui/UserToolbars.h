#pragma once

#include <QList>
#include <QObject>
#include <QString>

#include <map>

class QMainWindow;
class QToolBar;

namespace platform {
class Registry;
}

namespace shell {

class CommandRouter;

// Toolbars the user puts together from the program's commands: up to ten,
// numbered 59432 to 59441, kept with the window layout in the registry.
class UserToolbars : public QObject {
    Q_OBJECT
public:
    UserToolbars(QMainWindow* window, CommandRouter& router, platform::Registry& registry);

    static constexpr int kFirstId = 59432;
    static constexpr int kLastId = 59441;

    void load();
    QList<int> ids() const;
    QString name(int id) const;
    QList<int> commands(int id) const;
    QToolBar* toolbar(int id) const;

    // A new toolbar; 0 when all ten exist.
    int create(const QString& name);
    void rename(int id, const QString& name);
    void remove(int id);
    void setCommands(int id, const QList<int>& commands);

Q_SIGNALS:
    void changed();

private:
    struct Entry {
        QString name;
        QList<int> commands;
        QToolBar* bar = nullptr;
    };
    void build(int id, Entry& entry);
    void fill(Entry& entry);
    void save() const;

    QMainWindow* m_window;
    CommandRouter& m_router;
    platform::Registry& m_registry;
    std::map<int, Entry> m_bars;
};

}  // namespace shell
