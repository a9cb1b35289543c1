// processBlock must never reach the heap. This binary replaces the C allocator entry points so
// that every allocation made while a test is listening is counted, whether it comes from
// operator new, JUCE's HeapBlock or anything else.
#include "support/ProcessorProbe.h"
#include "support/SpeechLikeSignal.h"

#include <gtest/gtest.h>

#include <atomic>
#include <cstdlib>
#include <malloc.h>

extern "C"
{
    void* __libc_malloc (size_t);
    void* __libc_calloc (size_t, size_t);
    void* __libc_realloc (void*, size_t);
    void* __libc_memalign (size_t, size_t);
    void __libc_free (void*);
}

namespace
{
thread_local bool listening = false;
std::atomic<long> allocations { 0 };

void noteAllocation()
{
    if (listening)
        allocations.fetch_add (1, std::memory_order_relaxed);
}

struct AllocationCounter
{
    AllocationCounter()
    {
        allocations = 0;
        listening = true;
    }
    ~AllocationCounter() { listening = false; }
    long count() const { return allocations.load(); }
};
} // namespace

extern "C"
{
    void* malloc (size_t size)
    {
        noteAllocation();
        return __libc_malloc (size);
    }

    void* calloc (size_t count, size_t size)
    {
        noteAllocation();
        return __libc_calloc (count, size);
    }

    void* realloc (void* pointer, size_t size)
    {
        noteAllocation();
        return __libc_realloc (pointer, size);
    }

    void* memalign (size_t alignment, size_t size)
    {
        noteAllocation();
        return __libc_memalign (alignment, size);
    }

    void* aligned_alloc (size_t alignment, size_t size)
    {
        noteAllocation();
        return __libc_memalign (alignment, size);
    }

    int posix_memalign (void** result, size_t alignment, size_t size)
    {
        noteAllocation();
        *result = __libc_memalign (alignment, size);
        return *result != nullptr ? 0 : ENOMEM;
    }

    void free (void* pointer) { __libc_free (pointer); }
}

TEST (RealTime, TheCounterSeesAllocations)
{
    AllocationCounter counter;
    auto* p = new std::vector<float> (1000);
    delete p;
    juce::HeapBlock<float> block (100);
    EXPECT_GE (counter.count(), 3);
}

TEST (RealTime, ProcessBlockNeverAllocates)
{
    const double rates[] = { 44100.0, 48000.0, 88200.0, 96000.0, 192000.0 };
    const int blockSizes[] = { 1, 2, 3, 32, 64, 100, 128, 256, 441, 512, 1000, 1024, 2048, 4096 };
    const auto speech = SpeechLikeSignal (48000.0, 9, -10.0f).take (4096 * 4);

    for (auto rate : rates)
        for (auto input : { juce::AudioChannelSet::stereo(), juce::AudioChannelSet::mono() })
        {
            SCOPED_TRACE (testing::Message() << rate << " Hz, " << input.size() << " input channel(s)");
            AnyLayoutProcessor processor;
            processor.useLayout (input, juce::AudioChannelSet::stereo());
            processor.prepareToPlay (rate, 4096);

            juce::AudioBuffer<float> buffer (2, 4096);
            juce::MidiBuffer midi;
            size_t position = 0;
            int round = 0;

            for (auto blockSize : blockSizes)
                for (int repeat = 0; repeat < 3; ++repeat, ++round)
                {
                    // Settings move between blocks, as automation and the editor would move them.
                    setParameter (processor, "push", -6.0f + (float) (round % 19));
                    setParameter (processor, "bigBracketWidth", 2.0f + (float) (round % 29));
                    processor.referenceDb = -60.0f + (float) (round * 7 % 55);

                    buffer.setSize (2, blockSize, false, false, true);
                    for (int i = 0; i < blockSize; ++i, ++position)
                        for (int channel = 0; channel < 2; ++channel)
                            buffer.setSample (channel, i, speech[position % speech.size()]);

                    AllocationCounter counter;
                    processor.processBlock (buffer, midi);
                    ASSERT_EQ (counter.count(), 0) << "block of " << blockSize;
                }
        }
}

// Some hosts send longer blocks than they announced: the output stage then works in pieces of
// the prepared size, still without allocating.
TEST (RealTime, BlocksLongerThanAnnouncedAreProcessedInPieces)
{
    const auto speech = SpeechLikeSignal (48000.0, 12, -6.0f).take (4096 * 3);
    TaviroAudioProcessor processor;
    setParameter (processor, "push", 12.0f);
    processor.prepareToPlay (48000.0, 64);

    juce::AudioBuffer<float> buffer (2, 4096);
    juce::MidiBuffer midi;
    for (int block = 0; block < 3; ++block)
    {
        for (int channel = 0; channel < 2; ++channel)
            std::copy_n (speech.begin() + block * 4096, 4096, buffer.getWritePointer (channel));
        {
            AllocationCounter counter;
            processor.processBlock (buffer, midi);
            ASSERT_EQ (counter.count(), 0);
        }
        for (int channel = 0; channel < 2; ++channel)
            for (int i = 0; i < 4096; ++i)
                ASSERT_LE (std::abs (buffer.getSample (channel, i)), 0.8913f) << block << "/" << i;
    }
}
