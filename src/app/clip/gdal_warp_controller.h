#pragma once
// The logic of the clip dialog without a widget: gdalwarp crops the source to the cutline into
// a temporary GeoTIFF, gdal_translate writes it next to the source as "裁剪_" + its name. Both
// run as child processes with argument lists; their merged output arrives as text; the chain
// stops at the first tool that fails, and the folder is opened only after both succeeded.
#include <QObject>
#include <QPointer>
#include <QString>
#include <QStringDecoder>

#include "engine/core/utilities.h"

class QProcess;

namespace engine {
class TSettings;
}

namespace app {
struct Services;
}

namespace rasterui {

// Where the tools come from; tests name other programs to make a step fail.
struct ClipTools {
    QString warp = QStringLiteral("gdalwarp");
    QString translate = QStringLiteral("gdal_translate");
    // GDAL_DATA for the children only; empty leaves theirs as it is.
    QString gdalData;
    // Where gdalwarp's output goes; empty: the system's temporary folder.
    QString temporaryFolder;
};

// The file filters of the two choices.
extern const char* const kClipImageFilter;
extern const char* const kClipCutlineFilter;

class GdalWarpController : public QObject {
    Q_OBJECT

  public:
    GdalWarpController(engine::TSettings& settings, const app::Services& services,
                       ClipTools tools = {}, QObject* parent = nullptr);
    // Ends this controller's own running tool and removes its temporary files.
    ~GdalWarpController() override;

    const QString& Image() const { return image_; }
    const QString& Cutline() const { return cutline_; }
    bool Transparent() const { return transparent_; }
    engine::TColor Colour() const { return colour_; }
    bool ColourEnabled() const { return !transparent_; }
    bool ClipEnabled() const { return clipEnabled_; }
    bool Running() const { return step_ != Step::Idle; }
    const QString& Log() const { return log_; }

    void FormShow();       // the colour stored in NoDataValue
    void SelectImage();    // btnSelectDirClick
    void SelectCutline();  // btn1Click
    void SetImage(const QString& file) {
        image_ = file;
        emit changed();
    }
    void SetCutline(const QString& file) {
        cutline_ = file;
        emit changed();
    }
    void SetTransparent(bool checked);  // chkTransparentClick
    void SetColour(engine::TColor colour);
    void Clip();  // btnClipClick
    // FormClose: stores the colour and ends this controller's running tool.
    void FormClose();

  signals:
    void changed();
    void logCleared();
    void logAppended(const QString& text);
    // A clip ended; `succeeded` when both tools exited with 0.
    void clipFinished(bool succeeded);

  private:
    enum class Step { Idle, Warp, Translate };

    void StartTool(const QString& program, const QStringList& arguments);
    void OnOutput();
    void OnFinished(int exitCode, bool normalExit);
    void Finish(bool succeeded);
    void Append(const QString& text);
    void Abort();

    engine::TSettings& settings_;
    const app::Services& services_;
    ClipTools tools_;
    QString image_;
    QString cutline_;
    bool transparent_ = true;
    engine::TColor colour_;
    bool clipEnabled_ = true;
    QString log_;

    Step step_ = Step::Idle;
    QPointer<QProcess> process_;
    QStringDecoder decoder_{QStringDecoder::Utf8};
    int cacheMB_ = 64;
    bool colourFill_ = false;  // this clip fills the outside with a colour, not alpha
    QString source_;
    QString temporary_;  // gdalwarp's output
    QString partial_;    // gdal_translate's output before it is renamed into place
    QString final_;
};

}  // namespace rasterui
