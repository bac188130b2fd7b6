#pragma once
// The hand-over from a finished download to the stitching dialog. The stitch dialog's owner
// fills it; until then the null version does nothing.
#include <QString>

namespace app {

class IStitchHandOver {
  public:
    virtual ~IStitchHandOver() = default;
    // ShowImageCombiner: shows the stitching dialog on `taskFile` (the full path of a saved
    // task) and, with `autoStart`, starts the stitching at once.
    virtual void ShowImageCombiner(const QString& taskFile, bool autoStart) = 0;
};

class NullStitchHandOver final : public IStitchHandOver {
  public:
    void ShowImageCombiner(const QString&, bool) override {}
};

}  // namespace app
