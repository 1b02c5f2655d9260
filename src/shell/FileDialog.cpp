#include "shell/FileDialog.h"

#include "model/AppState.h"
#include "model/Messages.h"
#include "shell/KeyPreview.h"
#include "shell/Pictures.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFileInfo>
#include <QGridLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QStorageInfo>
#include <QStyle>

#include <algorithm>

namespace {

const QString kRoot = QStringLiteral("/");

void sortNames(QStringList& names)
{
    std::sort(names.begin(), names.end(),
              [](const QString& a, const QString& b) { return a.compare(b, Qt::CaseInsensitive) < 0; });
}

QIcon pictureFor(const QString& key)
{
    QStyle* st = QApplication::style();
    if (key == QLatin1String("UPDIR"))
        return st->standardIcon(QStyle::SP_FileDialogToParent);
    if (key == QLatin1String("FOLDER"))
        return st->standardIcon(QStyle::SP_DirIcon);
    if (key == QLatin1String("RCX"))
        return CommandIcon(QStringLiteral("RCX"));
    if (key == QLatin1String("DATALOG"))
        return CommandIcon(CommandKey::L_DATALOG);
    return st->standardIcon(QStyle::SP_FileIcon);
}

QString pictureKeyFor(const QString& fileName)
{
    const QString ext = QFileInfo(fileName).suffix().toLower();
    if (ext == QLatin1String("lgo"))
        return QStringLiteral("RCX");
    if (ext == QLatin1String("dlg"))
        return QStringLiteral("DATALOG");
    if (ext == QLatin1String("bmp"))
        return QStringLiteral("BMP");
    return QStringLiteral("FILE");
}

}  // namespace

frmFirmware::frmFirmware(QWidget* parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("frmFirmware"));
    setWindowTitle(QStringLiteral("Open Firmware File"));

    Drive1 = new QComboBox(this);
    Drive1->setObjectName(QStringLiteral("Drive1"));
    Drive1->addItems(Drives());
    // A long mount path must not squeeze the name and type boxes beside it.
    Drive1->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    Drive1->setMinimumContentsLength(8);
    txtPath = new QLineEdit(this);
    txtPath->setObjectName(QStringLiteral("txtPath"));
    // A folder typed here and ended with Enter becomes the current one.
    txtPath->setToolTip(QStringLiteral("Type a folder and press Enter to go there"));
    LV = new QListWidget(this);
    LV->setObjectName(QStringLiteral("LV"));
    LV->setIconSize(QSize(16, 16));
    lblFileName = new QLabel(QStringLiteral("File Name:"), this);
    txtFileName = new QLineEdit(this);
    txtFileName->setObjectName(QStringLiteral("txtFileName"));
    lblFileType = new QLabel(QStringLiteral("File Type:"), this);
    cmbFileType = new QComboBox(this);
    cmbFileType->setObjectName(QStringLiteral("cmbFileType"));
    cmdOpen = new QPushButton(QStringLiteral("Open"), this);
    CmdClose = new QPushButton(QStringLiteral("Cancel"), this);
    cmdOpen->setAutoDefault(false);
    CmdClose->setAutoDefault(false);
    chkDefault = new QCheckBox(QStringLiteral("Make this file the default Firmware"), this);

    auto* g = new QGridLayout(this);
    g->addWidget(Drive1, 0, 0);
    g->addWidget(txtPath, 0, 1, 1, 2);
    g->addWidget(LV, 1, 0, 1, 3);
    g->addWidget(lblFileName, 2, 0);
    g->addWidget(txtFileName, 2, 1);
    g->addWidget(cmdOpen, 2, 2);
    g->addWidget(lblFileType, 3, 0);
    g->addWidget(cmbFileType, 3, 1);
    g->addWidget(CmdClose, 3, 2);
    g->addWidget(chkDefault, 4, 0, 1, 3);
    g->setColumnStretch(1, 1);
    resize(480, 420);

    connect(Drive1, &QComboBox::currentIndexChanged, this, [this] { Drive1_Change(); });
    connect(cmbFileType, &QComboBox::currentIndexChanged, this, [this] { cmbFileType_Click(); });
    connect(LV, &QListWidget::itemClicked, this, [this](QListWidgetItem* it) { LV_ItemClick(it); });
    connect(LV, &QListWidget::itemDoubleClicked, this, [this](QListWidgetItem* it) {
        LV_ItemClick(it);
        LV_DblClick();
    });
    connect(txtFileName, &QLineEdit::textChanged, this, [this] { txtFileName_Change(); });
    connect(chkDefault, &QCheckBox::toggled, this, [this] { chkDefault_Click(); });
    connect(cmdOpen, &QPushButton::clicked, this, [this] { cmdOpen_Click(); });
    connect(CmdClose, &QPushButton::clicked, this, [this] { CmdClose_Click(); });
    // Left without Enter, the path box shows the current folder again.
    connect(txtPath, &QLineEdit::editingFinished, this, [this] { txtPath->setText(GetFolder()); });
    new KeyPreview(this, [this](QWidget* target, QKeyEvent* e) {
        if (!IsEnterKey(e))
            return false;
        if (target == txtPath)
            txtPath_Enter();
        else
            cmdOpen_Click();
        return true;
    });

    // Loading.
    WasCanceled = True;
    mFirstListing = true;
}

