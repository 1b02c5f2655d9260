// The command palette TB in its holder picToolBar: building it, the current
// tool, the holder's width as the user drags its edge, and its two buttons.
#include "shell/MainWindow.h"

#include "model/AppState.h"
#include "model/CommandCatalogue.h"
#include "model/Twips.h"
#include "shell/PaletteBar.h"

#include <QAction>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QScrollBar>
#include <QToolButton>

namespace {

Integer twX(int pixels)
{
    return Integer(TwipX(pixels));
}

}  // namespace

void mdiMain::BuildPalette()
{
    mPicTBTop = new QWidget(mPicToolBar);
    mPicTBTop->setObjectName(QStringLiteral("picTBTop"));
    mPicTBTop->setFocusPolicy(Qt::ClickFocus);
    mPicTBTop->setAutoFillBackground(true);
    QPalette pal = mPicTBTop->palette();
    pal.setColor(QPalette::Window, QColor(0x00, 0x00, 0x80));
    mPicTBTop->setPalette(pal);

    const char* captions[2] = {"X", "h"};
    const char* tips[2] = {"Close", "Hide"};
    for (int i = 0; i < 2; ++i) {
        auto* b = new QToolButton(mPicTBTop);
        b->setObjectName(QStringLiteral("cmdCloseTB%1").arg(i));
        b->setText(QString::fromLatin1(captions[i]));
        b->setToolTip(QString::fromLatin1(tips[i]));
        b->setFixedSize(16, 14);
        b->installEventFilter(this);
        connect(b, &QToolButton::clicked, this, [this, i] { cmdCloseTB_Click(i); });
        mCloseTB[i] = b;
    }

    // The palette lies in a view under the title strip; where the holder is
    // too short for all its rows, the bar beside it scrolls them (and so does
    // the wheel over the palette).
    mTBView = new QWidget(mPicToolBar);
    mTBView->setObjectName(QStringLiteral("TBView"));
    mTB = new PaletteBar(mTBView);
    mTB->installEventFilter(this);
    // The cursor tool, then every command in the catalogue's order.
    std::vector<std::pair<QString, QString>> palette = {{QStringLiteral("CURSOR"), QString()}};
    for (const CommandInfo& c : CommandCatalogue())
        palette.emplace_back(c.key, c.caption);
    for (const auto& [key, tip] : palette) {
        QToolButton* b = mTB->AddButton(key, tip);
        b->installEventFilter(this);
        connect(b->defaultAction(), &QAction::triggered, this, [this, b] { TB_ButtonClick(b); });
    }
    const int tbWidth = PaletteBar::WidthForColumns(2);
    mTB->setGeometry(0, 0, tbWidth, mTB->HeightForWidth(tbWidth));
    LayoutPaletteHolder(twX(tbWidth + 3));
    mWidthTrace.clear();
}

void mdiMain::LayoutPaletteHolder(Integer holderWidth)
{
    const int w = PixX(holderWidth);
    mPicToolBar->setFixedWidth(qMax(0, w));
    mWidthTrace.append(holderWidth);
}

void mdiMain::LayoutPaletteView()
{
    if (!mTBView || !mTB || !mTBScroll)
        return;
    const int top = kHeaderHeight + 2;
    mTBView->setGeometry(0, top, mPicToolBar->width(), qMax(0, mPicToolBar->height() - top));
    const int hidden = qMax(0, mTB->height() - mTBView->height());
    mTBScroll->setRange(0, hidden);
    mTBScroll->setPageStep(qMax(1, mTBView->height()));
    mTBScroll->setSingleStep(PaletteBar::WidthForColumns(1));
    // A collapsed or hidden palette shows no bar.
    mTBScroll->setVisible(hidden > 0 && mPicToolBar->isVisible() && PaletteHolderWidth() >= 200);
    mTB->move(0, -mTBScroll->value());
}

QScrollBar* mdiMain::PaletteScrollBar() const
{
    return mTBScroll;
}

QWidget* mdiMain::TB() const
{
    return mTB;
}

QToolButton* mdiMain::PaletteButton(const QString& key) const
{
    return mTB->Button(key);
}

