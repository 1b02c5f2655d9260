#include "shell/OpenDialog.h"

#include "model/TaskFile.h"

#include "model/AppState.h"
#include "model/Notifier.h"
#include "model/Messages.h"
#include "model/ModuleManagement.h"
#include "model/Records.h"
#include "shell/KeyPreview.h"
#include "shell/ModalRunner.h"
#include "shell/Pictures.h"
#include "shell/ScreenPlacement.h"

#include <QApplication>
#include <QCloseEvent>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QTabWidget>
#include <QVBoxLayout>

namespace {

// True when the projects' folder holds an entry of the name followed by
// ".dir", letter case aside: "robot1" and "Robot1" are one project.
bool projectEntryExists(const QString& name)
{
    return !EntryLike(ProjectsFolderPath(), name + QStringLiteral(".dir")).isEmpty();
}

// True when the files a new item of the dialog brings fit the file system.
bool nameFits(Long objToOpen, const QString& name)
{
    switch (objToOpen) {
    case OpenObject::Project: {
        const QString folder = ProjectsFolderPath() + QLatin1Char('/') + name + QStringLiteral(".dir");
        return NameFitsFileSystem(ProjectsFolderPath(), name, QStringLiteral(".dir")) &&
               NameFitsFileSystem(folder, name, QStringLiteral(".qmd"));
    }
    case OpenObject::Task: return NameFitsFileSystem(ProjectFolderPath(), name, QStringLiteral(".tas"));
    case OpenObject::Sub: return NameFitsFileSystem(SubFolderPath(), name, QStringLiteral(".sub"));
    default: return true;
    }
}

// The first field of a project file: its project type. False when the file is
// missing, can't be read as a project file or does not begin with a number.
bool readProjectType(const QString& path, Long& type)
{
    QByteArray bytes;
    try {
        bytes = ReadWholeFile(path, FileKind::Project);
    } catch (const VbError&) {
        return false;
    }
    const qsizetype lineEnd = bytes.indexOf('\n');
    const QString line = QString::fromLatin1(lineEnd < 0 ? bytes : bytes.left(lineEnd + 1)).trimmed();
    const QString first = line.section(QLatin1Char(','), 0, 0).trimmed();
    double n = 0;
    if (!vb::parseNumber(first, n))
        return false;
    type = Long(n);
    return true;
}

}  // namespace

