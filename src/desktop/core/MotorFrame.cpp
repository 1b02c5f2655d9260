#include "desktop/core/MotorFrame.h"

#include "compiler/CommandCheck.h"
#include "compiler/CommandRules.h"
#include "model/Twips.h"
#include "model/AppState.h"
#include "model/CommandCatalogue.h"
#include "model/Messages.h"
#include "model/Records.h"
#include "model/VbError.h"

namespace {

// "set": a stored text, or a number above -1 (an Empty value reads as 0).
bool IsSet(const Variant& v)
{
    if (v.isText())
        return true;
    return v.toDouble() > -1;
}

}  // namespace

MotorFrame::MotorFrame(AppState& app, const SourceNameTable& sourceNames) : FrameEditing(app), mNames(sourceNames)
{
    lblMotor.Caption = QStringLiteral("Start motor");
    lblMotor.Move(60, 45, 2100, 255);
    const char* letters[3] = {"A", "B", "C"};
    for (int i = 0; i < 3; ++i) {
        chkMotor[i].Caption = QString::fromLatin1(letters[i]);
        chkMotor[i].Move(2220 + i * 600, 15, 555, 300);
    }
    chkStopFloat.Caption = QStringLiteral("Break");
    chkStopFloat.Move(4020, 15, 1110, 300);
    chkTime.Caption = QStringLiteral("No time limit");
    chkTime.Move(60, 360, 2100, 300);
    lblTime.Caption = QStringLiteral("For");
    lblTime.Move(60, 1110, 900, 255);
    cmbTimeCount.Move(975, 1050, 2040, 330);
    cmbTime.Move(3120, 1050, 2025, 330);
    cmbSpeed.Move(1200, 690, 2265, 330);
    cmbSound.Move(60, 690, 3405, 330);
    lblSpeed.Caption = QStringLiteral("Speed");
    lblSpeed.Move(60, 720, CaptionWidth(lblSpeed.Caption), 255);
    txtTime[0].Move(1800, 690, 450, 315);
    txtTime[1].Move(2340, 690, 450, 315);
    txtRem.Move(60, 360, 5085, 630);
    cmdOkMotor.Caption = QStringLiteral("Ok");
    cmdOkMotor.Move(675, 1530, 750, 315);
    cmdCancelMotor.Caption = QStringLiteral("Cancel");
    cmdCancelMotor.Move(3855, 1530, 750, 315);
    WrapCaption = [](const QString& text) { return text; };
}

bool MotorFrame::Fail(const QString& message, const QString& focus, int style)
{
    ShowMessage(*mApp.Presenter, message, style);
    if (!focus.isEmpty())
        SetFocus(focus);
    return false;
}

void MotorFrame::FitLabel(FrameLabel& label)
{
    label.Width = CaptionWidth(label.Caption);
}

// ---- opening

void MotorFrame::Open(const std::shared_ptr<clsCommand>& command)
{
    Command = command;
    Focus.clear();
    const CommandKey key = command->CommandKey;
    if (FamilyOf(key) == CommandFamily::Motor) {
        for (int i = 0; i < 3; ++i) {
            chkMotor[i].Visible = mApp.RcxSetup().PortMotor(i).MotorType() != 0;
        }
        chkStopFloat.Visible = key == CommandKey::M_OFF;
        chkTime.Visible = true;
    } else {
        for (auto& c : chkMotor)
            c.Visible = false;
        chkStopFloat.Visible = false;
        chkTime.Visible = false;
    }
    setFraMotorInterface(key);
    LoadMotorFrame(*command);
}

