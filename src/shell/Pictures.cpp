#include "shell/Pictures.h"

#include <QFile>
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
    if (QFile::exists(path)) {
        pm = QIcon(path).pixmap(32, 32);
    } else {
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
    return QIcon(CommandPicture(key));
}