frmOpen::frmOpen(QWidget* parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("frmOpen"));
    setWindowTitle(QStringLiteral("Quillo Mat: Open"));

    SSTab1 = new QTabWidget(this);
    SSTab1->setObjectName(QStringLiteral("SSTab1"));

    auto* newTab = new QWidget;
    lblTitle = new QLabel(QStringLiteral("Project name"), newTab);
    Image1 = new QLabel(newTab);
    Image1->setFixedSize(32, 32);
    txtProjName = new QLineEdit(newTab);
    txtProjName->setObjectName(QStringLiteral("txtProjName"));
    txtProjName->installEventFilter(this);
    auto* g = new QGridLayout(newTab);
    g->addWidget(Image1, 0, 0, 2, 1, Qt::AlignTop);
    g->addWidget(lblTitle, 0, 1);
    g->addWidget(txtProjName, 1, 1);
    g->setRowStretch(2, 1);

    auto* existingTab = new QWidget;
    LV1 = new QListWidget(existingTab);
    LV1->setObjectName(QStringLiteral("LV1"));
    LV1->setViewMode(QListView::IconMode);
    LV1->setIconSize(QSize(32, 32));
    LV1->setGridSize(QSize(110, 64));
    LV1->setResizeMode(QListView::Adjust);
    LV1->setMovement(QListView::Static);
    LV1->setWordWrap(true);
    txtTitle = new QLineEdit(existingTab);
    txtTitle->setObjectName(QStringLiteral("txtTitle"));
    txtTitle->setReadOnly(true);
    auto* ve = new QVBoxLayout(existingTab);
    ve->addWidget(LV1, 1);
    ve->addWidget(txtTitle);

    SSTab1->addTab(newTab, QStringLiteral("New project"));
    SSTab1->addTab(existingTab, QStringLiteral("Existing project"));

    optProjType[0] = new QRadioButton(QStringLiteral("RCX"), this);
    optProjType[1] = new QRadioButton(QStringLiteral("Joystick"), this);
    cmdOk[0] = new QPushButton(QStringLiteral("Ok"), this);
    cmdOk[1] = new QPushButton(QStringLiteral("Cancel"), this);
    for (auto* b : cmdOk)
        b->setAutoDefault(false);

    auto* side = new QVBoxLayout;
    side->addWidget(optProjType[0]);
    side->addWidget(optProjType[1]);
    side->addStretch(1);
    side->addWidget(cmdOk[0]);
    side->addWidget(cmdOk[1]);
    auto* h = new QHBoxLayout(this);
    h->addWidget(SSTab1, 1);
    h->addLayout(side);
    resize(520, 330);

    for (int i = 0; i < 2; ++i) {
        connect(cmdOk[i], &QPushButton::clicked, this, [this, i] { cmdOk_Click(i); });
        connect(optProjType[i], &QRadioButton::clicked, this, [this, i] { optProjType_Click(i); });
    }
    connect(SSTab1, &QTabWidget::currentChanged, this, [this](int) {
        const int previous = mCurrentTab;
        mCurrentTab = SSTab1->currentIndex();
        SSTab1_Click(previous);
    });
    connect(LV1, &QListWidget::itemClicked, this, [this](QListWidgetItem* it) { LV1_ItemClick(it); });
    connect(LV1, &QListWidget::itemDoubleClicked, this, [this](QListWidgetItem* it) {
        LV1_ItemClick(it);
        LV1_DblClick();
    });
    new KeyPreview(this, [this](QWidget* target, QKeyEvent* e) {
        if (!IsEnterKey(e))
            return false;
        if (target == txtProjName) {
            cmdOk_Click(0);
            return true;
        }
        // On the Existing tab Enter opens the project selected in the list
        // wherever the focus sits but on a button: choosing the type or going
        // over the tabs with the keyboard leaves the focus off the list while
        // its selection is what the user sees chosen.
        if (SSTab1->currentIndex() == 1 && !qobject_cast<QPushButton*>(target)) {
            LV1_DblClick();
            return true;
        }
        return false;
    });
}

void frmOpen::Form_Load()
{
    mLoading = true;
    // The dialog shows with the normal pointer, put back through the notifier,
    // which keeps track of the hourglass put up. A caller that holds a busy
    // pointer ends it before asking; what can still be up is an hourglass that
    // outlives its work's scope on purpose, a download's waiting for the brick
    // to report its last module. So the pointer is put back by hand, not by a scope.
    App().Notifier->SetPointer(PointerShape::Default);
    CentreOnScreen(this);
    FitWhenShown(this);
    AppState& a = App();
    ChosenProjectType = a.ProjectType();
    const int opt = ChosenProjectType == ProjectType::JoystickKeyboard ? 1 : 0;
    optProjType[opt]->setChecked(true);
    optProjType_Click(opt);

    switch (ObjToOpen) {
    case OpenObject::Project:
        optProjType[0]->setVisible(true);
        optProjType[1]->setVisible(true);
        GetAllProjects();
        SSTab1->setTabText(0, QStringLiteral("New project"));
        SSTab1->setTabText(1, QStringLiteral("Existing project"));
        txtTitle->setVisible(false);
        break;
    case OpenObject::Task:
        optProjType[0]->setVisible(false);
        optProjType[1]->setVisible(false);
        GetAllTasks();
        lblTitle->setText(QStringLiteral("Task name"));
        SSTab1->setTabText(0, QStringLiteral("New task"));
        SSTab1->setTabText(1, QStringLiteral("Existing task"));
        break;
    case OpenObject::Sub:
        optProjType[0]->setVisible(false);
        optProjType[1]->setVisible(false);
        GetAllSubs();
        lblTitle->setText(QStringLiteral("Sub name"));
        SSTab1->setTabText(0, QStringLiteral("New sub"));
        SSTab1->setTabText(1, QStringLiteral("Existing sub"));
        break;
    default: break;
    }

    switch (OpenMode) {
    case OpenOffer::NewOnly:
        SSTab1->setTabEnabled(1, false);
        SSTab1->setCurrentIndex(0);
        if (a.ProjectType() == ProjectType::JoystickKeyboard) {
            txtProjName->setText(QStringLiteral("The task"));
            cmdOk_Click(0);
            if (mClosedByOk)
                mClosedDuringLoad = true;
        }
        break;
    case OpenOffer::ExistingOnly:
        SSTab1->setTabEnabled(0, false);
        SSTab1->setCurrentIndex(1);
        break;
    default:
        SSTab1->setTabEnabled(0, true);
        SSTab1->setTabEnabled(1, true);
        SSTab1->setCurrentIndex(0);
        break;
    }
    // Typing goes into the name box (or the list) as soon as the dialog shows.
    if (SSTab1->currentIndex() == 0)
        txtProjName->setFocus();
    else
        LV1->setFocus();
    mLoading = false;
}

