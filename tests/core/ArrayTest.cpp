#include "CoreTestSupport.h"
#include "lang/DObjectArray2d.h"
#include "lang/DStringArray.h"
#include "lang/DSystem.h"
#include "lang/DTypedArray.h"
#include "lang/DboolArray.h"
#include "lang/DcharArray.h"

#include <vector>

using namespace qev::lang;

namespace {

class Ball : public DObject
{
  public:
    explicit Ball(int number = 0) : id(number) {}
    const char* getClassName() override { return "Ball"; }
    int id;
};

DintArrayPtr ints(std::vector<int32_t> values)
{
    DintArrayPtr a(new DintArray(static_cast<int32_t>(values.size())));
    for (size_t i = 0; i < values.size(); ++i)
        a[static_cast<int32_t>(i)] = values[i];
    return a;
}

std::vector<int32_t> values(const DintArrayPtr& a)
{
    std::vector<int32_t> v;
    for (int32_t i = 0; i < a->length; ++i)
        v.push_back(a[i]);
    return v;
}

} // namespace

TEST(PrimitiveArrays, ZeroFilledBoundsCheckedAndNamed)
{
    DbyteArrayPtr bytes(new DbyteArray(3));
    EXPECT_EQ(0, bytes[2]);
    bytes[2] = -1;
    EXPECT_EQ(-1, bytes[2]);
    EXPECT_THROWS_CODE(ExceptionCode::ArrayIndexOutOfBoundsException, bytes[3]);
    EXPECT_THROWS_CODE(ExceptionCode::ArrayIndexOutOfBoundsException, bytes[-1]);
    EXPECT_STREQ("DbyteArray", bytes->getClassName());
    EXPECT_STREQ("DboolArray", DboolArrayPtr(new DboolArray(1))->getClassName());
    EXPECT_STREQ("DcharArray", DcharArrayPtr(new DcharArray(1))->getClassName());
    EXPECT_STREQ("DintArray", DintArrayPtr(new DintArray(1))->getClassName());
}

TEST(PrimitiveArrays, EmptyAndNegativeLengthsHaveNoStorage)
{
    DintArrayPtr empty(new DintArray(0));
    DintArrayPtr negative(new DintArray(-2));
    EXPECT_EQ(0, empty->length);
    EXPECT_EQ(-2, negative->length);
    EXPECT_EQ(nullptr, empty->getData());
    EXPECT_EQ(nullptr, negative->getData());
    EXPECT_THROWS_CODE(ExceptionCode::ArrayIndexOutOfBoundsException, empty[0]);
    EXPECT_THROWS_CODE(ExceptionCode::ArrayIndexOutOfBoundsException, negative[0]);
}

TEST(PrimitiveArrays, IntArrayFromArguments)
{
    DintArrayPtr a(new DintArray(4, 0, 7, -1, 300, INT32_MIN));
    EXPECT_EQ((std::vector<int32_t>{7, -1, 300, INT32_MIN}), values(a));
}

TEST(ObjectArrays, ElementsAreCountedAndReleasedWithTheArray)
{
    DPtr<Ball> ball(new Ball);
    {
        DObjectArrayPtr array(new DObjectArray(2));
        EXPECT_TRUE(array[0].isNull());
        array[0] = ball.get();
        array[1] = ball.get();
        EXPECT_EQ(3, ball->getRefCount());
        array[1] = nullptr;
        EXPECT_EQ(2, ball->getRefCount());
        EXPECT_THROWS_CODE(ExceptionCode::ArrayIndexOutOfBoundsException, array[2]);
    }
    EXPECT_EQ(1, ball->getRefCount());
}

TEST(ObjectArrays, TypedElementAccess)
{
    DPtr<DTypedArray<Ball>> balls(new DTypedArray<Ball>(2));
    (*balls)[0] = new Ball(7);
    EXPECT_EQ(7, (*balls)[0]->id);
    DPtr<Ball> first = (*balls)[0];
    EXPECT_EQ(2, first->getRefCount());
    EXPECT_THROWS_CODE(ExceptionCode::NullPointerException, (*balls)[1]->id);

    DStringArrayPtr names(new DStringArray(1));
    (*names)[0] = DStringPtr(u"abc");
    DStringPtr name = (*names)[0];
    EXPECT_TRUE(name.equals(u"abc"));
    EXPECT_STREQ("DObject", names->getClassName());
}

TEST(ObjectArrays, ClassNamesOfTypedArrays)
{
    DPtr<DTypedArray<Ball>> balls(new DTypedArray<Ball>(1));
    EXPECT_THROWS_CODE(ExceptionCode::NullPointerException, balls->getClassName());
    (*balls)[0] = new Ball;
    EXPECT_STREQ("BallArray", balls->getClassName());
    EXPECT_STREQ("DObjectArray", DPtr<DTypedArray<Ball>>(new DTypedArray<Ball>(0))->getClassName());

    DPtr<DTypedArray2d<Ball>> grid(new DTypedArray2d<Ball>(2, 3));
    EXPECT_THROWS_CODE(ExceptionCode::NullPointerException,
                       grid->getClassName()); // row 0 has no element 0
    (*grid)[0][0] = new Ball;
    EXPECT_STREQ("BallArray2d", grid->getClassName());
    EXPECT_STREQ("DObjectArray2d",
                 DPtr<DTypedArray2d<Ball>>(new DTypedArray2d<Ball>(2))->getClassName());
}

