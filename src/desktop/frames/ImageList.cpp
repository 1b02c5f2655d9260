#include "desktop/frames/ImageList.h"

#include "model/VbError.h"

#include <QFile>
#include <QHash>

namespace {

const QStringList& AllKeys()
{
    static const QStringList keys = {
        "K0",   "K1",   "K2",   "K3",   "K4",   "K9",   "K10",  "K11",  "K12",  "K13",
        "K14",  "K15",  "K100", "K110", "K130", "K140", "K150", "K160", "K170", "K180",
        "K190", "K200", "K210", "K220", "DOT",  "TASK", "SUB",  "MATH",
    };
    return keys;
}

constexpr int ErrElementNotFound = 35601;

}  // namespace

QStringList ImageList::Keys() const
{
    return AllKeys();
}

bool ImageList::Exists(const QString& key) const
{
    return AllKeys().contains(key, Qt::CaseInsensitive);
}

QPixmap ImageList::Picture(const QString& key) const
{
    return Icon(key).pixmap(32, 32);
}

QIcon ImageList::Icon(const QString& key) const
{
    if (!Exists(key))
        raiseError(ErrElementNotFound, QStringLiteral("Element not found"));
    static QHash<QString, QIcon> cache;
    const QString k = key.toUpper();
    auto it = cache.constFind(k);
    if (it == cache.constEnd())
        it = cache.insert(k, QIcon(QStringLiteral(":/framepictures/%1.svg").arg(k)));
    return it.value();
}

const ImageList& ILDT()
{
    static const ImageList list;
    return list;
}