void frmOpen::FillList(const QString& folder, const QString& pattern, const QString& picture, bool projects)
{
    ClickedItem.clear();
    LV1->clear();
    const QDir dir(folder);
    const QStringList names =
        dir.entryList({pattern}, QDir::Dirs | QDir::Files | QDir::NoDotAndDotDot, QDir::Name | QDir::IgnoreCase);
    for (const QString& name : names) {
        const QString text = name.left(name.size() - 4);
        QString image = picture;
        if (projects) {
            Long type = 0;
            const QString file = dir.filePath(name) + QLatin1Char('/') + text + QStringLiteral(".qmd");
            // A project whose file is missing or unreadable is left out.
            if (!readProjectType(file, type) || type != ProjectTypeNumber(ChosenProjectType))
                continue;
            image = type == 1 ? QStringLiteral("JOY") : QStringLiteral("RCX");
        }
        new QListWidgetItem(CommandIcon(image), text, LV1);
    }
    if (LV1->count() > 0) {
        LV1_ItemClick(LV1->item(0));
        LV1->setCurrentItem(LV1->item(0));
    }
}

void frmOpen::GetAllProjects()
{
    FillList(ProjectsFolderPath(), QStringLiteral("*.dir"), QStringLiteral("RCX"), true);
}

void frmOpen::GetAllTasks()
{
    FillList(ProjectsFolderPath() + QLatin1Char('/') + App().RcxSetup().ProjectName + QStringLiteral(".dir"),
             QStringLiteral("*.tas"), QStringLiteral("TASK"), false);
}

void frmOpen::GetAllSubs()
{
    FillList(SubFolderPath(), QStringLiteral("*.sub"), QStringLiteral("SUB"), false);
}

void frmOpen::LV1_ItemClick(QListWidgetItem* item)
{
    ClickedItem = item ? item->text() : QString();
    if (!item || (ObjToOpen != OpenObject::Task && ObjToOpen != OpenObject::Sub))
        return;
    const QString path = ObjToOpen == OpenObject::Task
                             ? ProjectsFolderPath() + QLatin1Char('/') + App().RcxSetup().ProjectName +
                                   QStringLiteral(".dir/") + item->text() + QStringLiteral(".tas")
                             : SubFolderPath() + QLatin1Char('/') + item->text() + QStringLiteral(".sub");
    RecordReader file;
    try {
        file.open(path, ObjToOpen == OpenObject::Task ? FileKind::Task : FileKind::Sub);
        file.field();
        file.field();
        file.field();
        const QString title = file.textField();
        file.close();
        txtTitle->setText(title);
    } catch (const VbError&) {
        if (file.isOpen())
            file.close();
    }
}

void frmOpen::LV1_DblClick()
{
    cmdOk_Click(0);
    App().Shell->DoEvents();
}

void frmOpen::optProjType_Click(int index)
{
    ChosenProjectType = ProjectTypeOfNumber(index);
    GetAllProjects();
    SetPicture();
}

void frmOpen::SetPicture()
{
    Image1->setPixmap(CommandPicture(ChosenProjectType == ProjectType::JoystickKeyboard ? QStringLiteral("JOY")
                                                                                      : QStringLiteral("RCX")));
}

