#pragma once
// The title strip picModulTitle of an editor window: the band above row 1.
// A task or sub shows its title box txtTitle and the two check boxes
// chkTaskLoop and chkStartOnStartup; the body of an IF, WHILE or LOOP shows
// the block's picture, its header and caption, and an IF its Yes and No over
// the two columns. The window keeps the header and the caption; the strip
// shows them and hands its painting and its controls' events to the window
// (DeskEvents).
#include "desktop/DeskTopWidgets.h"

#include <QFont>

class QCheckBox;

class DeskTitleStrip : public PictureBox {
    Q_OBJECT
public:
    DeskTitleStrip(DeskEvents& events, QWidget* parent);

    TitleTextBox* txtTitle = nullptr;
    QCheckBox* chkTaskLoop = nullptr;
    QCheckBox* chkStartOnStartup = nullptr;
    PictureBox* PicYesNo[2] = {nullptr, nullptr};

    // The font of the strip and of its controls.
    static QFont TitleFont(bool bold);
    // The caption as the strip's second line: its line breaks become two spaces.
    static QString CaptionLine(const QString& caption);
    // A check box's state for a stored value (0 off, 2 grey, else on).
    static Qt::CheckState CheckStateOf(Integer value);

    // A task or sub: the title box, and the check boxes unless hidden.
    void ShowTitleBox(bool withChecks);
    // An IF body: Yes and No over the columns.
    void ShowYesNo();
    // The title box fills the strip's width (twips) right of the check boxes.
    void LayoutTitleBox(double scaleWidth, double cellHeight);
    // Yes and No stay centred over their columns as the desk scrolls across.
    void PlaceYesNo(double cellWidth, double scroll);
    // Paints the header in bold and the caption line under it.
    void PaintTitle(QPainter& p, const QString& header, const QString& captionLine) const;

protected:
    void PaintContents(QPainter& p) override;

private:
    DeskEvents& mEvents;
};
