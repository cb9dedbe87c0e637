// Map from key objects to value objects: separate chaining, keys compared by hashCode and then
// equals. Grows to 2n + 1 buckets when the count reaches the load threshold.
#pragma once

#include "lang/DTypedArray.h"
#include "util/DEnumeration.h"

namespace qev::util {

class DHashtable : public qev::lang::DObject
{
  public:
    class DEntry : public qev::lang::DObject
    {
      public:
        int32_t hash = 0;
        qev::lang::DObjectPtr key;
        qev::lang::DObjectPtr value;
        qev::lang::DPtr<DEntry> next;

        // Lets go of the rest of the chain link by link: a chain of many colliding keys would
        // otherwise be freed by one nested destructor call per entry.
        ~DEntry() override;
    };

    class DEntryArray : public qev::lang::DTypedArray<DEntry>
    {
      public:
        using DTypedArray::DTypedArray;
    };
    using DEntryArrayPtr = qev::lang::DPtr<DEntryArray>;

    // Walks the bucket array it was created with, from the last bucket down, each chain from its
    // head; a rehash after creation does not disturb it.
    class DEnumerator : public qev::lang::DObject, public DEnumeration
    {
      public:
        explicit DEnumerator(DEntryArrayPtr buckets);
        bool hasMoreElements() override;
        qev::lang::DObjectPtr nextElement() override;

      private:
        DEntryArrayPtr m_buckets;
        bool m_keys = true;
        qev::lang::DPtr<DEntry> m_current;
        int32_t m_index;
    };

    // IllegalArgumentException for a negative capacity or a load below 1 percent.
    DHashtable(int32_t initialCapacity, int32_t loadPercent);

    // Returns the value previously stored under the key, or null. Null keys and values throw
    // NullPointerException.
    qev::lang::DObjectPtr put(qev::lang::DObjectPtr key, qev::lang::DObjectPtr value);
    qev::lang::DObjectPtr get(qev::lang::DObjectPtr key);
    // The value of the first entry whose stored hash equals the given one (for keys whose hash
    // is their own value, such as DInteger); keys are not compared.
    qev::lang::DObjectPtr get(int32_t hash);
    bool containsKey(qev::lang::DObjectPtr key);
    qev::lang::DObjectPtr remove(qev::lang::DObjectPtr key);
    DEnumerationPtr keys();
    void clear();

    int32_t size() const { return m_count; }
    int32_t capacity() const { return m_capacity; }
    int32_t threshold() const { return m_threshold; }

  private:
    int32_t bucketOf(int32_t hash) const;
    qev::lang::DPtr<DEntry> find(const qev::lang::DObjectPtr& key);
    void rehash();

    DEntryArrayPtr m_buckets;
    int32_t m_capacity;
    int32_t m_count = 0;
    int32_t m_loadPercent;
    int32_t m_threshold;
};

using DHashtablePtr = qev::lang::DPtr<DHashtable>;

} // namespace qev::util
