#include "app/Uuid.h"

#include <gtest/gtest.h>

TEST(UuidTest, BytesAndTextRoundTrip)
{
    const UuidBytes bytes = {0x00, 0x11, 0x22, 0x33, 0x44, 0x55, 0x66, 0x77,
                             0x88, 0x99, 0xAA, 0xBB, 0xCC, 0xDD, 0xEE, 0xFF};
    EXPECT_EQ(UuidToString(bytes), "00112233-4455-6677-8899-aabbccddeeff");
    UuidBytes parsed{};
    ASSERT_TRUE(UuidFromString("00112233-4455-6677-8899-AABBCCDDEEFF", parsed));
    EXPECT_EQ(parsed, bytes);
    const UuidBytes made = NewUuid();
    EXPECT_NE(made, NewUuid());
    ASSERT_TRUE(UuidFromString(UuidToString(made), parsed));
    EXPECT_EQ(parsed, made);
}

TEST(UuidTest, MalformedTextIsRefusedAndLeavesTheBytes)
{
    UuidBytes kept{};
    kept[0] = 7;
    for (const char* text : {"", "00112233-4455-6677-8899-aabbccddeef", "00112233-4455-6677-8899-aabbccddeeff0",
                             "0011223344556677-8899-aabbccddeeff--", "00112233-4455-6677-8899-aabbccddeegg"})
        EXPECT_FALSE(UuidFromString(text, kept)) << text;
    EXPECT_EQ(kept[0], 7);
}
