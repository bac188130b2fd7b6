#pragma once
// The helper process of the launcher-entry tests: the test executable re-run with
// "--launcher-entry-child MODE", under its own session bus where one is needed.
namespace testmainwindow {

// "signals": drives the taskbar progress over the session bus and prints every Update
// signal it hears, one line each. "backend": prints which backend the factory chose.
int RunLauncherEntryChild(const char* mode);

}  // namespace testmainwindow
