#pragma once
// A keyed collection: keys compared without regard to letter case, items kept
// in insertion order, reached by key or by 1-based index. A missing key fails
// with 5, a duplicate key with 457, an index out of range with 9.
#include "model/VbError.h"

#include <QHash>  // kept for the files that reach it through here
#include <QString>

#include <unordered_map>  // kept for the files that reach it through here
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
        size_t hash = 0;
        if (!key.isEmpty()) {
            hash = CaseBlindKey()(key);
            if (slotOf(key, hash) >= 0)
                raiseError(Err::DuplicateKey);
            if (2 * (mKeyed + 1) > mSlots.size())
                rebuildIndex(mSlots.empty() ? 16 : 2 * mSlots.size());
        }
        mEntries.push_back(Entry{key, item});
        mHashes.push_back(hash);
        if (!key.isEmpty())
            place(int(mEntries.size()) - 1);
    }

    bool Exists(const QString& key) const { return indexOf(key) >= 0; }

    // The item under the key, or nullptr when there is none.
    T* find(const QString& key)
    {
        const int at = indexOf(key);
        return at < 0 ? nullptr : &mEntries[size_t(at)].item;
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
        mHashes.clear();
        mSlots.clear();
        mKeyed = 0;
    }

    auto begin() { return mEntries.begin(); }
    auto end() { return mEntries.end(); }
    auto begin() const { return mEntries.begin(); }
    auto end() const { return mEntries.end(); }
    const std::vector<Entry>& entries() const { return mEntries; }

private:
    // The keys are indexed in an open table of entry positions (-1 for a free
    // slot), looked through from the key's hash onwards; it is never more
    // than half full, and the hash of each entry's key is kept beside it, so
    // that only a key of the same hash is compared.
    int slotOf(const QString& key, size_t hash) const
    {
        if (mSlots.empty())
            return -1;
        const size_t mask = mSlots.size() - 1;
        for (size_t i = hash & mask;; i = (i + 1) & mask) {
            const int at = mSlots[i];
            if (at < 0)
                return -1;
            if (mHashes[size_t(at)] == hash && CaseBlindKey()(mEntries[size_t(at)].key, key))
                return at;
        }
    }

    int indexOf(const QString& key) const
    {
        return mSlots.empty() || key.isEmpty() ? -1 : slotOf(key, CaseBlindKey()(key));
    }

    void place(int at)
    {
        const size_t mask = mSlots.size() - 1;
        size_t i = mHashes[size_t(at)] & mask;
        while (mSlots[i] >= 0)
            i = (i + 1) & mask;
        mSlots[i] = at;
        ++mKeyed;
    }

    void rebuildIndex(size_t slots)
    {
        mSlots.assign(slots, -1);
        mKeyed = 0;
        for (size_t i = 0; i < mEntries.size(); ++i)
            if (!mEntries[i].key.isEmpty())
                place(int(i));
    }

    int indexOfKey(const QString& key) const
    {
        const int at = indexOf(key);
        if (at < 0)
            raiseError(Err::InvalidCall);
        return at;
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
        mHashes.erase(mHashes.begin() + pos);
        rebuildIndex(mSlots.size());
    }

    std::vector<Entry> mEntries;
    std::vector<size_t> mHashes;  // of each entry's key; 0 for an entry without one
    std::vector<int> mSlots;      // a power of two in size, or empty
    size_t mKeyed = 0;            // the entries with a key
};
