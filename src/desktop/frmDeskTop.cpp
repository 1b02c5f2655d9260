#include "desktop/frmDeskTop.h"

#include "shell/MainWindow.h"

#include "compiler/Transmit.h"
#include "desktop/core/FrameControls.h"
#include "shell/Twips.h"
#include "desktop/frames/FrameWidgets.h"
#include "model/AppState.h"
#include "model/Notifier.h"
#include "model/CommandCatalogue.h"
#include "model/Grid.h"
#include "model/Messages.h"
#include "model/ModuleManagement.h"
#include "model/Variant.h"
#include "model/VbError.h"
#include "shell/KeyPreview.h"
#include "shell/Pictures.h"

#include <QApplication>
#include <QCheckBox>
#include <QCloseEvent>
#include <QFontMetricsF>
#include <QKeyEvent>
#include <QMenu>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QPainter>
#include <QScrollBar>
#include <QStyle>
#include <QTimer>
#include <QToolButton>
#include <QWheelEvent>

#include <cmath>
#include <functional>
#include <set>

namespace {

constexpr int ErrObjectAlreadyLoaded = 360;
constexpr int ErrNoSuchElement = 340;
constexpr int ErrCantUnloadTemplate = 362;

// Runs one step of a handler; a failure is shown (unless it is one of the
// quiet numbers) and the handler goes on with its next step.
void Step(const std::function<void()>& f, std::initializer_list<int> quiet, bool show = true)
{
    try {
        f();
    } catch (const VbError& e) {
        for (int n : quiet)
            if (n == e.number())
                return;
        if (show)
            ShowMessage(e.description(), MsgStyle::Exclamation);
    }
}

QPixmap YesNoPicture(const QString& text, int width, int height)
{
    QPixmap pm(width, height);
    pm.fill(QApplication::palette().color(QPalette::Button));
    QPainter p(&pm);
    p.setPen(QApplication::palette().color(QPalette::Mid));
    p.drawRect(0, 0, width - 1, height - 1);
    p.setPen(QApplication::palette().color(QPalette::ButtonText));
    p.setFont(frmDeskTop::TitleFont(true));
    p.drawText(QRect(0, 0, width, height), Qt::AlignCenter, text);
    return pm;
}

}  // namespace

// ---- construction

frmDeskTop::frmDeskTop(QMdiArea* mdiArea) : QWidget(nullptr), mMdiArea(mdiArea)
{
    setFocusPolicy(Qt::NoFocus);
    // Where the window is wider than its desk it shows its own background.
    setAutoFillBackground(true);
    BuildControls();
    if (mMdiArea) {
        mSub = mMdiArea->addSubWindow(this);
        mSub->setAttribute(Qt::WA_DeleteOnClose);
        mSub->hide();
        connect(mSub, &QMdiSubWindow::windowStateChanged, this, &frmDeskTop::SubWindowStateChanged);
    } else {
        setAttribute(Qt::WA_DeleteOnClose);
    }
    if (mdiMain::Instance())
        connect(App().Notifier.get(), &Notifier::ProjectEditingEnabled, this, &frmDeskTop::SetProjectEditingEnabled);
}

void frmDeskTop::SetProjectEditingEnabled(bool enable)
{
    if (Caption().compare(QStringLiteral("The Task"), Qt::CaseInsensitive) == 0)
        picDeskTop->setEnabled(enable);
}

frmDeskTop::~frmDeskTop()
{
    // A window destroyed without closing (its MDI area went first) still lets
    // go of its owner.
    if (!mUnloaded && mMyCommandBlock && mMyCommandBlock->CommandWindow == this)
        mMyCommandBlock->CommandWindow = nullptr;
    if (App().LastDeskTop == this)
        App().LastDeskTop = nullptr;
}

void frmDeskTop::BuildControls()
{
    picDeskTop = new DeskTopBox(this, this);

    auto* tmpl = new PicCommandBox(this, 0, picDeskTop);
    tmpl->hide();
    mPicCommand[0] = tmpl;

    picModulTitle = new ModulTitleBox(this, this);

    chkTaskLoop = new QCheckBox(QStringLiteral("Task in loop"), picModulTitle);
    chkStartOnStartup = new QCheckBox(QStringLiteral("Start Task when program start"), picModulTitle);
    for (QCheckBox* c : {chkTaskLoop, chkStartOnStartup}) {
        c->setFont(TitleFont(false));
        c->setFocusPolicy(Qt::ClickFocus);
        c->hide();
    }
    const int checkWidth = std::max(chkTaskLoop->sizeHint().width(), chkStartOnStartup->sizeHint().width());
    chkTaskLoop->setGeometry(PixX(TwipX(6)), PixY(TwipY(4)), checkWidth,
                             chkTaskLoop->sizeHint().height());
    chkStartOnStartup->setGeometry(PixX(TwipX(6)), PixY(CommandHeight / 2), checkWidth,
                                   chkStartOnStartup->sizeHint().height());
    connect(chkTaskLoop, &QCheckBox::clicked, this, [this] { chkTaskLoop_Click(); });
    connect(chkStartOnStartup, &QCheckBox::clicked, this, [this] { chkStartOnStartup_Click(); });

    txtTitle = new TitleTextBox(this, picModulTitle);
    txtTitle->hide();
    connect(txtTitle, &QPlainTextEdit::textChanged, this, [this] { txtTitle_Change(); });

    const double yesNoWidth = 600, yesNoHeight = 240;
    const char* yesNo[2] = {"Yes", "No"};
    for (int i = 0; i < 2; ++i) {
        PicYesNo[i] = new PictureBox(picModulTitle);
        PicYesNo[i]->Move(0, CommandHeight - yesNoHeight - TwipY(2), yesNoWidth, yesNoHeight);
        PicYesNo[i]->setPicture(YesNoPicture(QString::fromLatin1(yesNo[i]), PixX(yesNoWidth), PixY(yesNoHeight)),
                                QString());
        PicYesNo[i]->hide();
    }

    const int bar = style()->pixelMetric(QStyle::PM_ScrollBarExtent);
    VScroll1 = new QScrollBar(Qt::Vertical, this);
    VScroll1->resize(bar, 100);
    HScroll1 = new QScrollBar(Qt::Horizontal, this);
    HScroll1->resize(100, bar);
    connect(VScroll1, &QScrollBar::valueChanged, this, [this] { VScroll1_Change(); });
    connect(HScroll1, &QScrollBar::valueChanged, this, [this] { HScroll1_Change(); });

    picModulTitle->Move(0, 0, 6 * (CommandWidth + TwipX(2)), CommandHeight);

    // Other windows find the controls by name.
    picDeskTop->setObjectName(QStringLiteral("picDeskTop"));
    picModulTitle->setObjectName(QStringLiteral("picModulTitle"));
    txtTitle->setObjectName(QStringLiteral("txtTitle"));
    chkTaskLoop->setObjectName(QStringLiteral("chkTaskLoop"));
    chkStartOnStartup->setObjectName(QStringLiteral("chkStartOnStartup"));
    VScroll1->setObjectName(QStringLiteral("VScroll1"));
    HScroll1->setObjectName(QStringLiteral("HScroll1"));
    setObjectName(QStringLiteral("frmDeskTop"));

    BuildMenu();
    Doc.View = this;
    // The window sees every key before its controls do.
    mKeys = new KeyPreview(this, [this](QWidget* target, QKeyEvent* e) { return PreviewKey(target, e); });
}

