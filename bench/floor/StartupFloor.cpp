// The floor of the start-up benchmark: the least a Qt Widgets program does to
// show a dialog. It shows one empty dialog, reported by the same probe as the
// program's open dialog (QUILLOMAT_STARTUP_PROBE).
#include "StartupProbe.h"

#include <QApplication>
#include <QDialog>

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    startup_probe::InstallIfAsked(app);
    QDialog dialog;
    dialog.setWindowTitle(QStringLiteral("Floor"));
    dialog.resize(520, 330);
    dialog.show();
    return app.exec();
}
