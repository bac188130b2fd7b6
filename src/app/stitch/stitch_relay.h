#pragma once
// The download control's hand-over to stitching, passed on to whatever the stitch feature
// attaches (nothing until it does).
#include "stitch_hand_over.h"

namespace app {

class StitchHandOverRelay final : public IStitchHandOver {
  public:
    // Not owned; the attaching feature keeps it alive as long as the window.
    void SetTarget(IStitchHandOver* target) { target_ = target; }
    void ShowImageCombiner(const QString& taskFile, bool autoStart) override {
        if (target_) {
            target_->ShowImageCombiner(taskFile, autoStart);
        }
    }

  private:
    IStitchHandOver* target_ = nullptr;
};

}  // namespace app
