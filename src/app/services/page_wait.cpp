#include "page_wait.h"

#include <QPointer>

#include "app/services/services.h"

namespace app {

PageWait::PageWait(IMapPage& page, QObject* parent) : QObject(parent), page_(page) {}

void PageWait::Run(const QString& code, std::function<void(const QString&)> then) {
    if (pending_++ == 0) {
        emit busyChanged(true);
    }
    page_.ExecJavaScript(
        code, [self = QPointer<PageWait>(this), then = std::move(then)](const QString& answer) {
            if (!self) {
                return;
            }
            // Counted off even when the step throws, so that the controls come back.
            struct Done {
                QPointer<PageWait> wait;
                ~Done() {
                    if (wait) {
                        wait->Answered();
                    }
                }
            } done{self};
            if (then) {
                then(answer);
            }
        });
}

void PageWait::Answered() {
    if (pending_ > 0 && --pending_ == 0) {
        emit busyChanged(false);
    }
}

}  // namespace app