QColor frmDeskTop::UnselectedColor() const
{
    return palette().color(QPalette::Button);
}

QFont frmDeskTop::CaptionFont(bool bold)
{
    QFont f = QApplication::font();
    f.setPixelSize(9);
    f.setBold(bold);
    return f;
}

QFont frmDeskTop::TitleFont(bool bold)
{
    QFont f = QApplication::font();
    f.setPixelSize(11);
    f.setBold(bold);
    return f;
}

// ---- pictures and grid state

PicCommandBox* frmDeskTop::picCommand(int index) const
{
    const auto it = mPicCommand.find(index);
    return it == mPicCommand.end() ? nullptr : it->second;
}

int frmDeskTop::picCommandUBound() const
{
    return mPicCommand.rbegin()->first;
}

PicCommandBox* frmDeskTop::LoadPicCommand(int index)
{
    if (index < 0 || index > 32767)
        raiseError(Err::SubscriptOutOfRange);
    if (mPicCommand.count(index))
        raiseError(ErrObjectAlreadyLoaded, QStringLiteral("Object already loaded"));
    PicCommandBox* tmpl = mPicCommand.at(0);
    auto* pic = new PicCommandBox(this, Integer(index), picDeskTop);
    pic->setBackColor(tmpl->BackColor());
    pic->Move(tmpl->Left(), tmpl->Top(), tmpl->Width(), tmpl->Height());
    pic->hide();
    mPicCommand[index] = pic;
    // A picture gets the focus when its frame closes: its keys are the window's too.
    if (mKeys)
        mKeys->Watch(pic);
    return pic;
}

void frmDeskTop::UnloadPicCommand(int index)
{
    if (index == 0)
        raiseError(ErrCantUnloadTemplate, QStringLiteral("Can't unload controls created at design time"));
    const auto it = mPicCommand.find(index);
    if (it == mPicCommand.end())
        raiseError(ErrNoSuchElement, QStringLiteral("Control array element '%1' doesn't exist").arg(index));
    // The picture may be the one whose mouse event is running.
    it->second->hide();
    it->second->deleteLater();
    mPicCommand.erase(it);
}

static PicCommandBox* NeedPicture(const frmDeskTop& f, int index)
{
    PicCommandBox* pic = f.picCommand(index);
    if (!pic)
        raiseError(ErrNoSuchElement, QStringLiteral("Control array element '%1' doesn't exist").arg(index));
    return pic;
}

double frmDeskTop::CellWidth() const
{
    return mPicCommand.at(0)->Width();
}

double frmDeskTop::CellHeight() const
{
    return mPicCommand.at(0)->Height();
}

double frmDeskTop::DeskSurfaceWidth() const
{
    return 2.5 * CellWidth();
}

double frmDeskTop::DeskContentWidth() const
{
    const double w = CellWidth();
    double right = LeftMargin + 2 * w;
    // Only a grown picture counts: one dragged past the grid is dropped
    // back into it.
    for (const auto& [index, pic] : mPicCommand)
        if (index != 0 && !pic->isHidden() && pic->Width() > w)
            right = std::max(right, pic->Left() + pic->Width());
    return right;
}

void frmDeskTop::CommandPictureResized()
{
    if (!mLoaded || mUnloaded)
        return;
    const double content = DeskContentWidth();
    if (content == mContentWidth)
        return;
    const bool shrank = content < mContentWidth;
    mContentWidth = content;
    LayoutScrollBars();
    if (shrank)
        HScroll1->setValue(0);
}

void frmDeskTop::SizeCommandPicture(Integer Index)
{
    PicCommandBox* pic = NeedPicture(*this, Index);
    pic->setWidth(CommandWidth);
    pic->setHeight(CommandHeight);
}

void frmDeskTop::SetCommandBackColor(Integer Index, const QColor& color)
{
    NeedPicture(*this, Index)->setBackColor(color);
}

void frmDeskTop::RepaintCommand(Integer Index)
{
    NeedPicture(*this, Index)->update();
}

double frmDeskTop::ScaleWidth() const
{
    return TwipX(width());
}

double frmDeskTop::ScaleHeight() const
{
    return TwipY(height());
}

// ---- the grid key, the cursor and the selection

QString frmDeskTop::ColKey(bool Flag, int Mx, int My) const
{
    return Doc.ColKey(Flag, Mx, My);
}

void frmDeskTop::setCursorPos(const QString& key)
{
    Doc.setCursorPos(key);
    if (key != QLatin1String("0") && CommandGrid(CurrentColumn, CurrentRow))
        if (const auto co = Doc.CommandAt(CurrentColumn, CurrentRow))
            if (PicCommandBox* pic = picCommand(co->PicIndex))
                pic->ZOrder();
    SyncPictures();
}

void frmDeskTop::CalcPicSelection(Integer Index)
{
    Doc.CalcPicSelection(Index);
    SyncPictures();
}

void frmDeskTop::SyncPictures()
{
    if (ColCommand) {
        std::set<int> used;
        for (const auto& e : *ColCommand) {
            const auto& co = e.item;
            if (!co)
                continue;
            PicCommandBox* pic = picCommand(co->PicIndex);
            if (!pic)
                continue;
            used.insert(co->PicIndex);
            const QString key = CommandPictureKey(co->CommandKey, co->Op);
            if (pic->PictureKey() != key)
                SetPictureFromList(pic, key);
            if (GridDocument::InsideGrid({co->x, co->y}))
                pic->Move(GridDocument::CellLeft(co->x), GridDocument::CellTop(co->y));
            pic->setBackColor(co->PicSelected ? SelectedColor() : UnselectedColor());
            pic->update();
        }
        // The pictures of commands that left the grid go with them.
        std::vector<int> gone;
        for (const auto& [index, pic] : mPicCommand)
            if (index != 0 && !used.count(index) && !pic->isHidden())
                gone.push_back(index);
        for (int index : gone)
            UnloadPicCommand(index);
    }
    shpCursor.Visible = Doc.CursorVisible;
    const GridCell cursor = GridDocument::CellOfKey(CursorKey);
    shpCursor.Left = GridDocument::CellLeft(cursor.column);
    shpCursor.Top = GridDocument::CellTop(cursor.row);
    picDeskTop->update();
}