void MotorFrame::setFraMotorInterface(CommandKey CommandType)
{
    auto is = [&](CommandKey k) { return CommandType == k; };

    txtRem.Visible = false;
    cmbSpeed.Visible = false;
    lblSpeed.Visible = false;
    cmbSound.Visible = false;
    txtTime[0].Visible = false;
    txtTime[1].Visible = false;
    cmbTime.Visible = false;
    cmbTimeCount.Visible = false;
    cmbTime.Enabled = true;

    FillSourceCombo(cmbTime, {OperandSource::TimeUnit}, mNames, mApp.ObjectList());
    if (cmbTime.Items.size() > 1)
        cmbTime.Choose(1);
    setChkTime(1);
    FillSourceCombo(cmbTimeCount, {OperandSource::Variable, OperandSource::UserConstant, OperandSource::Random}, mNames,
                    mApp.ObjectList());
    for (auto& c : chkMotor)
        c.Value = 0;
    lblTime.Caption = is(CommandKey::G_WAIT) ? QStringLiteral("For") : QStringLiteral("And wait");
    FitLabel(lblTime);

    if (is(CommandKey::M_ON)) {
        lblMotor.Caption = QStringLiteral("Start motor");
    } else if (is(CommandKey::M_OFF)) {
        lblMotor.Caption = QStringLiteral("Stop motor");
    } else if (is(CommandKey::M_FWD)) {
        lblMotor.Caption = QStringLiteral("Forward");
    } else if (is(CommandKey::M_RWD)) {
        lblMotor.Caption = QStringLiteral("Backward");
    } else if (is(CommandKey::M_ALTDIR)) {
        lblMotor.Caption = QStringLiteral("Change direction");
    } else if (is(CommandKey::M_SETPWR)) {
        lblMotor.Caption = QStringLiteral("Motor speed");
        lblSpeed.Caption = QStringLiteral("Speed:");
        FitLabel(lblSpeed);
        cmbSpeed.Left = lblSpeed.Width + TwipX(10);
        cmbSpeed.Visible = true;
        FillSourceCombo(cmbSpeed, {OperandSource::UserConstant, OperandSource::Variable, OperandSource::Random}, mNames,
                        mApp.ObjectList());
        lblSpeed.Top = cmbSpeed.Top + TwipX(3);
        lblSpeed.Left = cmbSpeed.Left - lblSpeed.Width - TwipX(3);
        lblSpeed.Visible = true;
    } else if (is(CommandKey::G_WAIT)) {
        lblMotor.Caption = QStringLiteral("Wait");
    } else if (is(CommandKey::G_SOUND)) {
        lblMotor.Caption = QStringLiteral("Play sound");
        FillSourceCombo(cmbSound, {OperandSource::Sound}, mNames, mApp.ObjectList());
        if (cmbSound.Items.size() > 1)
            cmbSound.Choose(1);
        cmbSound.Visible = true;
        lblTime.Caption = QStringLiteral("For");
        FitLabel(lblTime);
        FillSourceCombo(cmbTimeCount, {OperandSource::UserConstant}, mNames, mApp.ObjectList());
        lblSpeed.Caption = QStringLiteral("Type frequency or select from the list");
        FitLabel(lblSpeed);
        lblSpeed.Top = cmbSound.Top - lblSpeed.Height - TwipY(2);
        lblSpeed.Left = cmbSound.Left;
        lblSpeed.Visible = true;
    } else if (is(CommandKey::G_TXPOWER)) {
        lblMotor.Caption = QStringLiteral("Transmit power");
        FillSourceCombo(cmbTime, {OperandSource::TransmitPower}, mNames, mApp.ObjectList());
        if (cmbTime.Items.size() > 1)
            SelectComboItem(cmbTime, cmbTime.Items[1].Text);
        cmbTime.Visible = true;
        lblSpeed.Caption = QStringLiteral("RCX transmit power:");
        FitLabel(lblSpeed);
        lblSpeed.Left = cmbTime.Left - lblSpeed.Width - TwipX(6);
        lblSpeed.Top = cmbTime.Top + TwipX(3);
        lblSpeed.Visible = true;
    } else if (is(CommandKey::G_WATCH)) {
        lblMotor.Caption = QStringLiteral("Set RCX clock");
        for (auto& t : txtTime) {
            t.Text.clear();
            t.Visible = true;
        }
        lblSpeed.Caption = QStringLiteral("Set RCX clock:");
        FitLabel(lblSpeed);
        lblSpeed.Left = txtTime[0].Left - lblSpeed.Width - TwipX(3);
        lblSpeed.Top = txtTime[0].Top;
        lblSpeed.Visible = true;
    } else if (is(CommandKey::G_DISPLAY)) {
        lblMotor.Caption = QStringLiteral("Select RCX display");
        lblSpeed.Caption = QStringLiteral("RCX display:");
        FitLabel(lblSpeed);
        cmbSpeed.Width = FrameWidth / 2;
        cmbSpeed.Left = lblSpeed.Width + TwipX(10);
        cmbSpeed.Visible = true;
        FillSourceCombo(cmbSpeed, {OperandSource::UserConstant, OperandSource::Variable, OperandSource::Display},
                        mNames, mApp.ObjectList());
        lblSpeed.Left = cmbSpeed.Left - lblSpeed.Width - TwipX(3);
        lblSpeed.Top = cmbSpeed.Top;
        lblSpeed.Visible = true;
    } else if (is(CommandKey::A_REM)) {
        lblMotor.Caption = QStringLiteral("Comment");
        txtRem.Visible = true;
        SetFocus(QStringLiteral("txtRem"));
    }
}

