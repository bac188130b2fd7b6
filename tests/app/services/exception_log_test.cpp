// The exception log's lines: time stamp, message, CR LF; a lost folder loses only the line.
#include <gtest/gtest.h>

#include <QRegularExpression>
#include <QString>
#include <QStringList>

#include "app/services/exception_log.h"
#include "support/temp_dir.h"

namespace {

TEST(ExceptionLogTest, LinesAreTimeStampedAndAppended) {
    testsupport::TempDir dir;
    const auto file = dir / "LOG" / "vantorel.log";
    app::LogTo(file, "first");
    app::LogTo(file, "second\r\nline");
    // Each line ends with CR LF; the message's own line breaks become spaces.
    const QString text = QString::fromStdString(testsupport::ReadFileBytes(file));
    EXPECT_EQ(text.count(QStringLiteral("\r\n")), 2);
    EXPECT_EQ(text.count(QLatin1Char('\n')), 2);
    EXPECT_TRUE(text.endsWith(QStringLiteral("; second  line\r\n"))) << text.toStdString();
    const QStringList lines = text.split(QStringLiteral("\r\n"), Qt::SkipEmptyParts);
    ASSERT_EQ(lines.size(), 2);
    const QRegularExpression stamp(R"(^\d{4}-\d\d-\d\d \d\d:\d\d:\d\d\.\d{3}; )");
    EXPECT_TRUE(stamp.match(lines[0]).hasMatch()) << lines[0].toStdString();
    EXPECT_TRUE(lines[0].endsWith("; first"));
    EXPECT_TRUE(lines[1].endsWith("; second  line"));
    // A folder that cannot be made loses the line, never the caller.
    testsupport::WriteFileBytes(dir / "blocked", "x");
    app::LogTo(dir / "blocked" / "LOG" / "vantorel.log", "lost");
}

}  // namespace
