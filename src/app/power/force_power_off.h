#pragma once
// Switching the computer off after a long download or stitch, behind an interface so that
// the countdowns can be driven with a fake.
namespace app {

class IPowerOff {
  public:
    virtual ~IPowerOff() = default;
    // Asks the system to power off at once; returns at once and reports nothing on failure.
    virtual void ForcePowerOff() = 0;
};

// logind's PowerOff on the system bus, without an interactive authorisation prompt. Refuses
// (one line on standard error) when VANTOREL_NO_POWEROFF is "1", as the test scripts set it.
class LogindPowerOff final : public IPowerOff {
  public:
    void ForcePowerOff() override;
};

}  // namespace app
