#include "desktop/DeskTitleStrip.h"

#include "desktop/frmDeskTop.h"
#include "model/ModuleManagement.h"
#include "model/Twips.h"

#include <QApplication>
#include <QCheckBox>
#include <QFontMetricsF>
#include <QPainter>
#include <QSignalBlocker>

namespace {

QPixmap YesNoPicture(const QString& text, int width, int height)
{
    QPixmap pm(width, height);
    pm.fill(QApplication::palette().color(QPalette::Button));
    QPainter p(&pm);
    p.setPen(QApplication::palette().color(QPalette::Mid));
    p.drawRect(0, 0, width - 1, height - 1);
    p.setPen(QApplication::palette().color(QPalette::ButtonText));
    p.setFont(DeskTitleStrip::TitleFont(true));
    p.drawText(QRect(0, 0, width, height), Qt::AlignCenter, text);
    return pm;
}

}  // namespace

DeskTitleStrip::DeskTitleStrip(DeskEvents& events, QWidget* parent) : PictureBox(parent), mEvents(events)
{
    setFont(TitleFont(false));
    const double CommandHeight = GridDocument::CellHeight;

    chkTaskLoop = new QCheckBox(QStringLiteral("Task in loop"), this);
    chkStartOnStartup = new QCheckBox(QStringLiteral("Start Task when program start"), this);
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
    connect(chkTaskLoop, &QCheckBox::clicked, this, [this] { mEvents.chkTaskLoop_Click(); });
    connect(chkStartOnStartup, &QCheckBox::clicked, this, [this] { mEvents.chkStartOnStartup_Click(); });

    txtTitle = new TitleTextBox(events, this);
    txtTitle->hide();
    connect(txtTitle, &QPlainTextEdit::textChanged, this, [this] { mEvents.txtTitle_Change(); });

    const double yesNoWidth = 600, yesNoHeight = 240;
    const char* yesNo[2] = {"Yes", "No"};
    for (int i = 0; i < 2; ++i) {
        PicYesNo[i] = new PictureBox(this);
        PicYesNo[i]->Move(0, CommandHeight - yesNoHeight - TwipY(2), yesNoWidth, yesNoHeight);
        PicYesNo[i]->setPicture(YesNoPicture(QString::fromLatin1(yesNo[i]), PixX(yesNoWidth), PixY(yesNoHeight)),
                                QString());
        PicYesNo[i]->hide();
        PicYesNo[i]->setObjectName(QStringLiteral("PicYesNo(%1)").arg(i));
    }

    setObjectName(QStringLiteral("picModulTitle"));
    txtTitle->setObjectName(QStringLiteral("txtTitle"));
    chkTaskLoop->setObjectName(QStringLiteral("chkTaskLoop"));
    chkStartOnStartup->setObjectName(QStringLiteral("chkStartOnStartup"));
}

QFont DeskTitleStrip::TitleFont(bool bold)
{
    QFont f = QApplication::font();
    f.setPixelSize(11);
    f.setBold(bold);
    return f;
}

QString DeskTitleStrip::CaptionLine(const QString& caption)
{
    QString copy = caption;
    copy.replace(QLatin1String("\r\n"), QLatin1String("  "));
    return copy;
}

Qt::CheckState DeskTitleStrip::CheckStateOf(Integer value)
{
    return value == 0 ? Qt::Unchecked : value == 2 ? Qt::PartiallyChecked : Qt::Checked;
}

void DeskTitleStrip::ShowTitleBox(bool withChecks)
{
    txtTitle->show();
    chkTaskLoop->setVisible(withChecks);
    chkStartOnStartup->setVisible(withChecks);
}

void DeskTitleStrip::ShowYesNo()
{
    PicYesNo[0]->show();
    PicYesNo[1]->show();
}

void DeskTitleStrip::LayoutTitleBox(double scaleWidth, double cellHeight)
{
    const double left = TwipX(12) + TwipX(chkStartOnStartup->width());
    const double width = std::max(0.0, scaleWidth - left - TwipX(2));
    txtTitle->setGeometry(PixRect(left, 0, width, cellHeight - TwipY(3)));
}

void DeskTitleStrip::PlaceYesNo(double cellWidth, double scroll)
{
    PicYesNo[0]->setLeft(cellWidth / 2 + GridDocument::LeftMargin - PicYesNo[0]->Width() / 2 - scroll);
    PicYesNo[1]->setLeft(PicYesNo[0]->Left() + cellWidth);
}