void MotorFrame::LoadMotorFrame(clsCommand& cmd)
{
    // A step that fails with 5 is passed over; any other failure is shown
    // and ends the loading.
    auto step = [this](const std::function<void()>& f) {
        try {
            f();
            return true;
        } catch (const VbError& e) {
            if (e.number() == Err::InvalidCall)
                return true;
            ShowMessage(*mApp.Presenter, e.description(), MsgStyle::Exclamation);
            return false;
        }
    };
    const CommandKey key = cmd.CommandKey;

    if (!step([&] { Saved = SavedCommand::Of(cmd); }))
        return;
    if (!step([&] {
            for (const QChar ch : cmd.MotorList) {
                const int p = int(vb::Val(QString(ch)));
                if (p < 0 || p > 2)
                    raiseError(Err::SubscriptOutOfRange);
                chkMotor[p].Value = mApp.RcxSetup().PortMotor(p).MotorType() == 1 ? 1 : 0;
            }
        }))
        return;
    RandomLimit = 0;
    RandomSpeedLimit = 0;
    if (!step([&] {
            for (int i = 0; i < 3; ++i) {
                chkMotor[i].ToolTipText = mApp.RcxSetup().PortMotor(i).Purpose;
            }
        }))
        return;

    // The duration.
    bool ended = false;
    if (!step([&] {
            if (FamilyOf(key) != CommandFamily::General && cmd.Time.isEmpty()) {
                setChkTime(1);
                return;
            }
            setChkTime(0);
            const double source = cmd.Param1Source.isNumeric() ? cmd.Param1Source.toDouble() : -1;
            const QString value = cmd.Param1Value.toString();
            if (source == double(OperandSource::Constant)) {
                cmbTime.Enabled = true;
                SelectComboItem(cmbTimeCount, value);
                SelectComboItem(cmbTime, cmd.Time.toString());
            } else if (source == double(OperandSource::Variable)) {
                if (!SelectComboItem(cmbTimeCount, value)) {
                    cmbTimeCount.Text.clear();
                    ended = true;
                    return;
                }
                SelectComboItem(cmbTime, QStringLiteral("Hundredth"));
                cmbTime.Enabled = false;
            } else if (source == double(OperandSource::UserConstant)) {
                cmbTime.Enabled = true;
                if (!SelectComboItem(cmbTimeCount, value)) {
                    cmbTimeCount.Text.clear();
                    ended = true;
                    return;
                }
                SelectComboItem(cmbTime, cmd.Time.toString());
            } else if (source == double(OperandSource::Random)) {
                SelectComboItem(cmbTimeCount, QStringLiteral("Random number"));
                SelectComboItem(cmbTime, QStringLiteral("Hundredth"));
                cmbTime.Enabled = false;
                RandomLimit = cmd.Param1Value.toInteger();
            } else {
                cmbTime.Enabled = true;
            }
        }))
        return;
    if (ended)
        return;

    chkStopFloat.Value = key == CommandKey::M_OFF && cmd.Op != 0 ? 1 : 0;

    step([&] {
        if (key == CommandKey::G_SOUND) {
            SetFocus(QStringLiteral("cmbSound"));
            // A new command keeps the first sound the layout chose.
            if (!cmd.Speed.toString().isEmpty())
                SelectComboItem(cmbSound, cmd.Speed.toString());
            const Long s = ResolveValue(mApp.ObjectList(), cmd.Speed);
            // A system sound has no duration to give.
            setChkTime(s >= 0 && !IsTone(s) ? 1 : 0);
        } else if (key == CommandKey::M_SETPWR) {
            if (IsSource(cmd.Param2Source, OperandSource::Random)) {
                cmbSpeed.SetText(QStringLiteral("Random number"));
                RandomSpeedLimit = cmd.Param2Value.toInteger();
            } else if (IsSet(cmd.Param2Value)) {
                SelectComboItem(cmbSpeed, cmd.Param2Value.toString());
            }
        } else if (key == CommandKey::G_TXPOWER) {
            setChkTime(1);
            cmbTime.Visible = true;
            if (IsSet(cmd.Param1Value))
                SelectComboItem(cmbTime, cmd.Param1Value.toString());
        } else if (key == CommandKey::G_WATCH) {
            setChkTime(1);
            SetFocus(QStringLiteral("txtTime(0)"));
            if (IsSet(cmd.Param1Value)) {
                txtTime[0].Text = cmd.Param1Value.toString();
                txtTime[1].Text = cmd.Param2Value.toString();
            }
        } else if (key == CommandKey::G_DISPLAY) {
            setChkTime(1);
            if (IsSet(cmd.Param1Value))
                SelectComboItem(cmbSpeed, cmd.Param1Value.toString());
        } else if (key == CommandKey::A_REM) {
            txtRem.Text = IsUnsetOperand(cmd.Param1Value) ? QString() : cmd.Param1Value.toString();
        }
    });
}

