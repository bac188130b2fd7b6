#include "script_bridge.h"

#include <QFile>
#include <QMetaMethod>
#include <QWebEnginePage>
#include <QWebEngineScript>
#include <QWebEngineScriptCollection>
#include <stdexcept>

#include "js_processor.h"
#include "script_text.h"

namespace app {
namespace {

constexpr char kScriptName[] = "vantorel-bridge";

QString ReadChannelClient() {
    QFile file(QStringLiteral(":/qtwebchannel/qwebchannel.js"));
    if (!file.open(QIODevice::ReadOnly)) {
        throw std::runtime_error("qwebchannel.js is missing from the Qt resources");
    }
    return QString::fromUtf8(file.readAll());
}

// The empty value of each parameter, as a script literal: what an argument that is neither
// Boolean, number nor string arrives as.
QStringList EmptyArguments(const QString& name) {
    const QMetaObject& meta = TJsProcessor::staticMetaObject;
    for (int i = meta.methodOffset(); i < meta.methodCount(); ++i) {
        const QMetaMethod method = meta.method(i);
        if (method.methodType() != QMetaMethod::Method ||
            QString::fromLatin1(method.name()) != name) {
            continue;
        }
        QStringList empties;
        for (int p = 0; p < method.parameterCount(); ++p) {
            switch (method.parameterType(p)) {
                case QMetaType::Bool:
                    empties << QStringLiteral("false");
                    break;
                case QMetaType::Int:
                case QMetaType::Double:
                    empties << QStringLiteral("0");
                    break;
                case QMetaType::QJsonValue:
                    empties << QStringLiteral("null");  // taken as it comes
                    break;
                default:
                    empties << QStringLiteral("''");
                    break;
            }
        }
        return empties;
    }
    throw std::logic_error("page callback without a method: " + name.toStdString());
}

// Defines the functions in the page's global scope. Arguments that are neither Boolean,
// number nor string reach the host as empty values.
constexpr char kShim[] = R"JS(
(function (signatures, processorName, controlName) {
  'use strict';
  if (window.__vantorelBridge) { return; }
  var objects = null;
  var pending = [];
  var lastReturn = null;
  function plain(value, empty) {
    var kind = typeof value;
    return (kind === 'boolean' || kind === 'number' || kind === 'string') ? value : empty;
  }
  function deliver(call) {
    var target = objects[call[0]];
    target[call[1]].apply(target, call[2]);
  }
  function send(objectName, name, args) {
    var call = [objectName, name, args];
    if (objects) { deliver(call); } else { pending.push(call); }
  }
  Object.keys(signatures).forEach(function (name) {
    var empties = signatures[name];
    var arity = empties.length;
    window[name] = function () {
      if (arguments.length !== arity || arguments.length === 0) {
        throw new Error('Error Parameters');
      }
      var args = Array.prototype.map.call(arguments, function (value, i) {
        return plain(value, empties[i]);
      });
      if (name === 'setJsReturnValue') {
        lastReturn = String(args[0]);
      }
      send(processorName, name, args);
    };
  });
  Object.defineProperty(window, '__vantorelReturnValue', {
    get: function () { return lastReturn; }
  });
  window.__vantorelFlush = function (token) { send(controlName, 'flush', [token]); };
  window.__vantorelReady = function () {
    var load = /[?&]load=(\d+)/.exec(location.search);
    send(controlName, 'ready', [load ? Number(load[1]) : 0]);
  };
  function connect() {
    if (typeof qt === 'undefined' || !qt.webChannelTransport) {
      setTimeout(connect, 0);
      return;
    }
    new QWebChannel(qt.webChannelTransport, function (channel) {
      objects = channel.objects;
      while (pending.length) { deliver(pending.shift()); }
    });
  }
  window.__vantorelBridge = true;
  connect();
})(%2, %1, %3);
)JS";

}  // namespace

QStringList PageCallbackNames() {
    return {QStringLiteral("setJsReturnValue"),       QStringLiteral("mapMousemoveEvent"),
            QStringLiteral("mapZoomChangedEvent"),    QStringLiteral("mapCenterChangedEvent"),
            QStringLiteral("plotLatlngsEvent"),       QStringLiteral("mapMarkerClickEvent"),
            QStringLiteral("plotElevationEvent"),     QStringLiteral("mapBoundsChangedEvent"),
            QStringLiteral("mapMarkerDblClickEvent"), QStringLiteral("markerCompletedEvent")};
}

QString BridgeScriptSource() {
    QStringList signatures;
    for (const QString& name : PageCallbackNames()) {
        signatures << JsString(name) + QStringLiteral(":[") + EmptyArguments(name).join(u',') +
                          u']';
    }
    // The client library stays inside the function scope: pages see only the callbacks.
    return QStringLiteral("(function () {\n") + ReadChannelClient() +
           QString::fromUtf8(kShim).arg(JsString(QLatin1String(kJsProcessorName)),
                                        u'{' + signatures.join(u',') + u'}',
                                        JsString(QLatin1String(kBridgeControlName))) +
           QStringLiteral("})();\n");
}

TNCJsExtended::TNCJsExtended(TJsProcessor& processor, QObject* parent) : QObject(parent) {
    channel_.registerObject(QLatin1String(kJsProcessorName), &processor);
    channel_.registerObject(QLatin1String(kBridgeControlName), &control_);
}

void TNCJsExtended::Attach(QWebEnginePage& page) {
    page.setWebChannel(&channel_);
    QWebEngineScriptCollection& scripts = page.scripts();
    for (const QWebEngineScript& old : scripts.find(QLatin1String(kScriptName))) {
        scripts.remove(old);
    }
    QWebEngineScript script;
    script.setName(QLatin1String(kScriptName));
    script.setInjectionPoint(QWebEngineScript::DocumentCreation);
    script.setWorldId(QWebEngineScript::MainWorld);
    script.setRunsOnSubFrames(false);
    script.setSourceCode(BridgeScriptSource());
    scripts.insert(script);
}

}  // namespace app