QList<QToolButton*> mdiMain::PaletteButtons() const
{
    return mTB->Buttons();
}

QString mdiMain::CurButtonKey() const
{
    return mCurButton ? mCurButton->objectName() : QString();
}

void mdiMain::TB_ButtonClick(QToolButton* button)
{
    if (!button)
        return;
    mCurButton = button;
    for (QToolButton* b : mTB->Buttons())
        b->defaultAction()->setChecked(false);
    button->defaultAction()->setChecked(true);
    mTB->update();
}

void mdiMain::TB_ButtonClick(const QString& key)
{
    TB_ButtonClick(PaletteButton(key));
}

Integer mdiMain::PaletteHolderWidth() const
{
    return twX(mPicToolBar->maximumWidth());
}

void mdiMain::setPaletteHolderWidth(Integer twips)
{
    LayoutPaletteHolder(twips);
}

Integer mdiMain::PaletteBarWidth() const
{
    return twX(mTB->width());
}

QList<Integer> mdiMain::TakeWidthTrace()
{
    QList<Integer> t = mWidthTrace;
    mWidthTrace.clear();
    return t;
}

void mdiMain::TB_MouseMove(int, int, int, int)
{
    mPicToolBar->unsetCursor();
    Integer w = PaletteHolderWidth();
    if (w >= 200)
        return;
    const double target = PaletteBarWidth() + TwipX(3);
    for (double i = w; i <= target; i += TwipX(8))
        setPaletteHolderWidth(Integer(i));
    setPaletteHolderWidth(Integer(target));
}

void mdiMain::picToolBar_MouseMove(int button, int, int x, int, QPoint screenPos)
{
    const double w = PaletteHolderWidth();
    const double minW = PaletteWidth;
    const double maxW = minW * 1.8;
    if (button != 1) {
        LastPointer = screenPos;
        SavedPointer.setX(screenPos.x());
        if (x > w - TwipX(3) && x < w)
            mPicToolBar->setCursor(Qt::SizeHorCursor);
        else
            mPicToolBar->unsetCursor();
        return;
    }
    auto resizeTo = [&](double width) {
        setPaletteHolderWidth(Integer(width));
        const int tbw = PixX(width - PaletteMargin);
        mTB->resize(qMax(0, tbw), mTB->HeightForWidth(qMax(0, tbw)));
        const int top = PixX(width) - 3;
        mPicTBTop->resize(qMax(0, top), kHeaderHeight);
        mCloseTB[0]->move(mPicTBTop->width() - mCloseTB[0]->width() - 2, 2);
        mCloseTB[1]->move(mPicTBTop->width() - mCloseTB[1]->width() - mCloseTB[0]->width() - 2, 2);
    };
    if (x >= minW && x <= maxW) {
        resizeTo(x);
        LastPointer = screenPos;
    } else if (x > maxW) {
        SetCursorPos(QPoint(LastPointer.x() + PixXCut(maxW - w), LastPointer.y()));
        if (LastPointer.x() == SavedPointer.x())
            return;
        resizeTo(maxW);
        SavedPointer = screenPos;
    } else {
        SetCursorPos(QPoint(LastPointer.x() - PixXCut(w - minW), LastPointer.y()));
        if (LastPointer.x() == SavedPointer.x())
            return;
        resizeTo(minW);
        SavedPointer = screenPos;
    }
}

void mdiMain::picToolBar_MouseUp(int, int, int, int)
{
    mPicToolBar->unsetCursor();
}

void mdiMain::cmdCloseTB_Click(int index)
{
    if (index == 0) {
        mPicToolBar->setVisible(false);
        return;
    }
    for (double i = PaletteHolderWidth(); i >= TwipX(2); i -= TwipX(8)) {
        setPaletteHolderWidth(Integer(i));
        App().Shell->DoEvents();
    }
    setPaletteHolderWidth(Integer(TwipX(2)));
}

void mdiMain::cmdCloseTB_MouseUp(int)
{
    mPicTBTop->setFocus();
    if (QMdiSubWindow* sub = mMdi->currentSubWindow())
        sub->setFocus();
}
