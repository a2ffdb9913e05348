#include "CommandRouter.h"

#include <QAction>
#include <QTimer>

namespace shell {

namespace {

// How often the toolbar catches up with state that changed without a command.
constexpr int kIdleRefreshMs = 250;

}  // namespace

CommandRouter::CommandRouter(QObject* parent) : QObject(parent), m_idleTimer(new QTimer(this))
{
    connect(m_idleTimer, &QTimer::timeout, this, &CommandRouter::refresh);
    m_idleTimer->start(kIdleRefreshMs);
}

QAction* CommandRouter::action(int id, QObject* parentForNew)
{
    if (QAction* a = find(id))
        return a;
    auto* a = new QAction(parentForNew ? parentForNew : this);
    a->setData(id);
    connect(a, &QAction::triggered, this, [this, id] { dispatch(id); });
    m_actions.emplace(id, a);
    return a;
}

QAction* CommandRouter::find(int id) const
{
    const auto it = m_actions.find(id);
    return it == m_actions.end() ? nullptr : it->second;
}

QList<int> CommandRouter::ids() const
{
    QList<int> out;
    for (const auto& entry : m_actions)
        out.append(entry.first);
    return out;
}

void CommandRouter::handleInFrame(int id, Run run, Update update)
{
    m_frame[id] = FrameHandler{std::move(run), std::move(update)};
}

void CommandRouter::setTargetFinder(TargetFinder finder)
{
    m_findTarget = std::move(finder);
}

base::CommandState CommandRouter::stateOf(int id) const
{
    base::CommandState state;
    base::CommandTarget* target = m_findTarget ? m_findTarget() : nullptr;
    if (target && target->handlesCommand(id)) {
        target->updateCommand(id, state);
        return state;
    }
    const auto it = m_frame.find(id);
    if (it == m_frame.end()) {
        state.enabled = false;
        return state;
    }
    if (it->second.update)
        it->second.update(state);
    return state;
}

bool CommandRouter::dispatch(int id)
{
    base::CommandTarget* target = m_findTarget ? m_findTarget() : nullptr;
    bool handled = false;
    if (target && target->handlesCommand(id)) {
        target->runCommand(id);
        handled = true;
    } else if (const auto it = m_frame.find(id); it != m_frame.end() && stateOf(id).enabled) {
        it->second.run();
        handled = true;
    }
    // The command may have closed the window that owns this router.
    QMetaObject::invokeMethod(this, &CommandRouter::refresh, Qt::QueuedConnection);
    return handled;
}

void CommandRouter::refresh()
{
    for (const auto& [id, a] : m_actions) {
        const base::CommandState s = stateOf(id);
        a->setEnabled(s.enabled);
        a->setCheckable(s.checkable || s.checked);
        a->setChecked(s.checked);
    }
}

}  // namespace shell
