#pragma once
// Writes the control's events as text lines, in the order they come.
#include "model/Phantom.h"
#include "support/PrintTexts.h"

#include <QStringList>


struct EventLog : IPhantomEvents {
    QStringList events;
    void PB_CommError(const QString& m) override { events.append("CommError " + m); }
    void PB_DownloadStart(Long t, Long s, Long n) override
    {
        events.append(QString("Start %1 %2 %3").arg(t).arg(s).arg(n));
    }
    void PB_DownloadProgress(Long v) override { events.append(QString("Progress %1").arg(v)); }
    void PB_DownloadDone(Long e, Long n) override { events.append(QString("Done %1 %2").arg(e).arg(n)); }
};
