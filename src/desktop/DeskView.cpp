#include "desktop/DeskView.h"

#include "desktop/core/FrameControls.h"
#include "desktop/frames/ImageList.h"
#include "model/AppState.h"
#include "model/CommandCatalogue.h"
#include "model/Grid.h"
#include "model/Messages.h"
#include "model/VbError.h"
#include "shell/Pictures.h"
#include "model/Twips.h"

#include <QApplication>
#include <QFontMetricsF>
#include <QPainter>
#include <QScrollBar>
#include <QWheelEvent>

#include <cmath>
#include <set>

namespace {

constexpr int ErrObjectAlreadyLoaded = 360;
constexpr int ErrNoSuchElement = 340;
constexpr int ErrCantUnloadTemplate = 362;

}  // namespace

// ---- the pictures

QFont DeskView::CaptionFont(bool bold)
{
    QFont font = QApplication::font();
    font.setPixelSize(9);
    font.setBold(bold);
    return font;
}

void DeskView::Attach(const Controls& controls)
{
    mControls = controls;
    auto* tmpl = new PicCommandBox(*mControls.events, 0, mControls.desk);
    tmpl->hide();
    mPicCommand[0] = tmpl;
}

QColor DeskView::UnselectedColor(const QWidget& window)
{
    return window.palette().color(QPalette::Button);
}

PicCommandBox* DeskView::picCommand(int index) const
{
    const auto it = mPicCommand.find(index);
    return it == mPicCommand.end() ? nullptr : it->second;
}

int DeskView::picCommandUBound() const
{
    return mPicCommand.rbegin()->first;
}

PicCommandBox* DeskView::LoadPicCommand(int index)
{
    if (index < 0 || index > 32767)
        raiseError(Err::SubscriptOutOfRange);
    if (mPicCommand.count(index))
        raiseError(ErrObjectAlreadyLoaded, QStringLiteral("Object already loaded"));
    PicCommandBox* tmpl = mPicCommand.at(0);
    auto* pic = new PicCommandBox(*mControls.events, Integer(index), mControls.desk);
    pic->setBackColor(tmpl->BackColor());
    pic->Move(tmpl->Left(), tmpl->Top(), tmpl->Width(), tmpl->Height());
    pic->hide();
    mPicCommand[index] = pic;
    // A picture gets the focus when its frame closes: its keys are the window's too.
    if (mControls.watchKeys)
        mControls.watchKeys(pic);
    return pic;
}

void DeskView::UnloadPicCommand(int index)
{
    if (index == 0)
        raiseError(ErrCantUnloadTemplate, QStringLiteral("Can't unload controls created at design time"));
    const auto it = mPicCommand.find(index);
    if (it == mPicCommand.end())
        raiseError(ErrNoSuchElement, QStringLiteral("Control array element '%1' doesn't exist").arg(index));
    // The picture may be the one whose mouse event is running. It goes by
    // its name at once: picCommand(index) names the one loaded now.
    it->second->hide();
    it->second->setObjectName(QString());
    it->second->deleteLater();
    mPicCommand.erase(it);
}

PicCommandBox* DeskView::NeedPicture(int index) const
{
    PicCommandBox* pic = picCommand(index);
    if (!pic)
        raiseError(ErrNoSuchElement, QStringLiteral("Control array element '%1' doesn't exist").arg(index));
    return pic;
}

double DeskView::CellWidth() const
{
    return mPicCommand.at(0)->Width();
}

double DeskView::CellHeight() const
{
    return mPicCommand.at(0)->Height();
}

double DeskView::DeskSurfaceWidth() const
{
    return 2.5 * CellWidth();
}

double DeskView::DeskContentWidth() const
{
    const double w = CellWidth();
    double right = GridDocument::LeftMargin + 2 * w;
    // Only a grown picture counts: one dragged past the grid is dropped
    // back into it.
    for (const auto& [index, pic] : mPicCommand)
        if (index != 0 && !pic->isHidden() && pic->Width() > w)
            right = std::max(right, pic->Left() + pic->Width());
    return right;
}

void DeskView::SizeCommandPicture(Integer Index)
{
    PicCommandBox* pic = NeedPicture(Index);
    pic->setWidth(GridDocument::CellWidth);
    pic->setHeight(GridDocument::CellHeight);
}

void DeskView::FitCursorToCell()
{
    mCursor.Width = CellWidth();
    mCursor.Height = CellHeight();
}

void DeskView::RepaintCommand(Integer Index)
{
    NeedPicture(Index)->update();
}

