#include "com_setup_form.h"

#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

#include "app/services/services.h"
#include "app/widgets/failure_message.h"
#include "gps_serial_port.h"
#include "serial_gps_port.h"

namespace geodataui {
namespace {

template <typename Texts>
QStringList ListOf(const Texts& texts) {
    QStringList list;
    for (const auto& text : texts) {
        list << QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
    }
    return list;
}

void Select(QComboBox* box, const std::string& value) {
    const int index = box->findText(QString::fromStdString(value));
    if (index >= 0) {
        box->setCurrentIndex(index);
    }
}

std::string Chosen(const QComboBox* box, const std::string& otherwise) {
    return box->currentIndex() < 0 ? otherwise : box->currentText().toStdString();
}

}  // namespace

TComSetupFrm::TComSetupFrm(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("ComSetupFrm"));
    setWindowTitle(QStringLiteral("设置"));
    setFont(QFont(QStringLiteral("宋体"), 9));

    auto* group = new QGroupBox(this);
    group->setObjectName(QStringLiteral("grpSettings"));
    auto* grid = new QGridLayout(group);
    const auto row = [&](int index, const QString& label, const char* name) {
        auto* box = new QComboBox(group);
        box->setObjectName(QLatin1String(name));
        box->setMinimumWidth(129);
        auto* caption = new QLabel(label, group);
        caption->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
        grid->addWidget(caption, index, 0);
        grid->addWidget(box, index, 1);
        return box;
    };
    cbbPort = row(0, QStringLiteral("端口"), "cbbPort");
    cbbBaudrate = row(1, QStringLiteral("波特率"), "cbbBaudrate");
    cbbDatabits = row(2, QStringLiteral("数据位"), "cbbDatabits");
    cbbStopbits = row(3, QStringLiteral("停止位"), "cbbStopbits");
    cbbParity = row(4, QStringLiteral("奇偶性"), "cbbParity");
    cbbFlowcontrol = row(5, QStringLiteral("流控制"), "cbbFlowcontrol");
    cbbBaudrate->addItems(ListOf(geodata::kBaudRateTexts));
    cbbDatabits->addItems(ListOf(geodata::kDataBitsTexts));
    cbbStopbits->addItems(ListOf(geodata::kStopBitsTexts));
    cbbParity->addItems(ListOf(geodata::kParityTexts));
    cbbFlowcontrol->addItems(ListOf(geodata::kFlowControlTexts));

    auto* ok = new QPushButton(QStringLiteral("确定"), this);
    ok->setObjectName(QStringLiteral("btnOK"));
    ok->setDefault(true);
    auto* cancel = new QPushButton(QStringLiteral("取消"), this);
    cancel->setObjectName(QStringLiteral("btnCancel"));
    connect(ok, &QPushButton::clicked, this, &QDialog::accept);
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(ok);
    buttons->addWidget(cancel);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(group);
    layout->addLayout(buttons);
    setFixedSize(sizeHint().expandedTo(QSize(237, 223)));
}

void TComSetupFrm::Show(const geodata::ComPortSettings& settings, const QStringList& ports) {
    shown_ = settings;
    cbbPort->clear();
    cbbPort->addItems(ports);
    const QString stored = QString::fromStdString(settings.Port);
    if (!stored.isEmpty() && !ports.contains(stored)) {
        cbbPort->addItem(stored);
    }
    Select(cbbPort, settings.Port);
    Select(cbbBaudrate, settings.BaudRate);
    Select(cbbDatabits, settings.DataBits);
    Select(cbbStopbits, settings.StopBits);
    Select(cbbParity, settings.Parity);
    Select(cbbFlowcontrol, settings.FlowControl);
}

geodata::ComPortSettings TComSetupFrm::Collect() const {
    geodata::ComPortSettings settings = shown_;
    settings.Port = Chosen(cbbPort, shown_.Port);
    settings.BaudRate = Chosen(cbbBaudrate, shown_.BaudRate);
    settings.DataBits = Chosen(cbbDatabits, shown_.DataBits);
    settings.StopBits = Chosen(cbbStopbits, shown_.StopBits);
    settings.Parity = Chosen(cbbParity, shown_.Parity);
    settings.FlowControl = Chosen(cbbFlowcontrol, shown_.FlowControl);
    return settings;
}

bool RunComSetupDialog(QWidget* parent, IGpsSerialPort& port, const std::filesystem::path& file,
                       app::IMessages& messages) {
    geodata::ComPortSettings settings = port.Settings();
    geodata::LoadPortSettings(file, kSerialSettingsSection, settings);
    port.ApplySettings(settings);

    // The list starts at the port that a start opens: the first-run default gives way to the
    // first port present, as it does at a start; a chosen port shows as stored, present or not.
    geodata::ComPortSettings shown = settings;
    if (const QString opened = port.PortName(); !opened.isEmpty()) {
        shown.Port = opened.toStdString();
    }
    TComSetupFrm form(parent);
    form.Show(shown, AvailablePortNames());
    if (form.exec() != QDialog::Accepted) {
        return false;
    }
    const geodata::ComPortSettings chosen = form.Collect();
    port.ApplySettings(chosen);
    std::string error;
    if (!geodata::SavePortSettings(file, kSerialSettingsSection, chosen, &error)) {
        messages.ShowError(app::FailureMessage(
            QStringLiteral("串口设置未能保存到“%1”。").arg(QString::fromStdString(file.string())),
            error));
    }
    return true;
}

}  // namespace geodataui
