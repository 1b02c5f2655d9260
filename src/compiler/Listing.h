#pragma once
// The lines of a compile's listing: each written in one go from its fields,
// at the compile's block depth.
#include "model/Variant.h"

#include <QString>
#include <QStringView>

class CompileContext;

namespace listing {
// One line of a compile's ListingText (compiler/CompileContext.h), gathered
// in a buffer of its own and added to the text all at once when it is done
// (also when a failure leaves it early).
class Line {
public:
    // Opens the line with the compile's BlockDepth tabs; nothing is listed
    // when the compile's state holds a Joystick & Keyboard project (isOpen()
    // is false).
    explicit Line(CompileContext& context);
    ~Line() { flush(); }
    Line(const Line&) = delete;
    Line& operator=(const Line&) = delete;

    bool isOpen() const { return mOut != nullptr; }
    void add(char16_t c)
    {
        if (mSize == kRoom)
            flush();
        mBuffer[mSize++] = c;
    }
    void add(QStringView s);
    // Plain ASCII; another letter is read as UTF-8.
    void add(const char* s);

private:
    void flush();

    static constexpr qsizetype kRoom = 160;
    QString* mOut = nullptr;
    qsizetype mSize = 0;
    char16_t mBuffer[kRoom];
};

void appendField(Line& out, const Variant& v);
inline void appendField(Line& out, const QString& s) { out.add(QStringView(s)); }
inline void appendField(Line& out, const char* s) { out.add(s); }
void appendField(Line& out, double d);
void appendField(Line& out, qint64 n);
inline void appendField(Line& out, int n) { appendField(out, qint64(n)); }
inline void appendField(Line& out, qint16 n) { appendField(out, qint64(n)); }
// A value the compiler loads on its own, marked so in the listing.
struct FromCompiler {
    const Variant& value;
};
void appendField(Line& out, const FromCompiler& f);
}  // namespace listing

// Appends one line to the compile's ListingText: BlockDepth tabs, the prefix,
// then each field after a blank (first and second field) or a comma (every
// later one), then CR LF. Writes nothing when the compile's state holds a
// Joystick & Keyboard project. The line is built in place from its fields as
// they stand: a text, a Variant, or a number, each written as the Variant
// holding it would be.
template <class Prefix, class... Fields>
void ListingLine(CompileContext& context, const Prefix& prefix, const Fields&... fields)
{
    listing::Line out(context);
    if (!out.isOpen())
        return;
    listing::appendField(out, prefix);
    int i = 0;
    ((out.add(i++ < 2 ? u' ' : u','), listing::appendField(out, fields)), ...);
    out.add(u"\r\n");
}

// The compile a listing goes to; failure 91 when there is none.
CompileContext& ListingOf(CompileContext* context);
