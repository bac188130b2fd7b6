#include "app/page/script_text.h"

#include <cmath>

#include <gtest/gtest.h>

#include "app/support/qt_print.h"

namespace {

using app::JsString;

TEST(ScriptText, StringLiteralEscapes) {
    struct Case {
        QString text;
        QString literal;
    };
    const std::vector<Case> cases = {
        {QString(), "\"\""},
        {"plain 中文", "\"plain 中文\""},
        {"say \"hi\" and 'bye'", R"("say \"hi\" and \'bye\'")"},
        {R"(C:\MapDownload\x)", R"("C:\\MapDownload\\x")"},
        {"a\r\nb\tc", R"("a\r\nb\tc")"},
        {QString("x") + QChar(0x2028) + QChar(0x2029) + "y", R"("x\u2028\u2029y")"},
        {"</script><!--", R"("\u003C/script\u003E\u003C!--")"},
        {QString("nul") + QChar(0) + QChar(0x1F) + QChar(0x7F), R"("nul\u0000\u001F\u007F")"},
        // A pair stays as it is; a lone half is escaped so that UTF-8 cannot lose it.
        {QString::fromUcs4(U"\U0001F600"), QString("\"") + QString::fromUcs4(U"\U0001F600") + "\""},
        {QString(QChar(0xD800)) + "a", R"("\uD800a")"},
        {QString("a") + QChar(0xDC00), R"("a\uDC00")"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(JsString(c.text), c.literal) << c.text.toStdString();
    }
}

TEST(ScriptText, NumbersAndCalls) {
    EXPECT_EQ(app::JsNumber(116.403874), "116.403874");
    EXPECT_EQ(app::JsNumber(-0.5), "-0.5");
    EXPECT_EQ(app::JsNumber(30), "30");
    EXPECT_EQ(app::JsNumber(1e-5), "1E-5");
    EXPECT_EQ(app::JsNumber(std::nan("")), "NaN");
    EXPECT_EQ(app::JsNumber(-HUGE_VAL), "-Infinity");
    EXPECT_EQ(app::JsInt(-2147483648LL), "-2147483648");
    EXPECT_EQ(app::JsCall("zeb.setCenter", {app::JsNumber(39.9), app::JsNumber(116.4),
                                            JsString("a\"b"), app::JsBool(false)}),
              R"(zeb.setCenter(39.9,116.4,"a\"b",false);)");
    // A call with a number that is not finite is not built; a text that reads so is fine.
    EXPECT_EQ(app::JsCall("f", {app::JsNumber(1), app::JsNumber(HUGE_VAL)}), "");
    EXPECT_EQ(app::JsCall("f", {"-nan"}), "");
    EXPECT_EQ(app::JsCall("f", {JsString("NaN")}), R"(f("NaN");)");
}

}  // namespace