void DeskView::SyncPictures()
{
    if (mDoc.ColCommand) {
        std::set<int> used;
        for (const auto& e : *mDoc.ColCommand) {
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
            pic->setBackColor(co->PicSelected ? SelectedColor() : UnselectedColor(mWindow));
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
    mCursor.Visible = mDoc.CursorVisible;
    const GridCell cursor = GridDocument::CellOfKey(mDoc.CursorKey);
    mCursor.Left = GridDocument::CellLeft(cursor.column);
    mCursor.Top = GridDocument::CellTop(cursor.row);
    RepaintDesk();
}

void DeskView::RaiseCommandAtCursor()
{
    if (mDoc.CommandGrid(mDoc.CurrentColumn, mDoc.CurrentRow))
        if (const auto co = mDoc.CommandAt(mDoc.CurrentColumn, mDoc.CurrentRow))
            if (PicCommandBox* pic = picCommand(co->PicIndex))
                pic->ZOrder();
}

void DeskView::RefreshToolTips()
{
    if (!mDoc.ColCommand)
        return;
    for (const auto& e : *mDoc.ColCommand)
        if (e.item)
            if (PicCommandBox* pic = picCommand(e.item->PicIndex))
                SetCommandToolTip(pic, *e.item);
}

// ---- the pictures follow the document

Integer DeskView::CalcCmdPos(Integer Index)
{
    PicCommandBox* pic = NeedPicture(Index);
    const GridCell cell = CellOfCentre(pic->Left(), pic->Top(), CellWidth(), CellHeight());
    mDoc.CurrentColumn = Integer(cell.column);
    mDoc.CurrentRow = Integer(cell.row);
    return 0;
}

GridCell DeskView::CellOfCentre(double left, double top, double cellWidth, double cellHeight)
{
    return {vb::CInt(std::floor((left - GridDocument::LeftMargin + cellWidth / 2) / cellWidth)),
            vb::CInt(std::floor((top + cellHeight / 2) / cellHeight))};
}

void DeskView::ShowCommands()
{
    if (!mDoc.ColCommand)
        return;
    std::shared_ptr<clsCommand>& co = mDoc.objCommand;
    try {
        for (const auto& e : *mDoc.ColCommand) {
            co = e.item;
            if (!co)
                raiseError(Err::ObjectNotSet);
            // Every picture index is one picture; a command from a file that
            // names the template or an index already shown gets a free one.
            if (co->PicIndex < 1 || picCommand(co->PicIndex))
                co->PicIndex = Integer(picCommandUBound() + 1);
            PicCommandBox* pic = LoadPicCommand(co->PicIndex);
            SetPictureFromList(pic, CommandPictureKey(co->CommandKey, co->Op));
            mDoc.CurrentColumn = co->x;
            mDoc.CurrentRow = co->y;
            mDoc.CommandGrid(co->x, co->y) = true;
            RepaintCommand(co->PicIndex);
            SetCommandToolTip(pic, *mDoc.ColCommand->Item(mDoc.ColKey(false, 0, 0)));
            pic->Move(co->x * CellWidth() + GridDocument::LeftMargin, co->y * CellHeight());
            pic->show();
        }
    } catch (const VbError& e) {
        ShowMessage(e.description(), MsgStyle::Critical);
    }
    co.reset();
}

void DeskView::CommandAdded(clsCommand& command)
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

bool DeskView::CommandShown(const clsCommand& command) const
{
    return picCommand(command.PicIndex) != nullptr;
}

// ---- pictures, tips and captions

void DeskView::SetPictureFromList(PictureBox* Target, const QString& Key)
{
    Target->setPicture(CommandPicture(Key), Key);
}

void DeskView::SetPictureFromList(PictureBox* Target, const ImageList& List, const QString& Key)
{
    Target->setPicture(List.Picture(Key), Key);
}

void DeskView::SetCommandToolTip(PictureBox* Picture, const clsCommand& Command)
{
    Picture->setToolTipText(QString());
    QString tip;
    for (const QChar ch : Command.MotorList) {
        const int m = int(vb::Val(QString(ch)));
        const clsMotor& motor = App().RcxSetup().PortMotor(m);
        tip += QLatin1String("  ") + QChar(65 + m) + QLatin1Char('=') + motor.Purpose;
        if (Command.CommandKey == CommandKey::M_FWD)
            tip += QLatin1Char('-') + motor.MotorFwdMeening;
        else if (Command.CommandKey == CommandKey::M_RWD)
            tip += QLatin1Char('-') + motor.MotorRwdMeening;
    }
    if (IsSource(Command.Param1Source, 9))
        tip = Command.Param1Value.toString();
    if (IsSource(Command.Param2Source, 9))
        tip = Command.Param2Value.toString();
    Picture->setToolTipText(tip);
}

QString DeskView::WrapCaption(const QString& text) const
{
    return WrapCaption(text, mPicCommand.at(0)->Width());
}

QString DeskView::WrapCaption(const QString& text, double pictureWidth)
{
    if (vb::Trim(text).isEmpty())
        return text;
    const double usable = pictureWidth - TwipX(37);
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

QList<CaptionLine> DeskView::CaptionLines(const QString& caption0, const QString& caption1)
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

// ---- painting

void DeskView::PaintCommand(Integer Index, QPainter& p)
{
    const auto co = mDoc.CommandOfPicture(Index);
    if (!co)
        return;
    p.setPen(mWindow.palette().color(QPalette::WindowText));
    double y = 0;
    for (const CaptionLine& line : CaptionLines(co->PicCaption(0), co->PicCaption(1))) {
        const QFont font = CaptionFont(line.bold);
        const QFontMetricsF fm(font);
        p.setFont(font);
        // A remainder that still holds line breaks goes on at the same margin.
        for (const QString& part : line.text.split(QLatin1String("\r\n"))) {
            p.drawText(QPointF(PixX(line.x), y + fm.ascent()), part);
            y += fm.height();
        }
    }
}

void DeskView::PaintDesk(QPainter& p)
{
    const double w = CellWidth(), h = CellHeight();
    // Beyond the surface lies the window's background, not a grid without
    // lines.
    const int surfaceRight = PixX(DeskSurfaceWidth());
    const DeskTopBox* desk = mControls.desk;
    const QPalette& palette = mWindow.palette();
    if (surfaceRight < desk->width())
        p.fillRect(QRect(surfaceRight, 0, desk->width() - surfaceRight, desk->height()),
                   palette.color(QPalette::Window));
    p.setPen(QPen(palette.color(QPalette::Button), 1));
    for (int i = 1; i <= 41; ++i)
        p.drawLine(PixX(280), PixY(i * h), PixX(2.5 * w), PixY(i * h));
    for (int i = 0; i <= 2; ++i)
        p.drawLine(PixX(GridDocument::LeftMargin + i * w), 0, PixX(GridDocument::LeftMargin + i * w),
                   PixY(desk->Height() - 3.5 * h));
    if (mCursor.Visible) {
        const QRect r = PixRect(mCursor.Left, mCursor.Top, mCursor.Width, mCursor.Height);
        p.setPen(QPen(palette.color(QPalette::WindowText), 2));
        p.setBrush(Qt::NoBrush);
        p.drawRect(r.adjusted(1, 1, -1, -1));
    }
    const DeskShape& select = mDoc.shpSelect;
    if (select.Visible) {
        p.setPen(QPen(palette.color(QPalette::WindowText), 1, Qt::DotLine));
        p.setBrush(Qt::NoBrush);
        p.drawRect(PixRect(select.Left, select.Top, select.Width, select.Height));
    }
}

void DeskView::RepaintDesk()
{
    mControls.desk->update();
}

void DeskView::ShowPlacingPointer(bool placing)
{
    if (placing)
        mControls.desk->setCursor(Qt::CrossCursor);
    else
        mControls.desk->unsetCursor();
}

// ---- scrolling

void DeskView::ScrollScr()
{
    QScrollBar* bar = mControls.vertical;
    double v = bar->value();
    const double h = TwipY(bar->height());
    const double c = CellHeight();
    const double r = GridDocument::CellOfKey(mDoc.CursorPos()).row;
    if (r < 1)
        return;
    // One cell height at a time; a bar at the end of its range stops the walk.
    while (v / c + 1 > r) {
        bar->setValue(v < c ? 0 : int(v - c));
        const double now = bar->value();
        if (now == v)
            break;
        v = now;
    }
    while ((h + v) / c < r) {
        bar->setValue(int(v + c));
        const double now = bar->value();
        if (now == v)
            break;
        v = now;
    }
}

void DeskView::ScrollToLeftEdge()
{
    mControls.horizontal->setValue(0);
}

int DeskView::PageRows() const
{
    return int(std::floor(TwipY(mControls.vertical->height()) / CellHeight()));
}

void DeskView::Wheel(QWheelEvent* event)
{
    // The wheel moves the bars, so the desk follows them as it follows a drag
    // of the thumb; Shift (or a sideways wheel) scrolls across.
    const QPoint delta = event->angleDelta();
    const bool across = event->modifiers().testFlag(Qt::ShiftModifier) || (delta.y() == 0 && delta.x() != 0);
    QScrollBar* bar = across ? mControls.horizontal : mControls.vertical;
    const int steps = (across && delta.y() == 0 ? delta.x() : delta.y()) / 120;
    if (steps == 0 || !bar->isEnabled()) {
        event->accept();
        return;
    }
    bar->setValue(bar->value() - steps * QApplication::wheelScrollLines() * bar->singleStep());
    event->accept();
}
