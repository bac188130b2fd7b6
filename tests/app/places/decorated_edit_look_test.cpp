// The decorated edit box's looks, painted: flat line and soft frame, frames and 3-D edges,
// transparency, the caret line, the prompt and the web-address colours; the label's font,
// background and enabling; the version, and the hint of a text too wide for the box.
// With VANTOREL_DECORATED_SHOT=<file.png> the table's gallery window (and <file-hint.png>, the
// hint) is saved as the screen shows it (run under xvfb-run with QT_QPA_PLATFORM=xcb to see it for
// real).
#include <QApplication>
#include <QLabel>
#include <QPainter>
#include <QScreen>
#include <QStyle>
#include <QStyleFactory>
#include <QTest>
#include <QToolTip>
#include <QVariant>
#include <functional>
#include <memory>

#include <gtest/gtest.h>

#include "app/places/decorated_edit.h"

namespace {

using app::DecoratedEdit;

// A palette whose colours tell the parts apart.
const QColor kWindow(0xD4, 0xD0, 0xC8);
const QColor kBase = Qt::white;
const QColor kButton(0xC8, 0xC8, 0xE0);
const QColor kDark(0x40, 0x40, 0x40);
const QColor kLight(0xF8, 0xF0, 0xE0);
const QColor kGray(0x80, 0x80, 0x80);
const QColor kSilver(0xC0, 0xC0, 0xC0);
const QColor kBlack = Qt::black;
const QColor kGreen(0, 160, 0);
const QColor kBlue(0, 0, 230);

QPalette FormPalette() {
    QPalette palette;
    palette.setColor(QPalette::Window, kWindow);
    palette.setColor(QPalette::Base, kBase);
    palette.setColor(QPalette::Text, kBlack);
    palette.setColor(QPalette::Button, kButton);
    palette.setColor(QPalette::Dark, kDark);
    palette.setColor(QPalette::Light, kLight);
    return palette;
}

constexpr int kWidth = 160;
constexpr int kHeight = 24;

enum class State { Resting, Focused, Hovered, Disabled };

// A pixel of the box (negative coordinates count from the right or the bottom) that shows, or
// with `is` false does not show, a colour.
struct Pixel {
    int x;
    int y;
    QColor colour;
    bool is = true;
};

struct Case {
    const char* name;
    std::vector<std::pair<const char*, QVariant>> settings;
    State state = State::Resting;
    bool classic = false;  // the plain "Windows" style
    std::vector<Pixel> pixels;
    QColor somewhere = {};  // a colour some pixel of the box shows
    std::function<void(DecoratedEdit&)> setUp = {};
};

QColor At(const QImage& image, const Pixel& p) {
    return image.pixelColor(p.x < 0 ? image.width() + p.x : p.x,
                            p.y < 0 ? image.height() + p.y : p.y);
}

bool Shows(const QImage& image, const QColor& colour) {
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            if (image.pixelColor(x, y) == colour) {
                return true;
            }
        }
    }
    return false;
}

std::string Name(const QColor& c) {
    return c.name().toStdString();
}

