// Numbers the user types in the dialogs: "." always, the locale's separator too, never mixed.
#include "app/widgets/typed_number.h"

#include <QLocale>
#include <optional>

#include <gtest/gtest.h>

namespace {

TEST(TypedNumber, ReadsAPointAlwaysAndTheLocalesSeparatorOnce) {
    const QLocale saved;
    struct Case {
        QLocale::Language language;
        const char* text;
        std::optional<double> value;
    };
    const Case cases[] = {
        {QLocale::C, "32.5", 32.5},
        {QLocale::C, " -107.25 ", -107.25},
        {QLocale::C, "32,5", std::nullopt},
        {QLocale::C, "", std::nullopt},
        {QLocale::German, "32.5", 32.5},
        {QLocale::German, "32,5", 32.5},
        {QLocale::German, "-0,125", -0.125},
        {QLocale::German, "abc", std::nullopt},
        {QLocale::German, "1,2,5", std::nullopt},
        {QLocale::German, "1.5,2", std::nullopt},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        QLocale::setDefault(QLocale(c.language));
        EXPECT_EQ(app::ReadTypedNumber(QString::fromUtf8(c.text)), c.value);
    }
    QLocale::setDefault(saved);
}

}  // namespace
