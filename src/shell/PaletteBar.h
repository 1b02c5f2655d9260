#pragma once
// The command palette TB: one button and its action per command key plus the
// pointer tool CURSOR, laid out in rows that fill the palette's width.
#include "model/CommandKey.h"

#include <QList>
#include <QWidget>

class QAction;
class QToolButton;

class PaletteBar : public QWidget {
    Q_OBJECT
public:
    explicit PaletteBar(QWidget* parent = nullptr);

    // Adds the button of a key and its action (objectName the key).
    QToolButton* AddButton(const QString& key, const QString& toolTip);
    QToolButton* Button(const QString& key) const;
    QAction* Action(const QString& key) const;
    // The action of a command's button, named as the catalogue spells its key.
    QAction* Action(CommandKey key) const;
    const QList<QToolButton*>& Buttons() const { return mButtons; }

    // The width that holds this many columns of buttons, in pixels.
    static int WidthForColumns(int columns);
    // The height the buttons need at a width, in pixels.
    int HeightForWidth(int width) const;

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    void Relayout();
    QList<QToolButton*> mButtons;
};
