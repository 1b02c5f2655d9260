#include "model/CommandCatalogue.h"

#include "model/Collection.h"
#include "model/Module.h"

#include <unordered_map>

namespace {

CommandFamily familyOf(char letter)
{
    switch (letter) {
    case 'M': return CommandFamily::Motor;
    case 'G': return CommandFamily::General;
    case 'L': return CommandFamily::Logic;
    default: return CommandFamily::Remark;
    }
}

std::vector<CommandInfo> build()
{
    struct Row {
        const char* key;
        const char* caption;
        Long body;
        bool opens;
        bool joystick;
        Integer immediate;
    };
    static const Row rows[] = {
        {"M_ON", "Start motor", 0, false, true, 1},
        {"M_OFF", "Stop motor", 0, false, true, 1},
        {"M_RWD", "Backward", 0, false, true, 1},
        {"M_FWD", "Forward", 0, false, true, 1},
        {"M_ALTDIR", "Alt motor direction", 0, false, true, 1},
        {"M_SETPWR", "Motor speed", 0, false, true, 1},
        {"G_WAIT", "Wait", 0, false, true, 1},
        {"G_SOUND", "Sound", 0, false, true, 1},
        {"L_ZERO", "Zero sensor", 0, false, false, 1},
        {"L_DATALOG", "Write to log", 0, false, false, 0},
        {"L_SENMODE", "Sensor mode", 0, false, false, 1},
        {"L_SENTYPE", "Sensor type", 0, false, false, 1},
        {"L_IF", "IF", ModuleKind::IfBody, true, true, 0},
        {"L_WHILE", "WHILE", ModuleKind::WhileBody, true, true, 0},
        {"L_LOOP", "LOOP", ModuleKind::LoopBody, true, true, 0},
        {"L_SUB", "Call sub", 0, true, false, 0},
        {"L_VAR", "Variables", 0, false, true, 1},
        {"L_SENDMESS", "Send message", 0, false, false, 0},
        {"L_STOP", "Stop task", 0, true, false, 1},
        {"L_START", "Start task", 0, true, false, 1},
        {"G_TXPOWER", "Transmit power", 0, false, true, 1},
        {"G_WATCH", "Set clock", 0, false, false, 1},
        {"G_PBOFF", "RCX power down", 0, false, true, 1},
        {"G_DISPLAY", "Select display", 0, false, true, 1},
        {"A_REM", "Comment", 0, false, true, 1},
    };
    std::vector<CommandInfo> all;
    for (const Row& r : rows) {
        const CommandFamily family = familyOf(r.key[0]);
        all.push_back(CommandInfo{QString::fromLatin1(r.key), family, QString::fromLatin1(r.caption),
                                  family == CommandFamily::Logic ? CommandFrame::Logic : CommandFrame::MotorGeneral,
                                  r.body, r.opens, r.joystick, r.immediate});
    }
    return all;
}

}  // namespace

const std::vector<CommandInfo>& CommandCatalogue()
{
    static const std::vector<CommandInfo> all = build();
    return all;
}

const CommandInfo* FindCommand(const QString& key)
{
    // A key of plain ASCII, every key a file or the palette holds, is looked
    // up by its lower-case form; any other goes through the table, compared
    // as SameCommandKey compares.
    static const auto byKey = [] {
        std::unordered_map<QString, const CommandInfo*, CaseBlindKey, CaseBlindKey> map;
        for (const CommandInfo& c : CommandCatalogue())
            map.emplace(c.key, &c);
        return map;
    }();
    if (CaseBlindKey::isAscii(key)) {
        const auto it = byKey.find(key);
        return it == byKey.end() ? nullptr : it->second;
    }
    for (const CommandInfo& c : CommandCatalogue())
        if (SameCommandKey(c.key, key))
            return &c;
    return nullptr;
}

Long BodyKindOf(const QString& key, Qt::CaseSensitivity cs)
{
    const CommandInfo* c = FindCommand(key);
    if (!c)
        return 0;
    // FindCommand has compared without regard to letter case already.
    return cs == Qt::CaseInsensitive || c->key.compare(key, cs) == 0 ? c->bodyKind : 0;
}

QString CommandPictureKey(const QString& key, Integer op)
{
    if (SameCommandKey(key, QStringLiteral("M_OFF")) && op == 0)
        return QStringLiteral("M_OFF_FLOAT");
    return key;
}

bool SameCommandKey(const QString& a, const QString& b)
{
    return a.compare(b, Qt::CaseInsensitive) == 0;
}
