// The link control: drawn blue and underlined in its parent's font, taking the
// mouse only over its text, and handing its text to the registered web browser.
#include "DialogsTestSupport.h"

#include "app/KivApp.h"
#include "frame/HyperLink.h"
#include "framework/ScriptedUi.h"

#include <QApplication>
#include <QImage>
#include <QMouseEvent>
#include <QWidget>

#include <gtest/gtest.h>

#include <memory>

namespace {

using KivDialogsTest::FakeDesktop;

class HyperLinkTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(desktop.IsValid());
        parent.resize(500, 100);
        QFont font(QStringLiteral("DejaVu Sans"));
        font.setPointSize(13);
        font.setBold(true);
        parent.setFont(font);
        link = new CHyperLink(QStringLiteral("http://www.halvane.example/kiv/"), &parent);
        // A centred control much wider than its text.
        link->setAlignment(Qt::AlignTop | Qt::AlignHCenter);
        link->setGeometry(0, 10, 500, 40);
    }

    // Paints the control as the screen would.
    QImage Paint()
    {
        parent.show();
        return link->grab().toImage();
    }

    bool Press(const QPoint& at)
    {
        QMouseEvent press(QEvent::MouseButtonPress, at, link->mapToGlobal(at), Qt::LeftButton,
                          Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(link, &press);
        return press.isAccepted();
    }

    void Move(const QPoint& at)
    {
        QMouseEvent move(QEvent::MouseMove, at, link->mapToGlobal(at), Qt::NoButton,
                         Qt::NoButton, Qt::NoModifier);
        QApplication::sendEvent(link, &move);
    }

    FakeDesktop desktop;
    CScriptedUi ui;
    QWidget parent;
    CHyperLink* link = nullptr;
};

TEST_F(HyperLinkTest, DrawsBlueUnderlinedTextInTheParentsFont)
{
    const QFont font = link->LinkFont();
    EXPECT_TRUE(font.underline());
    EXPECT_TRUE(font.bold());
    EXPECT_EQ(font.pointSize(), 13);

    const QImage image = Paint();
    const QRect text = link->TextRect();
    ASSERT_FALSE(text.isEmpty());
    // Pure blue where the text is, and nowhere outside its box (a glyph may reach a
    // pixel or two past its advance).
    int blueInside = 0;
    int blueOutside = 0;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            if (image.pixelColor(x, y) != QColor(0, 0, 255))
                continue;
            (x >= text.left() - 2 && x <= text.right() + 2 ? blueInside : blueOutside)++;
        }
    }
    EXPECT_GT(blueInside, 0);
    EXPECT_EQ(blueOutside, 0);
    // The underline: a run of blue pixels along most of the text's width.
    int longestRow = 0;
    for (int y = 0; y < image.height(); ++y) {
        int row = 0;
        for (int x = text.left(); x <= text.right(); ++x)
            row += image.pixelColor(x, y) == QColor(0, 0, 255) ? 1 : 0;
        longestRow = std::max(longestRow, row);
    }
    EXPECT_GT(longestRow, text.width() * 9 / 10);
}

TEST_F(HyperLinkTest, OnlyTheDrawnTextTakesTheMouse)
{
    // Nothing drawn yet: the mouse goes through everywhere.
    EXPECT_FALSE(link->HitTest(QPoint(250, 5)));

    Paint();
    const QRect text = link->TextRect();
    const int width = QFontMetrics(link->LinkFont()).horizontalAdvance(link->text());
    EXPECT_EQ(text.width(), width);
    EXPECT_EQ(text.left(), (500 - width) / 2);

    const int y = text.center().y();
    EXPECT_TRUE(link->HitTest(QPoint(text.center().x(), y)));
    EXPECT_TRUE(link->HitTest(QPoint(text.left(), y)));
    EXPECT_TRUE(link->HitTest(QPoint(text.left() + width, y)));
    // Beside the text on the same line.
    EXPECT_FALSE(link->HitTest(QPoint(text.left() - 1, y)));
    EXPECT_FALSE(link->HitTest(QPoint(text.left() + width + 1, y)));
    EXPECT_FALSE(link->HitTest(QPoint(2, y)));
    // Below the text but within its columns: only the horizontal position counts.
    EXPECT_TRUE(link->HitTest(QPoint(text.center().x(), 38)));
}

TEST_F(HyperLinkTest, LeftAlignedTextStartsAtTheLeftEdge)
{
    link->setAlignment(Qt::AlignTop | Qt::AlignLeft);
    Paint();
    EXPECT_EQ(link->TextRect().left(), 0);
    EXPECT_TRUE(link->HitTest(QPoint(1, 5)));
    EXPECT_FALSE(link->HitTest(QPoint(480, 5)));
}

TEST_F(HyperLinkTest, PointingHandOnlyOverTheText)
{
    Paint();
    const QRect text = link->TextRect();
    Move(text.center());
    EXPECT_EQ(link->cursor().shape(), Qt::PointingHandCursor);
    Move(QPoint(3, text.center().y()));
    EXPECT_NE(link->cursor().shape(), Qt::PointingHandCursor);
    Move(text.center());
    EXPECT_EQ(link->cursor().shape(), Qt::PointingHandCursor);
}

// Link texts that a command line would split or a shell would run.
class HyperLinkClickTest : public HyperLinkTest, public ::testing::WithParamInterface<const char*>
{
};

TEST_P(HyperLinkClickTest, ClickStartsTheRegisteredBrowserWithTheTextAsOneArgument)
{
    // The preferences choose Opera, and the browser found at start-up is another
    // program: the link uses neither, but the browser registered now.
    const QString registered = desktop.MakeRecorder(QStringLiteral("registered"));
    const QString chosen = desktop.MakeRecorder(QStringLiteral("chosen"));
    const QString stale = desktop.MakeRecorder(QStringLiteral("stale"));
    CKivApp app;
    app.m_nBrowserChoice = 3;
    app.m_strBrowser[2] = chosen;
    app.m_strDefaultBrowserCmd = stale + QStringLiteral(" %1");
    desktop.RegisterBrowser(registered + QStringLiteral(" %u"));

    const QString url = QString::fromUtf8(GetParam());
    link->setText(url);
    Paint();
    const QRect text = link->TextRect();
    // Beside the text the click is not the link's.
    EXPECT_FALSE(Press(QPoint(text.left() - 5, text.center().y())));
    EXPECT_TRUE(Press(text.center()));

    const auto runs = desktop.WaitForRuns(QStringLiteral("registered"), 1);
    ASSERT_EQ(runs.size(), 1u);
    EXPECT_EQ(runs[0], QStringList{url});
    EXPECT_TRUE(desktop.Runs(QStringLiteral("chosen")).empty());
    EXPECT_TRUE(desktop.Runs(QStringLiteral("stale")).empty());
    EXPECT_TRUE(ui.m_messages.empty());
}

INSTANTIATE_TEST_SUITE_P(
    Texts, HyperLinkClickTest,
    ::testing::Values("http://www.halvane.example/kiv/",
                      "http://x.example/a b\"c\" d",
                      "http://x.example/;rm -rf x;$(touch pwned)`id`",
                      "http://x.example/ -remote"));

TEST_F(HyperLinkTest, ClickWithoutRegisteredBrowserDoesNothing)
{
    Paint();
    EXPECT_TRUE(Press(link->TextRect().center()));
    EXPECT_TRUE(ui.m_messages.empty());
}

}  // namespace
