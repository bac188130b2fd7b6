#include "gdal_warp_controller.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>
#include <QUrl>
#include <filesystem>
#include <system_error>

#include "app/services/services.h"
#include "app/widgets/colour_table.h"
#include "app/widgets/path_text.h"
#include "clip_commands.h"
#include "engine/settings/settings.h"

namespace rasterui {

const char* const kClipImageFilter =
    "所有支持的格式(*.tif,*.bmp,*.png,*.jpg,*.bmp)|*.tif;*.jpg;*.bmp;*.png|GeoTif (*.tif)|*.tif|"
    "JPG (*.jpg)|*.jpg|BMP (*.bmp)|*.BMP|PNG (*.png)|*.png";
const char* const kClipCutlineFilter =
    "所有支持的格式(*.json,*.shp)|*.json;*.shp|GeoJSON (*.json)|*.json|ESRI Shapefile "
    "(*.shp)|*.shp";

namespace {

void RemoveWithSideFile(const QString& file) {
    if (file.isEmpty()) {
        return;
    }
    QFile::remove(file);
    QFile::remove(file + QStringLiteral(".aux.xml"));
}

}  // namespace

GdalWarpController::GdalWarpController(engine::TSettings& settings, const app::Services& services,
                                       ClipTools tools, QObject* parent)
    : QObject(parent),
      settings_(settings),
      services_(services),
      tools_(std::move(tools)),
      colour_(kWhite) {}

GdalWarpController::~GdalWarpController() {
    Abort();
}

// FormShow
void GdalWarpController::FormShow() {
    colour_ = settings_.GetIntSetting(engine::IntSetting::NoDataValue);
    emit changed();
}

// btnSelectDirClick
void GdalWarpController::SelectImage() {
    int filterIndex = 1;
    const QString file = services_.fileDialogs.OpenFileName(
        QString(),
        QString::fromStdString(settings_.GetStrSetting(engine::StrSetting::CombineImageOutPutDir)),
        QString::fromUtf8(kClipImageFilter), filterIndex);
    if (!file.isEmpty()) {
        SetImage(file);
    }
}

// btn1Click
void GdalWarpController::SelectCutline() {
    int filterIndex = 1;
    const QString file = services_.fileDialogs.OpenFileName(
        QString(), QString(), QString::fromUtf8(kClipCutlineFilter), filterIndex);
    if (!file.isEmpty()) {
        SetCutline(file);
    }
}

void GdalWarpController::SetTransparent(bool checked) {
    transparent_ = checked;
    emit changed();
}

void GdalWarpController::SetColour(engine::TColor colour) {
    colour_ = colour;
    emit changed();
}

// btnClipClick
void GdalWarpController::Clip() {
    if (Running() || !QFileInfo(image_).isFile() || cutline_.isEmpty()) {
        return;
    }
    log_.clear();
    emit logCleared();
    clipEnabled_ = false;
    source_ = image_;
    final_ = ClippedFileName(source_);
    temporary_ =
        UniqueFileName(tools_.temporaryFolder.isEmpty() ? QDir::tempPath() : tools_.temporaryFolder,
                       QString(), QStringLiteral(".tif"));
    partial_ = UniqueFileName(QFileInfo(final_).absolutePath(), QStringLiteral(".裁剪_"),
                              QStringLiteral(".") + QFileInfo(final_).suffix());
    cacheMB_ = engine::GdalCacheSizeMB();
    WarpOptions options;
    options.cutline = cutline_;
    options.source = source_;
    options.temporary = temporary_;
    // Transparency where the output can hold it; black, the nearest it can show, elsewhere.
    options.transparent = transparent_ && DriverHoldsAlpha(OutputDriverFor(final_));
    if (transparent_ && !options.transparent) {
        options.red = options.green = options.blue = 0;
    } else {
        ColourRgb(colour_, options.red, options.green, options.blue);
    }
    colourFill_ = !options.transparent;
    options.cacheMB = cacheMB_;
    step_ = Step::Warp;
    emit changed();
    StartTool(tools_.warp, WarpArguments(options));
}

void GdalWarpController::StartTool(const QString& program, const QStringList& arguments) {
    auto* process = new QProcess(this);
    process_ = process;
    decoder_.resetState();
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    if (!tools_.gdalData.isEmpty()) {
        environment.insert(QStringLiteral("GDAL_DATA"), tools_.gdalData);
    }
    process->setProcessEnvironment(environment);
    process->setProcessChannelMode(QProcess::MergedChannels);
    process->setWorkingDirectory(QDir::rootPath());
    connect(process, &QProcess::readyReadStandardOutput, this, &GdalWarpController::OnOutput);
    connect(process, &QProcess::finished, this,
            [this, process](int exitCode, QProcess::ExitStatus status) {
                if (process != process_) {
                    return;
                }
                OnFinished(exitCode, status == QProcess::NormalExit);
            });
    connect(process, &QProcess::errorOccurred, this, [this, process](QProcess::ProcessError error) {
        if (process != process_ || error != QProcess::FailedToStart) {
            return;  // other errors end in finished()
        }
        Append(process->program() + QStringLiteral(": ") + process->errorString() +
               QStringLiteral("\n"));
        Finish(false);
    });
    const QString found = QStandardPaths::findExecutable(program);
    process->setProgram(found.isEmpty() ? program : found);
    process->setArguments(arguments);
    process->start(QIODevice::ReadOnly);
}

void GdalWarpController::OnOutput() {
    if (process_) {
        Append(decoder_.decode(process_->readAllStandardOutput()));
    }
}

void GdalWarpController::OnFinished(int exitCode, bool normalExit) {
    OnOutput();
    const bool ok = normalExit && exitCode == 0;
    if (!ok || step_ != Step::Warp) {
        Finish(ok);
        return;
    }
    step_ = Step::Translate;
    const qint64 size = QFileInfo(temporary_).size();
    StartTool(tools_.translate,
              TranslateArguments(temporary_, partial_, final_, cacheMB_, size, colourFill_));
}

// ClipThreadTerminate: the temporary files go in every case, the button comes back in every
// case, and the folder opens only after both tools succeeded.
void GdalWarpController::Finish(bool succeeded) {
    if (process_) {
        process_->disconnect(this);
        process_->deleteLater();
        process_ = nullptr;
    }
    step_ = Step::Idle;
    RemoveWithSideFile(temporary_);
    if (succeeded) {
        // Replaces an earlier clip in one step; it stays whole until the new one is complete.
        std::error_code error;
        std::filesystem::rename(ToPath(partial_), ToPath(final_), error);
        succeeded = !error;
        if (succeeded) {
            const QString finalAux = final_ + QStringLiteral(".aux.xml");
            const QString partialAux = partial_ + QStringLiteral(".aux.xml");
            QFile::remove(finalAux);
            if (QFileInfo::exists(partialAux)) {
                QFile::rename(partialAux, finalAux);
            }
        } else {
            Append(QString::fromStdString(error.message()) + QStringLiteral("\n"));
        }
    }
    RemoveWithSideFile(partial_);
    temporary_.clear();
    partial_.clear();
    clipEnabled_ = true;
    emit changed();
    if (succeeded) {
        services_.opener.Open(QUrl::fromLocalFile(QFileInfo(source_).absolutePath()));
    }
    emit clipFinished(succeeded);
}

void GdalWarpController::Append(const QString& text) {
    if (text.isEmpty()) {
        return;
    }
    log_ += text;
    emit logAppended(text);
}

// Ends only the tool this controller started; waits briefly so that nothing is left writing
// the temporary files that are removed.
void GdalWarpController::Abort() {
    if (!process_) {
        if (step_ != Step::Idle) {
            Finish(false);
        }
        return;
    }
    QProcess* process = process_;
    process->disconnect(this);
    process->kill();
    process->waitForFinished(5000);
    Finish(false);
}

// FormClose
void GdalWarpController::FormClose() {
    try {
        settings_.SetIntSetting(engine::IntSetting::NoDataValue, colour_);
    } catch (const std::exception&) {
        // The colour is a convenience; a settings file that cannot be written is reported
        // where the settings are saved.
    }
    Abort();
}

}  // namespace rasterui
