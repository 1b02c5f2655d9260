#include "model/Collection.h"
#include "model/Variant.h"
#include "model/VbError.h"

#include <gtest/gtest.h>

TEST(Values, IntegerRoundsHalfToEven)
{
    EXPECT_EQ(Variant(2.5).toInteger(), 2);
    EXPECT_EQ(Variant(3.5).toInteger(), 4);
}
