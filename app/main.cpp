#include <QApplication>
#include <QLabel>

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    QLabel label(QStringLiteral("Programing RCX"));
    label.resize(400, 120);
    label.show();
    return app.exec();
}
