#pragma once
// The Define Variables dialog without widgets: three tabs (0 variables,
// 1 constants, 2 ranges), each with its list of entries and its boxes, and the
// Add, Delete and Update buttons on the tab shown. Definitions go into
// ObjectList (variables also into VariableDefs); every message goes through
// ShowMessage. frmDefineVar mirrors the boxes, lists and focus.
//
//   DefineVarLogic d(App());
//   d.Load();
//   d.Box[0][0] = "speed"; d.Box[0][1] = "5";
//   d.Add(0);          // ObjectList gets "speed", Source 0, the lowest free number from 2
#include "model/AppState.h"
#include "model/Messages.h"

#include <QStringList>

class DefineVarLogic {
public:
    // The dialog defines into the lists of app and tells through its presenter.
    explicit DefineVarLogic(AppState& app) : mApp(app) {}

    // Boxes by tab: 0 name, value; 1 name, value; 2 name, from, to.
    QString Box[3][3];
    QStringList List[3];
    int Selected[3] = {-1, -1, -1};  // selected list entry, -1 for none
    // The box that gets the focus after an action: tab and box index.
    int FocusTab = 0;
    int FocusBox = 0;

    // Fills the lists from VariableDefs and ObjectList.
    void Load();
    // Shows the entry's definition in the tab's boxes (a list click).
    void Select(int tab, int row);
    bool Add(int tab);
    bool Delete(int tab);
    // Replaces the selected entry by the boxes' contents; when Add would refuse
    // them, nothing changes.
    bool Update(int tab);

    // Variables take brick variables from 2 up: 0 and 1 are the compiler's scratch.
    static constexpr Integer FirstUserVariable = 2;
    Integer FreeVariableNumber() const;
    // The name of a list entry: the text before the first " = ".
    static QString EntryName(const QString& entry);

private:
    // The checks of Add without adding; ignoreName is an entry being replaced.
    bool checks(int tab, const QString& ignoreName, bool forUpdate);
    void focus(int tab, int box)
    {
        FocusTab = tab;
        FocusBox = box;
    }
    int message(const QString& text, int style) { return ShowMessage(*mApp.Presenter, text, style); }

    AppState& mApp;
};
