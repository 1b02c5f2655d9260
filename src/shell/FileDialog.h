#pragma once
// The program's own file dialog frmFirmware: the folders and the files of one
// type in one folder of one mounted file system. The caller sets FullPath,
// FileType and perhaps FirmFileName and a caption, shows it with RunModal, and
// then reads WasCanceled, FullPath and FirmFileName (and DefaultFirm).
// Folders are written with "/", without a trailing "/" except the root "/".
#include "model/Variant.h"

#include <QDialog>

class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QListWidgetItem;
class QPushButton;

class frmFirmware : public QDialog {
    Q_OBJECT
public:
    explicit frmFirmware(QWidget* parent = nullptr);

    Boolean WasCanceled = True;
    Boolean DefaultFirm = False;

    QString FileType() const { return mFileType; }
    void setFileType(const QString& type);
    QString FirmFileName() const { return mFileName; }
    void setFirmFileName(const QString& name);
    QString FullPath() const { return GetFolder(); }
    void setFullPath(const QString& path);

    // Handlers.
    void Drive1_Change();
    void cmbFileType_Click();
    void LV_ItemClick(QListWidgetItem* item);
    void LV_DblClick();
    // Enter in the path box: the folder typed (absolute, from the current
    // folder, or from "~") becomes the current one; a file typed goes to its
    // folder with its name in the name box, which takes the focus; anything
    // else is refused.
    void txtPath_Enter();
    void txtFileName_Change();
    void chkDefault_Click();
    void cmdOpen_Click();
    void CmdClose_Click();

    // The drives offered: "/" and the mounted file systems.
    static QStringList Drives();
    // The folder above a folder: the part before its last "/" ("/" for a
    // folder right below the root, empty for the root itself).
    static QString ParentFolder(const QString& folder);
    // A folder and a name joined by "/".
    static QString JoinPath(const QString& folder, const QString& name);
    // True when a file name has the type: everything after its first dot (the
    // whole name when it has none) equals the type without regard to case;
    // the type "*.*" takes every name.
    static bool MatchesType(const QString& fileName, const QString& type);

    QComboBox* Drive1;
    QLineEdit* txtPath;
    QListWidget* LV;
    QLabel* lblFileName;
    QLineEdit* txtFileName;
    QLabel* lblFileType;
    QComboBox* cmbFileType;
    QPushButton* cmdOpen;
    QPushButton* CmdClose;
    QCheckBox* chkDefault;

private:
    void SetFolder(const QString& folder);
    QString GetFolder() const { return mFolder; }
    void FillFileList();
    void SelectDrive(const QString& drive);
    QString DriveOf(const QString& path) const;

    QString mFolder;
    QString mFileType;
    QString mFileName;
    QListWidgetItem* mClicked = nullptr;
    bool mFirstListing = true;
};
