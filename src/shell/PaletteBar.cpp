#include "shell/PaletteBar.h"

#include "shell/Pictures.h"

#include <QToolButton>

namespace {
constexpr int kButton = 38;  // 32 x 32 picture and its frame
}

PaletteBar::PaletteBar(QWidget* parent) : QWidget(parent)
{
    setObjectName(QStringLiteral("TB"));
    setMouseTracking(true);
}

QToolButton* PaletteBar::AddButton(const QString& key, const QString& toolTip)
{
    auto* b = new QToolButton(this);
    b->setObjectName(key);
    b->setProperty("Key", key);
    b->setIcon(CommandIcon(key));
    b->setIconSize(QSize(32, 32));
    b->setFixedSize(kButton, kButton);
    b->setCheckable(true);
    b->setAutoRaise(true);
    b->setToolTip(toolTip);
    b->setMouseTracking(true);
    mButtons.append(b);
    Relayout();
    return b;
}

QToolButton* PaletteBar::Button(const QString& key) const
{
    for (auto* b : mButtons)
        if (b->objectName().compare(key, Qt::CaseInsensitive) == 0)
            return b;
    return nullptr;
}

int PaletteBar::WidthForColumns(int columns)
{
    return columns * kButton;
}

int PaletteBar::HeightForWidth(int width) const
{
    const int cols = qMax(1, width / kButton);
    const int rows = (int(mButtons.size()) + cols - 1) / cols;
    return rows * kButton;
}

void PaletteBar::resizeEvent(QResizeEvent*)
{
    Relayout();
}

void PaletteBar::Relayout()
{
    const int cols = qMax(1, width() / kButton);
    for (int i = 0; i < mButtons.size(); ++i)
        mButtons[i]->move((i % cols) * kButton, (i / cols) * kButton);
}
