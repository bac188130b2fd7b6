// Test entry point: takes the locale from the environment, as the program does, so that a run
// under a decimal-comma locale shows every place that formats numbers through the C locale.
#include <clocale>
#include <locale>

#include <gtest/gtest.h>

int main(int argc, char** argv) {
    std::setlocale(LC_ALL, "");
    try {
        std::locale::global(std::locale(""));
    } catch (const std::exception&) {
        // An unknown locale name leaves the classic locale in place.
    }
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
