#pragma once
// The help viewer: the program's own window showing the HTML help file
// "Quillomat.html" that lies beside the program.
#include <QString>
#include <QWidget>

class frmHelp : public QWidget {
    Q_OBJECT
public:
    explicit frmHelp(const QString& path, QWidget* parent = nullptr);
};

// Where the help file is looked for: the program folder, then the folder of
// the executable.
QString HelpFilePath();
// Opens a new help viewer on the help file, or says where the file belongs.
void ShowHelp();
// Closes the viewer opened last, when it is still open and titled with the
// program's name.
void CloseHelp();
// The viewer opened last, while it is open.
frmHelp* LastHelpWindow();