void DeskTitleStrip::PaintContents(QPainter& p)
{
    mEvents.picModulTitle_Paint(p);
}

void DeskTitleStrip::PaintTitle(QPainter& p, const QString& header, const QString& captionLine) const
{
    p.setPen(palette().color(QPalette::WindowText));
    const QFont bold = TitleFont(true), normal = TitleFont(false);
    const QFontMetricsF fb(bold), fn(normal);
    p.setFont(bold);
    p.drawText(QPointF(PixX(TwipX(32)), fb.ascent()), header);
    p.setFont(normal);
    p.drawText(QPointF(PixX(TwipX(40)), fb.height() + fn.ascent()), captionLine);
}

// ---- the window's side of the strip: its header, caption and title
// box, and the handlers of its controls

void frmDeskTop::PrintCaption(const QString& lHeader)
{
    if (!lHeader.isEmpty())
        mHeaderText = lHeader;
    mParentTitle = mHeaderText + QLatin1Char(' ') + DeskTitleStrip::CaptionLine(mParentCaption);
    picModulTitle->update();
}

void frmDeskTop::setParentCaption(const QString& caption)
{
    mParentCaption = caption;
    // The title that the window list reads follows at once, not only when
    // the strip is painted next: a minimised or covered window is not.
    PrintCaption(QString());
}

void frmDeskTop::picModulTitle_Paint(QPainter& p)
{
    const QString copy = DeskTitleStrip::CaptionLine(mParentCaption);
    mParentTitle = mHeaderText + QLatin1Char(' ') + copy;
    picModulTitle->PaintTitle(p, mHeaderText, copy);
}

void frmDeskTop::LayoutTitleBox()
{
    picModulTitle->LayoutTitleBox(ScaleWidth(), mView.CellHeight());
}

void frmDeskTop::setTaskLoop(Integer value)
{
    picModulTitle->chkTaskLoop->setCheckState(DeskTitleStrip::CheckStateOf(value));
}

void frmDeskTop::setTaskLoopCaption(const QString& text)
{
    picModulTitle->chkTaskLoop->setText(text);
}

void frmDeskTop::setStartOnStartup(Integer value)
{
    picModulTitle->chkStartOnStartup->setCheckState(DeskTitleStrip::CheckStateOf(value));
}

void frmDeskTop::setStartOnStartupVisible(bool visible)
{
    picModulTitle->chkStartOnStartup->setVisible(visible);
}

void frmDeskTop::setTitleText(const QString& text)
{
    // The window shows the module's title: that changes nothing of the module.
    const QSignalBlocker showing(picModulTitle->txtTitle);
    picModulTitle->txtTitle->setPlainText(text);
}

void frmDeskTop::txtTitle_Change()
{
    if (auto* module = dynamic_cast<clsModule*>(mMyCommandBlock)) {
        module->mTitle = picModulTitle->txtTitle->toPlainText();
        MarkModuleDirty(mParentTaskName, ModulePart::Heading);
    }
}

void frmDeskTop::txtTitle_MouseDown()
{
    mTitleClicked = true;
}

void frmDeskTop::txtTitle_GotFocus(bool byMouse)
{
    if (byMouse)
        mTitleClicked = true;
    if (mTitleClicked)
        mTitleEditing = true;
    else
        picDeskTop->setFocus(Qt::OtherFocusReason);
}

void frmDeskTop::txtTitle_LostFocus()
{
    mTitleClicked = false;
    mTitleEditing = false;
}

void frmDeskTop::chkTaskLoop_Click()
{
    if (auto* module = dynamic_cast<clsModule*>(mMyCommandBlock)) {
        module->mLoop = picModulTitle->chkTaskLoop->isChecked() ? 1 : 0;
        MarkModuleDirty(mParentTaskName, ModulePart::Heading);
    }
}

void frmDeskTop::chkStartOnStartup_Click()
{
    if (auto* task = dynamic_cast<clsTask*>(mMyCommandBlock)) {
        task->StartOnStartup = picModulTitle->chkStartOnStartup->isChecked() ? 1 : 0;
        MarkModuleDirty(mParentTaskName, ModulePart::Heading);
    }
}