TEST(DecoratedEditLook, EachSettingPaintsWhereItShould) {
    const int mid = kWidth / 2;
    const int row = kHeight / 2;
    const QVariant none = QColor();
    const std::vector<Case> cases = {
        {"plain", {}, State::Resting, false, {{mid, row, kBase}}},
        {"Flat",
         {{"Flat", true}},
         State::Resting,
         false,
         {{mid, -1, kBlack},
          {2, -1, kBlack},
          {-1, -1, kBlack},
          {1, -1, kWindow},
          {mid, row, kWindow},
          {0, 0, kWindow},
          {mid, -2, kWindow}}},
        {"Flat, indents 10 and 6",
         {{"Flat", true}},
         State::Resting,
         false,
         {{11, -1, kWindow}, {12, -1, kBlack}, {-7, -1, kBlack}, {-6, -1, kWindow}},
         {},
         [](DecoratedEdit& e) { e.SetTextIndents(10, 6); }},
        {"Flat, own colour",
         {{"Flat", true}, {"FlatParentColor", false}, {"Color", QColor(250, 250, 220)}},
         State::Resting,
         false,
         {{mid, row, QColor(250, 250, 220)}}},
        {"Flat, red line",
         {{"Flat", true}, {"FlatLineColor", QColor(Qt::red)}},
         State::Resting,
         false,
         {{mid, -1, QColor(Qt::red)}}},
        {"Flat, no line",
         {{"Flat", true}, {"FlatLineColor", none}},
         State::Resting,
         false,
         {{mid, -1, kWindow}}},
        {"Flat, SoftBorder",
         {{"Flat", true}, {"SoftBorder", true}},
         State::Resting,
         false,
         {{0, 0, kBlack},
          {0, row, kBlack},
          {-1, row, kBlack},
          {mid, 0, kBlack},
          {mid, -1, kBlack},
          {1, 1, kWindow}}},
        {"Flat, disabled",
         {{"Flat", true}, {"DisabledBorder", false}},
         State::Disabled,
         false,
         {{mid, -1, kGray}, {mid, row, kSilver}}},
        {"Flat, FocusBorder, focused",
         {{"Flat", true}, {"FocusBorder", true}},
         State::Focused,
         true,
         {{0, 0, kDark}, {mid, 0, kDark}, {-1, -1, kLight}, {mid, -1, kLight}, {1, 1, kButton}}},
        {"Flat, FocusBorder, hovered",
         {{"Flat", true}, {"FocusBorder", true}},
         State::Hovered,
         true,
         {{0, row, kDark}, {-1, row, kLight}, {1, row, kButton}}},
        {"Flat, FocusBorder, resting",
         {{"Flat", true}, {"FocusBorder", true}},
         State::Resting,
         true,
         {{mid, -1, kBlack}, {0, 0, kWindow}}},
        {"BorderColor",
         {{"BorderColor", kGreen}},
         State::Resting,
         false,
         {{0, 0, kGreen}, {-1, -1, kGreen}, {mid, -1, kGreen}, {1, row, kGreen, false}}},
        {"both frame colours, focused",
         {{"BorderColor", kGreen}, {"FocusBorderColor", kBlue}},
         State::Focused,
         false,
         {{0, 0, kBlue}, {-1, row, kBlue}}},
        {"both frame colours, resting",
         {{"BorderColor", kGreen}, {"FocusBorderColor", kBlue}},
         State::Resting,
         false,
         {{0, 0, kGreen}}},
        {"FocusBorderColor, resting",
         {{"FocusBorderColor", kBlue}},
         State::Resting,
         false,
         {{0, 0, kWindow}, {1, 1, kWindow}, {mid, -2, kWindow}}},
        {"Border3D",
         {{"Border3D", true}},
         State::Resting,
         false,
         {{0, 0, kDark}, {0, -2, kDark}, {0, -1, kLight}, {-1, 0, kLight}, {1, 1, kButton}}},
        {"FocusBorder, resting",
         {{"FocusBorder", true}},
         State::Resting,
         true,
         {{0, 0, kWindow}, {1, 1, kWindow}, {-2, -2, kWindow}}},
        {"FocusBorder, hovered",
         {{"FocusBorder", true}},
         State::Hovered,
         true,
         {{0, 0, kDark}, {-1, -1, kLight}, {1, 1, kButton}}},
        {"FocusBorder, focused",
         {{"FocusBorder", true}},
         State::Focused,
         true,
         {{0, row, kDark}, {1, row, kButton}}},
        {"FocusBorder, hovered, themed",
         {{"FocusBorder", true}},
         State::Hovered,
         false,
         {{0, row, kDark, false}, {1, row, kButton, false}, {0, row, kWindow, false}}},
        {"disabled", {}, State::Disabled, false, {{0, 0, kSilver}, {mid, row, kSilver}}},
        {"disabled, BorderColor",
         {{"BorderColor", kGreen}},
         State::Disabled,
         false,
         {{0, 0, kSilver}}},
        {"disabled, DisabledColor",
         {{"DisabledColor", QColor(200, 0, 0)}, {"DisabledBorder", false}},
         State::Disabled,
         false,
         {{mid, row, QColor(200, 0, 0)}, {0, 0, kSilver, false}}},
        {"Transparent",
         {{"Transparent", true}, {"Color", QColor(Qt::red)}},
         State::Resting,
         false,
         {{mid, row, kWindow}}},
        {"Transparent, focused",
         {{"Transparent", true}, {"FocusColor", QColor(255, 255, 200)}},
         State::Focused,
         false,
         {{mid, row, kWindow}}},
        {"caret line at (50, 20)",
         {},
         State::Resting,
         false,
         {{50, 19, kBlack}, {50, 8, kBlack}, {50, 20, kBase}, {51, 19, kBase}},
         {},
         [](DecoratedEdit& e) { e.SetCaretPos(QPoint(50, 20)); }},
        {"EmptyText",
         {{"EmptyText", QStringLiteral("搜索地名 Search")}},
         State::Resting,
         false,
         {},
         kGray},
        {"Flat, EmptyText",
         {{"Flat", true}, {"EmptyText", QStringLiteral("搜索地名 Search")}},
         State::Resting,
         false,
         {{mid, -1, kBlack}},
         kGray},
        {"ShowURL",
         {{"ShowURL", true}, {"text", QStringLiteral("www.example.org")}},
         State::Resting,
         false,
         {},
         QColor(0, 0, 0xFF)},
        {"ShowURL, URLColor",
         {{"ShowURL", true}, {"URLColor", kGreen}, {"text", QStringLiteral("www.example.org")}},
         State::Resting,
         false,
         {},
         kGreen},
        {"ErrorMarker",
         {{"text", QStringLiteral("Peking Road")}},
         State::Resting,
         false,
         {},
         QColor(Qt::red),
         [](DecoratedEdit& e) { e.SetErrorMarker(0, 6); }},
    };

    QApplication::setCursorFlashTime(0);  // the caret stays put between pictures
    const std::unique_ptr<QStyle> classic(QStyleFactory::create(QStringLiteral("Windows")));
    ASSERT_NE(classic, nullptr);
    // The gallery: every case beside the others, its name above it.
    QWidget form;
    form.setPalette(FormPalette());
    form.setAutoFillBackground(true);
    form.setWindowTitle(QStringLiteral("Decorated edit box"));
    const int columns = 4;
    std::vector<DecoratedEdit*> boxes;
    for (std::size_t i = 0; i < cases.size(); ++i) {
        const int x = 10 + static_cast<int>(i % columns) * (kWidth + 70);
        const int y = 10 + static_cast<int>(i / columns) * (kHeight + 28);
        auto* name = new QLabel(QString::fromUtf8(cases[i].name), &form);
        name->move(x, y);
        auto* box = new DecoratedEdit(&form);
        box->setGeometry(x, y + 18, kWidth, kHeight);
        if (cases[i].classic) {
            box->setStyle(classic.get());
        }
        for (const auto& [property, value] : cases[i].settings) {
            ASSERT_TRUE(box->setProperty(property, value)) << property;
        }
        if (cases[i].setUp) {
            cases[i].setUp(*box);
        }
        box->Init();
        boxes.push_back(box);
    }
    form.resize(10 + columns * (kWidth + 70),
                20 + static_cast<int>((cases.size() + columns - 1) / columns) * (kHeight + 28));
    form.show();
    QApplication::setActiveWindow(&form);
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&form));

    for (std::size_t i = 0; i < cases.size(); ++i) {
        const Case& c = cases[i];
        DecoratedEdit* box = boxes[i];
        switch (c.state) {
            case State::Resting:
                break;
            case State::Focused:
                box->setFocus();
                break;
            case State::Hovered: {
                QEnterEvent enter(QPointF(5, 5), QPointF(5, 5), box->mapToGlobal(QPointF(5, 5)));
                QApplication::sendEvent(box, &enter);
                break;
            }
            case State::Disabled:
                box->setEnabled(false);
                break;
        }
        // Through the form, so that what shows through a transparent box is in the picture.
        const QImage image = form.grab(box->geometry()).toImage();
        for (const Pixel& p : c.pixels) {
            if (p.is) {
                EXPECT_EQ(Name(At(image, p)), Name(p.colour))
                    << c.name << " at " << p.x << ", " << p.y;
            } else {
                EXPECT_NE(Name(At(image, p)), Name(p.colour))
                    << c.name << " at " << p.x << ", " << p.y;
            }
        }
        if (c.somewhere.isValid()) {
            EXPECT_TRUE(Shows(image, c.somewhere)) << c.name << " shows " << Name(c.somewhere);
        }
    }
    const QString shot = qEnvironmentVariable("VANTOREL_DECORATED_SHOT");
    if (!shot.isEmpty()) {
        QTest::qWait(300);
        form.screen()->grabWindow(0).save(shot);
    }
    for (DecoratedEdit* box : boxes) {
        box->setStyle(nullptr);
    }
    QApplication::setCursorFlashTime(1000);
}

