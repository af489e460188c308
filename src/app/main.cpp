// Velqor: a desktop electronic keyboard.
#include <QApplication>

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Velqor"));
    return 0;
}
