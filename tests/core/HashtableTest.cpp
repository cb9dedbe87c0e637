#include "CoreTestSupport.h"
#include "lang/DInteger.h"
#include "lang/DString.h"
#include "util/DHashtable.h"
#include "util/DVector.h"

#include <set>
#include <string>
#include <vector>

using namespace qev::lang;
using namespace qev::util;

namespace {

// A key with a chosen hash, so tests can steer entries into buckets.
class Key : public DObject
{
  public:
    Key(int32_t hash, int number) : m_hash(hash), id(number) {}
    int32_t hashCode() override { return m_hash; }
    bool equals(DObjectPtr other) override
    {
        auto* k = dynamic_cast<Key*>(other.get());
        return k && k->id == id;
    }
    int32_t m_hash;
    int id;
};

DObjectPtr str(const char16_t* s)
{
    return DObjectPtr(DStringPtr(s));
}

std::vector<int> keyIds(DHashtable& table)
{
    std::vector<int> ids;
    DEnumerationPtr e = table.keys();
    while (e->hasMoreElements())
        ids.push_back(dcast<Key>(e->nextElement())->id);
    return ids;
}

} // namespace

TEST(Hashtable, GrowsAtTheThresholdTo2nPlus1Buckets)
{
    DHashtablePtr t(new DHashtable(11, 75));
    EXPECT_EQ(11, t->capacity());
    EXPECT_EQ(8, t->threshold());
    for (int i = 0; i < 8; ++i)
        t->put(DObjectPtr(new DInteger(i)), str(u"v"));
    EXPECT_EQ(11, t->capacity());
    t->put(DObjectPtr(new DInteger(8)), str(u"v"));
    EXPECT_EQ(23, t->capacity());
    EXPECT_EQ(17, t->threshold());
    for (int i = 9; i < 18; ++i)
        t->put(DObjectPtr(new DInteger(i)), str(u"v"));
    EXPECT_EQ(47, t->capacity());
    EXPECT_EQ(35, t->threshold());
    EXPECT_EQ(18, t->size());
    for (int i = 0; i < 18; ++i)
        EXPECT_TRUE(t->containsKey(DObjectPtr(new DInteger(i)))) << i;
}

TEST(Hashtable, PutReplacesGetFindsEqualKeys)
{
    DHashtablePtr t(new DHashtable(11, 75));
    EXPECT_TRUE(t->put(str(u"name"), str(u"first")).isNull());
    DObjectPtr old = t->put(str(u"name"), str(u"second"));
    EXPECT_TRUE(dcast<DString>(old).equals(u"first"));
    EXPECT_EQ(1, t->size());
    EXPECT_TRUE(dcast<DString>(t->get(str(u"name"))).equals(u"second"));
    // Identity keys never match a different object.
    DObjectPtr a(new DObject);
    t->put(a, str(u"a"));
    EXPECT_TRUE(t->get(DObjectPtr(new DObject)).isNull());
    EXPECT_FALSE(t->get(a).isNull());
    // Lookup by stored hash serves integer keys.
    t->put(DObjectPtr(new DInteger(4242)), str(u"int"));
    EXPECT_TRUE(dcast<DString>(t->get(4242)).equals(u"int"));
    EXPECT_TRUE(t->get(4243).isNull());
}

TEST(Hashtable, NullKeysAndValuesAndBadConstructionThrow)
{
    DHashtablePtr t(new DHashtable(0, 75));
    EXPECT_EQ(1, t->capacity());
    EXPECT_THROWS_CODE(ExceptionCode::NullPointerException, t->put(DObjectPtr(), str(u"v")));
    EXPECT_THROWS_CODE(ExceptionCode::NullPointerException, t->put(str(u"k"), DObjectPtr()));
    EXPECT_THROWS_CODE(ExceptionCode::NullPointerException, t->get(DObjectPtr()));
    EXPECT_THROWS_CODE(ExceptionCode::IllegalArgumentException, DHashtable(-1, 75));
    EXPECT_THROWS_CODE(ExceptionCode::IllegalArgumentException, DHashtable(11, 0));
}

TEST(Hashtable, EnumerationOrderIsLastBucketFirstAndNewestFirstInAChain)
{
    DHashtable t(11, 75);
    t.put(DObjectPtr(new Key(1, 10)), str(u"x"));
    t.put(DObjectPtr(new Key(12, 11)), str(u"x")); // bucket 1 again
    t.put(DObjectPtr(new Key(5, 12)), str(u"x"));
    t.put(DObjectPtr(new Key(-4, 13)), str(u"x")); // (-4 & 0x7FFFFFFF) % 11 = 9
    EXPECT_EQ((std::vector<int>{13, 12, 11, 10}), keyIds(t));
    DEnumerationPtr e = t.keys();
    for (int i = 0; i < 4; ++i)
        e->nextElement();
    EXPECT_FALSE(e->hasMoreElements());
    EXPECT_TRUE(e->nextElement().isNull());
}

