#include "shell/PaletteBar.h"

#include "model/CommandCatalogue.h"
#include "shell/Pictures.h"

#include <QAction>
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
    // The button shows its action: its picture, tooltip, enabled and pressed
    // state are the action's.
    auto* a = new QAction(CommandIcon(key), toolTip, this);
    a->setObjectName(key);
    a->setData(key);
    a->setCheckable(true);
    a->setToolTip(toolTip);
    auto* b = new QToolButton(this);
    b->setDefaultAction(a);
    b->setObjectName(key);
    b->setProperty("Key", key);
    b->setIconSize(QSize(32, 32));
    b->setFixedSize(kButton, kButton);
    b->setAutoRaise(true);
    b->setMouseTracking(true);
    mButtons.append(b);
    Relayout();
    return b;
}

QAction* PaletteBar::Action(const QString& key) const
{
    QToolButton* b = Button(key);
    return b ? b->defaultAction() : nullptr;
}

QAction* PaletteBar::Action(CommandKey key) const
{
    return Action(CommandKeyText(key));
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
