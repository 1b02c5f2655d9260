#include "compiler/Listing.h"

#include "compiler/CompileContext.h"
#include "model/AppState.h"
#include "model/VbError.h"

#include <algorithm>
#include <charconv>

namespace {

constexpr QStringView kFromCompiler(u" 'from Compiler");

}  // namespace

CompileContext& ListingOf(CompileContext* context)
{
    if (!context)
        raiseError(Err::ObjectNotSet);
    return *context;
}

listing::Line::Line(CompileContext& context)
{
    if (context.app().ProjectType() == ProjectType::JoystickKeyboard)
        return;
    mOut = &context.ListingText;
    for (int i = 0; i < context.BlockDepth; ++i)
        add(u'\t');
}

void listing::Line::add(QStringView s)
{
    if (s.size() > kRoom - mSize) {
        flush();
        if (s.size() > kRoom) {
            mOut->append(s);
            return;
        }
    }
    std::copy(s.utf16(), s.utf16() + s.size(), mBuffer + mSize);
    mSize += s.size();
}

void listing::Line::add(const char* s)
{
    const char* p = s;
    while (*p > 0)  // plain ASCII, as the words of the listing are
        ++p;
    if (*p != 0) {
        add(QStringView(QString::fromUtf8(s)));
        return;
    }
    const qsizetype n = p - s;
    if (n > kRoom - mSize) {
        flush();
        if (n > kRoom) {
            mOut->append(QLatin1String(s, n));
            return;
        }
    }
    std::copy(s, p, mBuffer + mSize);
    mSize += n;
}

void listing::Line::flush()
{
    if (mOut && mSize > 0)
        mOut->append(reinterpret_cast<const QChar*>(mBuffer), mSize);
    mSize = 0;
}

void listing::appendField(Line& out, qint64 n)
{
    char buffer[24];
    const auto r = std::to_chars(buffer, buffer + sizeof buffer, n);
    for (const char* p = buffer; p != r.ptr; ++p)
        out.add(char16_t(*p));
}

void listing::appendField(Line& out, double d)
{
    // The whole numbers numberText writes as digits.
    if (d > -1e15 && d < 1e15) {
        const qint64 n = qint64(d);
        if (double(n) == d) {
            appendField(out, n);
            return;
        }
    }
    out.add(QStringView(vb::numberText(d)));
}

void listing::appendField(Line& out, const FromCompiler& f)
{
    appendField(out, f.value);
    out.add(QStringView(kFromCompiler));
}

void listing::appendField(Line& out, const Variant& v)
{
    switch (v.kind()) {
    case Variant::Kind::Empty: break;
    case Variant::Kind::Number: appendField(out, v.toDouble()); break;
    case Variant::Kind::Text: out.add(QStringView(v.toString())); break;
    }
}
