#pragma once

#include <QCoreApplication>
#include <QElapsedTimer>

#include <functional>

namespace testing_support {

// Runs the event loop until `done` answers true or `ms` pass; the last answer.
inline bool waitFor(const std::function<bool()>& done, int ms = 5000)
{
    QElapsedTimer t;
    t.start();
    while (!done() && t.elapsed() < ms)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
    return done();
}

}  // namespace testing_support
