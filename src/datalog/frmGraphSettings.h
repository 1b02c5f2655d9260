#pragma once
// The graph settings dialog: the graph's title, its X item and caption, its
// Y items and caption. It hides instead of closing, so its settings stay for
// the next opening; Cancel brings back what was in force at the last Ok.
#include "datalog/core/DatalogGraph.h"
#include "datalog/DatalogDialog.h"

class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QTreeWidget;
class QTreeWidgetItem;

class frmGraphSettings : public DatalogDialog {
    Q_OBJECT
public:
    explicit frmGraphSettings(QWidget* parent = nullptr);

    // Fills the X item list with every item (the Samples Counter first) and
    // the Y item list with every item that is no timer, clock or counter.
    void FillItems(const QVector<GraphItem>& items);
    // The settings as the controls hold them.
    GraphSettings Settings() const;
    // The Y item list's entry of the given text, or nullptr.
    QTreeWidgetItem* YEntry(const QString& text) const;

    void cmbX_Click();
    void LV1_ItemCheck(QTreeWidgetItem* item);
    void cmdOk_Click() override;
    void cmdCancel_Click() override;

    QLabel* Label2;
    QLineEdit* txtGraphTitle;
    QGroupBox* Frame1;
    QLineEdit* txtXCaption;
    QComboBox* cmbX;
    QGroupBox* Frame2;
    QLineEdit* txtYCaption;
    QTreeWidget* LV1;
    QPushButton* cmdOk;
    QPushButton* cmdCancel;

private:
    void place(QWidget* w, int left, int top, int width, int height);
    void placeLabel(QLabel* label, int left, int top, QWidget* box);
    void setCheckedQuietly(QTreeWidgetItem* item, bool checked);
    Integer sourceOf(const QString& name) const;

    bool mChecking = false;
    QList<bool> mSavedChecks{false};
    QString mSavedTitle, mSavedXItem, mSavedXCaption, mSavedYCaption;
};
