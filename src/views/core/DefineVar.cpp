#include "views/core/DefineVar.h"

#include "compiler/CommandCheck.h"
#include "model/Messages.h"
#include "model/Records.h"

namespace {

const QString kEq = QStringLiteral(" = ");

Long numberOf(const QString& text)
{
    return Long(vb::Val(vb::Trim(text)));
}

bool countsAsNumber(const AppState& app, const QString& name)
{
    return ValidateParam(app, Variant(name), CommandKey::None);
}

bool validValue(const AppState& app, const QString& text)
{
    return ValidateParam(app, Variant(text), CommandKey::L_VAR);
}

}  // namespace

QString DefineVarLogic::EntryName(const QString& entry)
{
    const qsizetype at = entry.indexOf(kEq);
    return at < 0 ? entry : entry.left(at);
}

Integer DefineVarLogic::FreeVariableNumber() const
{
    const auto& list = mApp.ObjectList();
    for (Integer n = FirstUserVariable;; ++n) {
        bool used = false;
        for (const auto& e : list)
            if (e.item && e.item->Source == OperandSource::Variable && e.item->Number == n) {
                used = true;
                break;
            }
        if (!used)
            return n;
    }
}

void DefineVarLogic::Load()
{
    AppState& a = mApp;
    for (auto& l : List)
        l.clear();
    for (const auto& e : a.ObjectList()) {
        if (!e.item)
            continue;
        const clsObject& o = *e.item;
        if (o.Source == OperandSource::UserConstant)
            List[1].append(o.Name + kEq + QString::number(o.Value));
        else if (o.Source == OperandSource::NamedRange)
            List[2].append(o.Name + kEq + QString::number(o.Value) + QLatin1Char('_') + QString::number(o.AuxValue));
    }
    for (const auto& e : a.VariableDefs())
        if (e.item)
            List[0].append(e.item->Name + kEq + QString::number(e.item->Value));
    focus(0, 0);
}

void DefineVarLogic::Select(int tab, int row)
{
    Selected[tab] = row;
    if (row < 0 || row >= List[tab].size())
        return;
    const QString name = EntryName(List[tab][row]);
    AppState& a = mApp;
    auto& from = tab == 0 ? a.VariableDefs() : a.ObjectList();
    if (!from.Exists(name))
        return;
    const clsObject& o = *from.Item(name);
    Box[tab][0] = o.Name;
    Box[tab][1] = QString::number(o.Value);
    if (tab == 2)
        Box[tab][2] = QString::number(o.AuxValue);
}

bool DefineVarLogic::checks(int tab, const QString& ignoreName, bool forUpdate)
{
    AppState& a = mApp;
    const QString& name = Box[tab][0];
    if (tab == 0) {
        // A variable replaced by Update frees its own place.
        const int count = int(List[0].size()) - (forUpdate ? 1 : 0);
        if (a.ProjectType() == ProjectType::Rcx && count >= 30) {
            message(QStringLiteral("Can't add more Variables. Please delete one first"), MsgStyle::Information);
            return false;
        }
    }
    if (name.isEmpty()) {
        message(tab == 0 ? QStringLiteral("Missing name") : QStringLiteral("Missing description"),
                MsgStyle::Exclamation);
        focus(tab, 0);
        return false;
    }
    if (countsAsNumber(mApp, name)) {
        message(QStringLiteral("Name must contain letters"), MsgStyle::Exclamation);
        focus(tab, 0);
        return false;
    }
    // Every name is kept between quotes in the project file; a variable's
    // also names its items in the datalog list, which is cut at commas.
    if (const QString refusal = StoredTextRefusal(name, tab == 0 ? TextField::Split : TextField::Quoted);
        !refusal.isEmpty()) {
        message(refusal, MsgStyle::Exclamation);
        focus(tab, 0);
        return false;
    }
    if (tab >= 1 && !validValue(mApp, Box[tab][1])) {
        message(QStringLiteral("Invalid value"), MsgStyle::Exclamation);
        focus(tab, 1);
        return false;
    }
    if (tab == 2) {
        if (!validValue(mApp, Box[2][2])) {
            message(QStringLiteral("Invalid value"), MsgStyle::Exclamation);
            focus(2, 2);
            return false;
        }
        if (numberOf(Box[2][2]) <= numberOf(Box[2][1])) {
            message(QStringLiteral("Invalid range"), MsgStyle::Exclamation);
            focus(2, 1);
            return false;
        }
    }
    if (forUpdate && a.ObjectList().Exists(name) && name.compare(ignoreName, Qt::CaseInsensitive) != 0) {
        message(QStringLiteral("object by that name already exist"), MsgStyle::Exclamation);
        return false;
    }
    return true;
}

