#pragma once
// A keyed collection: keys compared without regard to letter case, items kept
// in insertion order, reached by key or by 1-based index. A missing key fails
// with 5, a duplicate key with 457, an index out of range with 9.
#include "model/VbError.h"

#include <QHash>
#include <QString>

#include <vector>

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
            const QString f = fold(key);
            if (mIndex.contains(f))
                raiseError(Err::DuplicateKey);
            mIndex.insert(f, int(mEntries.size()));
        }
        mEntries.push_back(Entry{key, item});
    }

    bool Exists(const QString& key) const { return mIndex.contains(fold(key)); }
    // The item of that key, or nullptr: one look-up where Exists and Item take two.
    T* Find(const QString& key)
    {
        const auto it = mIndex.constFind(fold(key));
        return it == mIndex.constEnd() ? nullptr : &mEntries[it.value()].item;
    }

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
    static QString fold(const QString& key) { return key.toLower(); }

    int indexOfKey(const QString& key) const
    {
        const auto it = mIndex.constFind(fold(key));
        if (it == mIndex.constEnd())
            raiseError(Err::InvalidCall);
        return it.value();
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
                mIndex.insert(fold(mEntries[i].key), i);
    }

    std::vector<Entry> mEntries;
    QHash<QString, int> mIndex;
};
