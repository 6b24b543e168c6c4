// The owners made from UniqueHandle: each frees its handle exactly once, and
// hands it on only when told to.
#include "ScopedWin.h"

#include <gtest/gtest.h>

#include <thread>
#include <utility>

namespace {

bool Alive(HGDIOBJ object) { return GetObjectType(object) != 0; }

TEST(ScopedWin, AnOwnerFreesOnceAndHandsOnOnlyWhenReleased)
{
    HBRUSH first = CreateSolidBrush(RGB(1, 2, 3)), second = CreateSolidBrush(RGB(4, 5, 6));
    {
        ScopedBrush owner(first);
        owner.reset(first); // its own handle again: kept, not freed
        EXPECT_TRUE(Alive(first));
        ScopedBrush moved(std::move(owner));
        EXPECT_FALSE(owner);
        ASSERT_EQ(moved.get(), first);
        moved.reset(second);
        EXPECT_FALSE(Alive(first));
        EXPECT_EQ(moved.release(), second);
        EXPECT_FALSE(moved);
    }
    EXPECT_TRUE(Alive(second)) << "released, so the owner left it alone";
    DeleteObject(second);

    // INVALID_HANDLE_VALUE, as CreateFile fails, is empty too.
    EXPECT_FALSE(ScopedHandle(INVALID_HANDLE_VALUE));
    EXPECT_TRUE(ScopedHandle(CreateEventW(nullptr, TRUE, FALSE, nullptr)));
}

TEST(ScopedWin, ASelectionIsUndoneBeforeItsObjectIsFreed)
{
    ScopedMemDC dc(nullptr);
    ScopedBitmap bitmap(CreateCompatibleBitmap(ScopedGetDC(nullptr).get(), 4, 4));
    ASSERT_TRUE(dc && bitmap);
    const HGDIOBJ original = GetCurrentObject(dc.get(), OBJ_BITMAP);
    {
        const ScopedSelectObject selection(dc.get(), bitmap.get());
        ASSERT_TRUE(selection);
        EXPECT_EQ(GetCurrentObject(dc.get(), OBJ_BITMAP), bitmap.get());
    }
    EXPECT_EQ(GetCurrentObject(dc.get(), OBJ_BITMAP), original);
    EXPECT_FALSE(ScopedSelectObject(nullptr, bitmap.get())) << "nothing selected, nothing to undo";
}

TEST(ScopedWin, ComInitialisationIsBalancedAndAFailureUndoesNothing)
{
    std::thread([] {
        {
            const ScopedCoInit first(COINIT_APARTMENTTHREADED);
            EXPECT_EQ(first.get(), S_OK);
            const ScopedCoInit again(COINIT_APARTMENTTHREADED);
            EXPECT_EQ(again.get(), S_FALSE) << "counted, and undone as well";
            const ScopedCoInit otherModel(COINIT_MULTITHREADED);
            EXPECT_FALSE(otherModel);
        }
        // Every successful initialisation was undone, the refused one not.
        const ScopedCoInit fresh(COINIT_MULTITHREADED);
        EXPECT_EQ(fresh.get(), S_OK);
    }).join();
}

} // namespace