TEST(TwoDimensionalArrays, RowsAndNames)
{
    DintArray2dPtr grid(new DintArray2d(2, 3));
    grid[1][2] = 9;
    EXPECT_EQ(9, grid[1][2]);
    EXPECT_EQ(3, grid[0]->length);
    EXPECT_THROWS_CODE(ExceptionCode::ArrayIndexOutOfBoundsException, grid[1][3]);
    EXPECT_THROWS_CODE(ExceptionCode::ArrayIndexOutOfBoundsException, grid[2]);
    EXPECT_STREQ("DintArray2d", grid->getClassName());

    DbyteArray2dPtr sparse(new DbyteArray2d(2));
    EXPECT_TRUE(sparse[0].isNull());
    EXPECT_THROWS_CODE(ExceptionCode::NullPointerException, sparse[0][0]);
    EXPECT_STREQ("DbyteArray2d", sparse->getClassName());
    DObjectArray2dPtr objects(new DObjectArray2d(1, 1));
    EXPECT_EQ(1, objects[0]->length);
    EXPECT_STREQ("DObject", objects->getClassName());
}

TEST(Arraycopy, ClipsToTheDestinationAndStopsAtTheSourceEnd)
{
    DintArrayPtr src = ints({1, 2, 3, 4, 5});
    DintArrayPtr dst(new DintArray(10));
    DSystem::arraycopy(src, 3, dst, 0, 4);
    EXPECT_EQ((std::vector<int32_t>{4, 5, 0, 0, 0, 0, 0, 0, 0, 0}), values(dst));

    DintArrayPtr small(new DintArray(2));
    DSystem::arraycopy(src, 0, small, 0, 5);
    EXPECT_EQ((std::vector<int32_t>{1, 2}), values(small));
    DSystem::arraycopy(src, 5, small, 2, 0); // both positions at the end: allowed, copies nothing
}

TEST(Arraycopy, OverlapWithinOneArrayActsThroughABuffer)
{
    DintArrayPtr a = ints({1, 2, 3, 4, 5});
    DSystem::arraycopy(a, 0, a, 1, 4);
    EXPECT_EQ((std::vector<int32_t>{1, 1, 2, 3, 4}), values(a));
    DintArrayPtr b = ints({1, 2, 3, 4, 5});
    DSystem::arraycopy(b, 1, b, 0, 4);
    EXPECT_EQ((std::vector<int32_t>{2, 3, 4, 5, 5}), values(b));
}

TEST(Arraycopy, RangeAndNullErrors)
{
    DintArrayPtr a = ints({1, 2, 3, 4, 5});
    EXPECT_THROWS_CODE(ExceptionCode::ArrayIndexOutOfBoundsException,
                       DSystem::arraycopy(a, 3, a, 0, 5));
    EXPECT_EQ((std::vector<int32_t>{1, 2, 3, 4, 5}), values(a)); // nothing written
    DintArrayPtr dst(new DintArray(5));
    EXPECT_THROWS_CODE(ExceptionCode::IndexOutOfBoundsException,
                       DSystem::arraycopy(a, 6, dst, 0, 1));
    EXPECT_THROWS_CODE(ExceptionCode::IndexOutOfBoundsException,
                       DSystem::arraycopy(a, -1, dst, 0, 1));
    EXPECT_THROWS_CODE(ExceptionCode::IndexOutOfBoundsException,
                       DSystem::arraycopy(a, 0, dst, 6, 1));
    EXPECT_THROWS_CODE(ExceptionCode::IndexOutOfBoundsException,
                       DSystem::arraycopy(a, 0, dst, 0, -1));
    EXPECT_THROWS_CODE(ExceptionCode::NullPointerException,
                       DSystem::arraycopy(DintArrayPtr(), 0, dst, 0, 1));
}

TEST(Arraycopy, ObjectElementsAreRetainedAndReplacedOnesReleased)
{
    DPtr<Ball> kept(new Ball(1));
    DPtr<Ball> replaced(new Ball(2));
    DObjectArrayPtr src(new DObjectArray(1));
    DObjectArrayPtr dst(new DObjectArray(1));
    src[0] = kept.get();
    dst[0] = replaced.get();
    DSystem::arraycopy(src, 0, dst, 0, 1);
    EXPECT_EQ(3, kept->getRefCount());
    EXPECT_EQ(1, replaced->getRefCount());
    DObjectArrayPtr same(new DObjectArray(3));
    same[0] = kept.get();
    DSystem::arraycopy(same, 0, same, 1, 2);
    EXPECT_EQ(5, kept->getRefCount()); // src[0], dst[0], same[0], same[1] and the local
    EXPECT_TRUE(same[2].isNull());
}
