#include "fake_web.h"

#include <QThread>
#include <cstdlib>

#include "engine/log/logger.h"

namespace testplaces {

void FakeWebTest::SetUp() {
    setenv("VANTOREL_ROUTE", server.BaseUrl().c_str(), 1);
    cacheDir = temp / "Cache";
    engine::SetLogFolder(temp / "log");
}

void FakeWebTest::TearDown() {
    // No worker may outlive the server or the folders it uses.
    QThreadPool::globalInstance()->waitForDone();
    Settle();
    server.Stop();
    unsetenv("VANTOREL_ROUTE");
}

std::string FakeWebTest::ServerPath(const std::string& url) {
    const std::size_t scheme = url.find("://");
    const std::string target = "/" + url.substr(scheme + 3);
    return target.substr(0, target.find('?'));
}

void FakeWebTest::Answer(const std::string& url, const std::string& body, int status) {
    server.SetAnswer(ServerPath(url), JsonBody(body, status));
}

testsupport::CannedAnswer JsonBody(const std::string& body, int status) {
    testsupport::CannedAnswer answer;
    answer.status = status;
    answer.body = body;
    answer.contentType = "application/json";
    return answer;
}

bool WaitFor(const std::function<bool()>& done, int ms) {
    QElapsedTimer timer;
    timer.start();
    while (!done() && timer.elapsed() < ms) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
        QThread::msleep(2);
    }
    return done();
}

void Settle() {
    QThreadPool::globalInstance()->waitForDone();
    for (int i = 0; i < 5; ++i) {
        QCoreApplication::processEvents();
    }
}

}  // namespace testplaces