// ---- handlers

void MotorFrame::chkTime_Click()
{
    const bool show = chkTime.Value == 0;
    cmbTimeCount.Visible = show;
    lblTime.Visible = show;
    cmbTime.Visible = show;
}

void MotorFrame::setChkTime(int value)
{
    chkTime.Value = value;
    chkTime_Click();
}

void MotorFrame::cmbSound_Click()
{
    try {
        ComboChoice(cmbSound);
        setChkTime(cmbSound.SelectedItem() ? 1 : 0);
    } catch (const VbError&) {
    }
}

void MotorFrame::cmbSound_KeyPress()
{
    setChkTime(0);
}

void MotorFrame::cmbTimeCount_Click()
{
    try {
        ComboChoice(cmbTimeCount);
        if (!cmbTimeCount.SelectedItem())
            return;
        const ObjectPtr o = FindObject(mApp.ObjectList(), cmbTimeCount.Text);
        if (!o)
            raiseError(Err::InvalidCall);
        if (o->Source != OperandSource::Variable && o->Source != OperandSource::Random) {
            cmbTime.Enabled = true;
        } else {
            SelectComboItem(cmbTime, QStringLiteral("Hundredth"));
            cmbTime.Enabled = false;
        }
        if (o->Source == OperandSource::Random)
            AskRandomLimit(*mApp.Presenter,
                           QStringLiteral("Type a number between 1 to ") + QString::number(CommandRule::MaxWait),
                           int(CommandRule::MaxWait), RandomLimit, cmbTimeCount);
    } catch (const VbError&) {
    }
}