void frmOpen::SSTab1_Click(int previousTab)
{
    if (previousTab == 1)
        txtProjName->setFocus();
    else
        LV1->setFocus();
}

void frmOpen::txtProjName_GotFocus()
{
    txtProjName->selectAll();
}

void frmOpen::Finish()
{
    mClosedByOk = true;
    done(Choice.canceled ? QDialog::Rejected : QDialog::Accepted);
}

void frmOpen::cmdOk_Click(int index)
{
    if (index == 1) {
        Choice.canceled = true;
        Finish();
        return;
    }
    Choice.canceled = false;
    auto refuse = [this](const QString& text) {
        ShowMessage(text, MsgStyle::Exclamation);
        txtProjName->setFocus();
        txtProjName->selectAll();
    };
    try {
        if (SSTab1->currentIndex() == 0) {
            const QString name = vb::Trim(txtProjName->text());
            if (name.isEmpty()) {
                refuse(QStringLiteral("Missing name"));
                return;
            }
            Choice.name = name;
            if ((ObjToOpen == OpenObject::Project || ObjToOpen == OpenObject::Task || ObjToOpen == OpenObject::Sub) &&
                IsValidModuleName(name) && !nameFits(ObjToOpen, name)) {
                refuse(QStringLiteral("Name too long: the file for \"%1\" would be longer than the file system allows")
                           .arg(name.left(40) + QStringLiteral("...")));
                return;
            }
            if (ObjToOpen == OpenObject::Project) {
                if (!IsValidModuleName(name)) {
                    refuse(QStringLiteral("Invalid name"));
                    return;
                }
                if (projectEntryExists(name)) {
                    refuse(QStringLiteral("Project by that name already exist (RCX or Joystick)"));
                    return;
                }
                Choice.projectAction = OpenAction::New;
            } else if (ObjToOpen == OpenObject::Task || ObjToOpen == OpenObject::Sub) {
                if (!IsValidModuleName(name)) {
                    refuse(QStringLiteral("Invalid name"));
                    return;
                }
                if (ObjToOpen == OpenObject::Task)
                    Choice.taskAction = OpenAction::New;
                else
                    Choice.subAction = OpenAction::New;
            }
            Choice.projectType = ChosenProjectType;
        } else {
            if (ClickedItem.isEmpty()) {
                ShowMessage(QStringLiteral("Nothing selected"), MsgStyle::Exclamation);
                return;
            }
            // The item shown selected, not the one with the keyboard's
            // current mark: a click beside the items leaves none selected.
            const QList<QListWidgetItem*> selected = LV1->selectedItems();
            if (selected.isEmpty())
                return;  // nothing selected in the list: the dialog stays
            Choice.name = selected.first()->text();
            if (ObjToOpen == OpenObject::Project)
                Choice.projectAction = OpenAction::Existing;
            else if (ObjToOpen == OpenObject::Task)
                Choice.taskAction = OpenAction::Existing;
            else if (ObjToOpen == OpenObject::Sub)
                Choice.subAction = OpenAction::Existing;
        }
    } catch (const VbError& e) {
        ShowMessage(e.description(), MsgStyle::Exclamation);
        Choice.canceled = true;
        return;
    }
    Finish();
}

void frmOpen::reject()
{
    if (!mClosedByOk)
        cmdOk_Click(1);
}

void frmOpen::closeEvent(QCloseEvent* event)
{
    if (mClosedByOk) {
        event->accept();
        return;
    }
    // Closed by its close box or the system: the program ends at once.
    event->accept();
    EndProgram(0);
}

bool frmOpen::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == txtProjName && event->type() == QEvent::FocusIn)
        QMetaObject::invokeMethod(this, [this] { txtProjName_GotFocus(); }, Qt::QueuedConnection);
    return QDialog::eventFilter(watched, event);
}

OpenChoice ShowOpenDialog(Long openMode, Long objToOpen)
{
    frmOpen dlg(QApplication::activeWindow());
    dlg.ObjToOpen = objToOpen;
    dlg.OpenMode = openMode;
    dlg.Form_Load();
    if (dlg.ClosedWhileLoading())
        return dlg.Choice;
    const int result = RunModal(dlg);
    Q_UNUSED(result);
    return dlg.Choice;
}