Integer frmDeskTop::CalcCmdPos(Integer Index)
{
    PicCommandBox* pic = NeedPicture(*this, Index);
    const double w = CellWidth(), h = CellHeight();
    CurrentColumn = vb::CInt(std::floor((pic->Left() - LeftMargin + w / 2) / w));
    CurrentRow = vb::CInt(std::floor((pic->Top() + h / 2) / h));
    return 0;
}

void frmDeskTop::ScrollScr()
{
    double v = VScroll1->value();
    const double h = TwipY(VScroll1->height());
    const double c = CellHeight();
    const double r = GridDocument::CellOfKey(CursorPos()).row;
    if (r < 1)
        return;
    // One cell height at a time; a bar at the end of its range stops the walk.
    while (v / c + 1 > r) {
        VScroll1->setValue(v < c ? 0 : int(v - c));
        const double now = VScroll1->value();
        if (now == v)
            break;
        v = now;
    }
    while ((h + v) / c < r) {
        VScroll1->setValue(int(v + c));
        const double now = VScroll1->value();
        if (now == v)
            break;
        v = now;
    }
}

// ---- showing the commands

void frmDeskTop::ShowCommands()
{
    if (!ColCommand) {
        // The owner has no grid yet: the window opens empty, on a grid that
        // the owner keeps, so that what is placed here is not lost.
        ColCommand = std::make_shared<CommandCollection>();
        if (auto* block = dynamic_cast<clsCommand*>(mMyCommandBlock); block && !block->Commands)
            block->Commands = ColCommand;
    }
    try {
        for (const auto& e : *ColCommand) {
            objCommand = e.item;
            if (!objCommand)
                raiseError(Err::ObjectNotSet);
            // Every picture index is one picture; a command from a file that
            // names the template or an index already shown gets a free one.
            if (objCommand->PicIndex < 1 || picCommand(objCommand->PicIndex))
                objCommand->PicIndex = Integer(picCommandUBound() + 1);
            PicCommandBox* pic = LoadPicCommand(objCommand->PicIndex);
            SetPictureFromList(pic, CommandPictureKey(objCommand->CommandKey, objCommand->Op));
            CurrentColumn = objCommand->x;
            CurrentRow = objCommand->y;
            CommandGrid(objCommand->x, objCommand->y) = true;
            RepaintCommand(objCommand->PicIndex);
            SetCommandToolTip(pic, *ColCommand->Item(ColKey(false, 0, 0)));
            pic->Move(objCommand->x * CellWidth() + LeftMargin, objCommand->y * CellHeight());
            pic->show();
        }
    } catch (const VbError& e) {
        ShowMessage(e.description(), MsgStyle::Critical);
    }
    objCommand.reset();
}

void frmDeskTop::SetPictureFromList(PictureBox* Target, const QString& Key)
{
    Target->setPicture(CommandPicture(Key), Key);
}

void frmDeskTop::SetCommandToolTip(PictureBox* Picture, const clsCommand& Command)
{
    Picture->setToolTipText(QString());
    QString tip;
    for (const QChar ch : Command.MotorList) {
        const int m = int(vb::Val(QString(ch)));
        const MotorPtr& motor = App().RcxSetup->PortMotor(m);
        if (!motor)
            raiseError(Err::ObjectNotSet);
        tip += QLatin1String("  ") + QChar(65 + m) + QLatin1Char('=') + motor->Purpose;
        if (vb::SameText(Command.CommandKey, "M_FWD"))
            tip += QLatin1Char('-') + motor->MotorFwdMeening;
        else if (vb::SameText(Command.CommandKey, "M_RWD"))
            tip += QLatin1Char('-') + motor->MotorRwdMeening;
    }
    if (IsSource(Command.Param1Source, 9))
        tip = Command.Param1Value.toString();
    if (IsSource(Command.Param2Source, 9))
        tip = Command.Param2Value.toString();
    Picture->setToolTipText(tip);
}

QString frmDeskTop::WrapCaption(const QString& text) const
{
    if (vb::Trim(text).isEmpty())
        return text;
    const double usable = mPicCommand.at(0)->Width() - TwipX(37);
    const QFontMetricsF fm(CaptionFont(false));
    // Each line stays narrower than the usable width: the character that
    // would reach it starts the next line.
    QString result, line;
    for (const QChar ch : text) {
        const QString longer = line + ch;
        if (!line.isEmpty() && TwipX(fm.horizontalAdvance(longer)) >= usable) {
            result += line + QLatin1String("\r\n");
            line = QString(ch);
        } else {
            line = longer;
        }
    }
    return result + line;
}

QList<CaptionLine> frmDeskTop::CaptionLines(const QString& caption0, const QString& caption1)
{
    QList<CaptionLine> lines;
    lines.append({caption0, true, TwipX(32)});
    QString rest = caption1;
    for (int i = 0; i < 3; ++i) {
        const int lf = int(rest.indexOf(QLatin1Char('\n')));
        if (lf < 0)
            break;
        QString before = rest.left(lf);
        if (before.endsWith(QLatin1Char('\r')))
            before.chop(1);
        lines.append({vb::Trim(before), false, TwipX(36)});
        rest = rest.mid(lf + 1);
    }
    if (!rest.isEmpty())
        lines.append({rest, false, TwipX(36)});
    return lines;
}

void frmDeskTop::picCommand_Paint(Integer Index, QPainter& p)
{
    const auto co = Doc.CommandOfPicture(Index);
    if (!co)
        return;
    p.setPen(palette().color(QPalette::WindowText));
    double y = 0;
    for (const CaptionLine& line : CaptionLines(co->PicCaption(0), co->PicCaption(1))) {
        const QFont f = CaptionFont(line.bold);
        const QFontMetricsF fm(f);
        p.setFont(f);
        // A remainder that still holds line breaks goes on at the same margin.
        for (const QString& part : line.text.split(QLatin1String("\r\n"))) {
            p.drawText(QPointF(PixX(line.x), y + fm.ascent()), part);
            y += fm.height();
        }
    }
}

// ---- the title strip

void frmDeskTop::PrintCaption(const QString& lHeader)
{
    if (!lHeader.isEmpty())
        HeaderText = lHeader;
    QString copy = ParentCaption;
    copy.replace(QLatin1String("\r\n"), QLatin1String("  "));
    mParentTitle = HeaderText + QLatin1Char(' ') + copy;
    picModulTitle->update();
}

void frmDeskTop::picModulTitle_Paint(QPainter& p)
{
    QString copy = ParentCaption;
    copy.replace(QLatin1String("\r\n"), QLatin1String("  "));
    mParentTitle = HeaderText + QLatin1Char(' ') + copy;
    p.setPen(palette().color(QPalette::WindowText));
    const QFont bold = TitleFont(true), normal = TitleFont(false);
    const QFontMetricsF fb(bold), fn(normal);
    p.setFont(bold);
    p.drawText(QPointF(PixX(TwipX(32)), fb.ascent()), HeaderText);
    p.setFont(normal);
    p.drawText(QPointF(PixX(TwipX(40)), fb.height() + fn.ascent()), copy);
}

