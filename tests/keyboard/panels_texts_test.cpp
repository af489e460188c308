// Clock label, credit line and velocity texts of the main window's panels; the showcase page.
#include "keyboard/panel_texts.h"
#include "midi/score_notation.h"

#include <QDate>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QTime>
#include <gtest/gtest.h>

using namespace keyboard;

namespace {

TEST(PanelTexts, ClockLabelUsesHyphensAndA24HourClock)
{
    EXPECT_EQ(clockText(QDateTime(QDate(2027, 2, 1), QTime(9, 5, 3))), "2027-02-01 09-05-03");
    EXPECT_EQ(clockText(QDateTime(QDate(2026, 3, 5), QTime(7, 8, 9))), "2026-03-05 07-08-09");
    EXPECT_EQ(clockText(QDateTime(QDate(2011, 12, 30), QTime(23, 59, 59))), "2011-12-30 23-59-59");
}

TEST(PanelTexts, TurningLeftMovesWideCharactersWhole)
{
    EXPECT_EQ(rotateLeft(""), "");
    EXPECT_EQ(rotateLeft("x"), "x");
    // A character outside the basic plane moves as one.
    const QString wide = QString::fromUtf8("\xF0\x9D\x84\x9E") + "ab";   // a musical symbol
    EXPECT_EQ(rotateLeft(wide), "ab" + QString::fromUtf8("\xF0\x9D\x84\x9E"));
}

TEST(PanelTexts, VelocityTextIsReadRoundedAndKeptInRange)
{
    EXPECT_EQ(velocityFromText("120"), 120);
    EXPECT_EQ(velocityFromText("62.5"), 62);
    EXPECT_EQ(velocityFromText("63.5"), 64);
    EXPECT_EQ(velocityFromText("85abc"), 85);
    EXPECT_EQ(velocityFromText("abc"), 0);
    EXPECT_EQ(velocityFromText("-5"), 0);
    EXPECT_EQ(velocityFromText("128"), 127);
    EXPECT_EQ(velocityFromText("99999999999999"), 127);
    EXPECT_EQ(velocityFromText("1e300"), 127);
}

}  // namespace

namespace {

// The scores on the showcase page play to their end: every token valid, tempo and instrument
// numbers within their lists, no length 0, and "TZ" at the end.
TEST(ShowcasePage, ScoresAreValidNotation)
{
    QFile page(QFileInfo(QString::fromUtf8(__FILE__)).absolutePath() + "/../../data/showcase.html");
    ASSERT_TRUE(page.open(QIODevice::ReadOnly));
    const QString html = QString::fromUtf8(page.readAll());
    const QRegularExpression scoreBlock("<div class=\"score\">([^<]*)</div>");
    int scores = 0;
    for (auto it = scoreBlock.globalMatch(html); it.hasNext(); ++scores) {
        const QString score = it.next().captured(1);
        midi::ScoreRead r;
        for (int64_t pos = 1; pos <= score.size(); pos = r.pos + 1) {
            r = midi::readScoreToken(score, pos);
            ASSERT_NE(r.kind, midi::ScoreTokenKind::Invalid) << score.toStdString() << " at " << pos;
            if (r.kind == midi::ScoreTokenKind::Stop) break;
            EXPECT_FALSE(r.hasLength && r.length == 0);
            if (r.kind == midi::ScoreTokenKind::Tempo) {
                EXPECT_TRUE(r.length >= 1 && r.length <= 19);
            }
            if (r.kind == midi::ScoreTokenKind::Instruments) {
                EXPECT_TRUE(r.length >= 1 && r.length <= 12);
            }
        }
        EXPECT_EQ(r.kind, midi::ScoreTokenKind::Stop) << score.toStdString();
    }
    EXPECT_GE(scores, 3);
}

}  // namespace