QStringList frmFirmware::Drives()
{
    QStringList drives{kRoot};
    for (const QStorageInfo& s : QStorageInfo::mountedVolumes()) {
        const QString root = s.rootPath();
        if (!drives.contains(root))
            drives.append(root);
    }
    return drives;
}

QString frmFirmware::ParentFolder(const QString& folder)
{
    const int i = int(folder.lastIndexOf(QLatin1Char('/')));
    if (i < 0)
        return QString();
    if (i == 0)
        return folder.size() > 1 ? kRoot : QString();
    return folder.left(i);
}

QString frmFirmware::JoinPath(const QString& folder, const QString& name)
{
    return folder.endsWith(QLatin1Char('/')) ? folder + name : folder + QLatin1Char('/') + name;
}

bool frmFirmware::MatchesType(const QString& fileName, const QString& type)
{
    if (type == QLatin1String("*.*"))
        return true;
    const int dot = int(fileName.indexOf(QLatin1Char('.')));
    const QString ext = dot < 0 ? fileName : fileName.mid(dot + 1);
    return ext.compare(type, Qt::CaseInsensitive) == 0;
}

void frmFirmware::setFileType(const QString& type)
{
    mFileType = type;
    {
        const QSignalBlocker block(cmbFileType);
        if (cmbFileType->count() == 0) {
            cmbFileType->addItem(QStringLiteral("*.*"));
            cmbFileType->addItem(type);
        }
        const int i = cmbFileType->findText(type, Qt::MatchFixedString);
        cmbFileType->setCurrentIndex(i >= 0 ? i : 0);
    }
    cmbFileType_Click();
    chkDefault->setVisible(type.compare(QStringLiteral("lgo"), Qt::CaseInsensitive) == 0);
}

void frmFirmware::setFirmFileName(const QString& name)
{
    mFileName = name;
    const QSignalBlocker block(txtFileName);
    txtFileName->setText(name);
}

QString frmFirmware::DriveOf(const QString& path) const
{
    QString best = kRoot;
    for (int i = 0; i < Drive1->count(); ++i) {
        const QString d = Drive1->itemText(i);
        if ((path == d || path.startsWith(JoinPath(d, QString()))) && d.size() > best.size())
            best = d;
    }
    return best;
}

void frmFirmware::SelectDrive(const QString& drive)
{
    const QSignalBlocker block(Drive1);
    int i = Drive1->findText(drive);
    if (i < 0) {
        Drive1->addItem(drive);
        i = Drive1->count() - 1;
    }
    Drive1->setCurrentIndex(i);
}

void frmFirmware::setFullPath(const QString& path)
{
    SelectDrive(DriveOf(path));
    SetFolder(path);
    FillFileList();
}

void frmFirmware::SetFolder(const QString& folder)
{
    QString f = folder;
    while (f.size() > 1 && f.endsWith(QLatin1Char('/')))
        f.chop(1);
    mFolder = f;
    txtPath->setText(f);
}