void frmDeskTop::setFormType(Long kind)
{
    mFormType = kind;
    Doc.FormType = kind;
    if (kind == ModuleKind::IfBody || kind == ModuleKind::WhileBody || kind == ModuleKind::LoopBody) {
        const char* key = kind == ModuleKind::IfBody ? "L_IF" : kind == ModuleKind::WhileBody ? "L_WHILE" : "L_LOOP";
        SetPictureFromList(picModulTitle, QString::fromLatin1(key));
    }
    if (kind == ModuleKind::IfBody) {
        PrintCaption(QStringLiteral("IF"));
        HScroll1_Change();
        PicYesNo[0]->show();
        PicYesNo[1]->show();
    } else if (kind == ModuleKind::WhileBody) {
        PrintCaption(QStringLiteral("WHILE"));
    } else if (kind == ModuleKind::LoopBody) {
        PrintCaption(QStringLiteral("LOOP"));
    } else if (kind == ModuleKind::Task || kind == ModuleKind::Sub) {
        txtTitle->show();
        const bool joystick = App().ProjectType == 1;
        chkTaskLoop->setVisible(!joystick);
        chkStartOnStartup->setVisible(!joystick);
        LayoutTitleBox();
    }
}

void frmDeskTop::LayoutTitleBox()
{
    const double left = TwipX(12) + TwipX(chkStartOnStartup->width());
    const double width = std::max(0.0, ScaleWidth() - left - TwipX(2));
    txtTitle->setGeometry(PixRect(left, 0, width, CellHeight() - TwipY(3)));
}

void frmDeskTop::setTaskLoop(Integer value)
{
    chkTaskLoop->setCheckState(value == 0 ? Qt::Unchecked : value == 2 ? Qt::PartiallyChecked : Qt::Checked);
}

void frmDeskTop::setTaskLoopCaption(const QString& text)
{
    chkTaskLoop->setText(text);
}

void frmDeskTop::setStartOnStartup(Integer value)
{
    chkStartOnStartup->setCheckState(value == 0   ? Qt::Unchecked
                                     : value == 2 ? Qt::PartiallyChecked
                                                  : Qt::Checked);
}

void frmDeskTop::setStartOnStartupVisible(bool visible)
{
    chkStartOnStartup->setVisible(visible);
}

void frmDeskTop::setTitleText(const QString& text)
{
    txtTitle->setPlainText(text);
}

void frmDeskTop::txtTitle_Change()
{
    if (auto* module = dynamic_cast<clsModule*>(mMyCommandBlock)) {
        module->mTitle = txtTitle->toPlainText();
        MarkModuleDirty(mParentTaskName);
    }
}

void frmDeskTop::txtTitle_MouseDown()
{
    TitleClicked = True;
}

void frmDeskTop::txtTitle_GotFocus(bool byMouse)
{
    if (byMouse)
        TitleClicked = True;
    if (TitleClicked)
        TitleEditing = True;
    else
        picDeskTop->setFocus(Qt::OtherFocusReason);
}

void frmDeskTop::txtTitle_LostFocus()
{
    TitleClicked = False;
    TitleEditing = False;
}

void frmDeskTop::chkTaskLoop_Click()
{
    if (auto* module = dynamic_cast<clsModule*>(mMyCommandBlock)) {
        module->mLoop = chkTaskLoop->isChecked() ? 1 : 0;
        MarkModuleDirty(mParentTaskName);
    }
}

void frmDeskTop::chkStartOnStartup_Click()
{
    if (auto* task = dynamic_cast<clsTask*>(mMyCommandBlock)) {
        task->StartOnStartup = chkStartOnStartup->isChecked() ? 1 : 0;
        MarkModuleDirty(mParentTaskName);
    }
}

// ---- the desk

void frmDeskTop::DrawGrid()
{
    picDeskTop->update();
}

void frmDeskTop::picDeskTop_Paint(QPainter& p)
{
    const double w = CellWidth(), h = CellHeight();
    // Beyond the surface lies the window's background, not a grid without
    // lines.
    const int surfaceRight = PixX(DeskSurfaceWidth());
    if (surfaceRight < picDeskTop->width())
        p.fillRect(QRect(surfaceRight, 0, picDeskTop->width() - surfaceRight, picDeskTop->height()),
                   palette().color(QPalette::Window));
    p.setPen(QPen(palette().color(QPalette::Button), 1));
    for (int i = 1; i <= 41; ++i)
        p.drawLine(PixX(280), PixY(i * h), PixX(2.5 * w), PixY(i * h));
    for (int i = 0; i <= 2; ++i)
        p.drawLine(PixX(LeftMargin + i * w), 0, PixX(LeftMargin + i * w), PixY(picDeskTop->Height() - 3.5 * h));
    if (shpCursor.Visible) {
        const QRect r = PixRect(shpCursor.Left, shpCursor.Top, shpCursor.Width, shpCursor.Height);
        p.setPen(QPen(palette().color(QPalette::WindowText), 2));
        p.setBrush(Qt::NoBrush);
        p.drawRect(r.adjusted(1, 1, -1, -1));
    }
    if (shpSelect.Visible) {
        p.setPen(QPen(palette().color(QPalette::WindowText), 1, Qt::DotLine));
        p.setBrush(Qt::NoBrush);
        p.drawRect(PixRect(shpSelect.Left, shpSelect.Top, shpSelect.Width, shpSelect.Height));
    }
}

void frmDeskTop::VScroll1_Change()
{
    picDeskTop->setTop(-VScroll1->value());
}

void frmDeskTop::HScroll1_Change()
{
    const double value = HScroll1->value();
    picDeskTop->setLeft(-value);
    PicYesNo[0]->setLeft(CellWidth() / 2 + LeftMargin - PicYesNo[0]->Width() / 2 - value);
    PicYesNo[1]->setLeft(PicYesNo[0]->Left() + CellWidth());
}

// ---- the map

void frmDeskTop::UpdateMap()
{
    if (mFormType == 0)
        return;
    if (mFormType == ModuleKind::Task || mFormType == ModuleKind::Sub) {
        if (auto* module = dynamic_cast<clsModule*>(mMyCommandBlock))
            Q_EMIT App().Notifier->ModuleChanged(module->Name);
        return;
    }
    const QString caption = Caption();
    for (const auto& e : App().TaskList)
        if (e.item && e.item->Name.compare(caption, Qt::CaseInsensitive) == 0) {
            Q_EMIT App().Notifier->ModuleChanged(e.item->Name);
            return;
        }
    for (const auto& e : App().SubList)
        if (e.item && e.item->Name.compare(caption, Qt::CaseInsensitive) == 0) {
            Q_EMIT App().Notifier->ModuleChanged(e.item->Name);
            return;
        }
}

