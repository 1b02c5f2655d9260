// The datalog window's brick operations: reset, set the size, upload.
#include "datalog/frmDatalog.h"

#include "compiler/ModuleCompile.h"
#include "datalog/core/DatalogSet.h"
#include "datalog/DatalogWindowShared.h"
#include "datalog/frmDatalogRange.h"
#include "link/BrickHold.h"
#include "model/AppState.h"
#include "model/BusyPointer.h"
#include "model/Notifier.h"
#include "model/Phantom.h"
#include "shell/ModalRunner.h"

#include <QLineEdit>
#include <QListWidget>
#include <QRadioButton>
#include <QScopeGuard>
#include <QToolBar>

using namespace datalogwindow;

namespace {

const QString kNoCommunication = QStringLiteral("No communication with the RCX");

// The upload's progress while it holds the brick: what the events start
// between its requests finds the brick busy.
class HeldProgress : public IDatalogProgress {
public:
    HeldProgress(IDatalogProgress& window, const BrickHold& hold) : mWindow(window), mHold(hold) {}
    void SetPanel(int panel, const QString& text) override { mWindow.SetPanel(panel, text); }
    void DoEvents() override
    {
        BrickHold::Yield away(mHold);
        mWindow.DoEvents();
    }

private:
    IDatalogProgress& mWindow;
    const BrickHold& mHold;
};

}  // namespace

// ---- Reset and size ----

bool frmDatalog::eraseBrickDatalog()
{
    if (!InitRCX(App()))
        return false;
    if (!PB().PBAlive()) {
        ShowMessage(kNoCommunication, MsgStyle::Exclamation);
        return false;
    }
    if (!PB().SetDatalog(0)) {
        ShowMessage(QStringLiteral("Can't reset datalog"), MsgStyle::Exclamation);
        return false;
    }
    return true;
}

void frmDatalog::ResetDatalog()
{
    try {
        if (eraseBrickDatalog())
            PB().PlayTone(3000, 40);
    } catch (const VbError& e) {
        showFailure(e);
    }
}

void frmDatalog::SetDatalogSize()
{
    try {
        const QString answer =
            App().Presenter->InputBox(QStringLiteral("Enter the size of datalog (1 to ~2000)"),
                                      QStringLiteral("Quillomat - Set Datalog size"), QString::number(LastDatalogSize))
                .trimmed();
        if (answer.isEmpty())
            return;
        const Integer size = vb::CInt(answer);
        if (size == 0 || !eraseBrickDatalog())
            return;
        LastDatalogSize = size;
        DoEvents();
        if (PB().SetDatalog(LastDatalogSize))
            PB().PlayTone(3000, 40);
        else
            ShowMessage(QStringLiteral("Can't set datalog to this size: ") + QString::number(LastDatalogSize),
                        MsgStyle::Exclamation);
    } catch (const VbError& e) {
        showFailure(e);
    }
}

// ---- Upload ----

// Asks for the part of the datalog to upload; false when the question is canceled.
bool frmDatalog::askRange()
{
    frmDatalogRange range(this);
    range.optRange[RangeMode == 1 ? 1 : 0]->setChecked(true);
    range.txtSize->setText(QString::number(RangeSize));
    range.txtStart->setText(QString::number(RangeStart));
    range.WasCanceled = False;
    RunModal(range);
    if (range.WasCanceled)
        return false;
    if (range.optRange[0]->isChecked()) {
        RangeMode = 0;
        RangeStart = 1;
        RangeSize = 0;
    } else {
        RangeMode = 1;
        RangeSize = vb::CLng(range.txtSize->text());
        RangeStart = vb::CLng(range.txtStart->text());
    }
    return true;
}

void frmDatalog::UploadDatalog()
{
    if (ShowingGraph || ShowingHelp) {
        showList();
        return;
    }
    Notifier& notifier = *App().Notifier;
    // The toolbar waits while the brick is read: the events let between the
    // replies must not start another upload or change the list.
    TB1->setEnabled(false);
    const auto enable = qScopeGuard([this] { TB1->setEnabled(true); });
    try {
        if (!askRange())
            return;
        BusyPointer busy(notifier);
        SetPanel(3, QStringLiteral("Uploading datalog..."));
        DoEvents();
        if (!InitRCX(App())) {
            busy.Restore();
            SetPanel(3, QString());
            return;
        }
        BrickHold hold(App(), BrickWork::Datalog);
        if (!hold.taken()) {
            busy.Restore();
            SetPanel(3, QString());
            TellWhenBrickBusy(App());
            return;
        }
        HeldProgress progress(*this, hold);
        const UploadResult result =
            FetchDatalog(PB(), RangeStart, RangeSize, CurrentDatalog().DatalogRecords, progress);
        if (result.outcome != UploadOutcome::NoCommunication)
            GraphErrorShown = False;
        switch (result.outcome) {
        case UploadOutcome::NoCommunication:
            busy.Restore();
            ShowMessage(kNoCommunication, MsgStyle::Exclamation);
            SetPanel(3, QString());
            return;
        case UploadOutcome::Empty:
            lstData->clear();
            lstData->addItem(kEmpty);
            for (int i = 1; i <= 3; ++i)
                SetPanel(i, QString());
            busy.Restore();
            return;
        case UploadOutcome::RangeTooLarge:
            SetPanel(3, QString());
            busy.Restore();
            ShowMessage(QStringLiteral("Current datalog size is ") + QString::number(result.entryCount) +
                            QStringLiteral("\r\nStarting point + Size is greater than the datalog size"),
                        MsgStyle::Exclamation);
            return;
        case UploadOutcome::Done:
            break;
        }
        unloadSettings();
        fillList();
        CurrentDatalog().DatalogSource = QStringLiteral("RCX");
        QString source = QStringLiteral("data source: ") + CurrentDatalog().DatalogSource;
        if (RangeSize > 0)
            source += QStringLiteral(" Start:") + QString::number(RangeStart) + QStringLiteral(" Size:") +
                      QString::number(RangeSize);
        SetPanel(1, source);
        SetPanel(2, QString::number(lstData->count()) + QStringLiteral(" items"));
        PB().PlayTone(3000, 40);
        SetPanel(3, QString());
        showList();
        busy.Restore();
    } catch (const VbError& e) {
        SetPanel(3, QString());
        showFailure(e);
    }
}
