#pragma once
// What the two parameter frames share: the state of their controls (image
// combo boxes, check boxes, labels, text boxes) kept without widgets, filling
// a combo from operand sources, selecting an item by its text, the copy of a
// command's parameters that Cancel puts back, the upper limit of a random
// operand, and the typed range. The frame widgets only show this state and
// pass the user's actions back; tests drive it directly.
#include "model/AppState.h"
#include "model/Command.h"
#include "model/NamedValue.h"

#include <QString>

#include <array>
#include <functional>
#include <initializer_list>
#include <memory>
#include <vector>

// The operand source titles of an editor window, by source code 0 to 220.
using SourceNameTable = std::array<QString, 221>;
// The table as an editor window fills it when it loads.
SourceNameTable StandardSourceNames();

// A control's place and size in twips inside its frame.
struct FrameGeometry {
    double Left = 0, Top = 0, Width = 0, Height = 0;
    void Move(double left, double top, double width, double height)
    {
        Left = left;
        Top = top;
        Width = width;
        Height = height;
    }
};

// One item of an image combo box: a heading has a key (also its image) and
// no indentation; a value has no key, the image "DOT" and indentation 1.
struct ComboItem {
    QString Key;
    QString Text;
    QString Image;
    int Indentation = 0;
    QString Tag;
    bool IsHeading() const { return !Key.isEmpty(); }
};

// An image combo box: a drop-down list with an editable text (FreeText), or a
// list that takes only its own items.
struct FrameCombo : FrameGeometry {
    explicit FrameCombo(bool freeText = true) : FreeText(freeText) {}

    std::vector<ComboItem> Items;
    int Selected = -1;  // index into Items, -1 for none
    QString Text;
    bool FreeText = true;
    bool Visible = true;
    bool Enabled = true;
    QString ToolTipText;
    // Set when a heading was chosen: the list is to drop open again.
    bool DropDownAgain = false;
    // A list only: what the user typed into it when no item begins with
    // that text (the list keeps its item; Ok refuses the name). A choice,
    // a text set by the code or emptying the list forgets it.
    QString Typed;

    void Clear();
    void AddHeading(const QString& key, const QString& text);
    void AddValue(const QString& text, const QString& tag = QString());
    // Chooses an item (as a click in the list does), or none with -1.
    void Choose(int index);
    // The user types into the edit text: no item stays selected.
    void Type(const QString& text);
    // Text set by the code: a free-text combo shows it with no item selected;
    // a list selects its first item of that text and fails with 383 when it
    // has none.
    void SetText(const QString& text);
    const ComboItem* SelectedItem() const;
    int IndexOfText(const QString& text) const;  // first item of that text, any case; -1
};

struct FrameCheck : FrameGeometry {
    QString Caption;
    int Value = 0;  // 0 cleared, 1 checked
    bool Visible = true;
    bool Enabled = true;
    QString ToolTipText;
};

struct FrameLabel : FrameGeometry {
    QString Caption;
    bool Visible = true;
    QString Tag;
    QString ToolTipText;
};

struct FrameText : FrameGeometry {
    QString Text;
    bool Visible = true;
};

struct FrameButton : FrameGeometry {
    QString Caption;
    bool Visible = true;
};

// Fills the combo from the source codes in order: a heading per code (key and
// image "K" and the code, text its title) followed by the project's named
// values (objects) of that source; a heading that gets none is taken out
// again. A code above 220 fails with 9.
void FillSourceCombo(FrameCombo& combo, std::initializer_list<int> sources, const SourceNameTable& names,
                     const Collection<ObjectPtr>& objects);
void FillSourceCombo(FrameCombo& combo, const std::vector<int>& sources, const SourceNameTable& names,
                     const Collection<ObjectPtr>& objects);
// Selects the first value item (never a heading) of that text, letter case
// aside; else puts the text into the edit text (a list fails with 383).
// True when an item was selected.
bool SelectComboItem(FrameCombo& combo, const QString& text);

// The parameters of the edited command that Cancel restores.
struct SavedCommand {
    Variant Param1Source, Param1Value, Param2Source, Param2Value;
    QString MotorList;
    Integer Op = 0;
    Variant Speed, Time;

    static SavedCommand Of(const clsCommand& c);
    void RestoreInto(clsCommand& c) const;
};

// What a command frame knows of the command it edits: the command, its
// module, the parameters Cancel puts back, and who hears of a written command.
// The frame works on the lists of the AppState it is handed and asks through
// its presenter.
struct FrameEditing {
    explicit FrameEditing(AppState& app) : mApp(app) {}

    SavedCommand Saved;
    std::shared_ptr<clsCommand> Command;
    QString ParentTaskName;
    // Called after a successful Ok has written the command (picture, tool
    // tip, the block window's title, the map).
    std::function<void(clsCommand&)> Written;

    // The end of a successful Ok: the listeners hear of it, the module is dirty.
    void FinishWrite(clsCommand& co);
    // Cancel: the command gets back the parameters it had when the frame opened.
    void RestoreCommand();

protected:
    AppState& mApp;
};

// Asks (through the presenter) for the upper limit of a random operand with the prompt, accepting
// 1 to upper. An empty answer keeps a limit already known; an answer out of
// range (or empty with none known) shows "Invalid value" and empties the
// combo's text. The accepted answer is rounded to a whole number.
void AskRandomLimit(IMessagePresenter& presenter, const QString& prompt, int upper, Integer& limit, FrameCombo& combo);

// A typed range: the smaller and the larger bound joined by "_", or "false".
QString ParseRange(const QString& text);

// Operand sources of the comparisons (IF, WHILE) in their display order.
const std::vector<int>& CompareSources();

// The named value of that name in objects, or nullptr (letter case aside).
ObjectPtr FindObject(const Collection<ObjectPtr>& objects, const QString& name);

// Whether an operand's source is that code (an unset or text source is none).
bool IsSource(const Variant& source, double code);

// The first of the shown lists that holds a typed name none of its items
// has, or nullptr: Ok refuses it with "No such object".
const FrameCombo* ListWithTypedName(std::initializer_list<const FrameCombo*> lists);

// A selected text as a frame's tool tip test wants it: the text when it does
// not fit the combo's width with three blanks more, else "".
QString ComboToolTip(const FrameCombo& combo);

// The common part of a choice in an image combo: a chosen heading is never a
// value, its text is emptied and the list drops open again; otherwise the
// tool tip follows the text. False when a heading was chosen.
bool ComboChoice(FrameCombo& combo);

// The width in twips of a label sized to its caption.
double CaptionWidth(const QString& text, bool bold = false);
