#pragma once
// Runs blocking work (a web lookup) on the global thread pool and hands its result back to the
// UI thread. The result is dropped when `context` is gone by then, so a closed window never
// receives an answer.
#include <QCoreApplication>
#include <QObject>
#include <QPointer>
#include <QThreadPool>
#include <functional>
#include <memory>
#include <utility>

namespace app {

template <class Result, class Work, class Done>
void RunOffUiThread(QObject* context, Work work, Done done) {
    QPointer<QObject> guard(context);
    QThreadPool::globalInstance()->start(
        [guard, work = std::move(work), done = std::move(done)]() mutable {
            auto result = std::make_shared<Result>(work());
            // The application object outlives every window; the guard is read on its thread.
            QMetaObject::invokeMethod(
                QCoreApplication::instance(),
                [guard, result, done = std::move(done)]() mutable {
                    if (guard) {
                        done(std::move(*result));
                    }
                },
                Qt::QueuedConnection);
        });
}

}  // namespace app
