#pragma once
// Publishes the page callbacks to every document a page loads. The one published object goes
// over a QWebChannel; a script injected at document creation defines the callbacks as global
// functions, checks their argument count at once (a wrong count throws "Error Parameters"
// in the page) and keeps calls made before the channel is up until it is, in order.
#include <QObject>
#include <QString>
#include <QStringList>
#include <QWebChannel>

class QWebEnginePage;

namespace app {

class TJsProcessor;

// The name the object is published under.
inline constexpr char kJsProcessorName[] = "TJsProcessor";
// The bridge's own object: the host's marker that every earlier call of a script has arrived.
inline constexpr char kBridgeControlName[] = "VantorelBridgeControl";

class BridgeControl : public QObject {
    Q_OBJECT

  public:
    using QObject::QObject;
    // Sent by the page function __vantorelFlush(token) through the same queue as the
    // callbacks, so it arrives after every call made before it.
    Q_INVOKABLE void flush(int token) { emit flushed(token); }
    // Sent by the page function __vantorelReady() once the page has made its map; `load` is
    // the number the host gave the page's address ("?load=N"), 0 when it has none.
    Q_INVOKABLE void ready(int load) { emit pageReady(load); }

  signals:
    void flushed(int token);
    void pageReady(int load);
};

// The callbacks' names in declaration order.
QStringList PageCallbackNames();

// The injected script: the channel's client library followed by the global functions, whose
// argument counts and empty values come from the published object's methods.
QString BridgeScriptSource();

class TNCJsExtended : public QObject {
    Q_OBJECT

  public:
    // The processor is not owned and must outlive every page attached.
    explicit TNCJsExtended(TJsProcessor& processor, QObject* parent = nullptr);

    // Gives the page the channel and the script; every later load of the page gets both.
    void Attach(QWebEnginePage& page);

    BridgeControl& Control() { return control_; }

  private:
    BridgeControl control_;
    QWebChannel channel_;
};

}  // namespace app
