#pragma once
// The text of one call of the control, as the recording control and the
// virtual brick write it: the operation's name and its arguments in brackets,
// each showing its width: 7 for an Integer, L2 for a Long, &3 for an Integer
// passed by reference, "0" for a text. SetPower("0", L2, 7)
#include "model/Variant.h"

#include <QString>
#include <QStringList>

class CallText {
public:
    explicit CallText(const QString& operation) : mOperation(operation) {}

    CallText& integer(Integer v)
    {
        mArgs.append(QString::number(v));
        return *this;
    }
    CallText& lng(Long v)
    {
        mArgs.append(QLatin1Char('L') + QString::number(v));
        return *this;
    }
    CallText& ref(Integer v)
    {
        mArgs.append(QLatin1Char('&') + QString::number(v));
        return *this;
    }
    CallText& text(const QString& v)
    {
        mArgs.append(QLatin1Char('"') + v + QLatin1Char('"'));
        return *this;
    }

    const QString& operation() const { return mOperation; }
    QString str() const { return mOperation + QLatin1Char('(') + mArgs.join(QStringLiteral(", ")) + QLatin1Char(')'); }

    // A property put: "ComPortNo = L3".
    static QString put(const QString& property, Long v)
    {
        return property + QStringLiteral(" = L") + QString::number(v);
    }

private:
    QString mOperation;
    QStringList mArgs;
};
