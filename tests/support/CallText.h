#pragma once
// The text of one call of the control, as the recording control writes it:
// the operation's name and its arguments in brackets, each showing its width:
// 7 for an Integer, L2 for a Long, &3 for an Integer passed by reference, "0"
// for a text. SetPower("0", L2, 7)
//
// The line is put together in a buffer on the stack, the numbers written into
// it digit by digit, and becomes its text in one allocation of the exact size:
//   CallText(QStringLiteral("Wait")).lng(2).integer(100).str()   // Wait(L2, 100)
#include "model/Variant.h"

#include <QString>
#include <QVarLengthArray>

#include <algorithm>
#include <iterator>

class CallText {
public:
    explicit CallText(const QString& operation) : mOperation(operation)
    {
        append(operation);
        mLine.append(u'(');
    }

    CallText& integer(Integer v) { return number(0, v); }
    CallText& lng(Long v) { return number(u'L', v); }
    CallText& ref(Integer v) { return number(u'&', v); }
    CallText& text(const QString& v)
    {
        separate();
        mLine.append(u'"');
        append(v);
        mLine.append(u'"');
        return *this;
    }

    const QString& operation() const { return mOperation; }
    // The finished line.
    QString str() const
    {
        QString line(mLine.size() + 1, Qt::Uninitialized);
        char16_t* out = reinterpret_cast<char16_t*>(line.data());
        std::copy(mLine.cbegin(), mLine.cend(), out);
        out[mLine.size()] = u')';
        return line;
    }

    // A property put: "ComPortNo = L3".
    static QString put(const QString& property, Long v)
    {
        CallText line(property, Put);
        line.mLine.append(u" = ", 3);
        line.appendNumber(u'L', v);
        return QString(reinterpret_cast<const QChar*>(line.mLine.constData()), line.mLine.size());
    }

private:
    enum PutTag { Put };
    CallText(const QString& property, PutTag) : mOperation(property) { append(property); }

    void append(const QString& s) { mLine.append(reinterpret_cast<const char16_t*>(s.constData()), s.size()); }
    void separate()
    {
        if (mArguments++ > 0)
            mLine.append(u", ", 2);
    }
    CallText& number(char16_t prefix, qint32 v)
    {
        separate();
        appendNumber(prefix, v);
        return *this;
    }
    // The prefix (if any) and the decimal digits of v, as QString::number writes them.
    void appendNumber(char16_t prefix, qint32 v)
    {
        char16_t digits[12];
        char16_t* const end = digits + std::size(digits);
        char16_t* at = end;
        quint32 magnitude = v < 0 ? 0u - quint32(v) : quint32(v);
        do {
            *--at = char16_t(u'0' + magnitude % 10);
            magnitude /= 10;
        } while (magnitude);
        if (v < 0)
            *--at = u'-';
        if (prefix)
            *--at = prefix;
        mLine.append(at, end - at);
    }

    QString mOperation;
    // The line so far, without its closing bracket; longer lines (a long text) spill onto the heap.
    QVarLengthArray<char16_t, 120> mLine;
    int mArguments = 0;
};