TEST(DecoratedEditLook, FlatTextRectangleAndFrameComeAndGo) {
    QWidget form;
    auto* box = new DecoratedEdit(&form);
    box->setGeometry(10, 10, kWidth, kHeight);
    form.show();
    const QRect normal = box->TextRect();
    box->setProperty("Flat", true);
    EXPECT_FALSE(box->hasFrame());
    EXPECT_EQ(box->TextRect(), QRect(QPoint(4, 3), QPoint(kWidth - 5, kHeight - 5)));
    box->SetTextIndents(10, 6);
    EXPECT_EQ(box->TextRect(), QRect(QPoint(14, 3), QPoint(kWidth - 11, kHeight - 5)));
    box->SetTextIndents(0, 0);
    box->setProperty("Flat", false);
    EXPECT_TRUE(box->hasFrame()) << "the frame comes back";
    EXPECT_EQ(box->TextRect(), normal);

    // A box without a frame takes the flat rectangle for its prompt once it has the focus.
    box->setFrame(false);
    const QRect frameless = box->TextRect();
    box->SetEmptyText(QStringLiteral("搜索地名"));
    QApplication::setActiveWindow(&form);
    box->setFocus();
    EXPECT_EQ(box->TextRect(), QRect(QPoint(4, 3), QPoint(kWidth - 5, kHeight - 5)));
    EXPECT_NE(frameless, box->TextRect());
}