// ---- the window

void frmDeskTop::Show()
{
    if (!mLoaded)
        Form_Load();
    if (mSub)
        mSub->show();
    else
        show();
}

void frmDeskTop::ZOrder()
{
    if (mSub && mMdiArea) {
        if (mSub->isHidden())
            mSub->show();
        mMdiArea->setActiveSubWindow(mSub);
        mSub->raise();
    } else {
        raise();
        activateWindow();
    }
}

void frmDeskTop::setCaption(const QString& caption)
{
    setWindowTitle(caption);
    if (mSub)
        mSub->setWindowTitle(caption);
}

QString frmDeskTop::Caption() const
{
    return windowTitle();
}

void frmDeskTop::Close()
{
    if (mSub)
        mSub->close();
    else
        close();
}

void frmDeskTop::FillSourceNames()
{
    SourceName = StandardSourceNames();
}

void frmDeskTop::Form_Load()
{
    const std::initializer_list<int> quiet = {Err::InvalidCall};
    Step([&] { SizeCommandPicture(0); }, quiet);
    Step([&] { picDeskTop->Move(0, 0, 6 * (CellWidth() + TwipX(2)), 45 * CellHeight()); }, quiet);
    Step([&] {
        shpCursor.Width = mPicCommand.at(0)->Width();
        shpCursor.Height = mPicCommand.at(0)->Height();
    }, quiet);
    Step([&] { Doc.ClearGrid(); }, quiet);
    Step([&] {
        QWidget* win = mSub ? static_cast<QWidget*>(mSub) : this;
        const double height = mMdiArea ? TwipY(mMdiArea->viewport()->height()) : TwipY(win->height());
        const double width = (CellWidth() + TwipX(4)) * 2.53 + TwipX(VScroll1->width());
        win->setGeometry(win->x(), 0, PixX(width), PixY(height));
    }, quiet);
    Step([&] {
        if (!mMyCommandBlock)
            raiseError(Err::ObjectNotSet);
        ColCommand = mMyCommandBlock->GetCommands();
        mMyCommandBlock->CommandWindow = this;
    }, quiet);
    Step([&] { ShowCommands(); }, quiet);
    Step([&] {
        if (!ColCommand)
            raiseError(Err::ObjectNotSet);
        ColCommand->Item(QStringLiteral("0001"))->PicSelected = False;
    }, quiet);
    Step([&] {
        DrawGrid();
        setCursorPos(QStringLiteral("0001"));
        QWidget* win = mSub ? static_cast<QWidget*>(mSub) : this;
        win->move(0, win->y());
    }, quiet);
    // The frames' image combo boxes show the pictures of the image list ILDT.
    Step([&] { BuildFrames(); }, quiet);
    Step([&] { FillSourceNames(); }, quiet);
    mContentWidth = DeskContentWidth();
    mLoaded = true;
}

void frmDeskTop::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    if (mLoaded && !mUnloaded)
        Form_Resize();
}

void frmDeskTop::Form_Resize()
{
    QWidget* win = mSub ? static_cast<QWidget*>(mSub) : this;
    if (win->width() > picDeskTop->width()) {
        win->resize(picDeskTop->width(), win->height());
        // A maximised frame lays out its window later, without a resize of
        // it that reaches here: the bars follow once that is done.
        QTimer::singleShot(0, this, [this] {
            if (mLoaded && !mUnloaded)
                LayoutScrollBars();
        });
        return;
    }
    LayoutScrollBars();
}

void frmDeskTop::LayoutScrollBars()
{
    const std::initializer_list<int> none = {};
    const double scaleWidth = ScaleWidth(), scaleHeight = ScaleHeight();
    const double titleHeight = picModulTitle->Height();
    const double vWidth = TwipX(VScroll1->width()), hHeight = TwipY(HScroll1->height());
    Step([&] { picModulTitle->setWidth(scaleWidth); }, none, false);
    Step([&] {
        const double height = std::max(0.0, scaleHeight - titleHeight - hHeight);
        VScroll1->setGeometry(PixRect(scaleWidth - vWidth, titleHeight, vWidth, height));
        const Long max = vb::CLng(picDeskTop->Height() - scaleHeight + hHeight);
        VScroll1->setRange(0, std::max<Long>(0, max));
        const Long small = vb::CLng(scaleHeight / 9);
        VScroll1->setSingleStep(std::max<Long>(1, small));
        VScroll1->setPageStep(std::max<Long>(1, 3 * small));
    }, none, false);
    Step([&] {
        const double width = std::max(0.0, scaleWidth - vWidth);
        HScroll1->setGeometry(PixRect(0, scaleHeight - hHeight, width, hHeight));
        // The bar reaches as far as the desk has something to show: where
        // both columns fit it has no range and the desk stays at Left 0.
        const Long max = vb::CLng(DeskContentWidth() - scaleWidth + vWidth);
        HScroll1->setRange(0, std::max<Long>(0, max));
        HScroll1->setEnabled(max > 0);
        if (max <= 0) {
            HScroll1->setValue(0);
            HScroll1_Change();
        }
        const Long small = vb::CLng(scaleWidth / 9);
        HScroll1->setSingleStep(std::max<Long>(1, small));
        HScroll1->setPageStep(std::max<Long>(1, 3 * small));
    }, none, false);
    Step([&] {
        if (scaleWidth > TwipX(txtTitle->x()))
            LayoutTitleBox();
    }, none, false);
    if (mFormType == ModuleKind::IfBody || mFormType == ModuleKind::WhileBody || mFormType == ModuleKind::LoopBody)
        picModulTitle->update();
}

void frmDeskTop::Form_Activate()
{
    Step([&] {
        if (ScaleWidth() > TwipX(txtTitle->x()))
            LayoutTitleBox();
    }, {}, false);
}

void frmDeskTop::Form_Deactivate()
{
    if (mUnloaded || !mLoaded)
        return;
    // An open parameter frame is cancelled by the frame that edits its key;
    // a comment's frame too, so that no frame stays open with the toolbars
    // disabled while the user works in another window.
    Step([&] { CancelEditFrame(); }, {});
    // As a press with the cursor tool on the empty desk at (3, 3), whatever
    // tool the palette holds: the selection empties and nothing is placed.
    Step([&] {
        Doc.PressOnDesk(3, 3, PaletteTool{});
        shpSelect.Visible = false;
        SyncPictures();
    }, {});
    Step([&] { setCursorPos(QStringLiteral("0")); }, {});
}

void frmDeskTop::SubWindowStateChanged(Qt::WindowStates oldState, Qt::WindowStates newState)
{
    const bool was = oldState.testFlag(Qt::WindowActive), is = newState.testFlag(Qt::WindowActive);
    if (!was && is)
        Form_Activate();
    else if (was && !is)
        Form_Deactivate();
}