void MotorFrame::cmbTimeCount_KeyPress()
{
    cmbTime.Enabled = true;
}

void MotorFrame::cmbSpeed_Click()
{
    try {
        ComboChoice(cmbSpeed);
        const ObjectPtr o = FindObject(mApp.ObjectList(), cmbSpeed.Text);
        if (!o)
            raiseError(Err::InvalidCall);
        if (o->Source == OperandSource::Random)
            AskRandomLimit(*mApp.Presenter,
                           QStringLiteral("Type a number between 1 to  ") + QString::number(CommandRule::MotorSpeed.high),
                           int(CommandRule::MotorSpeed.high), RandomSpeedLimit, cmbSpeed);
    } catch (const VbError& e) {
        if (e.number() != Err::InvalidCall && e.number() != Err::ObjectNotSet)
            ShowMessage(*mApp.Presenter, e.description(), MsgStyle::Exclamation);
    }
}

void MotorFrame::cmbTime_Click()
{
    try {
        ComboChoice(cmbTime);
    } catch (const VbError&) {
    }
}

// ---- Ok and Cancel

bool MotorFrame::cmdOkMotor_Click()
{
    if (!Command)
        return Fail(QStringLiteral("No such object"));
    try {
        const CommandKey key = Command->CommandKey;
        if (FamilyOf(key) == CommandFamily::Motor) {
            if (chkMotor[0].Value != 1 && chkMotor[1].Value != 1 && chkMotor[2].Value != 1)
                return Fail(QStringLiteral("No motor selected"));
        }
        if (key == CommandKey::G_SOUND) {
            if (cmbSound.Text.isEmpty())
                return Fail(QStringLiteral("No frequency"), QStringLiteral("cmbSound"));
            if (!cmbSound.SelectedItem()) {
                const double f = vb::Val(cmbSound.Text);
                if (f < 20 || f > 20000 || !ValidateParam(mApp, cmbSound.Text, CommandKey::None))
                    return Fail(QStringLiteral("Frequency must be an integer between 20 to 20000  "),
                                QStringLiteral("cmbSound"));
                const QString count = vb::Trim(cmbTimeCount.Text);
                if (count.isEmpty() || count == QLatin1String("0"))
                    return Fail(QStringLiteral("For how long"), QStringLiteral("cmbTimeCount"), MsgStyle::Question);
                const ObjectPtr named = FindObject(mApp.ObjectList(), cmbTimeCount.Text);
                const ObjectPtr unit = FindObject(mApp.ObjectList(), cmbTime.Text);
                // A unit that is no named value fails the check that reads it.
                if (!named) {
                    if (!unit || vb::Val(cmbTimeCount.Text) * unit->Value > CommandRule::MaxToneDuration)
                        return Fail(QString::fromLatin1(CommandRule::ToneTooLong), QStringLiteral("cmbTimeCount"));
                } else if (named->Source == OperandSource::UserConstant) {
                    if (!unit || double(named->Value) * unit->Value > CommandRule::MaxToneDuration)
                        return Fail(QStringLiteral("Sound duration can't be more than 2.55 seconds") +
                                        QStringLiteral("\r\nCheck the constant value"),
                                    QStringLiteral("cmbTimeCount"));
                }
            }
        }
        // A unit or power typed into its list that the list does not have.
        if (ListWithTypedName({&cmbTime}))
            return Fail(QStringLiteral("No such object"), QStringLiteral("cmbTime"));
        if (key == CommandKey::G_TXPOWER && cmbTime.Text.isEmpty())
            return Fail(QStringLiteral("Power not selected"), QStringLiteral("cmbTime"));
        if (chkTime.Value == 0 && cmbTimeCount.Text.isEmpty())
            return Fail(QStringLiteral("For how long?"), QStringLiteral("cmbTimeCount"), MsgStyle::Question);
        return UpdateMotorObject(*Command);
    } catch (const VbError& e) {
        ShowMessage(*mApp.Presenter, e.description(), MsgStyle::Exclamation);
        return false;
    }
}