// Rehash walks the old buckets from 0 up, each chain from its head, and puts every entry in
// front of its new bucket. Hashes 0 and 253 share bucket 0 at 11 and at 23 buckets; 23 moves
// from bucket 1 to bucket 0.
TEST(Hashtable, RehashRelinksInOldBucketOrderToTheFront)
{
    DHashtable t(11, 75);
    t.put(DObjectPtr(new Key(0, 1)), str(u"x"));
    t.put(DObjectPtr(new Key(253, 2)), str(u"x"));
    t.put(DObjectPtr(new Key(23, 3)), str(u"x"));
    for (int h = 5; h <= 9; ++h)
        t.put(DObjectPtr(new Key(h, h)), str(u"x"));
    EXPECT_EQ((std::vector<int>{9, 8, 7, 6, 5, 3, 2, 1}), keyIds(t));
    DEnumerationPtr before = t.keys();

    t.put(DObjectPtr(new Key(10, 10)), str(u"x")); // the 9th key: 23 buckets
    ASSERT_EQ(23, t.capacity());
    // New bucket 0 received 2, then 1, then 3, each in front.
    EXPECT_EQ((std::vector<int>{10, 9, 8, 7, 6, 5, 3, 1, 2}), keyIds(t));

    // The earlier enumeration walks the old heads through the relinked chains: old bucket 1's
    // head 3 now leads 3, 1, 2, and old bucket 0's head 2 is a chain's tail.
    std::vector<int> old;
    while (before->hasMoreElements())
        old.push_back(dcast<Key>(before->nextElement())->id);
    EXPECT_EQ((std::vector<int>{9, 8, 7, 6, 5, 3, 1, 2, 2}), old);
}

TEST(Hashtable, RemoveUnlinksFromAnyChainPosition)
{
    DHashtable t(11, 75);
    for (int id = 0; id < 3; ++id)
        t.put(DObjectPtr(new Key(3, id)), str(u"x")); // one chain: 2, 1, 0
    EXPECT_FALSE(t.remove(DObjectPtr(new Key(3, 1))).isNull());
    EXPECT_EQ((std::vector<int>{2, 0}), keyIds(t));
    EXPECT_FALSE(t.remove(DObjectPtr(new Key(3, 2))).isNull());
    EXPECT_TRUE(t.remove(DObjectPtr(new Key(3, 2))).isNull());
    EXPECT_EQ((std::vector<int>{0}), keyIds(t));
    EXPECT_EQ(1, t.size());
}

TEST(Hashtable, ClearEmptiesTheTableAndEnumerationSurvivesRehash)
{
    DHashtable t(11, 75);
    for (int i = 0; i < 5; ++i)
        t.put(DObjectPtr(new DInteger(i)), str(u"x"));
    DEnumerationPtr before = t.keys();
    for (int i = 5; i < 30; ++i)
        t.put(DObjectPtr(new DInteger(i)), str(u"x"));
    std::set<int> seen;
    while (before->hasMoreElements())
        seen.insert(dcast<DInteger>(before->nextElement())->intValue());
    EXPECT_GE(seen.size(), 1u); // it walks the old buckets without crashing
    t.clear();
    EXPECT_EQ(0, t.size());
    EXPECT_FALSE(t.keys()->hasMoreElements());
}

TEST(Vector, GrowsByDoublingAndRemovesInOrder)
{
    DVectorPtr v(new DVector);
    EXPECT_EQ(16, v->capacity());
    for (int i = 0; i < 17; ++i)
        v->addElement(DObjectPtr(new DInteger(i)));
    EXPECT_EQ(32, v->capacity());
    EXPECT_EQ(16, dcast<DInteger>(v->elementAt(16))->intValue());

    DVectorPtr abc(new DVector);
    abc->addElement(str(u"a"));
    abc->addElement(str(u"b"));
    abc->addElement(DObjectPtr()); // null is allowed
    abc->removeElementAt(0);
    EXPECT_EQ(2, abc->size());
    EXPECT_TRUE(dcast<DString>(abc->elementAt(0)).equals(u"b"));
    EXPECT_TRUE(abc->elementAt(1).isNull());
    EXPECT_THROWS_CODE(ExceptionCode::ArrayIndexOutOfBoundsException, abc->elementAt(2));
    EXPECT_THROWS_CODE(ExceptionCode::ArrayIndexOutOfBoundsException, abc->removeElementAt(-1));
}

TEST(Vector, CopyIntoAndReferenceCounts)
{
    DObjectPtr item(new DObject);
    {
        DVectorPtr v(new DVector);
        v->addElement(item);
        v->addElement(item);
        v->ensureCapacity(100);
        EXPECT_EQ(100, v->capacity());
        EXPECT_EQ(3, item->getRefCount()); // growing moved, not duplicated, the references
        DObjectArrayPtr small(new DObjectArray(1));
        v->copyInto(small);
        EXPECT_EQ(item.get(), small[0].get());
        v->removeElementAt(1);
        EXPECT_EQ(3, item->getRefCount());
    }
    EXPECT_EQ(1, item->getRefCount());
}

TEST(Hashtable, LongChainsAreFreedWithoutDeepRecursion)
{
    using Entry = DHashtable::DEntry;
    // Far deeper than the stack would allow one nested destructor per entry.
    DPtr<Entry> head(new Entry);
    DPtr<Entry> middle;
    Entry* tail = head.get();
    for (int i = 0; i < 400000; ++i) {
        tail->next = DPtr<Entry>(new Entry);
        tail = tail->next.get();
        if (i == 200000)
            middle = DPtr<Entry>(tail);
    }
    tail->hash = 7;
    ASSERT_EQ(2, middle->getRefCount());
    head = nullptr;
    // The part of the chain someone else still holds is left whole.
    EXPECT_EQ(1, middle->getRefCount());
    Entry* walk = middle.get();
    int length = 0;
    while (walk->next) {
        walk = walk->next.get();
        ++length;
    }
    EXPECT_EQ(7, walk->hash);
    EXPECT_EQ(400000 - 1 - 200000, length);
}