void frmDeskTop::closeEvent(QCloseEvent* event)
{
    Form_QueryUnload();
    event->accept();
}

void frmDeskTop::Form_QueryUnload()
{
    if (mUnloaded)
        return;
    // A window closed with a frame open gives the toolbars back.
    Step([&] { CancelEditFrame(); }, {}, false);
    mUnloaded = true;
    if (mMyCommandBlock && mMyCommandBlock->CommandWindow == this)
        mMyCommandBlock->CommandWindow = nullptr;
    if (!ColCommand)
        return;
    QList<ICommandWindow*> inner;
    for (const auto& e : *ColCommand) {
        const auto& co = e.item;
        if (!co || !co->CommandWindow)
            continue;
        if (OpensBlock(co->CommandKey) || vb::SameText(co->CommandKey, "L_SUB"))
            inner.append(co->CommandWindow);
    }
    for (ICommandWindow* w : inner) {
        try {
            w->Close();
        } catch (const VbError&) {
        }
    }
}

// ---- the palette

PaletteTool& DeskPalette()
{
    static PaletteTool tool;
    return tool;
}

PaletteTool frmDeskTop::CurrentTool() const
{
    if (mdiMain* main = mdiMain::Instance()) {
        PaletteTool tool;
        if (QToolButton* b = main->CurButton()) {
            tool.key = main->CurButtonKey();
            tool.toolTip = b->toolTip();
        }
        if (tool.key.isEmpty())
            tool.key = QStringLiteral("CURSOR");
        return tool;
    }
    return DeskPalette();
}

void frmDeskTop::ResetTool()
{
    if (mdiMain* main = mdiMain::Instance())
        main->TB_ButtonClick(QStringLiteral("CURSOR"));
    else
        DeskPalette() = PaletteTool{};
}

// ---- what the document asks of the window

void frmDeskTop::CommandAdded(clsCommand& command)
{
    if (picCommand(command.PicIndex))
        command.PicIndex = Integer(picCommandUBound() + 1);
    PicCommandBox* pic = LoadPicCommand(command.PicIndex);
    SetPictureFromList(pic, CommandPictureKey(command.CommandKey, command.Op));
    pic->ZOrder();
    pic->Move(GridDocument::CellLeft(command.x), GridDocument::CellTop(command.y));
    pic->show();
    RepaintCommand(command.PicIndex);
}

bool frmDeskTop::CommandShown(const clsCommand& command) const
{
    return picCommand(command.PicIndex) != nullptr;
}

std::shared_ptr<clsCommand> frmDeskTop::DropCommand(Integer index, double x, double y, const QString& key)
{
    const auto co = Doc.DropCommand(index, x, y, key, CurrentTool());
    SyncPictures();
    return co;
}

bool frmDeskTop::MakeRoom(Integer Count)
{
    const bool ok = Doc.MakeRoom(Count);
    SyncPictures();
    return ok;
}

void frmDeskTop::CloseGaps()
{
    Doc.CloseGaps();
    SyncPictures();
}

// ---- the desk's mouse

void frmDeskTop::picDeskTop_MouseDown(int Button, int Shift, double x, double y)
{
    Q_UNUSED(Shift);
    if (CommandInEdit)
        return;
    picDeskTop->setFocus(Qt::MouseFocusReason);
    if (Button == 2) {
        const GridCell cell = GridDocument::CellAt(x, y);
        if (x < GridDocument::LeftMargin || !GridDocument::InsideGrid(cell))
            return;
        mnuPaste->setEnabled(!App().CommandClipboard.isEmpty());
        for (QAction* a : {mnuTransmit, mnuCut, mnuLine3, mnuCopy, mnuDel, mnuCommands, mnuUpdate, mnuLine1})
            a->setVisible(false);
        setCursorPos(ColKey(true, cell.column, cell.row));
        CalcPicSelection(0);
        PopupMenu()(*mnuEdit);
        for (QAction* a : {mnuCopy, mnuCut, mnuDel, mnuCommands, mnuUpdate, mnuLine1})
            a->setVisible(true);
        return;
    }
    const PaletteTool tool = CurrentTool();
    // A press in the band above row 1 places nothing.
    if (!tool.isCursor() && GridDocument::CellAt(x, y).row < 1)
        return;
    Doc.PressOnDesk(x, y, tool);
    SyncPictures();
}

void frmDeskTop::picDeskTop_MouseMove(int Button, int Shift, double x, double y)
{
    Q_UNUSED(Shift);
    if (CommandInEdit)
        return;
    if (CurrentTool().isCursor()) {
        picDeskTop->unsetCursor();
        if (Button != 0 && shpSelect.Visible) {
            Doc.StretchSelection(x, y);
            SyncPictures();
        }
    } else {
        picDeskTop->setCursor(Qt::CrossCursor);
    }
}

void frmDeskTop::picDeskTop_MouseUp(int Button, int Shift, double x, double y)
{
    Q_UNUSED(Button);
    Q_UNUSED(Shift);
    Q_UNUSED(x);
    Q_UNUSED(y);
    if (CommandInEdit)
        return;
    ScrollScr();
    const PaletteTool tool = CurrentTool();
    if (!tool.isCursor()) {
        ResetTool();
        picDeskTop->update();
        Doc.ReleaseOnDesk(tool);
        SyncPictures();
        ScrollScr();
    } else if (shpSelect.Visible) {
        Doc.ReleaseOnDesk(tool);
        SyncPictures();
    }
    if (CurrentColumn == 0)
        HScroll1->setValue(0);
}

// ---- the command pictures' mouse

void frmDeskTop::picCommand_MouseDown(Integer Index, int Button, int Shift, double X, double Y)
{
    if (CommandInEdit)
        return;
    PicCommandBox* pic = picCommand(Index);
    const auto co = Doc.CommandOfPicture(Index);
    if (!pic || !co)
        return;
    picDeskTop->setFocus(Qt::MouseFocusReason);
    App().ShiftClick = (Button == 1 && Shift == 1) ? True : False;
    CalcCmdPos(Index);
    setCursorPos(ColKey(false, 0, 0));
    if (!co->PicSelected)
        CalcPicSelection(Index);
    App().ShiftClick = False;

    const PaletteTool tool = CurrentTool();
    if (Button == 2) {
        picDeskTop->unsetCursor();
        ResetTool();
        pic->ZOrder();
        PopupOnCommand(*co);
        return;
    }
    if (!tool.isCursor()) {
        if (!SameCommandKey(tool.key, co->CommandKey)) {
            if (ShowMessage(QStringLiteral("Replace command"), MsgStyle::Question + MsgStyle::OkCancel)
                == MsgResult::OK) {
                Doc.DropCommand(Integer(picCommandUBound() + 1), pic->Left() + X, pic->Top() + Y, QString(), tool);
                SyncPictures();
                UpdateMap();
            }
            ResetTool();
        }
        return;
    }
    pic->setMouseIcon(PickIcon::Pick);
    DragStartX = vb::CInt(X);
    DragStartY = vb::CInt(Y);
    pic->ZOrder();
    objCommand = co;
}