bool MotorFrame::UpdateMotorObject(clsCommand& Co)
{
    bool result = false;
    try {
        const CommandKey key = Co.CommandKey;
        Co.MotorList.clear();
        QString caption;
        for (int i = 0; i < 3; ++i) {
            if (chkMotor[i].Value == 1) {
                caption += chkMotor[i].Caption;
                Co.MotorList += QString::number(i);
            }
        }
        Co.Op = Integer(chkStopFloat.Value);
        caption += QLatin1Char(' ');

        if (key == CommandKey::M_SETPWR) {
            if (!WriteSpeedOperand(key, Co.Param2Source, Co.Param2Value, caption))
                return false;
        } else if (key == CommandKey::G_SOUND) {
            if (!cmbSound.SelectedItem()) {
                Co.Speed = cmbSound.Text;
                caption = QStringLiteral("Frequency ") + cmbSound.Text;
            } else {
                setChkTime(1);
                Co.Speed = cmbSound.Text;
                caption = cmbSound.Text;
            }
        } else if (key == CommandKey::G_TXPOWER) {
            Co.Param1Value = cmbTime.Text;
            Co.Param1Source = OperandSource::TransmitPower;
            caption = cmbTime.Text;
        } else if (key == CommandKey::G_WATCH) {
            const QString h = txtTime[0].Text, m = txtTime[1].Text;
            if (!ValidateParam(mApp, h, CommandKey::None))
                return Fail(QStringLiteral("Invalid value"), QStringLiteral("txtTime(0)"));
            if (!ValidateParam(mApp, m, CommandKey::None))
                return Fail(QStringLiteral("Invalid value"), QStringLiteral("txtTime(1)"));
            // The brick's clock runs from 0:00 to 23:59.
            if (!CommandRule::Hours.contains(vb::Val(h)))
                return Fail(QStringLiteral("Invalid value"), QStringLiteral("txtTime(0)"));
            if (!CommandRule::Minutes.contains(vb::Val(m)))
                return Fail(QStringLiteral("Invalid value"), QStringLiteral("txtTime(1)"));
            Co.Param1Value = vb::Val(h);
            Co.Param2Value = vb::Val(m);
            caption = QStringLiteral("To ") + h + QLatin1Char(':') + m;
        } else if (key == CommandKey::G_DISPLAY) {
            if (!WriteSpeedOperand(key, Co.Param1Source, Co.Param1Value, caption))
                return false;
        } else if (key == CommandKey::A_REM) {
            // The task file keeps texts between double quotes.
            QString text = txtRem.Text;
            text.replace(QLatin1Char('"'), QLatin1Char('\''));
            txtRem.Text = text;
            if (const QString refusal = StoredTextRefusal(text, TextField::Quoted); !refusal.isEmpty())
                return Fail(refusal, QStringLiteral("txtRem"));
            Co.Param1Value = text;
            caption = WrapCaption ? WrapCaption(text) : text;
        }

        // The duration.
        if (chkTime.Value == 1) {
            Co.Time = Variant();
        } else {
            const QString count = cmbTimeCount.Text, unitText = cmbTime.Text;
            if (unitText.isEmpty())
                return Fail(QStringLiteral("Time unit not selected"), QStringLiteral("cmbTime"));
            Co.Time = unitText;
            const ObjectPtr unit = FindObject(mApp.ObjectList(), unitText);
            const double unitValue = unit ? unit->Value : 0;
            QString plural;
            const ObjectPtr o = FindObject(mApp.ObjectList(), count);
            bool random = false;
            if (!o) {
                if (!ValidateParam(mApp, count, CommandKey::None))
                    return Fail(QStringLiteral("Invalid value"), QStringLiteral("cmbTimeCount"));
                const double n = vb::Val(count);
                if (n < 0)
                    return Fail(QString::fromLatin1(CommandRule::NegativeTime));
                if (!unit || n * unitValue > CommandRule::MaxWait)
                    return Fail(QString::fromLatin1(CommandRule::TooMuchTime), QStringLiteral("cmbTimeCount"));
                Co.Param1Source = OperandSource::Constant;
                if (n > 1)
                    plural = QStringLiteral("s");
                Co.Param1Value = n;
            } else if (o->Source == OperandSource::UserConstant) {
                if (!unit || double(o->Value) * unitValue > CommandRule::MaxWait)
                    return Fail(QString::fromLatin1(CommandRule::TooMuchTime), QStringLiteral("cmbTimeCount"));
                if (o->Value < 0)
                    return Fail(QStringLiteral("Error: Constant containes negatine value!"));
                if (o->Value > 1)
                    plural = QStringLiteral("s");
                Co.Param1Source = OperandSource::UserConstant;
                Co.Param1Value = count;
            } else if (o->Source == OperandSource::Random) {
                random = true;
                if (RandomLimit > 1)
                    plural = QStringLiteral("s");
                Co.Param1Source = OperandSource::Random;
                Co.Param1Value = RandomLimit;
            } else {
                plural = QStringLiteral("s");
                Co.Param1Source = OperandSource::Variable;
                Co.Param1Value = count;
            }
            const QString lead = key == CommandKey::G_WAIT || key == CommandKey::G_SOUND ? QStringLiteral("For ")
                                                                                 : QStringLiteral("And wait ");
            caption += QStringLiteral("\r\n") + lead + count + QStringLiteral(" \r\n") + unitText + plural;
            if (random)
                caption += QStringLiteral(" (upto ") + QString::number(RandomLimit) + QLatin1Char(')');
        }

        Co.setPicCaption(1, caption);
        result = true;
        FinishWrite(Co);
    } catch (const VbError& e) {
        ShowMessage(*mApp.Presenter, e.description(), MsgStyle::Exclamation);
    }
    return result;
}

