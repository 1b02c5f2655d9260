#include "model/Collection.h"
#include "model/Variant.h"
#include "model/VbError.h"

#include <gtest/gtest.h>

#include <functional>
#include <limits>
#include <optional>

namespace {

// The failure number a call raises, or nothing when it succeeds.
template <class F>
std::optional<int> failureOf(F&& f)
{
    try {
        f();
    } catch (const VbError& e) {
        return e.number();
    }
    return std::nullopt;
}

struct RoundCase {
    double in;
    Long expected;
};

struct RangeCase {
    double in;
    bool overflows;
};

}  // namespace

TEST(Values, IntegerRoundsHalfToEven)
{
    EXPECT_EQ(Variant(2.5).toInteger(), 2);
    EXPECT_EQ(Variant(3.5).toInteger(), 4);
}

// ---- Variant to Integer and Long ----

TEST(VariantConversion, RoundsHalfToEvenForIntegerAndLong)
{
    const RoundCase cases[] = {
        {0.5, 0},   {1.5, 2},   {2.5, 2},   {3.5, 4},   {-0.5, 0},  {-1.5, -2},
        {-2.5, -2}, {2.4999, 2}, {2.5001, 3}, {-2.6, -3}, {7, 7},    {0, 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.in);
        EXPECT_EQ(Variant(c.in).toInteger(), c.expected);
        EXPECT_EQ(Variant(c.in).toLong(), c.expected);
        EXPECT_EQ(vb::CInt(c.in), c.expected);
        EXPECT_EQ(vb::CLng(c.in), c.expected);
    }
}

TEST(VariantConversion, IntegerOverflowsAtBothEnds)
{
    const RangeCase cases[] = {
        {32767, false},     {32767.4, false},  {32767.5, true},  {32768, true},
        {-32768, false},    {-32768.5, false}, {-32768.6, true}, {-32769, true},
        {1e10, true},       {-1e10, true},
        {std::numeric_limits<double>::infinity(), true},
        {std::numeric_limits<double>::quiet_NaN(), true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.in);
        const auto f = failureOf([&] { Variant(c.in).toInteger(); });
        if (c.overflows)
            EXPECT_EQ(f, Err::Overflow);
        else
            EXPECT_FALSE(f.has_value());
    }
}

TEST(VariantConversion, LongOverflowsAtBothEnds)
{
    const RangeCase cases[] = {
        {2147483647.0, false}, {2147483647.4, false}, {2147483647.5, true}, {2147483648.0, true},
        {-2147483648.0, false}, {-2147483648.5, false}, {-2147483649.0, true}, {1e12, true},
        {-1e12, true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.in);
        const auto f = failureOf([&] { Variant(c.in).toLong(); });
        if (c.overflows)
            EXPECT_EQ(f, Err::Overflow);
        else
            EXPECT_FALSE(f.has_value());
    }
    EXPECT_EQ(Variant(-2147483648.0).toLong(), std::numeric_limits<Long>::min());
    EXPECT_EQ(Variant(2147483647.0).toLong(), std::numeric_limits<Long>::max());
}

