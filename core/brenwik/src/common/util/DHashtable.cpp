#include "util/DHashtable.h"

#include "lang/DExceptionBase.h"

namespace qev::util {

DHashtable::DEntry::~DEntry()
{
    qev::lang::DPtr<DEntry> link = next;
    next = nullptr;
    // While this chain holds the only reference, unhook the link's successor first so that
    // releasing the link frees one entry and no more.
    while (link && link->getRefCount() == 1) {
        qev::lang::DPtr<DEntry> following = link->next;
        link->next = nullptr;
        link = following;
    }
}

using qev::lang::DObjectPtr;
using qev::lang::DPtr;
namespace ExceptionCode = qev::lang::ExceptionCode;
using qev::lang::throwException;

DHashtable::DHashtable(int32_t initialCapacity, int32_t loadPercent)
{
    if (initialCapacity < 0 || loadPercent < 1)
        throwException(ExceptionCode::IllegalArgumentException);
    m_capacity = initialCapacity == 0 ? 1 : initialCapacity;
    m_loadPercent = loadPercent;
    m_threshold = static_cast<int32_t>(static_cast<int64_t>(loadPercent) * m_capacity / 100);
    m_buckets = new DEntryArray(m_capacity);
}

int32_t DHashtable::bucketOf(int32_t hash) const
{
    return (hash & 0x7FFFFFFF) % m_capacity;
}

DPtr<DHashtable::DEntry> DHashtable::find(const DObjectPtr& key)
{
    if (!key)
        throwException(ExceptionCode::NullPointerException);
    int32_t hash = key->hashCode();
    for (DPtr<DEntry> e = (*m_buckets)[bucketOf(hash)]; e; e = e->next) {
        if (e->hash == hash && key->equals(e->key))
            return e;
    }
    return nullptr;
}

DObjectPtr DHashtable::put(DObjectPtr key, DObjectPtr value)
{
    if (!key || !value)
        throwException(ExceptionCode::NullPointerException);
    if (DPtr<DEntry> existing = find(key)) {
        DObjectPtr old = existing->value;
        existing->value = value;
        return old;
    }
    if (m_count >= m_threshold)
        rehash();
    int32_t hash = key->hashCode();
    int32_t bucket = bucketOf(hash);
    DPtr<DEntry> entry(new DEntry);
    entry->hash = hash;
    entry->key = key;
    entry->value = value;
    entry->next = (*m_buckets)[bucket];
    (*m_buckets)[bucket] = entry;
    ++m_count;
    return nullptr;
}

DObjectPtr DHashtable::get(DObjectPtr key)
{
    DPtr<DEntry> e = find(key);
    return e ? e->value : nullptr;
}

DObjectPtr DHashtable::get(int32_t hash)
{
    for (DPtr<DEntry> e = (*m_buckets)[bucketOf(hash)]; e; e = e->next) {
        if (e->hash == hash)
            return e->value;
    }
    return nullptr;
}

bool DHashtable::containsKey(DObjectPtr key)
{
    return !find(key).isNull();
}

DObjectPtr DHashtable::remove(DObjectPtr key)
{
    if (!key)
        throwException(ExceptionCode::NullPointerException);
    int32_t hash = key->hashCode();
    int32_t bucket = bucketOf(hash);
    DPtr<DEntry> previous;
    for (DPtr<DEntry> e = (*m_buckets)[bucket]; e; previous = e, e = e->next) {
        if (e->hash == hash && key->equals(e->key)) {
            if (previous)
                previous->next = e->next;
            else
                (*m_buckets)[bucket] = e->next;
            --m_count;
            return e->value;
        }
    }
    return nullptr;
}

void DHashtable::rehash()
{
    DEntryArrayPtr old = m_buckets;
    int32_t oldCapacity = m_capacity;
    m_capacity = 2 * oldCapacity + 1;
    m_buckets = new DEntryArray(m_capacity);
    m_threshold = static_cast<int32_t>(static_cast<int64_t>(m_loadPercent) * m_capacity / 100);
    for (int32_t i = 0; i < oldCapacity; ++i) {
        DPtr<DEntry> e = (*old)[i];
        while (e) {
            DPtr<DEntry> next = e->next;
            int32_t bucket = bucketOf(e->hash);
            e->next = (*m_buckets)[bucket];
            (*m_buckets)[bucket] = e;
            e = next;
        }
    }
}

DEnumerationPtr DHashtable::keys()
{
    return DEnumerationPtr(new DEnumerator(m_buckets));
}

void DHashtable::clear()
{
    DEnumerationPtr keys = this->keys();
    while (keys->hasMoreElements())
        remove(keys->nextElement());
}

DHashtable::DEnumerator::DEnumerator(DEntryArrayPtr buckets)
    : DEnumeration(this), m_buckets(buckets), m_index(buckets->length)
{
}

bool DHashtable::DEnumerator::hasMoreElements()
{
    while (!m_current && m_index > 0)
        m_current = (*m_buckets)[--m_index];
    return !m_current.isNull();
}

DObjectPtr DHashtable::DEnumerator::nextElement()
{
    if (!hasMoreElements())
        return nullptr;
    DPtr<DEntry> e = m_current;
    m_current = e->next;
    return m_keys ? e->key : e->value;
}

} // namespace qev::util
