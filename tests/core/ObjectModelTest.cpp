#include "CoreTestSupport.h"
#include "lang/DInterface.h"
#include "lang/DObject.h"
#include "lang/DString.h"

#include <cstdio>
#include <cstring>

using namespace qev::lang;

namespace {

int g_destroyed = 0;

class Tracked : public DObject
{
  public:
    ~Tracked() override { ++g_destroyed; }
    bool equals(DObjectPtr other) override
    {
        ++equalsCalls;
        return DObject::equals(other);
    }
    int equalsCalls = 0;
};

class ObjectModelTest : public ::testing::Test
{
  protected:
    void SetUp() override { g_destroyed = 0; }
};

int countAfterByValue(DObjectPtr p)
{
    return p->getRefCount();
}

} // namespace

TEST_F(ObjectModelTest, CountsFollowHoldersAndLastReleaseDestroys)
{
    auto* raw = new Tracked;
    EXPECT_EQ(0, raw->getRefCount());
    {
        DObjectPtr a(raw);
        EXPECT_EQ(1, raw->getRefCount());
        DObjectPtr b = a;
        EXPECT_EQ(2, raw->getRefCount());
        EXPECT_EQ(3, countAfterByValue(a)); // the parameter is a counted copy...
        EXPECT_EQ(2, raw->getRefCount());   // ...released when the call returns
        b.reset();
        EXPECT_TRUE(b.isNull());
        EXPECT_EQ(1, raw->getRefCount());
        EXPECT_EQ(0, g_destroyed);
    }
    EXPECT_EQ(1, g_destroyed);
}

TEST_F(ObjectModelTest, AssigningTheHeldObjectKeepsItAlive)
{
    DObjectPtr a(new Tracked);
    DObject* raw = a.get();
    a = raw;
    EXPECT_EQ(1, a->getRefCount());
    a = a;
    EXPECT_EQ(1, a->getRefCount());
    EXPECT_EQ(0, g_destroyed);
}

TEST_F(ObjectModelTest, ReassignmentReleasesThePreviousObject)
{
    DObjectPtr a(new Tracked);
    a = new Tracked;
    EXPECT_EQ(1, g_destroyed);
    a = nullptr;
    EXPECT_EQ(2, g_destroyed);
}

TEST_F(ObjectModelTest, ExceptionsUnwindingThroughHoldersReleaseThem)
{
    int code = coretest::thrownCode([] {
        DObjectPtr a(new Tracked);
        DObjectPtr b(new Tracked);
        throwException(ExceptionCode::IOException);
    });
    EXPECT_EQ(ExceptionCode::IOException, code);
    EXPECT_EQ(2, g_destroyed);
}

TEST_F(ObjectModelTest, ReleasingAnUnownedObjectLeavesItAlone)
{
    auto* raw = new Tracked; // count 0: nobody owns it yet
    detail::release(raw);
    EXPECT_EQ(0, raw->getRefCount());
    EXPECT_EQ(0, g_destroyed);
    DObjectPtr owner(raw); // taking it afterwards still works normally
    owner.reset();
    EXPECT_EQ(1, g_destroyed);
}

namespace {
struct SelfCheck : DObject
{
    explicit SelfCheck(DObjectPtr* h) : holder(h) {}
    ~SelfCheck() override { sawNull = holder->isNull(); }
    DObjectPtr* holder;
    static bool sawNull;
};
bool SelfCheck::sawNull = false;
} // namespace

TEST_F(ObjectModelTest, DestructorReachingItsOwnHolderSeesNull)
{
    DObjectPtr slot;
    slot = new SelfCheck(&slot);
    slot.release();
    EXPECT_TRUE(SelfCheck::sawNull);
}

TEST_F(ObjectModelTest, NullDereferenceThrowsNullPointerExceptionWithEmptyMessage)
{
    DObjectPtr p;
    DExceptionBase* caught = nullptr;
    try {
        p->hashCode();
    } catch (DExceptionBase* e) {
        caught = e;
    }
    ASSERT_NE(nullptr, caught);
    EXPECT_EQ(ExceptionCode::NullPointerException, caught->code);
    EXPECT_EQ(0, caught->message[0]);
    delete caught;
}

TEST_F(ObjectModelTest, ToStringAndHashCodeOfAPlainObject)
{
    DObjectPtr p(new DObject);
    int32_t hash = p->hashCode();
    EXPECT_GE(hash, 0);
    EXPECT_EQ(static_cast<int32_t>(reinterpret_cast<uintptr_t>(p.get()) & 0x7FFFFFFF), hash);
    char expected[32];
    std::snprintf(expected, sizeof expected, "DObject@%x", static_cast<unsigned>(hash));
    DStringPtr text = p->toString();
    EXPECT_EQ(std::u16string(expected, expected + std::strlen(expected)),
              std::u16string(text->chars()));
    EXPECT_STREQ("DObject", p->getClassName());
    EXPECT_TRUE(p->getNullRef().isNull());
}

TEST_F(ObjectModelTest, PointerComparisonShortCutsBeforeEquals)
{
    DPtr<Tracked> a(new Tracked);
    DPtr<Tracked> b(new Tracked);
    DPtr<Tracked> none;
    EXPECT_TRUE(none == DPtr<Tracked>());
    EXPECT_FALSE(none == a);
    EXPECT_FALSE(a == none);
    EXPECT_EQ(0, a->equalsCalls);
    EXPECT_TRUE(a == a);
    EXPECT_EQ(0, a->equalsCalls);
    EXPECT_FALSE(a == b);
    EXPECT_EQ(1, a->equalsCalls);
}

TEST_F(ObjectModelTest, EqualsOfASecondReferenceRestoresItsCount)
{
    DObjectPtr a(new DObject);
    DObjectPtr second = a;
    EXPECT_EQ(2, a->getRefCount());
    EXPECT_TRUE(a->equals(second));
    EXPECT_EQ(2, a->getRefCount());
}

TEST_F(ObjectModelTest, CheckedDowncast)
{
    DObjectPtr object(new Tracked);
    DPtr<Tracked> tracked = dcast<Tracked>(object);
    EXPECT_EQ(object.get(), tracked.get());
    EXPECT_TRUE(dcast<Tracked>(DObjectPtr()).isNull());
    DObjectPtr plain(new DObject);
    EXPECT_THROWS_CODE(ExceptionCode::ClassCastException, dcast<DString>(plain));
}

namespace {

class Walker : public DInterface
{
  public:
    using DInterface::DInterface;
    virtual int step() = 0;
};

class Owner : public DObject, public Walker
{
  public:
    Owner() : Walker(this) {}
    ~Owner() override { ++g_destroyed; }
    int step() override { return ++steps; }
    int steps = 0;
};

} // namespace

TEST_F(ObjectModelTest, InterfacePointersKeepTheOwnerAlive)
{
    DInterfacePtr<Walker> walker;
    {
        DPtr<Owner> owner(new Owner);
        walker = DInterfacePtr<Walker>(owner.get());
        EXPECT_EQ(2, owner->getRefCount());
    }
    EXPECT_EQ(0, g_destroyed);
    EXPECT_EQ(1, walker->step());
    walker.release();
    EXPECT_EQ(1, g_destroyed);
    EXPECT_THROWS_CODE(ExceptionCode::NullPointerException, walker->step());
}
