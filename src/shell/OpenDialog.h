#pragma once
// The open/new dialog frmOpen, caption "Quillo Mat: Open": a new project, task
// or sub named by the user, or an existing one picked from what lies in the
// program folder. The caller sets ObjToOpen and OpenMode, calls Form_Load and
// shows it (ShowOpenDialog does all of that); the user's choice is left in
// Choice, with the project type chosen for a new one.
#include "model/Services.h"
#include "model/Variant.h"

#include <QDialog>

class QLabel;
class QLineEdit;
class QListWidget;
class QListWidgetItem;
class QPushButton;
class QRadioButton;
class QTabWidget;

class frmOpen : public QDialog {
    Q_OBJECT
public:
    explicit frmOpen(QWidget* parent = nullptr);

    Long ObjToOpen = OpenObject::Project;
    Long OpenMode = OpenOffer::NewOrExisting;  // any number but NewOnly and ExistingOnly offers both
    ProjectType ChosenProjectType = ProjectType::Rcx;
    // What the user chose; cancelled until OK is pressed with a valid choice.
    OpenChoice Choice;
    // The text of the item last clicked; empty after the list was filled empty.
    QString ClickedItem;

    void Form_Load();
    // True when the dialog closed itself while loading (a Joystick & Keyboard
    // project's only task is named without asking).
    bool ClosedWhileLoading() const { return mClosedDuringLoad; }

    void GetAllProjects();
    void GetAllTasks();
    void GetAllSubs();

    void cmdOk_Click(int index);
    void optProjType_Click(int index);
    void SSTab1_Click(int previousTab);
    void LV1_ItemClick(QListWidgetItem* item);
    void LV1_DblClick();
    void txtProjName_GotFocus();

    QTabWidget* SSTab1;
    QLabel* lblTitle;
    QLabel* Image1;
    QLineEdit* txtProjName;
    QListWidget* LV1;
    QLineEdit* txtTitle;
    QRadioButton* optProjType[2];
    QPushButton* cmdOk[2];

    // Escape acts as Cancel.
    void reject() override;

protected:
    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void FillList(const QString& folder, const QString& pattern, const QString& picture, bool projects);
    void SetPicture();
    void Finish();

    bool mLoading = false;
    bool mClosedByOk = false;
    bool mClosedDuringLoad = false;
    int mCurrentTab = 0;
};

// Shows the open/new dialog for the object and the mode, modally, and gives
// what the user chose.
OpenChoice ShowOpenDialog(Long openMode, Long objToOpen);