bool MotorFrame::WriteSpeedOperand(CommandKey key, Variant& source, Variant& value, QString& caption)
{
    const bool speed = key == CommandKey::M_SETPWR;
    const QString text = cmbSpeed.Text;
    if (text.isEmpty())
        return Fail(QStringLiteral("Wrong value"));
    const ObjectPtr o = FindObject(mApp.ObjectList(), text);
    if (!o) {
        if (!ValidateParam(mApp, text, key))
            return Fail(QString::fromLatin1(speed ? CommandRule::MotorSpeedRefusal : CommandRule::DisplayRefusal),
                        QStringLiteral("cmbSpeed"));
        source = OperandSource::Constant;
        value = text;
    } else {
        source = o->Source;
        if (speed && o->Source == OperandSource::Random) {
            value = RandomSpeedLimit;
        } else {
            // A speed's named constant must be one the brick takes; a display
            // is named by what holds one of its numbers.
            const ValueRange range = speed ? CommandRule::MotorSpeed : CommandRule::Display;
            if ((!speed || o->Source == OperandSource::UserConstant) && !range.contains(o->Value))
                return Fail(speed ? QStringLiteral("Constant contains invalid value")
                                  : QStringLiteral("Constant contain invalid value"),
                            QStringLiteral("cmbSpeed"));
            value = o->Name;
        }
    }
    caption += QLatin1Char(' ') + text + QLatin1Char(' ');
    if (speed && o && o->Source == OperandSource::Random)
        caption += QStringLiteral("(upto ") + QString::number(RandomSpeedLimit) + QLatin1Char(')');
    return true;
}

void MotorFrame::cmdCancelMotor_Click()
{
    RestoreCommand();
}
