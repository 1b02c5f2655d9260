#include "model/CommandCatalogue.h"

#include "model/Collection.h"
#include "model/Module.h"

#include <unordered_map>

namespace {

std::vector<CommandInfo> build()
{
    struct Row {
        CommandKey id;
        const char* key;
        const char* caption;
        Long body;
        bool opens;
        bool joystick;
        Integer immediate;
    };
    static const Row rows[] = {
#define QM_COMMAND_ROW(key, caption, body, opens, joystick, immediate) \
    {CommandKey::key, #key, caption, body, opens, joystick, immediate},
        QM_COMMAND_TABLE(QM_COMMAND_ROW)
#undef QM_COMMAND_ROW
    };
    std::vector<CommandInfo> all;
    for (const Row& r : rows) {
        const CommandFamily family = FamilyOf(r.id);
        all.push_back(CommandInfo{r.id, QString::fromLatin1(r.key), family, QString::fromLatin1(r.caption),
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

const CommandInfo* FindCommand(CommandKey key)
{
    // The table's rows follow the enumeration, None left out.
    const auto index = std::size_t(key);
    if (index == 0 || index > CommandCatalogue().size())
        return nullptr;
    return &CommandCatalogue()[index - 1];
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

CommandKey CommandKeyOf(const QString& text)
{
    const CommandInfo* c = FindCommand(text);
    return c ? c->id : CommandKey::None;
}

const QString& CommandKeyText(CommandKey key)
{
    static const QString none;
    const CommandInfo* c = FindCommand(key);
    return c ? c->key : none;
}

Long BodyKindOf(CommandKey key)
{
    // Asked of every command a walk meets: read from the table as it stands,
    // not through the catalogue's entries.
    static constexpr Long kBodyKinds[] = {
        0,  // CommandKey::None
#define QM_COMMAND_BODY(key, caption, body, ...) body,
        QM_COMMAND_TABLE(QM_COMMAND_BODY)
#undef QM_COMMAND_BODY
    };
    return kBodyKinds[std::size_t(key)];
}

Long BodyKindOf(const QString& key)
{
    return BodyKindOf(CommandKeyOf(key));
}

QString CommandPictureKey(CommandKey key, Integer op)
{
    if (key == CommandKey::M_OFF && op == 0)
        return QStringLiteral("M_OFF_FLOAT");
    return CommandKeyText(key);
}

QString CommandPictureKey(const QString& key, Integer op)
{
    const CommandKey k = CommandKeyOf(key);
    return k == CommandKey::None ? key : CommandPictureKey(k, op);
}

bool SameCommandKey(const QString& a, const QString& b)
{
    return a.compare(b, Qt::CaseInsensitive) == 0;
}
