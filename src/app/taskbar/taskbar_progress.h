#pragma once
// Progress on the program's launcher or taskbar entry: the state rules of the component that
// the main window drives through properties, over a backend that delivers them to the desktop.
#include <cstdint>
#include <memory>

namespace app {

enum class TfspTaskProgressState {
    fstpsNoProgress,
    fstpsIndeterminate,
    fstpsNormal,
    fstpsError,
    fstpsPaused
};

// The flag each state sends: 0, 1, 2, 4, 8.
int ProgressStateToFlag(TfspTaskProgressState state);

// Where the progress goes. Values and maxima are 64-bit, sign-extended from the properties.
class ITaskbarBackend {
  public:
    virtual ~ITaskbarBackend() = default;
    virtual void SetProgressState(int flag) = 0;
    virtual void SetProgressValue(std::int64_t value, std::int64_t maximum) = 0;
};

// For a desktop without a session bus: stores nothing, sends nothing.
class NullTaskbarBackend final : public ITaskbarBackend {
  public:
    void SetProgressState(int) override {}
    void SetProgressValue(std::int64_t, std::int64_t) override {}
};

class TfspTaskbarMgr {
  public:
    // Value 0, maximum 100, no progress, inactive. A null backend sends nothing.
    explicit TfspTaskbarMgr(std::unique_ptr<ITaskbarBackend> backend);
    ~TfspTaskbarMgr();
    TfspTaskbarMgr(const TfspTaskbarMgr&) = delete;
    TfspTaskbarMgr& operator=(const TfspTaskbarMgr&) = delete;

    bool Active() const { return active_; }
    void SetActive(bool active);
    std::int32_t ProgressValue() const { return value_; }
    void SetProgressValue(std::int32_t value);
    std::int32_t ProgressValueMax() const { return maximum_; }
    void SetProgressValueMax(std::int32_t maximum);
    TfspTaskProgressState ProgressState() const { return state_; }
    void SetProgressState(TfspTaskProgressState state);

    // The desktop made the entry anew (start, or a restarted shell): bring the state back.
    void TaskbarButtonCreated();

  private:
    void ApplyTaskbarState(bool on);
    bool CanSend() const { return active_ && backend_ != nullptr; }

    std::unique_ptr<ITaskbarBackend> backend_;
    bool active_ = false;
    std::int32_t value_ = 0;
    std::int32_t maximum_ = 100;
    TfspTaskProgressState state_ = TfspTaskProgressState::fstpsNoProgress;
};

}  // namespace app
