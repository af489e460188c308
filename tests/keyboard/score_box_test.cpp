// The score box while a take is recorded: its text is the score, byte for byte, and it shows the
// same lines as the score in one paragraph would, however the box keeps it internally.
#include "live_support.h"

#include <QScrollBar>
#include <QTextBlock>
#include <QTextLayout>
#include <vector>

namespace {

// Where each displayed line starts, as an index into the text of the box.
std::vector<int> lineStarts(QPlainTextEdit* box)
{
    std::vector<int> starts;
    int cuts = 0;   // the box's own paragraph ends are not characters of the text
    for (QTextBlock b = box->QPlainTextEdit::document()->firstBlock(); b.isValid(); b = b.next()) {
        const QTextLayout* layout = b.layout();
        for (int i = 0; layout && i < layout->lineCount(); ++i)
            starts.push_back(b.position() - cuts + layout->lineAt(i).textStart());
        if (b.userState() == 1) ++cuts;
    }
    return starts;
}

class ScoreBoxTest : public live_test::LiveFixture {
protected:
    // A take of `presses` note keys, the clock ticking now and then so the lengths vary.
    void recordTake(int presses)
    {
        static const int keys[] = {Qt::Key_G, Qt::Key_H, Qt::Key_J, Qt::Key_K, Qt::Key_L, Qt::Key_V, Qt::Key_T};
        for (int i = 0; i < presses; ++i) {
            key(keys[i % 7]);
            ticks(i % 5);
            if (i % 40 == 39) key(Qt::Key_Backspace);
        }
    }
    // The same text in a plain box of the same size, laid out as one paragraph.
    std::vector<int> referenceLines(const QString& text)
    {
        QPlainTextEdit reference(form.get());
        reference.setGeometry(form->Text3->geometry());
        reference.setWordWrapMode(form->Text3->wordWrapMode());
        reference.setPlainText(text);
        reference.show();
        QCoreApplication::processEvents();
        return lineStarts(&reference);
    }
};

TEST_F(ScoreBoxTest, LongTakeShowsTheScoreByteForByteInTheSameLines)
{
    keyboard::Form1& f = play();
    recordTake(400);
    const QString& score = midi::state().ScoreText;
    ASSERT_GT(score.size(), 1000);
    EXPECT_TRUE(f.Text3->cut()) << "the box should keep the growing score in lines";
    EXPECT_EQ(f.Text3->toPlainText(), score);
    const std::vector<int> shown = lineStarts(f.Text3);
    EXPECT_GT(shown.size(), 20u);
    EXPECT_EQ(shown, referenceLines(score));

    // At another width the box wraps elsewhere; the next keys keep to the new lines.
    f.Text3->resize(f.Text3->width() - 37, f.Text3->height());
    EXPECT_FALSE(f.Text3->cut());
    recordTake(30);
    EXPECT_EQ(f.Text3->toPlainText(), midi::state().ScoreText);
    EXPECT_EQ(lineStarts(f.Text3), referenceLines(midi::state().ScoreText));
}

TEST_F(ScoreBoxTest, PositionsAndEditingWorkOnTheTextItself)
{
    keyboard::Form1& f = play();
    recordTake(300);
    key(Qt::Key_Space);
    const QString score = midi::state().ScoreText;
    ASSERT_TRUE(f.Text3->cut());

    // The user clicks into the box: the view stays, and typing edits the score's own text.
    f.Text3->verticalScrollBar()->setValue(5);
    const std::vector<int> before = lineStarts(f.Text3);
    QTest::mouseClick(f.Text3->viewport(), Qt::LeftButton, Qt::NoModifier, QPoint(3, 3));
    EXPECT_FALSE(f.Text3->cut());
    EXPECT_EQ(f.Text3->verticalScrollBar()->value(), 5);
    EXPECT_EQ(lineStarts(f.Text3), before);
    EXPECT_EQ(f.Text3->toPlainText(), score);
    const int at = f.Text3->textCursor().position();
    QTest::keyClick(f.Text3, Qt::Key_X);
    EXPECT_EQ(f.Text3->toPlainText(), QString(score).insert(at, QLatin1Char('x')));
    // The typing can be taken back, and only the typing: the take is not typed.
    QTest::keyClick(f.Text3, Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(f.Text3->toPlainText(), score);
    EXPECT_FALSE(f.Text3->document()->isUndoAvailable());

    // Playback selects the character behind the token it reads, counted in the text.
    f.Text3->setPlainText(score);
    f.SFYXYZ->setFocus();
    recordTake(100);
    const QString longer = f.Text3->toPlainText();
    ASSERT_TRUE(f.Text3->cut());
    f.Yuepu[0]->click();
    int checked = 0;
    while (f.Auditioning && checked < 3) {
        const int readAt = f.Player.ScorePos;   // where the next reading starts and selects
        f.Timer3->tick();
        if (f.Player.ScorePos == readAt || readAt < 200) continue;
        const QTextCursor c = f.Text3->textCursor();
        EXPECT_EQ(c.selectionStart(), readAt);
        EXPECT_EQ(c.selectedText(), longer.mid(readAt, 1));
        ++checked;
    }
    EXPECT_EQ(checked, 3);
}

}  // namespace