TEST(DecoratedEditLook, VersionIsFixed) {
    DecoratedEdit box;
    EXPECT_EQ(box.property("Version").toString(), QStringLiteral("1.0.0.0"));
    box.setProperty("Version", QStringLiteral("2.0.0.0"));
    EXPECT_EQ(box.property("Version").toString(), QStringLiteral("1.0.0.0"));
}

// A parent that paints red over a green window colour: a label that fills its background
// shows green, a transparent one the red below it.
class RedPainting : public QWidget {
  protected:
    void paintEvent(QPaintEvent*) override { QPainter(this).fillRect(rect(), Qt::red); }
};

TEST(DecoratedEditLook, LabelFontBackgroundAndEnabling) {
    RedPainting form;
    QPalette palette = form.palette();
    palette.setColor(QPalette::Window, kGreen);
    form.setPalette(palette);
    QFont formFont = form.font();
    formFont.setPointSize(11);
    form.setFont(formFont);
    auto* box = new DecoratedEdit(&form);
    box->setGeometry(120, 40, kWidth, kHeight);
    box->SetLabelCaption(QStringLiteral("地名(&N)"));
    form.resize(320, 100);
    form.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&form));
    app::TEditLabel* label = box->EditLabel();
    ASSERT_NE(label, nullptr);

    // ParentFont (at first): the label has its parent's font and follows it.
    EXPECT_TRUE(box->ParentFont());
    EXPECT_EQ(label->font().pointSize(), 11);
    formFont.setPointSize(14);
    form.setFont(formFont);
    EXPECT_EQ(label->font().pointSize(), 14);
    // Without it, LabelFont; the label is measured and placed again.
    const int narrowWidth = label->width();
    QFont own(formFont);
    own.setPointSize(20);
    own.setItalic(true);
    box->setProperty("LabelFont", own);
    box->setProperty("ParentFont", false);
    EXPECT_TRUE(label->font().italic());
    EXPECT_EQ(label->font().pointSize(), 20);
    EXPECT_GT(label->width(), narrowWidth);
    EXPECT_EQ(label->x(), box->x() - box->LabelMargin() -
                              label->fontMetrics().horizontalAdvance(QStringLiteral("地名(N)")));
    box->setProperty("ParentFont", true);
    EXPECT_EQ(label->font().pointSize(), 14);

    // LabelTransparent: the label's corner shows its own background, or what lies below.
    const QPoint corner = label->geometry().topLeft();
    EXPECT_EQ(Name(form.grab(QRect(corner, QSize(1, 1))).toImage().pixelColor(0, 0)), Name(kGreen));
    box->setProperty("LabelTransparent", true);
    EXPECT_EQ(Name(form.grab(QRect(corner, QSize(1, 1))).toImage().pixelColor(0, 0)),
              Name(QColor(Qt::red)));

    // LabelAlwaysEnabled: the label stays enabled with the box disabled.
    box->setEnabled(false);
    EXPECT_FALSE(label->isEnabled());
    box->setProperty("LabelAlwaysEnabled", true);
    EXPECT_TRUE(label->isEnabled());
    box->setEnabled(true);
    box->setEnabled(false);
    EXPECT_TRUE(label->isEnabled());
    box->setProperty("LabelAlwaysEnabled", false);
    EXPECT_FALSE(label->isEnabled());
}

