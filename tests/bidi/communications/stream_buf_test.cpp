#include "bidi/communications/stream_buf.h"

#include <gtest/gtest.h>

#include <chrono>
#include <iterator>
#include <string>

#include "tests/support/scripted_transport.h"

namespace {

using kpm::test::Bytes;
using kpm::test::ReadStep;
using kpm::test::ScriptedStream;

TEST(BasicInputStream, ReplyLongerThanTheBufferReadsAsOneSequence) {
    Bytes all;
    for (int i = 0; i < 1000; ++i) {
        all.push_back(static_cast<unsigned char>(i * 7));
    }
    auto stream = ScriptedStream::Chunked(all, 300);
    KpBidi::BasicInputStream input(stream.get(), 64);
    const std::string got{std::istreambuf_iterator<char>(input), std::istreambuf_iterator<char>()};
    ASSERT_EQ(got.size(), all.size());
    EXPECT_TRUE(
        std::equal(all.begin(), all.end(), reinterpret_cast<const unsigned char*>(got.data())));
    // No read was asked for more than the buffer holds.
    EXPECT_LE(stream->largestRead, 64u);
}

TEST(BasicInputStream, EmptyReadEndsTheStream) {
    ScriptedStream stream({ReadStep::Chunk({1, 2}), ReadStep::Eof(), ReadStep::Chunk({3})});
    KpBidi::BasicInputStream input(&stream, 16);
    EXPECT_EQ(input.get(), 1);
    EXPECT_EQ(input.get(), 2);
    EXPECT_EQ(input.get(), std::char_traits<char>::eof());
    EXPECT_TRUE(input.eof());
}

TEST(BasicInputStream, TransportExceptionsReachTheReader) {
    ScriptedStream timesOut({ReadStep::Chunk({1}), ReadStep::Timeout()});
    KpBidi::BasicInputStream input(&timesOut, 16);
    EXPECT_EQ(input.get(), 1);
    EXPECT_THROW(input.get(), KpBidi::communications::TimeoutException);

    ScriptedStream fails({ReadStep::PlainError()});
    KpBidi::BasicStreamBuf buf(&fails, 16);
    EXPECT_THROW(buf.sgetc(), std::runtime_error);
}

TEST(Deadline, CutsWaitsToWhatIsLeftAndEndsReadsOnceItHasPassed) {
    using namespace std::chrono_literals;
    using KpBidi::communications::Deadline;
    using KpBidi::communications::TimeoutException;

    const Deadline never;
    EXPECT_FALSE(never.HasPassed());
    EXPECT_EQ(never.Limit(3000ms), 3000ms);
    EXPECT_NO_THROW(never.Check());

    Deadline minute(60'000ms);
    EXPECT_EQ(minute.Limit(3000ms), 3000ms);
    EXPECT_LE(minute.Limit(120'000ms), 60'000ms);
    EXPECT_GT(minute.Limit(120'000ms), 50'000ms);

    const Deadline passed(0ms);
    EXPECT_TRUE(passed.HasPassed());
    EXPECT_EQ(passed.Limit(3000ms), 0ms);
    EXPECT_THROW(passed.Check(), TimeoutException);

    // The buffer reads while there is time, and starts no read after.
    ScriptedStream stream({ReadStep::Chunk({1}), ReadStep::Chunk({2})});
    KpBidi::BasicInputStream input(&stream, 1, &minute);
    EXPECT_EQ(input.get(), 1);
    minute = passed;
    EXPECT_THROW(input.get(), TimeoutException);
    EXPECT_EQ(stream.reads, 1u);
}

TEST(BasicStreamBuf, WindowAndConsume) {
    ScriptedStream stream({ReadStep::Chunk({1, 2, 3}), ReadStep::Chunk({4})});
    KpBidi::BasicStreamBuf buf(&stream, 8);
    auto w = buf.Window();
    ASSERT_EQ(w.size(), 3u);
    buf.Consume(2);
    w = buf.Window();
    ASSERT_EQ(w.size(), 1u);
    EXPECT_EQ(w[0], 3);
    buf.Consume(1);
    w = buf.Window();
    ASSERT_EQ(w.size(), 1u);
    EXPECT_EQ(w[0], 4);
    buf.Consume(1);
    EXPECT_TRUE(buf.Window().empty());
}

}  // namespace
