#include "taskbar_progress.h"

namespace app {

int ProgressStateToFlag(TfspTaskProgressState state) {
    switch (state) {
        case TfspTaskProgressState::fstpsNoProgress:
            return 0;
        case TfspTaskProgressState::fstpsIndeterminate:
            return 1;
        case TfspTaskProgressState::fstpsNormal:
            return 2;
        case TfspTaskProgressState::fstpsError:
            return 4;
        case TfspTaskProgressState::fstpsPaused:
            return 8;
    }
    return 0;
}

TfspTaskbarMgr::TfspTaskbarMgr(std::unique_ptr<ITaskbarBackend> backend)
    : backend_(std::move(backend)) {}

TfspTaskbarMgr::~TfspTaskbarMgr() {
    SetActive(false);
}

void TfspTaskbarMgr::SetActive(bool active) {
    if (active == active_) {
        return;
    }
    // Switching on sends the stored state; switching off clears what was sent.
    ApplyTaskbarState(active);
    active_ = active;
}

void TfspTaskbarMgr::ApplyTaskbarState(bool on) {
    if (!backend_) {
        return;
    }
    if (on) {
        if (state_ != TfspTaskProgressState::fstpsNoProgress) {
            backend_->SetProgressState(ProgressStateToFlag(state_));
        }
        if (value_ != 0 && state_ != TfspTaskProgressState::fstpsIndeterminate) {
            backend_->SetProgressValue(value_, maximum_);
        }
    } else if (state_ != TfspTaskProgressState::fstpsNoProgress || value_ != 0) {
        backend_->SetProgressState(ProgressStateToFlag(TfspTaskProgressState::fstpsNoProgress));
    }
}

void TfspTaskbarMgr::SetProgressValue(std::int32_t value) {
    value_ = value;
    if (CanSend()) {
        backend_->SetProgressValue(value_, maximum_);
    }
}

void TfspTaskbarMgr::SetProgressValueMax(std::int32_t maximum) {
    maximum_ = maximum;
    if (CanSend()) {
        backend_->SetProgressValue(value_, maximum_);
    }
}

void TfspTaskbarMgr::SetProgressState(TfspTaskProgressState state) {
    state_ = state;
    if (CanSend()) {
        backend_->SetProgressState(ProgressStateToFlag(state_));
    }
}

void TfspTaskbarMgr::TaskbarButtonCreated() {
    if (active_) {
        ApplyTaskbarState(true);
    }
}

}  // namespace app
