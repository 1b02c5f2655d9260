#include "link/QSettingsStore.h"

#include "model/Disk.h"

#include <QCoreApplication>
#include <QSettings>
#include <QStandardPaths>

namespace {

// The stored spelling of a name, found without regard to letter case (the
// store's names are compared that way); the name itself when none is stored.
QString storedName(const QStringList& names, const QString& name)
{
    for (const QString& n : names)
        if (n.compare(name, Qt::CaseInsensitive) == 0)
            return n;
    return name;
}

QString memoryKey(const QString& section, const QString& key)
{
    return section.toLower() + QLatin1Char('\n') + key.toLower();
}

// Why QSettings may not be handed the file: it or its lock file is hostile.
// A lock file that no copy holds open (empty, garbage, left by a copy that
// ended while it saved) goes first: QSettings would wait for it to age.
QString refusalOf(const QString& path)
{
    QString why = disk::ForeignFileRefusal(path, FileKind::Settings);
    if (!why.isEmpty())
        return why;
    const QString lock = path + QStringLiteral(".lock");
    if (disk::EntryAt(lock) == disk::Entry::File && !disk::HeldElsewhere(lock)) {
        const disk::Stamp seen = disk::LinkStampOf(lock);
        disk::RemoveFile(lock, &seen);
    }
    return disk::ForeignFileRefusal(lock, FileKind::Lock);
}

}  // namespace

QSettingsStore::QSettingsStore(const QString& filePath, IMessagePresenter* teller)
    : mPath(filePath), mTeller(teller)
{
    const QString why = refusalOf(mPath);
    if (why.isEmpty())
        mSettings = std::make_unique<QSettings>(mPath, QSettings::IniFormat);
    else
        keepInMemory(why);
}

QSettingsStore::~QSettingsStore() = default;

QString QSettingsStore::defaultPath()
{
    return QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation)
           + QStringLiteral("/Quillomat/Quillomat.conf");
}

void QSettingsStore::keepInMemory(const QString& why)
{
    if (mSettings) {
        // What was read or saved so far stays; nothing goes to the file again.
        for (const QString& group : mSettings->childGroups()) {
            mSettings->beginGroup(group);
            for (const QString& key : mSettings->childKeys())
                mMemory.insert(memoryKey(group, key), mSettings->value(key).toString());
            mSettings->endGroup();
        }
        // Nothing is pending (each save is synced at once): letting it go
        // touches no file.
        mSettings.reset();
    }
    mRefusal = QStringLiteral("The settings file %1 can't be used: %2. The program goes on with %3, and changes "
                              "to them are not saved.")
                   .arg(mPath, why, mMemory.isEmpty() ? QStringLiteral("the default settings")
                                                      : QStringLiteral("the settings it has read"));
    if (mTeller)
        mTeller->MsgBox(mRefusal, MsgStyle::Exclamation);
}

bool QSettingsStore::fileUsable()
{
    if (!mSettings)
        return false;
    const QString why = refusalOf(mPath);
    if (why.isEmpty())
        return true;
    keepInMemory(why);
    return false;
}

QString QSettingsStore::GetSetting(const QString& section, const QString& key, const QString& defaultValue)
{
    if (!mSettings)
        return mMemory.value(memoryKey(section, key), defaultValue);
    mSettings->beginGroup(storedName(mSettings->childGroups(), section));
    const QVariant v = mSettings->value(storedName(mSettings->childKeys(), key));
    mSettings->endGroup();
    if (!v.isValid())
        return defaultValue;
    // A value edited by hand with commas in it reads back as a list.
    if (v.typeId() == QMetaType::QStringList)
        return v.toStringList().join(QLatin1Char(','));
    return v.toString();
}

void QSettingsStore::SaveSetting(const QString& section, const QString& key, const QString& value)
{
    if (!fileUsable()) {
        mMemory.insert(memoryKey(section, key), value);
        return;
    }
    mSettings->beginGroup(storedName(mSettings->childGroups(), section));
    mSettings->setValue(storedName(mSettings->childKeys(), key), value);
    mSettings->endGroup();
    mSettings->sync();
    // The save is done: the later sync QSettings asks the event loop for
    // would open the file again, unchecked.
    QCoreApplication::removePostedEvents(mSettings.get(), QEvent::UpdateRequest);
}
