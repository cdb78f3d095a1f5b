#include "platform/SpeechVoice.h"
#include <gtest/gtest.h>

TEST(AudioFormats, Numbers)
{
    AudioFormat f;
    ASSERT_TRUE(AudioFormatFromType(4, f));
    EXPECT_EQ(f.sampleRate, 8000);
    EXPECT_EQ(f.bitsPerSample, 8);
    EXPECT_EQ(f.channels, 1);
    ASSERT_TRUE(AudioFormatFromType(39, f));
    EXPECT_EQ(f.sampleRate, 48000);
    EXPECT_EQ(f.bitsPerSample, 16);
    EXPECT_EQ(f.channels, 2);
    ASSERT_TRUE(AudioFormatFromType(22, f));
    EXPECT_EQ(f.sampleRate, 22050);
    EXPECT_EQ(f.bitsPerSample, 16);
    EXPECT_EQ(f.channels, 1);
    EXPECT_FALSE(AudioFormatFromType(3, f));
    EXPECT_FALSE(AudioFormatFromType(40, f));
}
