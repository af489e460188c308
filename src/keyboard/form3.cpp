#include "keyboard/form3.h"

#include "forms/geometry.h"
#include "keyboard/program.h"

#include <QBitmap>
#include <QFontMetrics>
#include <QGuiApplication>
#include <QMouseEvent>
#include <QPainter>
#include <QScreen>

namespace keyboard {
namespace {

constexpr int kWidthTwips = 7485;
constexpr int kHeightTwips = 3795;

}  // namespace

Form3::Form3(QWidget* parent) : QWidget(parent, Qt::FramelessWindowHint)
{
    setFixedSize(forms::twipsToPx(kWidthTwips), forms::twipsToPx(kHeightTwips));
    Timer1 = new forms::FormTimer(this, 4000, false);
    Timer1->onTick([this] { Timer1_Timer(); });
}

void Form3::Show()
{
    if (!loaded_) {
        loaded_ = true;
        Form_Load();
    }
    show();
}

void Form3::Form_Load()
{
    QPalette pal = palette();
    pal.setColor(QPalette::Window, forms::QBColor(8));
    setPalette(pal);
    setAutoFillBackground(true);

    QFont font;
    font.setFamilies({QStringLiteral("楷体"), QStringLiteral("AR PL UKai CN"),
                      QStringLiteral("WenQuanYi Zen Hei")});
    font.setPointSize(150);
    setFont(font);

    // The outline of the text drawn with its top left corner at (0, 0).
    const QString text = QStringLiteral("再 见");
    TextOutline = QPainterPath();
    TextOutline.addText(QPointF(0, QFontMetrics(font, this).ascent()), font, text);

    // The window keeps only the inside of the outline (holes of the glyphs stay open).
    QBitmap shape(size());
    shape.fill(Qt::color0);
    {
        QPainter p(&shape);
        p.setPen(Qt::NoPen);
        p.setBrush(Qt::color1);
        p.drawPath(TextOutline);
    }
    setMask(shape);

    if (QScreen* screen = QGuiApplication::primaryScreen())
        move(screen->availableGeometry().center() - rect().center());
    Timer1->setEnabled(true);
}

void Form3::Form_Click() { EndProgram(); }

void Form3::Timer1_Timer() { EndProgram(); }

void Form3::mouseReleaseEvent(QMouseEvent* event)
{
    if (event->button() == Qt::LeftButton) Form_Click();
}

}  // namespace keyboard