void frmFirmware::FillFileList()
{
    if (mFirstListing) {
        mFirstListing = false;
        return;
    }
    mClicked = nullptr;
    const QString folder = GetFolder();
    const QFileInfo info(folder);
    if (folder.isEmpty() || !info.isDir()) {
        ShowMessage(QStringLiteral("Folder: ") + folder + QStringLiteral(" No longer exsist!"), MsgStyle::Exclamation);
        SetFolder(kRoot);
        if (Drive1->currentText() != kRoot) {
            SelectDrive(kRoot);
            Drive1_Change();
        } else {
            FillFileList();
        }
        return;
    }
    const QStorageInfo storage(folder);
    if (storage.isValid() && !storage.isReady()) {
        const int answer = App().Presenter->MsgBox(QStringLiteral("Drive ") + storage.rootPath().toUpper() +
                                                       QStringLiteral(" is not ready!"),
                                                   MsgStyle::RetryCancel | MsgStyle::Critical);
        if (answer == MsgResult::Cancel) {
            SelectDrive(kRoot);
            Drive1_Change();
            return;
        }
    }

    LV->clear();
    const QDir dir(folder);
    // Hidden folders and files are listed too: the data folder itself lies
    // below one.
    QStringList folders = dir.entryList(QDir::Dirs | QDir::Hidden | QDir::NoDot);
    if (folder == kRoot)
        folders.removeAll(QStringLiteral(".."));
    sortNames(folders);
    for (const QString& name : folders) {
        const QString key = name == QLatin1String("..") ? QStringLiteral("UPDIR") : QStringLiteral("FOLDER");
        auto* item = new QListWidgetItem(pictureFor(key), name, LV);
        item->setData(Qt::UserRole, QStringLiteral("folder"));
        item->setData(Qt::UserRole + 1, key);
    }

    const QString type = cmbFileType->currentText();
    QStringList files;
    for (const QString& name : dir.entryList(QDir::Files | QDir::Hidden))
        if (MatchesType(name, type))
            files.append(name);
    sortNames(files);
    for (const QString& name : files) {
        const QString key = pictureKeyFor(name);
        auto* item = new QListWidgetItem(pictureFor(key), name, LV);
        item->setData(Qt::UserRole, QStringLiteral("file"));
        item->setData(Qt::UserRole + 1, key);
    }
}

void frmFirmware::Drive1_Change()
{
    SetFolder(Drive1->currentText());
    FillFileList();
}

void frmFirmware::cmbFileType_Click()
{
    FillFileList();
}

void frmFirmware::LV_ItemClick(QListWidgetItem* item)
{
    mClicked = item;
    if (item && item->data(Qt::UserRole).toString() == QLatin1String("file")) {
        txtFileName->setText(item->text());
        mFileName = item->text();
    }
}

void frmFirmware::LV_DblClick()
{
    if (!mClicked)
        return;
    const QString tag = mClicked->data(Qt::UserRole).toString();
    const QString text = mClicked->text();
    if (tag == QLatin1String("folder")) {
        if (text == QLatin1String(".."))
            SetFolder(ParentFolder(GetFolder()));
        else
            SetFolder(JoinPath(GetFolder(), text));
        FillFileList();
    } else if (tag == QLatin1String("file")) {
        cmdOpen_Click();
    }
}

void frmFirmware::txtPath_Enter()
{
    QString typed = txtPath->text().trimmed();
    if (typed == QLatin1String("~") || typed.startsWith(QLatin1String("~/")))
        typed = QDir::homePath() + typed.mid(1);
    const QString path = QDir::cleanPath(QDir(GetFolder()).absoluteFilePath(typed));
    const QFileInfo info(path);
    if (info.isDir()) {
        setFullPath(path);
    } else if (info.isFile()) {
        setFullPath(info.absolutePath());
        txtFileName->setText(info.fileName());
        txtFileName->setFocus();  // the next Enter presses Open
    } else {
        ShowMessage(path + QStringLiteral("\r\n") + QStringLiteral("Folder not found!"), MsgStyle::Exclamation);
        txtPath->setFocus();
        txtPath->selectAll();
    }
}

void frmFirmware::txtFileName_Change()
{
    mFileName = txtFileName->text();
}

void frmFirmware::chkDefault_Click()
{
    DefaultFirm = chkDefault->isChecked() ? True : False;
}

void frmFirmware::cmdOpen_Click()
{
    const QString name = txtFileName->text();
    if (name.isEmpty() || name.startsWith(QLatin1Char('*')))
        return;
    const QString path = JoinPath(GetFolder(), name);
    if (QFileInfo(path).isFile() || mFileType.compare(QStringLiteral("lgo"), Qt::CaseInsensitive) != 0) {
        WasCanceled = False;
        accept();
        return;
    }
    ShowMessage(path + QStringLiteral("\r\n") + QStringLiteral("File not found!") + QStringLiteral("\r\n") +
                    QStringLiteral("Check file name and path."),
                MsgStyle::Exclamation);
}

void frmFirmware::CmdClose_Click()
{
    reject();
}