void frmDeskTop::picCommand_MouseMove(Integer Index, int Button, int Shift, double X, double Y)
{
    Q_UNUSED(Shift);
    if (CommandInEdit)
        return;
    PicCommandBox* pic = picCommand(Index);
    if (!pic)
        return;
    if (!CurrentTool().isCursor()) {
        pic->setMouseIcon(PickIcon::Put);
        return;
    }
    if (Button == 0)
        pic->setMouseIcon(PickIcon::Hand);
    if (pic->MouseIcon() != PickIcon::Pick || Button == 0 || !ColCommand)
        return;
    const double dx = X - DragStartX, dy = Y - DragStartY;
    for (const auto& e : *ColCommand) {
        if (!e.item || !e.item->PicSelected)
            continue;
        if (PicCommandBox* p = picCommand(e.item->PicIndex)) {
            p->Move(p->Left() + dx, p->Top() + dy);
            p->ZOrder();
        }
    }
    if (++MoveCount >= 10) {
        picDeskTop->update();
        MoveCount = 0;
    }
}

void frmDeskTop::picCommand_MouseUp(Integer Index, int Button, int Shift, double X, double Y)
{
    Q_UNUSED(Button);
    Q_UNUSED(Shift);
    Q_UNUSED(X);
    Q_UNUSED(Y);
    if (CommandInEdit)
        return;
    PicCommandBox* pic = picCommand(Index);
    if (!pic)
        return;
    ScrollScr();
    if (!CurrentTool().isCursor()) {
        ResetTool();
        return;
    }
    if (pic->MouseIcon() != PickIcon::Pick)
        return;
    pic->setMouseIcon(PickIcon::Hand);
    const auto result = Doc.MoveSelection([this](const clsCommand& co) {
        CalcCmdPos(co.PicIndex);
        return GridCell{CurrentColumn, CurrentRow};
    });
    SyncPictures();
    if (result == GridDocument::MoveResult::Outside)
        ShowMessage(QStringLiteral("One of the commands is outside the edit area"), MsgStyle::Exclamation);
    else if (result == GridDocument::MoveResult::Taken)
        ShowMessage(QStringLiteral("This place is taken! Make some room and try again"), MsgStyle::Exclamation);
    else if (CurrentColumn == 0)
        HScroll1->setValue(0);
}

void frmDeskTop::picCommand_DblClick(Integer Index)
{
    Q_UNUSED(Index);
    if (CommandInEdit)
        return;
    App().Shell->DoEvents();
    if (Doc.SelectedCount() <= 1)
        mnuUpdate_Click();
}

// ---- the popup menu

std::function<void(QMenu&)>& frmDeskTop::PopupMenu()
{
    static std::function<void(QMenu&)> show = [](QMenu& menu) { menu.exec(QCursor::pos()); };
    return show;
}

void frmDeskTop::BuildMenu()
{
    mnuEdit = new QMenu(QStringLiteral("Edit"), this);
    mnuEdit->setObjectName(QStringLiteral("mnuEdit"));
    auto item = [this](const char* name, const char* caption, const char* shortcut, void (frmDeskTop::*handler)()) {
        QString text = QString::fromLatin1(caption);
        if (shortcut)
            text += QLatin1Char('\t') + QString::fromLatin1(shortcut);
        QAction* a = mnuEdit->addAction(text);
        a->setObjectName(QString::fromLatin1(name));
        connect(a, &QAction::triggered, this, [this, handler] { (this->*handler)(); });
        return a;
    };
    auto line = [this](const char* name) {
        QAction* a = mnuEdit->addSeparator();
        a->setObjectName(QString::fromLatin1(name));
        return a;
    };
    mnuUpdate = item("mnuUpdate", "Command properties  (Enter)", nullptr, &frmDeskTop::mnuUpdate_Click);
    mnuCommands = item("mnuCommands", "Open command window", "Ctrl+J", &frmDeskTop::mnuCommands_Click);
    mnuLine3 = line("mnuLine3");
    mnuTransmit = item("mnuTransmit", "Transmit", nullptr, &frmDeskTop::mnuTransmit_Click);
    mnuLine1 = line("mnuLine1");
    mnuCut = item("mnuCut", "Cut", "Ctrl+X", &frmDeskTop::mnuCut_Click);
    mnuCopy = item("mnuCopy", "Copy", "Ctrl+C", &frmDeskTop::mnuCopy_Click);
    mnuPaste = item("mnuPaste", "Paste", "Ctrl+V", &frmDeskTop::mnuPaste_Click);
    mnuDel = item("mnuDel", "Delete", "Del", &frmDeskTop::mnuDel_Click);
    mnuLine2 = line("mnuLine2");
    mnuInsertSpace = item("mnuInsertSpace", "Insert space", "Shift+Ins", &frmDeskTop::mnuInsertSpace_Click);
    mnuDeleteSpace = item("mnuDeleteSpace", "Delete all spaces", "Shift+Del", &frmDeskTop::mnuDeleteSpace_Click);
}

void frmDeskTop::PopupOnCommand(const clsCommand& co)
{
    const bool both = Doc.SelectionInBothColumns();
    mnuPaste->setEnabled(!App().CommandClipboard.isEmpty());
    if (both) {
        mnuPaste->setEnabled(false);
        mnuCopy->setEnabled(false);
        mnuCut->setEnabled(false);
    } else {
        mnuCopy->setEnabled(true);
        mnuCut->setEnabled(true);
    }
    const CommandInfo* info = FindCommand(co.CommandKey);
    mnuCommands->setEnabled(info && info->opensWindow);
    mnuTransmit->setVisible(true);
    mnuLine3->setVisible(true);
    PopupMenu()(*mnuEdit);
}

void frmDeskTop::mnuCopy_Click()
{
    Doc.Copy();
}

void frmDeskTop::mnuCut_Click()
{
    mnuCopy_Click();
    mnuDel_Click();
}

void frmDeskTop::mnuDel_Click()
{
    if (Doc.DeleteNeedsConfirmation()
        && ShowMessage(QStringLiteral("You are about to delete command(s) that can contain more commands! Please confirm"),
                       MsgStyle::Question + MsgStyle::OkCancel)
               != MsgResult::OK)
        return;
    Doc.DeleteSelection();
    SyncPictures();
}

