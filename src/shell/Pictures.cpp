#include "shell/Pictures.h"

#include "model/CommandCatalogue.h"

#include <QFileInfo>
#include <QHash>
#include <QPainter>

QPixmap CommandPicture(const QString& key)
{
    static QHash<QString, QPixmap> cache;
    const QString k = key.toUpper();
    auto it = cache.constFind(k);
    if (it != cache.constEnd())
        return it.value();
    QPixmap pm(32, 32);
    const QString path = QStringLiteral(":/pictures/%1.svg").arg(k);
    if (QFileInfo::exists(path)) {
        pm = QIcon(path).pixmap(32, 32);
    } else {
        // A key without a picture shows its name, so a missing one is seen at once.
        pm.fill(Qt::white);
        QPainter p(&pm);
        p.drawRect(0, 0, 31, 31);
        QFont f = p.font();
        f.setPixelSize(8);
        p.setFont(f);
        p.drawText(pm.rect(), Qt::AlignCenter | Qt::TextWrapAnywhere, k);
    }
    cache.insert(k, pm);
    return pm;
}

QIcon CommandIcon(const QString& key)
{
    // One icon a key, shared by every copy: making one reads and checks its
    // whole picture, and the open dialog alone asks for one a listed project.
    // Kept to the end of the process, past the application object.
    static auto* const cache = new QHash<QString, QIcon>;
    const QString k = key.toUpper();
    auto it = cache->constFind(k);
    if (it != cache->constEnd())
        return it.value();
    const QString path = QStringLiteral(":/pictures/%1.svg").arg(k);
    const QIcon icon = QFileInfo::exists(path) ? QIcon(path) : QIcon(CommandPicture(key));
    cache->insert(k, icon);
    return icon;
}

QIcon CommandIcon(CommandKey key)
{
    return CommandIcon(CommandKeyText(key));
}
