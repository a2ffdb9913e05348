#pragma once

#include "base/command_target.h"

#include <QObject>

#include <functional>
#include <map>

class QAction;
class QTimer;

namespace shell {

// Every command is one QAction carrying its command id. A command runs in the
// active view when that view handles it, otherwise in the main window when
// the window registered a handler, otherwise it is greyed out. The states
// are brought up to date on every change of the active view, after each
// command, when a menu opens, and a few times a second for the toolbar.
class CommandRouter : public QObject {
    Q_OBJECT
public:
    using Run = std::function<void()>;
    using Update = std::function<void(base::CommandState&)>;
    using TargetFinder = std::function<base::CommandTarget*()>;

    explicit CommandRouter(QObject* parent = nullptr);

    // The action of `id`, created on first use with `parentForNew` as parent.
    QAction* action(int id, QObject* parentForNew = nullptr);
    QAction* find(int id) const;
    QList<int> ids() const;

    // A command the main window answers itself.
    void handleInFrame(int id, Run run, Update update = {});
    // How to find the active view.
    void setTargetFinder(TargetFinder finder);

    // Runs `id` where it belongs. False when nobody handles it now.
    bool dispatch(int id);
    // The state `id` should show now.
    base::CommandState stateOf(int id) const;

public Q_SLOTS:
    void refresh();

private:
    struct FrameHandler {
        Run run;
        Update update;
    };

    std::map<int, QAction*> m_actions;
    std::map<int, FrameHandler> m_frame;
    TargetFinder m_findTarget;
    QTimer* m_idleTimer;
};

}  // namespace shell
