#pragma once
// A keyed collection: keys compared without regard to letter case, items kept
// in insertion order, reached by key or by 1-based index. A missing key fails
// with 5, a duplicate key with 457, an index out of range with 9.
#include "model/VbError.h"

#include <QHash>  // kept for the files that reach it through here
#include <QString>

#include <unordered_map>
#include <vector>

// Key hashing and comparison without regard to letter case: two keys are the
// same when their lower-case forms are. Keys of plain ASCII, nearly all of
// them, are hashed and compared in place in one pass; any other key through
// its lower-case form.
struct CaseBlindKey {
    static bool isAscii(const QString& s)
    {
        for (const QChar c : s)
            if (c.unicode() >= 0x80)
                return false;
        return true;
    }
    static char16_t lower(char16_t c) { return c >= u'A' && c <= u'Z' ? char16_t(c + 32) : c; }
    static constexpr size_t kHashStart = 14695981039346656037ull;
    static constexpr size_t kHashStep = 1099511628211ull;
    size_t operator()(const QString& s) const
    {
        size_t h = kHashStart;
        for (const QChar c : s) {
            if (c.unicode() >= 0x80)
                return hashOfLowered(s.toLower());
            h = (h ^ lower(c.unicode())) * kHashStep;
        }
        return h;
    }
    bool operator()(const QString& a, const QString& b) const
    {
        if (a.size() != b.size())
            return !(isAscii(a) && isAscii(b)) && a.toLower() == b.toLower();
        // Up to the first letter beyond ASCII both lower-case forms run letter
        // for letter, so a difference there decides.
        for (qsizetype i = 0; i < a.size(); ++i) {
            const char16_t x = a[i].unicode();
            const char16_t y = b[i].unicode();
            if (x >= 0x80 || y >= 0x80)
                return a.toLower() == b.toLower();
            if (lower(x) != lower(y))
                return false;
        }
        return true;
    }

private:
    static size_t hashOfLowered(const QString& lowered)
    {
        size_t h = kHashStart;
        for (const QChar c : lowered)
            h = (h ^ c.unicode()) * kHashStep;
        return h;
    }
};

template <class T>
class Collection {
public:
    struct Entry {
        QString key;  // as given; empty for an item added without a key
        T item;
    };

    int Count() const { return int(mEntries.size()); }
    bool isEmpty() const { return mEntries.empty(); }

    // Adds at the end. An empty key adds the item without one.
    void Add(const T& item, const QString& key = QString())
    {
        if (!key.isEmpty()) {
            if (!mIndex.emplace(key, int(mEntries.size())).second)
                raiseError(Err::DuplicateKey);
        }
        mEntries.push_back(Entry{key, item});
    }

    bool Exists(const QString& key) const { return mIndex.find(key) != mIndex.end(); }

    // The item under the key, or nullptr when there is none.
    T* find(const QString& key)
    {
        const auto it = mIndex.find(key);
        return it == mIndex.end() ? nullptr : &mEntries[it->second].item;
    }
    const T* find(const QString& key) const { return const_cast<Collection*>(this)->find(key); }

    T& Item(const QString& key) { return mEntries[indexOfKey(key)].item; }
    const T& Item(const QString& key) const { return mEntries[indexOfKey(key)].item; }
    T& Item(int index) { return mEntries[checkIndex(index)].item; }
    const T& Item(int index) const { return mEntries[checkIndex(index)].item; }
    T& operator[](const QString& key) { return Item(key); }
    const T& operator[](const QString& key) const { return Item(key); }

    // The key an item was added with, by 1-based index.
    const QString& KeyAt(int index) const { return mEntries[checkIndex(index)].key; }

    void Remove(const QString& key) { eraseAt(indexOfKey(key)); }
    void Remove(int index) { eraseAt(checkIndex(index)); }
    void Clear()
    {
        mEntries.clear();
        mIndex.clear();
    }

    auto begin() { return mEntries.begin(); }
    auto end() { return mEntries.end(); }
    auto begin() const { return mEntries.begin(); }
    auto end() const { return mEntries.end(); }
    const std::vector<Entry>& entries() const { return mEntries; }

private:
    int indexOfKey(const QString& key) const
    {
        const auto it = mIndex.find(key);
        if (it == mIndex.end())
            raiseError(Err::InvalidCall);
        return it->second;
    }

    int checkIndex(int index) const
    {
        if (index < 1 || index > int(mEntries.size()))
            raiseError(Err::SubscriptOutOfRange);
        return index - 1;
    }

    void eraseAt(int pos)
    {
        mEntries.erase(mEntries.begin() + pos);
        mIndex.clear();
        for (int i = 0; i < int(mEntries.size()); ++i)
            if (!mEntries[i].key.isEmpty())
                mIndex.emplace(mEntries[i].key, i);
    }

    std::vector<Entry> mEntries;
    std::unordered_map<QString, int, CaseBlindKey, CaseBlindKey> mIndex;
};
