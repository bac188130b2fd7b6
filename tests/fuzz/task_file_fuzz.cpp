// Task files: loading any bytes gives a task whose own file loads back to the same file.
#include <cstdlib>

#include "engine/core/atomic_file.h"
#include "engine/tasks/profiles.h"
#include "engine/tasks/task_text.h"
#include "fuzz_support.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view input = fuzz::AsText(data, size);
    const auto folder = fuzz::ScratchDir() / "tasks";
    const auto file = fuzz::WriteScratch("tasks/Fuzz.zeb", input);
    try {
        engine::TProfiles task(folder);
        task.Load(file);
        task.SetFileName(folder / "First.zeb");
        task.Save();
        engine::TProfiles again(folder);
        again.Load(folder / "First.zeb");
        again.SetFileName(folder / "Second.zeb");
        again.Save();
        std::string first, second;
        if (!engine::ReadFileBytes(folder / "First.zeb", first) ||
            !engine::ReadFileBytes(folder / "Second.zeb", second) || first != second) {
            std::abort();  // a task does not survive its own file
        }
    } catch (const std::exception&) {
    }
    (void)engine::UnscrambleTaskLine(input);
    (void)engine::ScrambleTaskLine(input);
    (void)engine::DecodeUtf8Units(input);
    (void)engine::CheckTaskName(input);
    return 0;
}