TEST(DecoratedEditLook, TheHintShowsATextTooWideForTheBox) {
    QWidget form;
    auto* box = new DecoratedEdit(&form);
    box->setGeometry(30, 20, 80, kHeight);
    box->setToolTip(QStringLiteral("own hint"));
    form.resize(200, 80);
    form.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&form));
    const auto hover = [&] {
        QHelpEvent help(QEvent::ToolTip, QPoint(5, 5), box->mapToGlobal(QPoint(5, 5)));
        QApplication::sendEvent(box, &help);
    };
    const QString wide = QStringLiteral("北京市海淀区中关村大街一号院二号楼");
    box->SetText(wide);
    hover();
    EXPECT_EQ(box->LargeTextHint(), nullptr) << "only with HintShowLargeText";
    EXPECT_EQ(QToolTip::text(), QStringLiteral("own hint"));

    box->setProperty("HintShowLargeText", true);
    hover();
    ASSERT_NE(box->LargeTextHint(), nullptr);
    EXPECT_TRUE(box->LargeTextHint()->isVisible());
    EXPECT_EQ(box->LargeTextHint()->text(), wide);
    EXPECT_TRUE(QTest::qWaitFor([] { return !QToolTip::isVisible(); }, 3000))
        << "the own hint gives way";
    EXPECT_EQ(box->LargeTextHint()->pos(), box->mapToGlobal(QPoint(0, 0)));
    const QString shot = qEnvironmentVariable("VANTOREL_DECORATED_SHOT");
    if (!shot.isEmpty()) {
        QTest::qWait(300);
        form.screen()->grabWindow(0).save(
            QString(shot).replace(QStringLiteral(".png"), QStringLiteral("-hint.png")));
    }
    QEvent leave(QEvent::Leave);
    QApplication::sendEvent(box, &leave);
    EXPECT_FALSE(box->LargeTextHint()->isVisible());

    box->SetText(QStringLiteral("北京"));
    hover();
    EXPECT_FALSE(box->LargeTextHint()->isVisible()) << "a text that fits keeps the own hint";
}

}  // namespace