void frmDeskTop::mnuPaste_Click()
{
    if (!Doc.Paste())
        ShowMessage(QStringLiteral("No room for this action"), MsgStyle::Exclamation);
    SyncPictures();
    if (ColCommand)
        for (const auto& e : *ColCommand)
            if (e.item)
                if (PicCommandBox* pic = picCommand(e.item->PicIndex))
                    SetCommandToolTip(pic, *e.item);
}

void frmDeskTop::mnuInsertSpace_Click()
{
    if (!Doc.InsertSpace())
        ShowMessage(QStringLiteral("No room for this action"), MsgStyle::Exclamation);
    SyncPictures();
}

void frmDeskTop::mnuDeleteSpace_Click()
{
    CloseGaps();
}

void frmDeskTop::mnuCommands_Click()
{
    App().Shell->DoEvents();
    const auto co = Doc.CommandAtCursor();
    if (!co)
        return;
    // A body is made only where there is none: an open body window keeps
    // the collection it shows.
    if (!co->Commands)
        co->Commands = std::make_shared<CommandCollection>();
    objCommand = co;
    const QString& key = co->CommandKey;
    if (const Long kind = BodyKindOf(key)) {
        OpenCommandWindow(kind, co.get(), mParentTaskName, co->PicCaption(1));
    } else if (SameCommandKey(key, QStringLiteral("L_SUB"))) {
        for (const auto& e : App().SubList)
            if (e.item && e.item->Name.compare(co->Param1Value.toString(), Qt::CaseInsensitive) == 0)
                OpenCommandWindow(ModuleKind::Sub, e.item.get(), QString(), QString());
    } else if (SameCommandKey(key, QStringLiteral("L_START")) || SameCommandKey(key, QStringLiteral("L_STOP"))) {
        if (co->Param1Value.toString() == QLatin1String("Stop program")) {
            co->Commands.reset();
            return;
        }
        for (const auto& e : App().TaskList)
            if (e.item && e.item->Name.compare(co->Param1Value.toString(), Qt::CaseInsensitive) == 0)
                OpenCommandWindow(ModuleKind::Task, e.item.get(), QString(), QString());
    } else {
        co->Commands.reset();
    }
}

void frmDeskTop::mnuUpdate_Click()
{
    SetFrameInterface();
    ScrollToEditFrame();
}

// ---- entry points that the PC-side run and the parameter frames fill in

void frmDeskTop::mnuTransmit_Click()
{
    // The selected commands go to the brick at once.
    if (ColCommand)
        TransmitCommands(*ColCommand);
}

// The parameter frames' operations are in desktop/frames/DeskTopFrames.cpp.

// ---- keys

int frmDeskTop::KeyCodeOf(int qtKey)
{
    switch (qtKey) {
    case Qt::Key_Return:
    case Qt::Key_Enter: return 13;
    case Qt::Key_Escape: return 27;
    case Qt::Key_PageUp: return 33;
    case Qt::Key_PageDown: return 34;
    case Qt::Key_Left: return 37;
    case Qt::Key_Up: return 38;
    case Qt::Key_Right: return 39;
    case Qt::Key_Down: return 40;
    case Qt::Key_Insert: return 45;
    case Qt::Key_Delete: return 46;
    case Qt::Key_C: return 67;
    case Qt::Key_J: return 74;
    case Qt::Key_V: return 86;
    case Qt::Key_X: return 88;
    case Qt::Key_F5: return 116;
    default: return 0;
    }
}

bool frmDeskTop::PreviewKey(QWidget*, QKeyEvent* event)
{
    // The preview hands each press over once, where it first arrives; the
    // control then gets it too.
    if (const int code = KeyCodeOf(event->key()))
        Form_KeyDown(code, ShiftStateOf(event->modifiers()));
    return false;
}

void frmDeskTop::Form_KeyDown(int KeyCode, int Shift)
{
    if (KeyCode != 13 && KeyCode != 27 && (CommandInEdit || TitleEditing))
        return;
    try {
        const bool onCommand = CommandGrid(CurrentColumn, CurrentRow);
        const int page = int(std::floor(TwipY(VScroll1->height()) / CellHeight()));
        switch (KeyCode) {
        case 13:
            if (fraLogic && fraLogic->isVisible())
                cmdOkLogic_Click();
            else if (FraMotor && FraMotor->isVisible())
                cmdOkMotor_Click();
            else if (onCommand)
                mnuUpdate_Click();
            break;
        case 27:
            if (fraLogic && fraLogic->isVisible())
                cmdCancelLogic_Click();
            else if (FraMotor && FraMotor->isVisible())
                cmdCancelMotor_Click();
            break;
        case 33:
            Doc.PageUp(page);
            SyncPictures();
            ScrollScr();
            break;
        case 34:
            Doc.PageDown(page);
            SyncPictures();
            ScrollScr();
            break;
        case 37:
            Doc.MoveCursor(-1, 0);
            SyncPictures();
            HScroll1->setValue(0);
            ScrollScr();
            break;
        case 38:
            Doc.MoveCursor(0, -1);
            SyncPictures();
            ScrollScr();
            break;
        case 39:
            Doc.MoveCursor(1, 0);
            SyncPictures();
            ScrollScr();
            break;
        case 40:
            Doc.MoveCursor(0, 1);
            SyncPictures();
            ScrollScr();
            break;
        case 45:
            if (Shift == 1)
                mnuInsertSpace_Click();
            break;
        case 46:
            if (Shift == 1)
                mnuDeleteSpace_Click();
            else
                mnuDel_Click();
            break;
        case 67:
            if (Shift == 2 && onCommand)
                mnuCopy_Click();
            break;
        case 88:
            if (Shift == 2 && onCommand)
                mnuCut_Click();
            break;
        case 86:
            if (Shift == 2)
                mnuPaste_Click();
            break;
        case 74:
            if (Shift == 2 && onCommand)
                mnuCommands_Click();
            break;
        case 116:
            UpdateMap();
            break;
        default:
            break;
        }
    } catch (const VbError& e) {
        if (e.number() != Err::InvalidCall && e.number() != Err::ObjectNotSet)
            ShowMessage(e.description() + QStringLiteral(" from KeyDown"), MsgStyle::Exclamation);
    }
}

// ---- the wheel

void frmDeskTop::wheelEvent(QWheelEvent* event)
{
    // The wheel moves the bars, so the desk follows them as it follows a drag
    // of the thumb; Shift (or a sideways wheel) scrolls across.
    const QPoint delta = event->angleDelta();
    const bool across = event->modifiers().testFlag(Qt::ShiftModifier) || (delta.y() == 0 && delta.x() != 0);
    QScrollBar* bar = across ? HScroll1 : VScroll1;
    const int steps = (across && delta.y() == 0 ? delta.x() : delta.y()) / 120;
    if (steps == 0 || !bar->isEnabled()) {
        event->accept();
        return;
    }
    bar->setValue(bar->value() - steps * QApplication::wheelScrollLines() * bar->singleStep());
    event->accept();
}