TEST(VariantConversion, TextConvertsWhenItIsANumber)
{
    struct Case {
        const char* text;
        std::optional<Long> value;  // nullopt: type mismatch
    };
    const Case cases[] = {
        {"12", 12},   {" 7 ", 7},   {"-3", -3},    {"+4", 4},   {"2.5", 2},  {"3.5", 4},
        {"1e2", 100}, {".5", 0},    {"abc", {}},   {"12abc", {}}, {"", {}},  {"  ", {}},
        {"1 2", {}},  {"-", {}},    {"1e", {}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        const Variant v(c.text);
        if (c.value) {
            EXPECT_EQ(v.toInteger(), *c.value);
            EXPECT_EQ(v.toLong(), *c.value);
            EXPECT_TRUE(v.isNumeric());
        } else {
            EXPECT_EQ(failureOf([&] { v.toInteger(); }), Err::TypeMismatch);
            EXPECT_EQ(failureOf([&] { v.toLong(); }), Err::TypeMismatch);
            EXPECT_FALSE(v.isNumeric());
        }
    }
}

TEST(VariantConversion, BooleanWordsReadAsTrueAndFalse)
{
    // A Boolean saved as text ("AdvancedMode" is kept as "True" or "False")
    // reads back as -1 or 0; the words are still not numbers.
    struct Case {
        const char* text;
        Long value;
    };
    const Case cases[] = {
        {"True", -1}, {"False", 0}, {"TRUE", -1}, {"false", 0}, {" True ", -1}, {"-1", -1}, {"0", 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        const QString text = QString::fromLatin1(c.text);
        EXPECT_EQ(Variant(text).toInteger(), c.value);
        EXPECT_EQ(Variant(text).toLong(), c.value);
        EXPECT_EQ(vb::CInt(text), c.value);
        EXPECT_EQ(vb::CLng(text), c.value);
    }
    for (const char* text : {"Truth", "T", "yes", "True1", "#TRUE#"}) {
        SCOPED_TRACE(text);
        EXPECT_EQ(failureOf([&] { Variant(text).toInteger(); }), Err::TypeMismatch);
        EXPECT_EQ(failureOf([&] { vb::CLng(QString::fromLatin1(text)); }), Err::TypeMismatch);
    }
    EXPECT_FALSE(Variant("True").isNumeric());
    EXPECT_EQ(vb::Val(QStringLiteral("True")), 0.0);
}

TEST(VariantConversion, TruthValuesAreTheSystemsBooleans)
{
    EXPECT_EQ(Variant(true), Variant(-1));
    EXPECT_EQ(Variant(false), Variant(0));
    EXPECT_EQ(Variant(1 == 1).toInteger(), True);
    EXPECT_EQ(toBoolean(true), -1);
    EXPECT_EQ(toBoolean(false), 0);
}

TEST(VariantConversion, NumericTextOutOfRangeOverflows)
{
    EXPECT_EQ(failureOf([] { Variant("40000").toInteger(); }), Err::Overflow);
    EXPECT_EQ(Variant("40000").toLong(), 40000);
    EXPECT_EQ(failureOf([] { vb::CLng(QStringLiteral("3000000000")); }), Err::Overflow);
}

TEST(VariantConversion, EmptyIsZeroAndEmptyText)
{
    const Variant v;
    EXPECT_TRUE(v.isEmpty());
    EXPECT_EQ(v.toInteger(), 0);
    EXPECT_EQ(v.toLong(), 0);
    EXPECT_EQ(v.toDouble(), 0.0);
    EXPECT_EQ(v.toString(), QString());
}

TEST(VariantConversion, KindsStayApart)
{
    EXPECT_NE(Variant(12), Variant("12"));
    EXPECT_NE(Variant(), Variant(""));
    EXPECT_NE(Variant(), Variant(0));
    EXPECT_EQ(Variant(12), Variant(12.0));
    EXPECT_EQ(Variant("a"), Variant(QStringLiteral("a")));
    EXPECT_TRUE(Variant(-1).isNumber());
    EXPECT_TRUE(Variant("").isText());
}

// ---- Val, Int, numberText ----

TEST(VbHelpers, ValReadsTheLeadingNumber)
{
    struct Case {
        const char* text;
        double value;
    };
    const Case cases[] = {
        {"12", 12},        {"12abc", 12},     {"  12", 12},      {"1 2 3", 123},
        {"-3.5x", -3.5},   {" - 4", -4},      {"abc", 0},        {"", 0},
        {"  ", 0},         {"12.5.3", 12.5},  {"1,5", 1},        {"1e2", 100},
        {"1e", 1},         {"&H1F", 31},      {".", 0},          {"+7", 7},
        {"0012", 12},      {"x12", 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        EXPECT_DOUBLE_EQ(vb::Val(QString::fromUtf8(c.text)), c.value);
    }
}

TEST(VbHelpers, IntRoundsDown)
{
    const std::pair<double, double> cases[] = {
        {2.7, 2}, {2.0, 2}, {-2.5, -3}, {-0.1, -1}, {-3.0, -3}, {0.0, 0},
    };
    for (const auto& [in, out] : cases) {
        SCOPED_TRACE(in);
        EXPECT_EQ(vb::Int(in), out);
    }
}

TEST(VbHelpers, NumberTextIsPlainDecimal)
{
    const std::pair<double, const char*> cases[] = {
        {12, "12"}, {-3, "-3"}, {0, "0"}, {-0.0, "0"}, {0.5, "0.5"}, {-0.25, "-0.25"},
        {1234567.25, "1234567.25"}, {2147483648.0, "2147483648"}, {0.1, "0.1"},
    };
    for (const auto& [in, out] : cases) {
        SCOPED_TRACE(in);
        EXPECT_EQ(vb::numberText(in), QString::fromLatin1(out));
        EXPECT_EQ(Variant(in).toString(), QString::fromLatin1(out));
    }
}

// ---- Collection ----

TEST(CollectionKeys, KeysIgnoreLetterCase)
{
    Collection<int> c;
    c.Add(1, QStringLiteral("Drive"));
    EXPECT_TRUE(c.Exists(QStringLiteral("DRIVE")));
    EXPECT_TRUE(c.Exists(QStringLiteral("drive")));
    EXPECT_EQ(c.Item(QStringLiteral("dRiVe")), 1);
    EXPECT_EQ(c.KeyAt(1), QStringLiteral("Drive"));  // the key as given
    EXPECT_EQ(failureOf([&] { c.Add(2, QStringLiteral("DRIVE")); }), Err::DuplicateKey);
    EXPECT_EQ(c.Count(), 1);
}

TEST(CollectionKeys, LettersBeyondAsciiIgnoreCaseToo)
{
    Collection<int> c;
    c.Add(1, QStringLiteral("T\u00e2che"));
    c.Add(2, QStringLiteral("\u212a"));  // the Kelvin sign, whose lower case is k
    EXPECT_EQ(c.Item(QStringLiteral("T\u00c2CHE")), 1);
    EXPECT_EQ(c.Item(QStringLiteral("k")), 2);
    EXPECT_EQ(c.Item(QStringLiteral("K")), 2);
    EXPECT_EQ(failureOf([&] { c.Add(3, QStringLiteral("k")); }), Err::DuplicateKey);
    EXPECT_FALSE(c.Exists(QStringLiteral("Tache")));
    EXPECT_EQ(c.find(QStringLiteral("TACHE")), nullptr);
    ASSERT_NE(c.find(QStringLiteral("t\u00e2che")), nullptr);
    EXPECT_EQ(*c.find(QStringLiteral("t\u00e2che")), 1);
}

// Keys are the same exactly when their lower-case forms are, whichever way
// the comparison goes: in place for ASCII, through the lower-case forms at
// the first letter beyond it; same keys hash alike.
TEST(CollectionKeys, SameKeysAreThoseWithTheSameLowerCase)
{
    const std::pair<const char16_t*, const char16_t*> pairs[] = {
        {u"Drive", u"dRIVE"},         {u"Drive", u"Drivf"},         {u"Drive", u"Driv"},
        {u"", u""},                   {u"ab\u00e2", u"AB\u00c2"},  {u"xb\u00e2", u"ab\u00e2"},
        {u"ab\u00e2", u"ab\u00e3"},   {u"\u212a", u"k"},            {u"\u212aA", u"ka"},
        {u"k\u212a", u"K"},           {u"a\u0130", u"a\u0069\u0307"}, {u"a\u0130", u"A\u0130"},
        {u"\u0130", u"i"},            {u"Z\u00e9", u"z"},           {u"@[`{", u"@[`{"},
        {u"@", u"`"},                 {u"[", u"{"},
    };
    const CaseBlindKey key;
    for (const auto& [a, b] : pairs) {
        const QString x = QString::fromUtf16(a);
        const QString y = QString::fromUtf16(b);
        const bool same = x.toLower() == y.toLower();
        EXPECT_EQ(key(x, y), same) << x.toStdString() << " / " << y.toStdString();
        EXPECT_EQ(key(y, x), same) << y.toStdString() << " / " << x.toStdString();
        if (same)
            EXPECT_EQ(key(x), key(y)) << x.toStdString() << " / " << y.toStdString();
    }
}

TEST(CollectionKeys, KeepsInsertionOrderWithOneBasedIndex)
{
    Collection<int> c;
    c.Add(30, QStringLiteral("c"));
    c.Add(10, QStringLiteral("a"));
    c.Add(20, QStringLiteral("b"));
    EXPECT_EQ(c.Item(1), 30);
    EXPECT_EQ(c.Item(2), 10);
    EXPECT_EQ(c.Item(3), 20);
    std::vector<int> walked;
    for (const auto& e : c)
        walked.push_back(e.item);
    EXPECT_EQ(walked, (std::vector<int>{30, 10, 20}));
}

TEST(CollectionKeys, FailuresOfMissingKeyDuplicateAndBadIndex)
{
    Collection<int> c;
    c.Add(1, QStringLiteral("a"));
    c.Add(2, QStringLiteral("b"));
    struct Case {
        const char* what;
        std::function<void()> call;
        int number;
    };
    const Case cases[] = {
        {"missing key", [&] { c.Item(QStringLiteral("z")); }, Err::InvalidCall},
        {"remove missing key", [&] { c.Remove(QStringLiteral("z")); }, Err::InvalidCall},
        {"duplicate key", [&] { c.Add(3, QStringLiteral("B")); }, Err::DuplicateKey},
        {"index 0", [&] { c.Item(0); }, Err::SubscriptOutOfRange},
        {"index past end", [&] { c.Item(3); }, Err::SubscriptOutOfRange},
        {"negative index", [&] { c.Item(-1); }, Err::SubscriptOutOfRange},
        {"remove index past end", [&] { c.Remove(3); }, Err::SubscriptOutOfRange},
        {"key at index 0", [&] { c.KeyAt(0); }, Err::SubscriptOutOfRange},
    };
    for (const auto& k : cases) {
        SCOPED_TRACE(k.what);
        EXPECT_EQ(failureOf(k.call), k.number);
    }
    EXPECT_EQ(c.Count(), 2);  // nothing changed by the failed calls
}

TEST(CollectionKeys, RemovalByKeyKeepsOrderAndKeys)
{
    Collection<int> c;
    c.Add(1, QStringLiteral("a"));
    c.Add(2, QStringLiteral("b"));
    c.Add(3, QStringLiteral("c"));
    c.Add(4, QStringLiteral("d"));
    c.Remove(QStringLiteral("B"));
    ASSERT_EQ(c.Count(), 3);
    EXPECT_EQ(c.Item(1), 1);
    EXPECT_EQ(c.Item(2), 3);
    EXPECT_EQ(c.Item(3), 4);
    // The keys after the removed item still find their own items.
    EXPECT_EQ(c.Item(QStringLiteral("c")), 3);
    EXPECT_EQ(c.Item(QStringLiteral("d")), 4);
    EXPECT_FALSE(c.Exists(QStringLiteral("b")));
    // A removed key may be used again; it goes to the end.
    c.Add(5, QStringLiteral("b"));
    EXPECT_EQ(c.Item(4), 5);
    c.Remove(1);
    EXPECT_EQ(c.Item(QStringLiteral("c")), 3);
    EXPECT_EQ(c.Item(1), 3);
}

TEST(CollectionKeys, ItemsWithoutKeys)
{
    Collection<int> c;
    c.Add(1);
    c.Add(2);
    c.Add(3, QStringLiteral("k"));
    EXPECT_EQ(c.Count(), 3);
    EXPECT_EQ(c.Item(2), 2);
    c.Remove(1);
    EXPECT_EQ(c.Item(QStringLiteral("k")), 3);
}

// ---- VbError ----

TEST(VbErrorDescriptions, StandardTexts)
{
    const std::pair<int, const char*> cases[] = {
        {5, "Invalid procedure call or argument"},
        {6, "Overflow"},
        {7, "Out of memory"},
        {9, "Subscript out of range"},
        {11, "Division by zero"},
        {13, "Type mismatch"},
        {52, "Bad file name or number"},
        {53, "File not found"},
        {62, "Input past end of file"},
        {68, "Device unavailable"},
        {75, "Path/File access error"},
        {76, "Path not found"},
        {91, "Object variable or With block variable not set"},
        {364, "Object was unloaded"},
        {380, "Invalid property value"},
        {383, "Property is read-only"},
        {424, "Object required"},
        {457, "This key is already associated with an element of this collection"},
    };
    for (const auto& [number, text] : cases) {
        SCOPED_TRACE(number);
        EXPECT_EQ(errorDescription(number), QString::fromLatin1(text));
        const auto e = VbError(number);
        EXPECT_EQ(e.number(), number);
        EXPECT_EQ(e.description(), QString::fromLatin1(text));
        EXPECT_STREQ(e.what(), text);
    }
}

TEST(VbErrorDescriptions, RaisedFailureCarriesNumberAndOwnText)
{
    try {
        raiseError(Err::FileNotFound);
        FAIL();
    } catch (const VbError& e) {
        EXPECT_EQ(e.number(), 53);
        EXPECT_EQ(e.description(), QStringLiteral("File not found"));
    }
    try {
        raiseError(1000, QStringLiteral("Own text"));
        FAIL();
    } catch (const VbError& e) {
        EXPECT_EQ(e.number(), 1000);
        EXPECT_EQ(e.description(), QStringLiteral("Own text"));
    }
    EXPECT_EQ(errorDescription(12345), QStringLiteral("Application-defined or object-defined error"));
}