bool DefineVarLogic::Add(int tab)
{
    AppState& a = mApp;
    if (!checks(tab, QString(), false))
        return false;
    try {
        const QString name = Box[tab][0];
        if (tab == 0) {
            if (!validValue(mApp, Box[0][1]))
                Box[0][1] = QStringLiteral("0");
            const Long value = numberOf(Box[0][1]);
            const Integer number = FreeVariableNumber();
            a.SetSetupDirty(True);
            auto obj = std::make_shared<clsObject>();
            obj->Name = name;
            obj->Source = OperandSource::Variable;
            obj->Number = number;
            obj->Value = value;
            a.AddObject(obj, name);
            auto def = std::make_shared<clsObject>(*obj);
            a.AddVariableDef(def, name);
            List[0].append(name + kEq + QString::number(value));
        } else if (tab == 1) {
            a.SetSetupDirty(True);
            auto obj = std::make_shared<clsObject>();
            obj->Name = name;
            obj->Source = OperandSource::UserConstant;
            obj->Value = numberOf(Box[1][1]);
            a.AddObject(obj, name);
            List[1].append(name + kEq + QString::number(obj->Value));
        } else {
            a.SetSetupDirty(True);
            auto obj = std::make_shared<clsObject>();
            obj->Name = name;
            obj->Source = OperandSource::NamedRange;
            obj->Value = numberOf(Box[2][1]);
            obj->AuxValue = numberOf(Box[2][2]);
            a.AddObject(obj, name);
            List[2].append(name + kEq + QString::number(obj->Value) + QLatin1Char('_') +
                           QString::number(obj->AuxValue));
        }
    } catch (const VbError& e) {
        if (e.number() == Err::DuplicateKey) {
            message(QStringLiteral("object by that name already exist"), MsgStyle::Exclamation);
        } else {
            message(QStringLiteral("Error: ") + e.description(), MsgStyle::Critical);
        }
        return false;
    }
    for (QString& b : Box[tab])
        b.clear();
    focus(tab, 0);
    return true;
}

bool DefineVarLogic::Delete(int tab)
{
    const int row = Selected[tab];
    if (row < 0 || row >= List[tab].size()) {
        message(QStringLiteral("No item selected"), MsgStyle::Information);
        return false;
    }
    AppState& a = mApp;
    a.SetSetupDirty(True);
    const QString name = EntryName(List[tab][row]);
    try {
        if (a.ObjectList().Exists(name))
            a.RemoveObject(name);
        if (tab == 0 && a.VariableDefs().Exists(name))
            a.RemoveVariableDef(name);
    } catch (const VbError& e) {
        message(QStringLiteral("Error: ") + e.description(), MsgStyle::Critical);
        return false;
    }
    List[tab].removeAt(row);
    Selected[tab] = -1;
    return true;
}

bool DefineVarLogic::Update(int tab)
{
    const int row = Selected[tab];
    if (row >= 0 && row < List[tab].size()) {
        // Checked first, so that a refused entry leaves the old definition.
        if (!checks(tab, EntryName(List[tab][row]), true))
            return false;
    }
    Delete(tab);
    return Add(tab);
}
